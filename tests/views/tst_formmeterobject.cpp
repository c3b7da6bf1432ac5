#include "appglobals.h"
#include "dashboardrules.h"
#include "formmeterobject.h"
#include "formspeedstyle2.h"
#include "overlaysamples.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QProgressBar>

using OverlaySamples::sample;

namespace {

template <typename T> T *part(QWidget *widget, const char *name)
{
    T *found = widget->findChild<T *>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

QVector<VideoInfo_t> twoSamples(VideoInfo_t a, VideoInfo_t b)
{
    return {a, b};
}

QStringList loggedLines;

void logLine(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    loggedLines << QString::fromLatin1(context.category) + QStringLiteral(": ") + text;
}

} // namespace

class TstFormMeterObject : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { gDateFormat = 0; }

    void framesInterpolateValuesAndKeepTexts()
    {
        VideoInfo_t a = sample(25.0, 121.0, 10.0, 1);
        VideoInfo_t b = sample(25.1, 121.1, 18.0, 2);
        a.gX = 0.0f;
        b.gX = 0.8f;
        const QVector<VideoInfo_t> frames = DashboardRules::expandFrames({a, b, b});
        QCOMPARE(frames.size(), 16);
        QCOMPARE(frames.at(4).speedKmh, 14.0);
        QCOMPARE(frames.at(4).gX, 0.4f);
        QCOMPARE(frames.at(4).clockTime, a.clockTime);
        QCOMPARE(frames.at(4).lat, a.lat);
        QCOMPARE(frames.at(8).clockTime, b.clockTime);
    }

    void barValues_data()
    {
        QTest::addColumn<double>("g");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("shown");
        QTest::newRow("+1") << 1.0 << 100 << true;
        QTest::newRow("0") << 0.0 << 50 << true;
        QTest::newRow("-1") << -1.0 << 0 << true;
        QTest::newRow("0.333 truncates") << 0.333 << 66 << true;
        QTest::newRow("1.5 beyond") << 1.5 << 125 << false;
        QTest::newRow("-1.5 beyond") << -1.5 << -25 << false;
    }
    void barValues()
    {
        QFETCH(double, g);
        QFETCH(int, value);
        QFETCH(bool, shown);
        QCOMPARE(DashboardRules::barValue(g), value);
        QCOMPARE(DashboardRules::isBarValue(value), shown);
    }

    void barBeyondScaleKeepsItsValue()
    {
        VideoInfo_t a = sample(25.0, 121.0, 50.0, 1);
        a.gX = 0.5f;
        VideoInfo_t b = a;
        b.gX = 1.5f;
        QVector<VideoInfo_t> samples{a, a, b, b};
        FormMeterObject meter;
        meter.setMeterData(samples);
        meter.setIndex(0);
        QCOMPARE(part<QProgressBar>(&meter, "progressBar_X")->value(), 75);
        meter.setIndex(16);
        QCOMPARE(part<QProgressBar>(&meter, "progressBar_X")->value(), 75);
    }

    void timeTextByDateFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("day first") << 0 << "12:34:56  31/12/2023";
        QTest::newRow("month first") << 1 << "12:34:56  12/31/2023";
        QTest::newRow("year first") << 2 << "12:34:56  2023/12/31";
        QTest::newRow("other") << 7 << "12:34:56  31/12/2023";
    }
    void timeTextByDateFormat()
    {
        QFETCH(int, format);
        QFETCH(QString, text);
        QCOMPARE(DashboardRules::timeText(QStringLiteral("12:34:56  31/12/2023"), format), text);
    }

    void speedTexts_data()
    {
        QTest::addColumn<double>("speed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("arc");
        QTest::newRow("99.5 up") << 99.5 << "100" << 129;
        QTest::newRow("99.49 down") << 99.49 << "99" << 129;
        QTest::newRow("0") << 0.0 << "0" << 0;
        QTest::newRow("208 fills 270") << 208.0 << "208" << 270;
    }
    void speedTexts()
    {
        QFETCH(double, speed);
        QFETCH(QString, text);
        QFETCH(int, arc);
        QCOMPARE(DashboardRules::speedText(speed), text);
        QCOMPARE(DashboardRules::arcDegrees(speed), arc);
    }

    void sizesAndFonts_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("marks");
        QTest::newRow("120") << 120 << 9 << 4 << 4;
        QTest::newRow("below 120") << 60 << 4 << 4 << 4;
        QTest::newRow("1080") << 1080 << 87 << 52 << 42;
    }
    void sizesAndFonts()
    {
        QFETCH(int, height);
        QFETCH(int, bar);
        QFETCH(int, text);
        QFETCH(int, marks);
        QCOMPARE(DashboardRules::barHeight(height), bar);
        QCOMPARE(DashboardRules::fontSizes(height).text, text);
        QCOMPARE(DashboardRules::fontSizes(height).marks, marks);
        FormMeterObject meter;
        meter.setObjectSize(QSize(height * 790 / 120, height));
        QCOMPARE(part<QProgressBar>(&meter, "progressBar_Y")->height(), bar);
        QCOMPARE(part<QLabel>(&meter, "label_maxSpeedValue")->font().pointSize(), text);
        QCOMPARE(part<QLabel>(&meter, "label_time")->font().weight(), 75);
        QCOMPARE(part<QLabel>(&meter, "centerValueGSensor")->font().pointSize(), marks);
    }

    void gaugeGeometry_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QRect>("arc");
        QTest::addColumn<int>("valuePt");
        QTest::addColumn<int>("unitPt");
        QTest::newRow("175") << 175 << QRect(8, 8, 158, 158) << 29 << 8;
        QTest::newRow("overlay 100") << 100 << QRect(5, 5, 90, 90) << 16 << 5;
        QTest::newRow("small 60") << 60 << QRect(3, 3, 54, 54) << 10 << 3;
    }
    void gaugeGeometry()
    {
        QFETCH(int, width);
        QFETCH(QRect, arc);
        QCOMPARE(DashboardRules::gaugeArcRect(width), arc);
        QFETCH(int, valuePt);
        QFETCH(int, unitPt);
        QCOMPARE(DashboardRules::gaugeFonts(width).value, valuePt);
        QCOMPARE(DashboardRules::gaugeFonts(width).unit, unitPt);
        FormSpeedStyle2 gauge;
        gauge.setObjectSize(QSize(width, width), false);
        QCOMPARE(gauge.arcRect(), arc);
        QCOMPARE(gauge.penWidth(), 8);
    }

    void dashboardSizeOnTheView()
    {
        QCOMPARE(DashboardRules::dashboardSize(800), QSize(800, 121));
        QCOMPARE(DashboardRules::dashboardSize(790), QSize(790, 120));
    }

    void framesShown_data()
    {
        QTest::addColumn<QVector<VideoInfo_t>>("samples");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("avg");
        QTest::addColumn<QString>("gauge");
        QTest::addColumn<int>("arc");
        VideoInfo_t fast = sample(25.0, 121.0, 99.5, 1);
        VideoInfo_t zero = sample(0, 0, 40.0, 1);
        zero.latText = QStringLiteral("N00°00' 0000");
        zero.lonText = QStringLiteral("E00°00' 0000");
        VideoInfo_t noClock = fast;
        noClock.clockTime.clear();
        VideoInfo_t damaged = fast; // the reader leaves a position that does not read empty
        damaged.latText.clear();
        damaged.lonText.clear();
        const VideoInfo_t equator = sample(0.0, 100.0, 99.5, 1);
        const VideoInfo_t meridian = sample(51.5, 0.0, 99.5, 1);
        QTest::newRow("on the equator at 100 degrees east")
            << twoSamples(equator, equator) << 1 << 0 << equator.clockTime << "99.5 kmh"
            << "100" << 129;
        QTest::newRow("on the prime meridian")
            << twoSamples(meridian, meridian) << 1 << 0 << meridian.clockTime << "99.5 kmh"
            << "100" << 129;
        QTest::newRow("damaged position")
            << twoSamples(damaged, damaged) << 1 << 0 << damaged.clockTime << "-"
            << "-" << 0;
        QTest::newRow("kmh") << twoSamples(fast, fast) << 1 << 0 << fast.clockTime << "99.5 kmh"
                             << "100" << 129;
        QTest::newRow("mph") << twoSamples(fast, fast) << 0 << 0 << fast.clockTime << "61.8 mph"
                             << "62" << 129;
        QTest::newRow("fix at 0,0") << twoSamples(zero, zero) << 1 << 0 << zero.clockTime << "-"
                                    << "-" << 0;
        QTest::newRow("no clock") << twoSamples(noClock, noClock) << 1 << 0 << "-"
                                  << "-"
                                  << "-" << 0;
        QTest::newRow("out of range") << twoSamples(fast, fast) << 1 << 8 << "-"
                                      << "-"
                                      << "-" << 0;
    }
    void framesShown()
    {
        QFETCH(QVector<VideoInfo_t>, samples);
        QFETCH(int, unit);
        QFETCH(int, index);
        FormMeterObject meter;
        meter.setMeterData(samples);
        meter.setUnit(unit);
        meter.setIndex(index);
        QTEST(part<QLabel>(&meter, "label_timeValue")->text(), "time");
        QTEST(part<QLabel>(&meter, "label_avgSpeedValue")->text(), "avg");
        QTEST(meter.gauge()->valueText(), "gauge");
        QTEST(meter.gauge()->value(), "arc");
    }

    void compassValue()
    {
        QCOMPARE(DashboardRules::compassValue(QStringLiteral("NE"), QStringLiteral("45")),
                 QStringLiteral("NE    45"));
        QCOMPARE(DashboardRules::compassValue(QString(), QStringLiteral("45")),
                 QStringLiteral("45"));
    }

    void oneSampleOnlyResetsBars()
    {
        QVector<VideoInfo_t> one{sample(25.0, 121.0, 50.0, 1)};
        FormMeterObject meter;
        meter.setMeterData(one);
        QCOMPARE(meter.frameCount(), 0);
        part<QProgressBar>(&meter, "progressBar_Z")->setValue(80);
        meter.setIndex(0);
        QCOMPARE(part<QProgressBar>(&meter, "progressBar_Z")->value(), 50);
        QCOMPARE(part<QLabel>(&meter, "label_timeValue")->text(), QStringLiteral("-"));
    }

    void frameLineOnlyWhenSwitchedOn_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<int>("lines");
        QTest::newRow("default") << QString() << 0;
        QTest::newRow("switched on") << QStringLiteral("talvex.views.debug=true") << 1;
    }

    void frameLineOnlyWhenSwitchedOn()
    {
        QFETCH(QString, rules);
        QFETCH(int, lines);
        QVector<VideoInfo_t> samples = OverlaySamples::drive(4);
        FormMeterObject meter;
        meter.setMeterData(samples);
        QLoggingCategory::setFilterRules(rules);
        loggedLines.clear();
        const QtMessageHandler previous = qInstallMessageHandler(logLine);
        meter.setIndex(1);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(loggedLines.size(), lines);
        QCOMPARE(
            loggedLines.filter(QStringLiteral("talvex.views: viContinuous.length() -> ")).size(),
            lines);
    }

    void newDataRebuildsTheFrames()
    {
        QVector<VideoInfo_t> samples = OverlaySamples::drive(4);
        FormMeterObject meter;
        meter.setMeterData(samples);
        meter.setMeterData(samples);
        QCOMPARE(meter.frameCount(), 24);
    }

    void stripAtOverlaySizesShowsTheArc()
    {
        gDateFormat = 2;
        QWidget back;
        back.setStyleSheet(QStringLiteral("QWidget#back{background:#5a6b7c}"));
        back.setObjectName(QStringLiteral("back"));
        back.resize(820, 4 * 130 + 10);
        QVector<VideoInfo_t> drive = OverlaySamples::drive(10);
        VideoInfo_t zero = sample(0, 0, 0.0, 3);
        zero.latText = QStringLiteral("N00°00' 0000");
        zero.lonText = QStringLiteral("E00°00' 0000");
        QVector<VideoInfo_t> zeros{zero, zero};
        FormMeterObject *strips[4];
        for (int i = 0; i < 4; ++i) {
            strips[i] = new FormMeterObject(&back);
            strips[i]->setObjectSize(QSize(790, 120));
            strips[i]->move(15, 10 + 130 * i);
        }
        strips[1]->setMeterData(drive);
        strips[1]->setUnit(1);
        strips[1]->setIndex(60);
        strips[2]->setMeterData(drive);
        strips[2]->setUnit(0);
        strips[2]->setIndex(60);
        strips[3]->setMeterData(zeros);
        strips[3]->setUnit(1);
        strips[3]->setIndex(0);
        back.show();
        QVERIFY(QTest::qWaitForWindowExposed(&back));
        FormSpeedStyle2 *gauge = strips[1]->gauge();
        QVERIFY(gauge->width() > 40);
        QVERIFY(gauge->arcRect().width() > 0);
        // The arc starts at the lower left: a pixel there differs from the empty gauge's.
        const QImage full = gauge->grab().toImage();
        const QImage empty = strips[0]->gauge()->grab().toImage();
        const QRect arc = gauge->arcRect();
        const QPoint lowerLeft(arc.center().x() - int(arc.width() / 2 * 0.7071),
                               arc.center().y() + int(arc.height() / 2 * 0.7071) - 2);
        QVERIFY(full.pixelColor(lowerLeft) != empty.pixelColor(lowerLeft));
        QCOMPARE(part<QLabel>(strips[1], "label_timeValue")->text(),
                 QStringLiteral("12:34:07  2023/12/31"));
        QVERIFY(part<QLabel>(strips[2], "label_maxSpeedValue")
                    ->text()
                    .endsWith(QStringLiteral(" mph")));
        TestSupport::saveScreenshot(&back, QStringLiteral("overlay-dashboard-states"));
    }
};

TALVEX_TEST_MAIN(TstFormMeterObject)
#include "tst_formmeterobject.moc"

#include "appglobals.h"
#include "formchart.h"
#include "formgsensorview.h"
#include "formshowdata.h"
#include "formspeedstyle.h"
#include "speedstyle.h"
#include "testsupport.h"
#include "tripdatatexts.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QLineSeries>

#include <cmath>

Q_DECLARE_METATYPE(SpeedUnit)

class TstFormShowData : public QObject
{
    Q_OBJECT
private:
    static VideoInfo_t sample(double kmh)
    {
        VideoInfo_t vi;
        vi.recordTime = QStringLiteral("20231231123456");
        vi.clockTime = QStringLiteral("12:34:56  31/12/2023");
        vi.latText = QStringLiteral("N25°01'58.8\"");
        vi.lat = 25.033;
        vi.lonText = QStringLiteral("E121°33'52.3\"");
        vi.lon = 121.564;
        vi.speedKmh = kmh;
        vi.speedMph = kmh / 1.609344;
        vi.gX = 0.5f;
        vi.gY = -1.25f;
        vi.gZ = 0.0f;
        vi.compassText = QStringLiteral("NE");
        vi.headingText = QStringLiteral("45");
        return vi;
    }

    // The sample as the reader gives a record at 0, 0: a camera's second without a fix.
    static void clearFix(VideoInfo_t &vi)
    {
        vi.lat = vi.lon = 0;
        vi.latText = QStringLiteral("N00°00' 0.00\"");
        vi.lonText = QStringLiteral("E000°00' 0.00\"");
    }

    static QVector<VideoInfo_t> fileOf(const QVector<double> &kmh)
    {
        QVector<VideoInfo_t> samples;
        for (double v : kmh)
            samples.append(sample(v));
        return samples;
    }

    // The panel as the main window holds it at 1600 x 900, on the band's dark ground.
    struct Band
    {
        QWidget host;
        FormShowData *panel = new FormShowData;
        FormChart *chart = new FormChart;
        explicit Band(SpeedUnit unit)
        {
            host.setObjectName(QStringLiteral("host"));
            host.setStyleSheet(QStringLiteral("QWidget#host { background: #1f2024; }"));
            auto *layout = new QVBoxLayout(&host);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(panel);
            panel->initSpeedLabels(unit);
            panel->installChart(chart);
            panel->applyLanguageTexts();
            panel->applyStyle(0);
            const TripData::BandSizes b = TripData::bandSizes(900, 1096);
            panel->setPanelSize(b.panel.width(), b.panel.height());
            panel->setLayoutSize(1600, 900, b.panel.width(), b.layoutHeight);
            chart->setSliderStyle(b.chart.width(), b.chart.height(), 900);
            chart->setAxisLabelColor(0);
            host.resize(1096, b.areaHeight);
            host.show();
        }
        // Colour of the gauge's ring at a screen angle (0 = 3 o'clock, clockwise).
        QColor ringAt(const QImage &image, double degrees) const
        {
            FormSpeedStyle *gauge = panel->gauge();
            const double side = gauge->layer(0)->imageSize().width();
            const double r = side * 177 / 400;
            const QPointF centre(side / 2, side / 2);
            const QPoint p =
                gauge->mapTo(&host, (centre + QPointF(r * std::cos(degrees * M_PI / 180),
                                                      r * std::sin(degrees * M_PI / 180)))
                                        .toPoint());
            return image.pixelColor(p);
        }
    };

    static bool isSweep(QColor c) { return c.blue() > 150 && c.blue() > c.red() + 60; }

private slots:
    void init() { gDateFormat = 0; }
    void cleanup() { gDateFormat = 0; }

    void validSampleShowsItsValues_data()
    {
        QTest::addColumn<SpeedUnit>("unit");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QString>("current");
        QTest::newRow("km/h") << SpeedKmh << "10.0 kmh"
                              << "20.0 kmh"
                              << "101";
        QTest::newRow("mph") << SpeedMph << "6.2 mph"
                             << "12.4 mph"
                             << "62";
    }
    void validSampleShowsItsValues()
    {
        QFETCH(SpeedUnit, unit);
        FormShowData panel;
        panel.initSpeedLabels(unit);
        QVector<VideoInfo_t> file = fileOf({10, 20, 0});
        panel.setData(file);
        QSignalSpy needle(&panel, &FormShowData::updateSpeed);
        panel.setInfoData(sample(100.5), unit, true);
        QCOMPARE(panel.timeText(), QStringLiteral("12:34:56  31/12/2023"));
        QCOMPARE(panel.latitudeText(), QStringLiteral("N25°01'58.8\""));
        QCOMPARE(panel.longitudeText(), QStringLiteral("E121°33'52.3\""));
        QCOMPARE(panel.compassText(), QStringLiteral("NE    45"));
        QTEST(panel.averageText(), "average");
        QTEST(panel.maximumText(), "maximum");
        QTEST(panel.currentSpeedLabel()->text(), "current");
        QCOMPARE(panel.unitLabel()->text(), TripData::unitText(unit));
        // the needle follows km/h in every unit
        QCOMPARE(needle.count(), 1);
        QCOMPARE(needle.first().first().toInt(), 136);
        QCOMPARE(panel.gsensorView()->valueText(0), QStringLiteral("+0.5"));
        QCOMPARE(panel.gsensorView()->valueText(1), QStringLiteral("-1.25"));
        QCOMPARE(panel.gsensorView()->valueText(2), QStringLiteral("+0"));
    }

    void invalidSamplesShowDashes_data()
    {
        QTest::addColumn<bool>("noFix");
        QTest::addColumn<QString>("recordTime");
        QTest::addColumn<QString>("gx");
        QTest::newRow("no fix at 0, 0") << true << "20231231123456"
                                        << "+0.5";
        QTest::newRow("player's invalid tick") << false << "20231231123456"
                                               << "+0.5";
        QTest::newRow("second without sample") << true << ""
                                               << "-";
    }
    void invalidSamplesShowDashes()
    {
        QFETCH(bool, noFix);
        QFETCH(QString, recordTime);
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        VideoInfo_t vi = sample(80);
        vi.recordTime = recordTime;
        if (noFix)
            clearFix(vi);
        QSignalSpy needle(&panel, &FormShowData::updateSpeed);
        panel.setInfoData(vi, SpeedKmh, !noFix ? false : true);
        QCOMPARE(panel.timeText(), QStringLiteral("12:34:56  31/12/2023"));
        for (const QString &text :
             {panel.latitudeText(), panel.longitudeText(), panel.compassText(), panel.averageText(),
              panel.maximumText(), panel.currentSpeedLabel()->text()})
            QCOMPARE(text, QStringLiteral("-"));
        QTEST(panel.gsensorView()->valueText(0), "gx");
        QCOMPARE(needle.count(), 1);
        QCOMPARE(needle.first().first().toInt(), 0);
    }

    void stopSampleEmptiesThePanel()
    {
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        panel.setInfoData(sample(50), SpeedKmh, true);
        panel.setInfoData(VideoInfo_t(), SpeedKmh, false);
        QCOMPARE(panel.timeText(), QString());
        QCOMPARE(panel.latitudeText(), QStringLiteral("-"));
        QCOMPARE(panel.gsensorView()->valueText(2), QStringLiteral("-"));
    }

    void timeFollowsTheDateFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("time");
        QTest::newRow("0") << 0 << "12:34:56  31/12/2023";
        QTest::newRow("1") << 1 << "12:34:56  12/31/2023";
        QTest::newRow("2") << 2 << "12:34:56  2023/12/31";
    }
    void timeFollowsTheDateFormat()
    {
        QFETCH(int, format);
        gDateFormat = format;
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        panel.setInfoData(sample(50), SpeedKmh, true);
        QTEST(panel.timeText(), "time");
    }

    void emptyCompassShowsTheHeadingAlone()
    {
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        VideoInfo_t vi = sample(50);
        vi.compassText.clear();
        panel.setInfoData(vi, SpeedKmh, true);
        QCOMPARE(panel.compassText(), QStringLiteral("45"));
    }

    // A new file's average and maximum are never those of the file before.
    void newFileComputesItsOwnAverage()
    {
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        QVector<VideoInfo_t> first = fileOf({10, 20, 0});
        panel.setData(first);
        panel.setInfoData(sample(10), SpeedKmh, true);
        QCOMPARE(panel.averageText(), QStringLiteral("10.0 kmh"));
        QVector<VideoInfo_t> second = fileOf({30, 50});
        panel.setData(second);
        panel.setInfoData(sample(30), SpeedKmh, true);
        QCOMPARE(panel.averageText(), QStringLiteral("40.0 kmh"));
        QCOMPARE(panel.maximumText(), QStringLiteral("50.0 kmh"));
    }

    void unitChangeRecomputesAtOnce()
    {
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        QVector<VideoInfo_t> file = fileOf({10, 20, 0});
        panel.setData(file);
        panel.setInfoData(sample(10), SpeedKmh, true);
        panel.setSpeedAvg_Max(SpeedMph);
        QCOMPARE(panel.unitLabel()->text(), QStringLiteral("mph"));
        QCOMPARE(panel.maximumSpeed(), float(20 / 1.609344));
    }

    void captionsFromTheLanguageTable()
    {
        FormShowData panel;
        auto *compass = panel.findChild<QLabel *>(QStringLiteral("label_compass_tv"));
        QCOMPARE(compass->text(), QStringLiteral("Distance"));
        panel.applyLanguageTexts();
        QStringList captions;
        for (const char *name : {"label_time_tv", "label_latitude_tv", "label_longitude_tv",
                                 "label_compass_tv", "label_speed_avg_tv", "label_speed_max_tv"})
            captions << panel.findChild<QLabel *>(QLatin1String(name))->text();
        QCOMPARE(captions, (QStringList{"Time", "Latitude", "Longitude", "Compass", "Avg. Speed",
                                        "Max Speed"}));
        QCOMPARE(compass->font().weight(), 75);
    }

    void layoutSizesReachTheWidgets()
    {
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        panel.installChart(new FormChart);
        panel.setPanelSize(1096, 139);
        panel.setLayoutSize(1600, 900, 1096, 150);
        auto *frame = panel.findChild<QWidget *>(QStringLiteral("maingridFrame"));
        QCOMPARE(frame->geometry(), QRect(0, 5, 1096, 139));
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("label_information"))->size(),
                 QSize(13, 129));
        QCOMPARE(panel.gauge()->layer(4)->imageSize(), QSize(161, 161));
        QCOMPARE(panel.currentSpeedLabel()->size(), QSize(161, 161));
        QCOMPARE(panel.unitLabel()->size(), QSize(161, 50));
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("label_time_icon"))->minimumSize(),
                 QSize(53, 53));
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("label_dividing_line"))->maximumHeight(),
                 117);
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("label_time_tv"))->font().pixelSize(),
                 15);
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("label_time_data"))->font().pixelSize(),
                 13);
        QCOMPARE(panel.currentSpeedLabel()->font().pixelSize(), 49);
        QCOMPARE(panel.unitLabel()->font().pixelSize(), 18);
        QCOMPARE(
            panel.gsensorView()->findChild<QWidget *>(QStringLiteral("gridWidget"))->minimumSize(),
            QSize(245, 300));
    }

    void chartSitsUnderTheReadout()
    {
        FormShowData panel;
        auto *chart = new FormChart;
        panel.installChart(chart);
        QCOMPARE(panel.gsensorView()->chartWidget(), chart);
        QVERIFY(panel.gsensorView()->parentWidget()->objectName() == QStringLiteral("gridWidget"));
        QVERIFY(panel.findChild<QLabel *>(QStringLiteral("altitudeBack_label"))->isHidden());
        QVector<VideoInfo_t> samples = fileOf({10, 20});
        chart->setData(samples);
        chart->durationChanged(QTime(0, 0, 2));
        QCoreApplication::processEvents();
        panel.clearChart();
        QCOMPARE(chart->series(0)->count(), 0);
    }

    void distanceIsKept()
    {
        FormShowData panel;
        panel.distanceChanged(1234.5);
        QCOMPARE(panel.distance(), 1234.5);
    }

    void needleTimerSettlesTheGauge()
    {
        FormShowData panel;
        panel.initSpeedLabels(SpeedKmh);
        QCOMPARE(panel.needleTimer()->interval(), 5);
        QVERIFY(panel.needleTimer()->isActive());
        panel.setInfoData(sample(100.5), SpeedKmh, true);
        QTRY_VERIFY(!panel.gauge()->animation().isRunning());
        QVERIFY(qAbs(panel.gauge()->animation().current() - 136) < 1);
    }

    void screenshots_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<SpeedUnit>("unit");
        QTest::addColumn<bool>("valid");
        QTest::newRow("km/h") << "band-panel-kmh" << SpeedKmh << true;
        QTest::newRow("mph") << "band-panel-mph" << SpeedMph << true;
        QTest::newRow("invalid") << "band-panel-invalid" << SpeedKmh << false;
    }
    void screenshots()
    {
        QFETCH(QString, name);
        QFETCH(SpeedUnit, unit);
        QFETCH(bool, valid);
        Band band(unit);
        QVERIFY(QTest::qWaitForWindowExposed(&band.host));
        QVector<VideoInfo_t> file = fileOf({10, 20, 0});
        for (int i = 0; i < file.size(); ++i)
            file[i].gX = float(0.8 * std::sin(i));
        band.panel->setData(file);
        band.chart->setData(file);
        band.chart->durationChanged(QTime(0, 0, 3));
        band.chart->positionChanged(QTime(), 1200);
        VideoInfo_t vi = sample(100.5);
        if (!valid)
            clearFix(vi);
        band.panel->setInfoData(vi, unit, true);
        QTRY_VERIFY(!band.panel->gauge()->animation().isRunning());
        QTest::qWait(30);
        TestSupport::saveScreenshot(&band.host, name);

        const QImage image = band.host.grab().toImage();
        // 136 degrees of sweep reach 9 o'clock, never 3 o'clock; the invalid sample shows none
        QCOMPARE(isSweep(band.ringAt(image, 180)), valid);
        QVERIFY(!isSweep(band.ringAt(image, 0)));
        QCOMPARE(band.panel->currentSpeedLabel()->text(),
                 valid ? (unit == SpeedKmh ? QStringLiteral("101") : QStringLiteral("62"))
                       : QStringLiteral("-"));
        // the value texts are drawn in their colour
        auto *value = band.panel->findChild<QLabel *>(QStringLiteral("label_time_data"));
        const QRect area(value->mapTo(&band.host, QPoint(0, 0)), value->size());
        int blue = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                blue += isSweep(image.pixelColor(x, y)) ? 1 : 0;
        QVERIFY(blue > 5);
    }
};

TALVEX_TEST_MAIN(TstFormShowData)
#include "tst_formshowdata.moc"

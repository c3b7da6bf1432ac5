#include "appglobals.h"
#include "formchart.h"
#include "formgsensorview.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSlider>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

class TstFormChart : public QObject
{
    Q_OBJECT
private:
    // One minute of sine curves, a third of a period apart.
    static QVector<VideoInfo_t> sineSamples(int seconds, float amplitude = 0.9f)
    {
        QVector<VideoInfo_t> samples;
        for (int i = 0; i < seconds; ++i) {
            VideoInfo_t s;
            s.recordTime = QString::number(i);
            const double a = i * 2 * M_PI / 20;
            s.gX = float(amplitude * std::sin(a));
            s.gY = float(amplitude * std::sin(a + 2 * M_PI / 3));
            s.gZ = float(amplitude * std::sin(a + 4 * M_PI / 3));
            samples.append(s);
        }
        return samples;
    }

    // Plots samples over a duration and waits for the queued rebuild.
    static void plot(FormChart &chart, QVector<VideoInfo_t> samples, QTime duration)
    {
        QSignalSpy updated(&chart, &FormChart::updateChart);
        chart.setData(samples);
        chart.durationChanged(duration);
        QCOMPARE(updated.count(), 1);
        QCoreApplication::processEvents();
    }

    // The readout with its chart on the band's dark ground, as the trip panel holds it.
    struct Band
    {
        QWidget host;
        FormGSensorView *view = new FormGSensorView;
        FormChart *chart = new FormChart;
        Band()
        {
            host.setStyleSheet(QStringLiteral("QWidget#host { background: #1f2024; }"));
            host.setObjectName(QStringLiteral("host"));
            auto *layout = new QVBoxLayout(&host);
            layout->setContentsMargins(8, 8, 8, 8);
            layout->addWidget(view);
            view->addChart(chart);
            view->setStyle(0);
            view->setTitle();
            view->setFontSize(1096, 130);
            chart->setSliderStyle(240, 130, 900);
            chart->setAxisLabelColor(0);
            host.show();
        }
        // The chart view's area in host coordinates.
        QRect plotArea() const
        {
            return chart->chartView()->geometry().translated(chart->mapTo(&host, QPoint(0, 0)));
        }
    };

    template <typename Predicate>
    static int pixelsWhere(const QImage &image, const QRect &area, Predicate matches)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                count += matches(image.pixelColor(x, y)) ? 1 : 0;
        }
        return count;
    }

    static int pixelsNear(const QImage &image, const QRect &area, QColor color, int tolerance)
    {
        return pixelsWhere(image, area,
                           [&](QColor c) { return TestSupport::isNear(c, color, tolerance); });
    }

private slots:
    void plotsOnePointPerSecondOverTheDuration()
    {
        FormChart chart;
        plot(chart, sineSamples(60), QTime(0, 0).addMSecs(59999));
        for (int axis = 0; axis < 3; ++axis)
            QCOMPARE(chart.series(axis)->count(), 60);
        QCOMPARE(chart.series(1)->at(7), QPointF(7, sineSamples(60)[7].gY));
        QCOMPARE(chart.axisX()->max(), 59.0);
        QCOMPARE(chart.axisY()->min(), -1.0);
        QCOMPARE(chart.axisY()->max(), 1.0);
        QCOMPARE(chart.slider()->maximum(), 5999);
    }

    void emptyOrNullInputsLeaveThePlotEmpty_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QTime>("duration");
        QTest::newRow("null duration") << 10 << QTime();
        QTest::newRow("zero duration") << 10 << QTime(0, 0);
        QTest::newRow("no samples") << 0 << QTime(0, 0, 10);
    }
    void emptyOrNullInputsLeaveThePlotEmpty()
    {
        QFETCH(int, seconds);
        QFETCH(QTime, duration);
        FormChart chart;
        plot(chart, sineSamples(seconds), duration);
        QCOMPARE(chart.series(0)->count(), 0);
        if (!duration.isValid() || duration.msecsSinceStartOfDay() == 0)
            QCOMPARE(chart.slider()->maximum(), 99); // QSlider's own range, untouched
    }

    void underOneSecondDrawsPointsButKeepsTheAxis()
    {
        FormChart chart;
        plot(chart, sineSamples(60), QTime(0, 0).addMSecs(59999));
        plot(chart, sineSamples(2), QTime(0, 0).addMSecs(800));
        QCOMPARE(chart.series(0)->count(), 2);
        QCOMPARE(chart.axisX()->max(), 59.0);
        QCOMPARE(chart.slider()->maximum(), 80);
    }

    void newFileClearsThePlotUntilItsDuration()
    {
        FormChart chart;
        plot(chart, sineSamples(60), QTime(0, 1));
        QVector<VideoInfo_t> next = sineSamples(5);
        chart.setData(next);
        QCOMPARE(chart.series(2)->count(), 0);
    }

    void positionMovesTheSliderUnlessHeld()
    {
        FormChart chart;
        chart.durationChanged(QTime(0, 1));
        chart.positionChanged(QTime(), 12345);
        QCOMPARE(chart.slider()->value(), 1234);
        emit chart.slider()->sliderPressed();
        chart.positionChanged(QTime(), 30000);
        QCOMPARE(chart.slider()->value(), 1234);
        emit chart.slider()->sliderReleased();
        chart.positionChanged(QTime(), 30000);
        QCOMPARE(chart.slider()->value(), 3000);
    }

    void draggingTheSliderReportsHundredths()
    {
        Band band;
        QVERIFY(QTest::qWaitForWindowExposed(&band.host));
        band.chart->durationChanged(QTime(0, 1));
        QSignalSpy moved(band.chart, &FormChart::sliderMoved);
        QSlider *slider = band.chart->slider();
        // press where nothing has played yet, drag to the middle of the plot
        const QPoint handle(slider->width() / 4, slider->height() / 2);
        const QPoint middle(slider->width() / 2, handle.y());
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        QMouseEvent drag(QEvent::MouseMove, middle, slider->mapToGlobal(middle), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &drag);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, middle);
        QVERIFY(moved.size() >= 2);
        QVERIFY(qAbs(moved.first().first().toInt() - 1500) < 100);
        QVERIFY(qAbs(moved.last().first().toInt() - 3000) < 100);
        QVERIFY(!slider->isSliderDown());
    }

    void sliderStyleLaysTheSliderOverThePlot()
    {
        FormChart chart;
        chart.setSliderStyle(300, 110, 900);
        QCOMPARE(chart.slider()->geometry(), QRect(49, -4, 252, 112));
        QCOMPARE(chart.chartView()->geometry(), QRect(5, 0, 300, 107));
        QVERIFY(chart.slider()->styleSheet().contains(QLatin1String("height: 96px;")));
    }

    void readoutTexts_data()
    {
        QTest::addColumn<bool>("invalid");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("valid") << false << QStringList{"+0.5", "-1.25", "+0"};
        QTest::newRow("invalid") << true << QStringList{"-", "-", "-"};
    }
    void readoutTexts()
    {
        QFETCH(bool, invalid);
        QFETCH(QStringList, texts);
        FormGSensorView view;
        view.setValue(0.5f, -1.25f, 0.0f, invalid);
        QCOMPARE((QStringList{view.valueText(0), view.valueText(1), view.valueText(2)}), texts);
    }

    void readoutSizesAndTitle()
    {
        FormGSensorView view;
        view.setFontSize(825, 112);
        auto *grid = view.findChild<QWidget *>(QStringLiteral("gridWidget"));
        QCOMPARE(grid->minimumSize(), QSize(180, 110));
        QCOMPARE(grid->maximumSize(), QSize(180, 110));
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("label_gsensor_x1"))->font().pixelSize(),
                 20);
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("label_gsensor_z2"))->font().pixelSize(),
                 10);
        view.setTitle();
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("label_gsensor_2"))->text(),
                 gLangShowData.value(3));
        QCOMPARE(gLangShowData.value(3), QStringLiteral("Sensor"));
    }

    void clearChartEmptiesTheInstalledChart()
    {
        FormGSensorView view;
        auto *chart = new FormChart;
        view.addChart(chart);
        QCOMPARE(view.chartWidget(), chart);
        plot(*chart, sineSamples(10), QTime(0, 0, 10));
        view.clearChart();
        QCOMPARE(chart->series(0)->count(), 0);
    }

    void sineCurvesWithTheSliderAtFortyPercent()
    {
        Band band;
        band.host.resize(280, 220);
        QVERIFY(QTest::qWaitForWindowExposed(&band.host));
        plot(*band.chart, sineSamples(60), QTime(0, 1));
        band.chart->positionChanged(QTime(), 24000);
        QCOMPARE(band.chart->slider()->value(), 2400);
        band.view->setValue(0.5f, -1.25f, 0.0f, false);
        QTest::qWait(50);
        TestSupport::saveScreenshot(&band.host, QStringLiteral("band-chart-sine"));

        const QImage image = band.host.grab().toImage();
        const QRect plotArea = band.plotArea();
        QVERIFY(pixelsNear(image, plotArea, QColor(0xFF0000), 40) > 30);
        QVERIFY(pixelsNear(image, plotArea, QColor(0x00AFCC), 40) > 30);
        QVERIFY(pixelsNear(image, plotArea, QColor(0xE5A857), 40) > 30);
        // the elapsed 40 % of the slider is shaded, the rest is not
        const QRect groove = band.chart->slider()->geometry().translated(
            band.chart->mapTo(&band.host, QPoint(0, 0)));
        const auto columnGray = [&](int x) { // median: the curves cross the column only briefly
            QVector<int> grays;
            for (int y = plotArea.top() + 10; y < plotArea.bottom() - 10; ++y)
                grays.append(qGray(image.pixel(x, y)));
            std::sort(grays.begin(), grays.end());
            return grays[grays.size() / 2];
        };
        const int shadedX = groove.left() + groove.width() * 20 / 100;
        const int clearX = groove.left() + groove.width() * 80 / 100;
        QVERIFY(columnGray(shadedX) > columnGray(clearX) + 20);
    }

    void allZeroFileStillShowsItsAxis()
    {
        Band band;
        band.host.resize(280, 220);
        QVERIFY(QTest::qWaitForWindowExposed(&band.host));
        plot(*band.chart, sineSamples(30, 0.0f), QTime(0, 0, 30));
        QCOMPARE(band.chart->axisY()->min(), -1.0);
        QCOMPARE(band.chart->axisY()->max(), 1.0);
        QTest::qWait(50);
        TestSupport::saveScreenshot(&band.host, QStringLiteral("band-chart-all-zero"));
        // the three flat lines lie on one row in the middle of the plot; Z is drawn last
        const QImage image = band.host.grab().toImage();
        const QRect plotArea = band.plotArea();
        const QRect middle(plotArea.left() + plotArea.width() / 3, plotArea.center().y() - 6,
                           plotArea.width() / 2, 12);
        const auto orange = [](QColor c) {
            return c.red() > c.blue() + 50 && c.green() > c.blue();
        };
        QVERIFY(pixelsWhere(image, middle, orange) > plotArea.width() / 3);
        // white axis labels at the left
        const QRect labels(plotArea.left(), plotArea.top(), 30, plotArea.height());
        QVERIFY(pixelsNear(image, labels, Qt::white, 60) > 10);
    }
};

TALVEX_TEST_MAIN(TstFormChart)
#include "tst_formchart.moc"

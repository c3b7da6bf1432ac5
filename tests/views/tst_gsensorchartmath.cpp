#include "gsensorchartmath.h"
#include "testsupport.h"

Q_DECLARE_METATYPE(QVector<float>)

class TstGSensorChartMath : public QObject
{
    Q_OBJECT
private:
    static QVector<VideoInfo_t> samplesOf(const QVector<float> &values)
    {
        QVector<VideoInfo_t> samples;
        for (int i = 0; i + 2 < values.size(); i += 3) {
            VideoInfo_t s;
            s.gX = values[i];
            s.gY = values[i + 1];
            s.gZ = values[i + 2];
            samples.append(s);
        }
        return samples;
    }

private slots:
    void yRangeEnclosesEveryValueAndZero_data()
    {
        QTest::addColumn<QVector<float>>("values");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::newRow("all positive")
            << QVector<float>{0.2f, 1.4f, 0.7f, 0.1f, 0.3f, 0.9f} << 0 << 2;
        QTest::newRow("-0.4..0.3")
            << QVector<float>{-0.4f, 0.3f, 0.0f, 0.1f, -0.2f, 0.25f} << -1 << 1;
        QTest::newRow("all negative") << QVector<float>{-0.5f, -2.5f, -0.1f} << -3 << 0;
        QTest::newRow("whole numbers") << QVector<float>{-1.0f, 2.0f, 0.0f} << -1 << 2;
        QTest::newRow("no sensor: all zero") << QVector<float>{0, 0, 0, 0, 0, 0} << -1 << 1;
        QTest::newRow("no samples") << QVector<float>{} << -1 << 1;
    }
    void yRangeEnclosesEveryValueAndZero()
    {
        QFETCH(QVector<float>, values);
        const GSensorChart::AxisRange range = GSensorChart::yRange(samplesOf(values));
        QTEST(range.min, "min");
        QTEST(range.max, "max");
    }

    void durationAndPositionUnits_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<int>("xMax");
        QTest::addColumn<int>("sliderMax");
        QTest::newRow("59 999 ms") << qint64(59999) << 59 << 5999;
        QTest::newRow("one second") << qint64(1000) << 1 << 100;
        QTest::newRow("under a second") << qint64(999) << 0 << 99;
        QTest::newRow("null") << qint64(0) << 0 << 0;
    }
    void durationAndPositionUnits()
    {
        QFETCH(qint64, ms);
        QFETCH(int, xMax);
        QFETCH(int, sliderMax);
        QCOMPARE(GSensorChart::xMaximum(ms), xMax);
        QCOMPARE(GSensorChart::sliderMaximum(ms), sliderMax);
    }

    void positionInHundredths()
    {
        QCOMPARE(GSensorChart::sliderValue(12345), 1234);
        QCOMPARE(GSensorChart::sliderValue(9), 0);
    }

    // Worked by hand from the formula with real division, each result truncated.
    void sliderGeometryOverThePlot()
    {
        const GSensorChart::SliderGeometry g = GSensorChart::sliderGeometry(300, 110, 900);
        QCOMPARE(g.top, 0);
        QCOMPARE(g.groove, 96);                      // 18 - 15.36 + 93.5 = 96.14
        QCOMPARE(g.viewHeight, 107);                 // 96 x 1.12 = 107.52
        QCOMPARE(g.left, 50);                        // 60 - (36.9 - 27.675) = 50.775
        QCOMPARE(g.slider, QRect(49, -4, 252, 112)); // y = 3.42 - 8 = -4.58
        QCOMPARE(g.chartView, QRect(5, 0, 300, 107));
        QVERIFY(g.styleSheet.contains(QLatin1String("QSlider::groove:horizontal { border:none; "
                                                    "height: 96px; }")));
        QVERIFY(g.styleSheet.contains(QLatin1String("margin-top: -8px; margin-bottom: 88px;")));
        QVERIFY(g.styleSheet.contains(
            QLatin1String("background: rgba(201,202,202,80); margin-left: 1px;")));
    }

    void valueTexts_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.5") << 0.5f << "+0.5";
        QTest::newRow("-1.25") << -1.25f << "-1.25";
        QTest::newRow("0") << 0.0f << "+0";
        QTest::newRow("-0") << -0.0f << "+0";
        QTest::newRow("six digits") << 1.2345678f << "+1.23457";
    }
    void valueTexts()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(GSensorChart::valueText(value), text);
    }

    void readoutSizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("grid");
        QTest::addColumn<int>("letterPx");
        QTest::addColumn<int>("valuePx");
        QTest::newRow("form size 825 x 112") << 825 << 112 << QSize(180, 110) << 20 << 10;
        QTest::newRow("1096 x 150") << 1096 << 150 << QSize(245, 300) << 21 << 11;
    }
    void readoutSizes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const GSensorChart::ReadoutSizes sizes = GSensorChart::readoutSizes(width, height);
        QTEST(sizes.grid, "grid");
        QTEST(sizes.letterPx, "letterPx");
        QTEST(sizes.valuePx, "valuePx");
    }
};

TALVEX_TEST_MAIN(TstGSensorChartMath)
#include "tst_gsensorchartmath.moc"

#include "overlaysamples.h"
#include "testsupport.h"
#include "tripdatatexts.h"

Q_DECLARE_METATYPE(QVector<double>)

class TstTripDataTexts : public QObject
{
    Q_OBJECT
private slots:
    void timeInDateFormat_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("shown");
        const QString t = QStringLiteral("12:34:56  31/12/2023");
        QTest::newRow("day-month-year") << t << 0 << t;
        QTest::newRow("month-day-year") << t << 1 << "12:34:56  12/31/2023";
        QTest::newRow("year-month-day") << t << 2 << "12:34:56  2023/12/31";
        QTest::newRow("unknown format") << t << 3 << "-";
        const QString nineteen = QStringLiteral("12:34:56 31/12/2023");
        for (int format = 0; format <= 2; ++format)
            QTest::addRow("19 characters, format %d", format) << nineteen << format << nineteen;
        QTest::newRow("empty") << QString() << 1 << QString();
    }
    void timeInDateFormat()
    {
        QFETCH(QString, text);
        QFETCH(int, format);
        QTEST(TripData::formatDateTime(text, format), "shown");
    }

    void validSamples_data()
    {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<bool>("isValid");
        QTest::addColumn<bool>("positionRead"); // false: the reader left the texts empty
        QTest::addColumn<bool>("shown");
        const QString clock = QStringLiteral("12:34:56  31/12/2023");
        QTest::newRow("position and time") << clock << 25.0 << 121.5 << true << true << true;
        QTest::newRow("latitude 0 only") << clock << 0.0 << 121.5 << true << true << true;
        QTest::newRow("longitude 0 only") << clock << 25.0 << 0.0 << true << true << true;
        QTest::newRow("no fix at 0, 0") << clock << 0.0 << 0.0 << true << true << false;
        QTest::newRow("player says invalid") << clock << 25.0 << 121.5 << false << true << false;
        QTest::newRow("no time") << QString() << 25.0 << 121.5 << true << true << false;
        // the map has filled its numbers from the previous second
        QTest::newRow("damaged record") << clock << 25.0 << 121.5 << true << false << false;
    }
    void validSamples()
    {
        QFETCH(QString, clock);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(bool, isValid);
        QFETCH(bool, positionRead);
        VideoInfo_t vi = OverlaySamples::sample(lat, lon);
        vi.clockTime = clock;
        if (!positionRead) {
            vi.latText.clear();
            vi.lonText.clear();
        }
        QTEST(TripData::isShownValid(vi, isValid), "shown");
    }

    void averageAndMaximum_data()
    {
        QTest::addColumn<QVector<double>>("kmh");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("maximum");
        QTest::newRow("10, 20, 0 km/h") << QVector<double>{10, 20, 0} << 1 << "10.0 kmh"
                                        << "20.0 kmh";
        // the mph values of these samples are half the km/h values
        QTest::newRow("mph") << QVector<double>{10, 20, 0} << 0 << "5.0 mph"
                             << "10.0 mph";
        QTest::newRow("unknown unit counts, adds nothing")
            << QVector<double>{10, 20} << 7 << "0.0 kmh"
            << "0.0 kmh";
    }
    void averageAndMaximum()
    {
        QFETCH(QVector<double>, kmh);
        QFETCH(int, unit);
        QVector<VideoInfo_t> samples;
        for (double v : kmh) {
            VideoInfo_t s;
            s.speedKmh = v;
            s.speedMph = v / 2;
            samples.append(s);
        }
        const auto summary = TripData::computeSpeedAvgMax(samples, unit);
        QVERIFY(summary);
        QTEST(TripData::summaryText(summary->average, unit), "average");
        QTEST(TripData::summaryText(summary->maximum, unit), "maximum");
    }

    void noSamplesGiveNoSummary() { QVERIFY(!TripData::computeSpeedAvgMax({}, SpeedKmh)); }

    void needleTargets_data()
    {
        QTest::addColumn<double>("kmh");
        QTest::addColumn<int>("degrees");
        QTest::newRow("100.5 km/h") << 100.5 << 136;
        QTest::newRow("200 km/h fill the dial") << 200.0 << 270;
        QTest::newRow("0.4 km/h") << 0.4 << 0;
        QTest::newRow("negative speed") << -12.0 << 0;
    }
    void needleTargets()
    {
        QFETCH(double, kmh);
        QTEST(TripData::needleTarget(kmh), "degrees");
    }

    void speedAndCompassTexts()
    {
        QCOMPARE(TripData::currentSpeedText(100.4), QStringLiteral("100"));
        QCOMPARE(TripData::currentSpeedText(62.6), QStringLiteral("63"));
        QCOMPARE(TripData::unitText(SpeedMph), QStringLiteral("mph"));
        QCOMPARE(TripData::unitText(SpeedKmh), QStringLiteral("kmh"));
        QCOMPARE(TripData::compassValue(QStringLiteral("NE"), QStringLiteral("45")),
                 QStringLiteral("NE    45"));
        QCOMPARE(TripData::compassValue(QString(), QStringLiteral("45")), QStringLiteral("45"));
    }

    // Worked by hand from the formulas with real division, each result truncated.
    void layoutSizes_data()
    {
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QList<int>>("sizes");
        // info w, info h, gauge, unit top, icon, spacer, divider, caption, value, speed, unit,
        // back w, back h, readout w, readout h
        QTest::newRow("1600 x 900, panel 1096 x 150")
            << QList<int>{1600, 900, 1096, 150}
            << QList<int>{13, 129, 161, 2, 53, 16, 117, 15, 13, 49, 18, 156, 133, 1096, 150};
        QTest::newRow("1280 x 675, panel 825 x 100")
            << QList<int>{1280, 675, 825, 100}
            << QList<int>{9, 89, 106, 2, 40, 12, 87, 11, 10, 37, 13, 127, 99, 825, 110};
    }
    void layoutSizes()
    {
        QFETCH(QList<int>, args);
        QFETCH(QList<int>, sizes);
        const TripData::LayoutSizes l = TripData::layoutSizes(args[0], args[1], args[2], args[3]);
        const QList<int> got{l.informationPicture.width(),
                             l.informationPicture.height(),
                             l.gauge,
                             l.unitTopMargin,
                             l.icon,
                             l.spacerWidth,
                             l.dividerHeight,
                             l.captionPx,
                             l.valuePx,
                             l.speedPx,
                             l.unitPx,
                             l.backPicture.width(),
                             l.backPicture.height(),
                             l.readout.width(),
                             l.readout.height()};
        QCOMPARE(got, sizes);
    }

    // 7.69 x 13.037 = 100.25: the factor's last digits count
    void dividerHeightAtItsBoundary()
    {
        QCOMPARE(TripData::layoutSizes(1280, 769, 825, 112).dividerHeight, 100);
    }

    // 1600 x 900: area 144 high, frame 139, gauge of a 119 panel 127 high fits the frame.
    void bandSizesInTheMainWindow()
    {
        const TripData::BandSizes b = TripData::bandSizes(900, 1096);
        QCOMPARE(b.areaHeight, 144);
        QCOMPARE(b.panel, QSize(1096, 139));
        QCOMPARE(b.layoutHeight, 119);
        QCOMPARE(b.chart, QSize(235, 79));
        const TripData::LayoutSizes l = TripData::layoutSizes(1600, 900, 1096, b.layoutHeight);
        QCOMPARE(l.gauge, 127);
        QVERIFY(l.gauge <= b.panel.height());
        QVERIFY(l.dividerHeight <= b.panel.height());
        QVERIFY(l.informationPicture.height() <= b.panel.height());
    }
};

TALVEX_TEST_MAIN(TstTripDataTexts)
#include "tst_tripdatatexts.moc"

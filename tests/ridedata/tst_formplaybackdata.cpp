// The ride information panel in a real window: unit texts, placeholders, the calorie tile,
// chart ranges and clicks, sizes.
#include "chartgeometry.h"
#include "chartview.h"
#include "formchartview.h"
#include "formplaybackdata.h"
#include "testsupport.h"

#include <QLabel>
#include <QSignalSpy>

#include <memory>

namespace {
// A ride summary and its points: distance metres over seconds, average speedKmh.
struct Ride
{
    QVector<PlaybackInfo_t> points;
    PlaybackInfo_t summary;
};

Ride makeRide(double metres, int seconds, double speedKmh)
{
    Ride r;
    const int n = qMax(2, seconds / 5);
    for (int i = 0; i < n; ++i) {
        PlaybackInfo_t p;
        p.distance = metres * i / (n - 1);
        p.speedMph = speedKmh * 0.62137;
        p.altitude = 100 + i % 7;
        r.points << p;
    }
    r.summary.duration = QStringLiteral("01:00:00");
    r.summary.distance = metres;
    r.summary.distanceMax = metres;
    r.summary.speedAvg = speedKmh * 0.62137;
    r.summary.speedMax = speedKmh * 0.62137 + 3;
    r.summary.altitudeMax = 106;
    r.summary.altitudeMin = 100;
    r.summary.altitudeMinNonZero = 100;
    r.summary.altitudeRising = 70.4;
    r.summary.altitudeDecrease = -35.2;
    r.summary.altitudeReference = 101;
    r.summary.totalSeconds = seconds;
    return r;
}
} // namespace

class TstFormPlaybackData : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithImperialPlaceholders();
    void distanceTexts_data();
    void distanceTexts();
    void figuresFollowTheUnitSystem();
    void rideWithoutFiguresShowsPlaceholders();
    void placeholdersFollowTheUnitSystem_data();
    void placeholdersFollowTheUnitSystem();
    void calorieTileRoundsAlikeAfterLoadAndSave();
    void calorieNeedsEveryMeasure();
    void defaultBodyDataResetsThePeriodPanel();
    void distanceChartCoversTheWholeRide();
    void chartClicksAskForASeek();
    void pageSizeScalesTilesAndCharts();

private:
    QString text(const char *name) const
    {
        return panel_->findChild<QLabel *>(QLatin1String(name))->text();
    }
    void load(const Ride &ride)
    {
        panel_->setData(ride.points, ride.summary);
        panel_->updateData(ride.summary);
    }
    std::unique_ptr<FormPlaybackData> panel_;
};

void TstFormPlaybackData::init()
{
    panel_ = std::make_unique<FormPlaybackData>();
    panel_->show();
}

void TstFormPlaybackData::cleanup()
{
    panel_.reset();
}

void TstFormPlaybackData::startsWithImperialPlaceholders()
{
    QCOMPARE(text("speedAvgValue"), QStringLiteral("- mph"));
    QCOMPARE(text("altitudeMaxValue"), QStringLiteral("- ft"));
    QCOMPARE(text("distaceUnitChart"), QStringLiteral("unit : mile"));
    QCOMPARE(panel_->durationValueLabel()->text(), QStringLiteral("00:00:00"));
    QCOMPARE(panel_->distanceUnitLabel()->text(), QStringLiteral("ft"));
    QCOMPARE(panel_->calorieValueLabel()->text(), QStringLiteral("0"));
}

void TstFormPlaybackData::distanceTexts_data()
{
    QTest::addColumn<double>("metres");
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("header");
    QTest::newRow("90 m metric") << 90.0 << int(UnitSystem::metric) << "90"
                                 << "m"
                                 << "90.0 m";
    QTest::newRow("12.46 km metric") << 12460.0 << int(UnitSystem::metric) << "12"
                                     << "km"
                                     << "12.5";
    QTest::newRow("3.2 km imperial") << 3200.0 << int(UnitSystem::imperial) << "2"
                                     << "mile"
                                     << "2.0";
    QTest::newRow("100 m imperial, in feet") << 100.0 << int(UnitSystem::imperial) << "328"
                                             << "ft"
                                             << "328.1 ft";
}

void TstFormPlaybackData::distanceTexts()
{
    QFETCH(double, metres);
    QFETCH(int, units);
    QFETCH(QString, tile);
    QFETCH(QString, unit);
    QFETCH(QString, header);
    panel_->setUnitSystem(units);
    load(makeRide(metres, 3600, 20));
    QCOMPARE(panel_->distanceValueLabel()->text(), tile);
    QCOMPARE(panel_->distanceUnitLabel()->text(), unit);
    QCOMPARE(text("distanceTotalValue"), header);
}

void TstFormPlaybackData::figuresFollowTheUnitSystem()
{
    load(makeRide(12460, 3600, 20));
    QCOMPARE(text("speedAvgValue"), QStringLiteral("12 mph"));
    QCOMPARE(text("altitudeDecreaseValue"), QStringLiteral("-115.49 ft"));
    QCOMPARE(text("speedUnitChart"), QStringLiteral("unit : mph"));
    panel_->setUnitSystem(UnitSystem::metric); // the setting changed while the ride is shown
    QCOMPARE(text("speedAvgValue"), QStringLiteral("20 kmh"));
    QCOMPARE(text("speedMaxValue"), QStringLiteral("25 kmh"));
    QCOMPARE(text("altitudeMaxValue"), QStringLiteral("106.00 m"));
    QCOMPARE(text("altitudeMinValue"), QStringLiteral("100.00 m"));
    QCOMPARE(text("altitudeRisingValue"), QStringLiteral("70.40 m"));
    QCOMPARE(text("altitudeDecreaseValue"), QStringLiteral("-35.20 m"));
    QCOMPARE(text("altitudeAvgValue"), QStringLiteral("101"));
    QCOMPARE(text("altitudeTotalValue"), QStringLiteral("35.20"));
    QCOMPARE(text("speedAvgValue_2"), QStringLiteral("20"));
    QCOMPARE(text("distaceUnitChart"), QStringLiteral("unit : km"));
    QCOMPARE(text("speedUnitChart"), QStringLiteral("unit : kmh"));
    QCOMPARE(text("altitudeUnitChart"), QStringLiteral("unit : m"));
}

void TstFormPlaybackData::rideWithoutFiguresShowsPlaceholders()
{
    Ride ride = makeRide(0, 60, 0);
    ride.summary = PlaybackInfo_t();
    ride.summary.duration = QStringLiteral("00:01:00");
    panel_->setUnitSystem(UnitSystem::metric);
    load(ride);
    QCOMPARE(text("speedAvgValue"), QStringLiteral("- kmh"));
    QCOMPARE(text("altitudeMinValue"), QStringLiteral("- m"));
    QCOMPARE(panel_->distanceValueLabel()->text(), QStringLiteral("0"));
    QCOMPARE(panel_->distanceUnitLabel()->text(), QStringLiteral("m"));
    QCOMPARE(text("distanceTotalValue"), QStringLiteral("0.0 u"));
}

void TstFormPlaybackData::placeholdersFollowTheUnitSystem_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<bool>("rideFirst");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("distanceUnit");
    QTest::addColumn<QString>("distanceChart");
    QTest::newRow("metric, cleared ride") << int(UnitSystem::metric) << true << "- kmh"
                                          << "- m"
                                          << "m"
                                          << "unit : km";
    QTest::newRow("imperial, cleared ride") << int(UnitSystem::imperial) << true << "- mph"
                                            << "- ft"
                                            << "ft"
                                            << "unit : mile";
    QTest::newRow("metric, before any ride") << int(UnitSystem::metric) << false << "- kmh"
                                             << "- m"
                                             << "m"
                                             << "unit : km";
    QTest::newRow("imperial, before any ride") << int(UnitSystem::imperial) << false << "- mph"
                                               << "- ft"
                                               << "ft"
                                               << "unit : mile";
}

void TstFormPlaybackData::placeholdersFollowTheUnitSystem()
{
    QFETCH(int, units);
    QFETCH(bool, rideFirst);
    QFETCH(QString, speed);
    QFETCH(QString, height);
    QFETCH(QString, distanceUnit);
    QFETCH(QString, distanceChart);
    // the other system first, so that every text has to change
    panel_->setUnitSystem(units == UnitSystem::metric ? UnitSystem::imperial : UnitSystem::metric);
    panel_->setUnitSystem(units);
    if (rideFirst) {
        load(makeRide(12460, 3600, 20));
        panel_->clearData();
    }
    QCOMPARE(text("speedAvgValue"), speed);
    QCOMPARE(text("speedMaxValue"), speed);
    QCOMPARE(text("altitudeMaxValue"), height);
    QCOMPARE(text("altitudeDecreaseValue"), height);
    QCOMPARE(text("distanceTotalValue"), QStringLiteral("-"));
    QCOMPARE(panel_->durationValueLabel()->text(), QStringLiteral("00:00:00"));
    QCOMPARE(panel_->distanceValueLabel()->text(), QStringLiteral("0"));
    QCOMPARE(panel_->distanceUnitLabel()->text(), distanceUnit);
    QCOMPARE(text("distaceUnitChart"), distanceChart);
}

void TstFormPlaybackData::calorieTileRoundsAlikeAfterLoadAndSave()
{
    // male, 30 years, 5 ft 10 in, 170 lb, one hour at 20 km/h: 599.68 kcal
    panel_->setBodydataParameter(30, 5, 10, 170, 1);
    QCOMPARE(panel_->calorieValueLabel()->text(), QStringLiteral("0")); // no ride yet
    load(makeRide(20000, 3600, 20));
    QCOMPARE(panel_->calorieValueLabel()->text(), QStringLiteral("600"));
    panel_->setBodydataParameter(30, 5, 10, 170, 1);
    QCOMPARE(panel_->calorieValueLabel()->text(), QStringLiteral("600"));
}

void TstFormPlaybackData::calorieNeedsEveryMeasure()
{
    load(makeRide(20000, 3600, 20));
    panel_->setBodydataParameter(30, 5, 10, 10000, 1); // weight left empty
    QCOMPARE(panel_->calorieValueLabel()->text(), QStringLiteral("0"));
    load(makeRide(200, 55, 20)); // under a minute
    panel_->setBodydataParameter(30, 5, 10, 170, 1);
    QCOMPARE(panel_->calorieValueLabel()->text(), QStringLiteral("0"));
}

void TstFormPlaybackData::defaultBodyDataResetsThePeriodPanel()
{
    QSignalSpy spy(panel_.get(), &FormPlaybackData::bodydataParameterTriggered);
    panel_->setBodydataParameter(30, 5, 10, 170, 1);
    panel_->setDefaultBodyData();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), (QVariantList{30, 5, 10, 170, 1}));
    QCOMPARE(spy.at(1), (QVariantList{1000, 100, 100, 10000, 0}));
    QVERIFY(!panel_->bodyData().isSet());
}

void TstFormPlaybackData::distanceChartCoversTheWholeRide()
{
    Ride ride = makeRide(5000, 600, 20);
    ride.summary.distanceMax = 4000; // the last kilometre without altitude
    panel_->setUnitSystem(UnitSystem::metric);
    load(ride);
    const ChartItem *item = panel_->distanceChart()->chartView()->getItem();
    QCOMPARE(item->max, 5.0f);
    QCOMPARE(item->values.size(), ride.points.size());
    QVERIFY(!item->averageVisible);
    QVERIFY(panel_->speedChart()->chartView()->getItem()->averageVisible);
}

void TstFormPlaybackData::chartClicksAskForASeek()
{
    panel_->setPageSize(1200, 300, 1.0f, 1.0f);
    load(makeRide(5000, 600, 20));
    QSignalSpy spy(panel_.get(), &FormPlaybackData::setSliderValueTriggered);
    for (FormChartView *chart :
         {panel_->distanceChart(), panel_->speedChart(), panel_->altitudeChart()}) {
        ChartView *view = chart->chartView();
        const ChartItem *item = view->getItem();
        const int x = item->leftMargin + ChartGeometry::plotWidth(*item) / 2;
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(x, 20));
    }
    QCOMPARE(spy.count(), 3);
    for (const QVariantList &args : spy)
        QVERIFY(qAbs(args.at(0).toFloat() - 50.0f) < 2.0f);
    panel_->setChartPosition(100.5f); // outside 0..100: ignored
    panel_->setChartPosition(40.0f);
    panel_->setChartPosition(120.0f);
    QCOMPARE(panel_->speedChart()->chartView()->getItem()->position, 40.0f);
}

void TstFormPlaybackData::pageSizeScalesTilesAndCharts()
{
    panel_->setPageSize(1200, 300, 1.0f, 1.0f);
    QCOMPARE(panel_->findChild<QLabel *>(QStringLiteral("durationBack"))->minimumWidth(), 82);
    QCOMPARE(panel_->findChild<QLabel *>(QStringLiteral("calorieBack"))->minimumWidth(), 73);
    QCOMPARE(panel_->findChild<QLabel *>(QStringLiteral("speedAvgLabel"))->minimumWidth(), 35);
    QCOMPARE(panel_->findChild<QLabel *>(QStringLiteral("speedAvgTitle"))->font().pointSize(), 10);
    QCOMPARE(panel_->findChild<QLabel *>(QStringLiteral("speedAvgValue"))->font().pointSize(), 8);
    QCOMPARE(panel_->speedChart()->chartView()->getItem()->size, QSize(338, 106));
}

TALVEX_TEST_MAIN(TstFormPlaybackData)
#include "tst_formplaybackdata.moc"

// The period charts panel in a real window: bars, SUMMARY texts and units, title, bar clicks.
#include "chartgeometry.h"
#include "chartview.h"
#include "formchartdataview.h"
#include "formchartview.h"
#include "formplaybackdata.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

namespace {
PlaybackInfo2_t day(int index, const QString &date, double metres, double speedMph = 10,
                    int seconds = 3600)
{
    PlaybackInfo2_t d;
    d.dayIndex = index;
    d.date = date;
    d.distance = metres;
    d.speedAvg = speedMph;
    d.speedMax = speedMph + 5;
    d.totalSeconds = seconds;
    d.altitude = -metres / 100; // shown as its absolute value
    return d;
}
} // namespace

class TstFormChartDataView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sevenDayBarsAndSummary();
    void distanceSummaryUnits_data();
    void distanceSummaryUnits();
    void secondFileOfADayAddsNothing();
    void speedShowsTheWindowsTopSpeed();
    void unitsFollowTheSetting();
    void calorieOfTheWindow();
    void noWindowGivesAnEmptyChart();
    void dateTitles_data();
    void dateTitles();
    void periodButtonsAnnounceThePeriod();
    void barClickNamesTheBar();

private:
    QString text(const char *name) const
    {
        return panel_->findChild<QLabel *>(QLatin1String(name))->text();
    }
    const ChartItem *item() const { return panel_->chart()->chartView()->getItem(); }
    std::unique_ptr<FormChartDataView> panel_;
};

void TstFormChartDataView::init()
{
    panel_ = std::make_unique<FormChartDataView>();
    panel_->setUnitSystem(UnitSystem::metric);
    panel_->show();
}

void TstFormChartDataView::cleanup()
{
    panel_.reset();
}

void TstFormChartDataView::sevenDayBarsAndSummary()
{
    panel_->setChartData(
        {day(0, QStringLiteral("20240501"), 12000), day(2, QStringLiteral("20240503"), 8000)}, 1);
    QCOMPARE(item()->values, (QJsonArray{12.0, 0, 8.0, 0, 0, 0, 0}));
    QCOMPARE(item()->max, 12.0f);
    QCOMPARE(item()->min, 0.0f);
    QCOMPARE(item()->average, static_cast<float>(20.0 / 7));
    QCOMPARE(text("data2"), QStringLiteral("20.0"));
    QCOMPARE(text("label_data2unit"), QStringLiteral("km"));
    QCOMPARE(text("data1"), QStringLiteral("2.9"));
    QCOMPARE(text("label_data1unit"), QStringLiteral("km"));
    QCOMPARE(text("data2_LeftTv"), QStringLiteral("Total\nDistance"));
    panel_->displayAltitudeData(); // negative figures are drawn as their size
    QCOMPARE(item()->values, (QJsonArray{120.0, 0, 80.0, 0, 0, 0, 0}));
}

void TstFormChartDataView::distanceSummaryUnits_data()
{
    QTest::addColumn<double>("metres");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("averageUnit");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("totalUnit");
    QTest::newRow("50 m") << 50.0 << 1 << "7.1"
                          << "m"
                          << "50.0"
                          << "m";
    QTest::newRow("0.05 m a day") << 1.4 << 2 << "50.0m"
                                  << "m"
                                  << "1.4"
                                  << "m";
    QTest::newRow("1500 km") << 1500000.0 << 1 << "214.3"
                             << "km"
                             << "1.5k"
                             << "km";
}

void TstFormChartDataView::distanceSummaryUnits()
{
    QFETCH(double, metres);
    QFETCH(int, period);
    QFETCH(QString, average);
    QFETCH(QString, averageUnit);
    QFETCH(QString, total);
    QFETCH(QString, totalUnit);
    panel_->setChartData({day(0, QStringLiteral("20240501"), metres)}, period);
    QCOMPARE(text("data1"), average);
    QCOMPARE(text("label_data1unit"), averageUnit);
    QCOMPARE(text("data2"), total);
    QCOMPARE(text("label_data2unit"), totalUnit);
}

void TstFormChartDataView::secondFileOfADayAddsNothing()
{
    // the page has folded the second file into the first
    panel_->setChartData(
        {day(0, QStringLiteral("20240501"), 5000), day(0, QStringLiteral("20240501"), 3000)}, 1);
    QCOMPARE(item()->values.at(0).toDouble(), 5.0);
    QCOMPARE(text("data2"), QStringLiteral("5.0"));
}

void TstFormChartDataView::speedShowsTheWindowsTopSpeed()
{
    panel_->setUnitSystem(UnitSystem::imperial);
    panel_->displaySpeedData();
    panel_->setChartData(
        {day(0, QStringLiteral("20240501"), 1, 20), day(1, QStringLiteral("20240502"), 1, 10)}, 1);
    QCOMPARE(text("data2"), QStringLiteral("25.0")); // day 1's 25 mph, not the last day's 15
    QCOMPARE(text("label_data1unit"), QStringLiteral("mph"));
    QCOMPARE(text("label_data2unit"), QStringLiteral("mph"));
    QCOMPARE(text("unitTv"), QStringLiteral("unit : mph"));
    QCOMPARE(text("data2_LeftTv"), QStringLiteral("Max\nSpeed"));
}

void TstFormChartDataView::unitsFollowTheSetting()
{
    panel_->setChartData({day(0, QStringLiteral("20240501"), 16093.4)}, 1);
    QCOMPARE(text("label_data2unit"), QStringLiteral("km"));
    panel_->setUnitSystem(UnitSystem::imperial);
    QCOMPARE(text("data2"), QStringLiteral("10.0"));
    QCOMPARE(text("label_data2unit"), QStringLiteral("mile"));
    QCOMPARE(text("unitTv"), QStringLiteral("unit : mile"));
    QVERIFY(qAbs(item()->values.at(0).toDouble() - 10.0) < 0.001);
}

void TstFormChartDataView::calorieOfTheWindow()
{
    // one hour at 20 km/h on each of two days, male example: 599.68 kcal a day
    const double mph = 20 * 0.62137;
    panel_->setChartData(
        {day(0, QStringLiteral("20240501"), 1, mph), day(3, QStringLiteral("20240504"), 1, mph)},
        1);
    QCOMPARE(text("data3"), QStringLiteral("0"));
    panel_->setBodydataParameter(30, 5, 10, 170, 1);
    QCOMPARE(text("data3"), QStringLiteral("1199"));
    panel_->setBodydataParameter(1000, 100, 100, 10000, 0);
    QCOMPARE(text("data3"), QStringLiteral("0"));
}

void TstFormChartDataView::noWindowGivesAnEmptyChart()
{
    panel_->setChartData({day(0, QStringLiteral("20240501"), 5000)}, 1);
    panel_->setChartData({}, 0);
    QVERIFY(item()->values.isEmpty());
    QCOMPARE(text("data1"), QStringLiteral("0.0"));
}

void TstFormChartDataView::dateTitles_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("title");
    QTest::newRow("7 days DMY") << "20190105" << 1 << 0 << "05 / 01 / 2019  -  11 / 01 / 2019";
    QTest::newRow("4 weeks YMD") << "20190105" << 2 << 2 << "2019 / 01 / 05  -  2019 / 02 / 01";
    QTest::newRow("invalid MDY") << "2019xx05" << 1 << 1
                                 << "- - / - - / - - - -  -  - - / - - / - - - -";
    QTest::newRow("invalid YMD") << "" << 2 << 2 << "- - - - / - - / - -  -  - - - - / - - / - -";
}

void TstFormChartDataView::dateTitles()
{
    QFETCH(QString, start);
    QFETCH(int, period);
    QFETCH(int, format);
    QFETCH(QString, title);
    panel_->setDateTitle(start, period, format);
    QCOMPARE(text("titleTv"), title);
}

void TstFormChartDataView::periodButtonsAnnounceThePeriod()
{
    QSignalSpy seven(panel_.get(), &FormChartDataView::chartSevenDaysTypeTriggered);
    QSignalSpy four(panel_.get(), &FormChartDataView::chartFourWeeksTypeTriggered);
    QTest::mouseClick(panel_->findChild<QPushButton *>(QStringLiteral("fourWeeksBtn")),
                      Qt::LeftButton);
    QCOMPARE(four.count(), 1);
    QCOMPARE(item()->periodType, int(ChartPeriod::twentyEightBars));
    QTest::mouseClick(panel_->findChild<QPushButton *>(QStringLiteral("sevenDaysBtn")),
                      Qt::LeftButton);
    QCOMPARE(seven.count(), 1);
    QCOMPARE(item()->periodType, int(ChartPeriod::sevenBars));
    // a window over the end of February labels 29 February: the chart has the full date
    panel_->setDateTitle(QStringLiteral("20240226"), 1, 2);
    QCOMPARE(ChartGeometry::firstBarDate(item()->date, 2023).addDays(3), QDate(2024, 2, 29));
}

void TstFormChartDataView::barClickNamesTheBar()
{
    panel_->setPanelSize(701, 353);
    panel_->changeBarChartSevenDays();
    panel_->setChartData({day(2, QStringLiteral("20240503"), 8000)}, 1);
    QSignalSpy spy(panel_.get(), &FormChartDataView::dateSelectedHighlightTriggered);
    const int x = ChartGeometry::barCentreX(*item(), 7, 2);
    QTest::mousePress(panel_->chart()->chartView()->viewport(), Qt::LeftButton, {}, QPoint(x, 40));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toFloat(), 3.0f);
}

TALVEX_TEST_MAIN(TstFormChartDataView)
#include "tst_formchartdataview.moc"

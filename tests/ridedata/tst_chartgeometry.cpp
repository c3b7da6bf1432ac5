// Value rules of the chart widget: axis texts, ranges, bar layout and click mapping.
#include "chartgeometry.h"
#include "testsupport.h"

#include <limits>

using namespace ChartGeometry;

namespace {
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinite = std::numeric_limits<float>::infinity();

// The period charts' layout: 450 x 140 row, margins 24 / 25, so the plot is 401 wide.
ChartItem barItem(int periodType)
{
    ChartItem item;
    item.chartType = ChartType::bar;
    item.periodType = periodType;
    item.size = QSize(450, 140);
    item.leftMargin = 24;
    item.rightMargin = 25;
    item.bottomMargin = 30;
    return item;
}

// The ride panel's layout: 200 x 62 row, default margins, so the plot is 155 wide.
ChartItem lineItem(int valueCount)
{
    ChartItem item;
    item.size = QSize(200, 62);
    for (int i = 0; i < valueCount; ++i)
        item.values.append(i);
    return item;
}
} // namespace

class TstChartGeometry : public QObject
{
    Q_OBJECT

private slots:
    void axisLabels_data();
    void axisLabels();
    void ranges_data();
    void ranges();
    void barCentres_data();
    void barCentres();
    void barDates_data();
    void barDates();
    void firstBarDate_data();
    void firstBarDate();
    void lineClicks_data();
    void lineClicks();
    void barClicks_data();
    void barClicks();
    void plotHeights();
};

void TstChartGeometry::axisLabels_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("thousands") << 1500.0f << "+1.5k";
    QTest::newRow("milli, negative") << -0.05f << "-50m";
    QTest::newRow("whole number") << 12.4f << "+12";
    QTest::newRow("zero") << 0.0f << "0.0";
    QTest::newRow("one decimal") << 2.25f << "+2.3";
    QTest::newRow("negative one decimal") << -9.5f << "-9.5";
    QTest::newRow("rounded half up") << -12.5f << "-12";
    QTest::newRow("negative thousands") << -1500.0f << "-1.5k";
    QTest::newRow("millions") << 2500000.0f << "+2.5M";
    QTest::newRow("negative millions") << -25000000.0f << "-25M";
    QTest::newRow("micro") << 0.00005f << "+50u";
    QTest::newRow("below micro is unscaled") << 0.00000001f << "+0.0";
    QTest::newRow("just under 1000") << 999.6f << "+1000";
    QTest::newRow("tenth is unscaled") << 0.1f << "+0.1";
}

void TstChartGeometry::axisLabels()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(axisLabelText(value), text);
}

void TstChartGeometry::ranges_data()
{
    QTest::addColumn<int>("chartType");
    QTest::addColumn<QVector<float>>("given"); // max, min, average
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QVector<float>>("result");
    const QVector<float> defaults{1.0f, -1.0f, 0.0f};
    QTest::newRow("line range") << ChartType::line << QVector<float>{30, 10, 20} << true
                                << QVector<float>{30, 10, 20};
    QTest::newRow("line, all values equal")
        << ChartType::line << QVector<float>{5, 5, 5} << true << QVector<float>{6, 4, 5};
    QTest::newRow("bar, all values equal")
        << ChartType::bar << QVector<float>{5, 5, 5} << true << QVector<float>{7, 5, 6};
    QTest::newRow("average above max")
        << ChartType::line << QVector<float>{30, 10, 31} << false << defaults;
    QTest::newRow("average below min")
        << ChartType::bar << QVector<float>{30, 10, 9} << false << defaults;
    QTest::newRow("not a number") << ChartType::line << QVector<float>{notANumber, 0, 0} << false
                                  << defaults;
    QTest::newRow("infinite") << ChartType::line << QVector<float>{infinite, 0, 0} << false
                              << defaults;
}

void TstChartGeometry::ranges()
{
    QFETCH(int, chartType);
    QFETCH(QVector<float>, given);
    QFETCH(bool, stored);
    QFETCH(QVector<float>, result);
    ChartItem item;
    item.chartType = chartType;
    QCOMPARE(applyRange(item, given[0], given[1], given[2]), stored);
    QCOMPARE(item.max, result[0]);
    QCOMPARE(item.min, result[1]);
    QCOMPARE(item.average, result[2]);
}

void TstChartGeometry::barCentres_data()
{
    QTest::addColumn<int>("periodType");
    QTest::addColumn<QList<int>>("centres");
    QTest::addColumn<QList<int>>("labelLefts");
    // 401 / 14 = 28.64 between a bar's edge and its centre
    QTest::newRow("7 bars") << ChartPeriod::sevenBars
                            << QList<int>{52, 109, 167, 224, 281, 339, 396}
                            << QList<int>{40, 97, 155, 212, 269, 327, 384};
    // 401 / 56 = 7.16
    QTest::newRow("28 bars") << ChartPeriod::twentyEightBars << QList<int>{31, 45, 59, 417}
                             << QList<int>{19, 33, 47, 405};
}

void TstChartGeometry::barCentres()
{
    QFETCH(int, periodType);
    QFETCH(QList<int>, centres);
    QFETCH(QList<int>, labelLefts);
    const ChartItem item = barItem(periodType);
    const int bars = barCount(periodType);
    for (int i = 0; i < centres.size(); ++i) {
        const int index = i < centres.size() - 1 ? i : bars - 1;
        QCOMPARE(barCentreX(item, bars, index), centres[i]);
        QCOMPARE(barLabelLeft(item, bars, index), labelLefts[i]);
    }
    QCOMPARE(barWidth(periodType), bars == 7 ? 18 : 6);
    QCOMPARE(barCount(5), 0);
}

void TstChartGeometry::barDates_data()
{
    QTest::addColumn<int>("bars");
    QTest::addColumn<int>("position");
    QTest::addColumn<QList<int>>("labelled");
    QTest::newRow("7 bars, all labelled") << 7 << 3 << QList<int>{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("28 bars, none selected") << 28 << 0 << QList<int>{0, 27};
    QTest::newRow("28 bars, bar 1 selected") << 28 << 2 << QList<int>{1, 27};
    QTest::newRow("28 bars, second-last selected") << 28 << 27 << QList<int>{0, 26};
    QTest::newRow("28 bars, middle selected") << 28 << 15 << QList<int>{0, 14, 27};
    QTest::newRow("28 bars, first selected") << 28 << 1 << QList<int>{0, 27};
}

void TstChartGeometry::barDates()
{
    QFETCH(int, bars);
    QFETCH(int, position);
    QFETCH(QList<int>, labelled);
    QList<int> shown;
    for (int i = 0; i < bars; ++i) {
        if (barDateVisible(bars, i, position - 1))
            shown << i;
    }
    QCOMPARE(shown, labelled);
}

void TstChartGeometry::firstBarDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QString>("secondLabel");
    QTest::newRow("full date in a leap year")
        << "2024/02/28" << 2023 << QDate(2024, 2, 28) << "02/29";
    QTest::newRow("full date in another year")
        << "2023/02/28" << 2024 << QDate(2023, 2, 28) << "03/01";
    QTest::newRow("month and day") << "12/31" << 2025 << QDate(2025, 12, 31) << "01/01";
    QTest::newRow("29 February without a leap year") << "02/29" << 2023 << QDate() << "";
    QTest::newRow("not a date") << "soon" << 2024 << QDate() << "";
}

void TstChartGeometry::firstBarDate()
{
    QFETCH(QString, date);
    QFETCH(int, year);
    QFETCH(QDate, first);
    QFETCH(QString, secondLabel);
    const QDate parsed = ChartGeometry::firstBarDate(date, year);
    QCOMPARE(parsed, first);
    if (parsed.isValid())
        QCOMPARE(parsed.addDays(1).toString(QStringLiteral("MM/dd")), secondLabel);
}

void TstChartGeometry::lineClicks_data()
{
    QTest::addColumn<int>("values");
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<float>("share");
    // Plot from x 22, 155 wide; 4 values step 38.75.
    QTest::newRow("no values") << 0 << 60 << false << 0.0f;
    QTest::newRow("first quarter") << 4 << 22 << true << 25.0f;
    QTest::newRow("second quarter") << 4 << 22 + 39 << true << 50.0f;
    QTest::newRow("last value") << 4 << 176 << true << 100.0f;
    QTest::newRow("right of the plot") << 4 << 199 << true << 100.0f;
    QTest::newRow("just left of the plot") << 4 << 10 << true << 25.0f;
    QTest::newRow("far left") << 4 << -60 << true << 0.0f;
    QTest::newRow("one value, step is the row") << 1 << 150 << true << 100.0f;
}

void TstChartGeometry::lineClicks()
{
    QFETCH(int, values);
    QFETCH(int, x);
    QFETCH(bool, reported);
    QFETCH(float, share);
    const std::optional<float> value = clickValue(lineItem(values), x);
    QCOMPARE(value.has_value(), reported);
    if (reported)
        QCOMPARE(*value, share);
}

void TstChartGeometry::barClicks_data()
{
    QTest::addColumn<int>("periodType");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("bar"); // 0: nothing reported
    QTest::newRow("7: first bar's centre") << ChartPeriod::sevenBars << 52 << 1;
    QTest::newRow("7: plot's left edge") << ChartPeriod::sevenBars << 24 << 1;
    QTest::newRow("7: left of the first bar") << ChartPeriod::sevenBars << 23 << 0;
    QTest::newRow("7: last bar's centre") << ChartPeriod::sevenBars << 396 << 7;
    QTest::newRow("7: right of the last bar") << ChartPeriod::sevenBars << 426 << 0;
    QTest::newRow("28: bar 15") << ChartPeriod::twentyEightBars << 24 + 14 * 401 / 28 + 5 << 15;
    QTest::newRow("28: last bar") << ChartPeriod::twentyEightBars << 417 << 28;
    QTest::newRow("28: right margin") << ChartPeriod::twentyEightBars << 440 << 0;
    QTest::newRow("unknown period") << 4 << 100 << 0;
}

void TstChartGeometry::barClicks()
{
    QFETCH(int, periodType);
    QFETCH(int, x);
    QFETCH(int, bar);
    ChartItem item = barItem(periodType);
    item.values = QJsonArray{1, 2}; // the bars follow the period, not the number of values
    const std::optional<float> value = clickValue(item, x);
    QCOMPARE(value.has_value(), bar > 0);
    if (bar > 0)
        QCOMPARE(*value, float(bar));
}

void TstChartGeometry::plotHeights()
{
    ChartItem item = barItem(ChartPeriod::sevenBars);
    QCOMPARE(plotHeight(item), 108);
    QCOMPARE(baselineY(item), 109);
    item.min = 0.0f;
    item.max = 10.0f;
    QCOMPARE(valueY(item, 10.0), 4); // the top 4 pixels stay free
    QCOMPARE(valueY(item, 0.0), 107);
    item.average = 20.0f; // above the plot: drawn on the baseline
    QCOMPARE(averageY(item), 108);
    ChartItem line = lineItem(3);
    QCOMPARE(plotHeight(line), 60);
    QCOMPARE(baselineY(line), 61);
    QCOMPARE(averageY(line), 30); // default range -1..1, average 0
}

TALVEX_TEST_MAIN(TstChartGeometry)
#include "tst_chartgeometry.moc"

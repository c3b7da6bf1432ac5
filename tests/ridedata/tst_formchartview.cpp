// The chart widget in a real window: clicks, setters, painted colours and screenshots.
#include "chartgeometry.h"
#include "chartmodel.h"
#include "chartview.h"
#include "formchartview.h"
#include "testsupport.h"

#include <QSignalSpy>

#include <cmath>
#include <limits>
#include <memory>

namespace {
const QColor background(0x32, 0x32, 0x32);
const QColor orange(0xff, 0x96, 0x00);
const QColor blue(0x2e, 0xa7, 0xe0);

bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
    return TestSupport::isNear(a, b, tolerance);
}

QJsonArray rideSpeeds()
{
    QJsonArray values;
    for (int i = 0; i < 120; ++i)
        values.append(20.0 + 8.0 * std::sin(i / 9.0) + 3.0 * std::sin(i * 1.7));
    return values;
}
} // namespace

class TstFormChartView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lineClicksReportShares_data();
    void lineClicksReportShares();
    void lineClickWithoutValuesEmitsNothing();
    void barClicksReportBars_data();
    void barClicksReportBars();
    void emptyDataKeepsLineHiddenButClearsBars();
    void playedShareOutsideRangeIsIgnored_data();
    void playedShareOutsideRangeIsIgnored();
    void rangeIsStoredOrRejected();
    void modelAnswersOnlyItsRow();
    void lineChartPaintsShareAndAverage();
    void singleValueDrawsNoSegment();
    void barChartsPaintSelectedBar_data();
    void barChartsPaintSelectedBar();

private:
    void showLineChart(const QJsonArray &values);
    void showBarChart(int periodType, const QJsonArray &values, const QString &firstDay,
                      float selected);
    ChartModel *model() const { return form_->chartView()->chartModel(); }
    QModelIndex row() const { return model()->index(0); }
    QWidget *viewport() const { return form_->chartView()->viewport(); }
    QImage paintedChart() const { return viewport()->grab().toImage(); }

    std::unique_ptr<FormChartView> form_;
};

void TstFormChartView::init()
{
    form_ = std::make_unique<FormChartView>();
}

void TstFormChartView::cleanup()
{
    form_.reset();
}

// The ride panel's use: 360 x 90, margins 30 / 40.
void TstFormChartView::showLineChart(const QJsonArray &values)
{
    form_->setChartAreaSize(360, 90);
    form_->resize(360, 90);
    form_->setItemSize(360, 90);
    form_->setMargins(30, 40);
    form_->setFontSizes(9, 11);
    form_->setAverageVisible(true);
    double max = values.isEmpty() ? 0 : values.first().toDouble();
    double min = max;
    double sum = 0;
    for (const QJsonValue &v : values) {
        max = qMax(max, v.toDouble());
        min = qMin(min, v.toDouble());
        sum += v.toDouble();
    }
    const double average = values.isEmpty() ? 0 : sum / values.size();
    form_->setRange(float(max), float(min), float(average));
    form_->setData(values);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

// The period charts' use: 520 x 180, margins 30 / 40, 30 pixels under the baseline.
void TstFormChartView::showBarChart(int periodType, const QJsonArray &values,
                                    const QString &firstDay, float selected)
{
    form_->setChartAreaSize(520, 180);
    form_->resize(520, 180);
    form_->setChartType(ChartType::bar);
    form_->setPeriodType(periodType);
    form_->setItemSize(520, 180);
    form_->setMargins(30, 40);
    form_->setFontSizes(10, 11);
    form_->setBottomMargin(30);
    form_->setAverageVisible(true);
    form_->setDate(firstDay);
    double max = 0;
    double sum = 0;
    for (const QJsonValue &v : values) {
        max = qMax(max, v.toDouble());
        sum += v.toDouble();
    }
    form_->setRange(float(max), 0.0f, float(sum / ChartGeometry::barCount(periodType)));
    form_->setData(values);
    form_->setDataProcessing(selected);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TstFormChartView::lineClicksReportShares_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<float>("share");
    // Plot from x 30, 290 wide: four values make steps of 72.5 pixels.
    QTest::newRow("plot's left edge") << 30 << 25.0f;
    QTest::newRow("second step") << 103 << 50.0f;
    QTest::newRow("last step") << 300 << 100.0f;
    QTest::newRow("right margin") << 340 << 100.0f;
    QTest::newRow("axis labels, truncated toward zero") << 5 << 25.0f;
}

void TstFormChartView::lineClicksReportShares()
{
    QFETCH(int, x);
    QFETCH(float, share);
    showLineChart(QJsonArray{3, 5, 4, 6});
    QSignalSpy formSpy(form_.get(), &FormChartView::chartClickTriggered);
    QSignalSpy viewSpy(form_->chartView(), &ChartView::clickeEvent);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, QPoint(x, 40));
    QCOMPARE(formSpy.count(), 1);
    QCOMPARE(formSpy.at(0).at(0).toFloat(), share);
    QCOMPARE(viewSpy.count(), 1);
    QCOMPARE(viewSpy.at(0).at(0).toFloat(), share);
}

void TstFormChartView::lineClickWithoutValuesEmitsNothing()
{
    showLineChart(QJsonArray());
    QSignalSpy spy(form_.get(), &FormChartView::chartClickTriggered);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, QPoint(100, 40));
    QCOMPARE(spy.count(), 0);
}

void TstFormChartView::barClicksReportBars_data()
{
    QTest::addColumn<int>("periodType");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("bar"); // 0: nothing reported
    // Plot from x 30, 450 wide.
    QTest::newRow("7: first bar") << ChartPeriod::sevenBars << 62 << 1;
    QTest::newRow("7: third bar") << ChartPeriod::sevenBars << 190 << 3;
    QTest::newRow("7: right edge of the last bar") << ChartPeriod::sevenBars << 479 << 7;
    QTest::newRow("7: left of the first bar") << ChartPeriod::sevenBars << 10 << 0;
    QTest::newRow("7: right of the last bar") << ChartPeriod::sevenBars << 485 << 0;
    QTest::newRow("28: last bar") << ChartPeriod::twentyEightBars << 471 << 28;
    QTest::newRow("28: right of the last bar") << ChartPeriod::twentyEightBars << 481 << 0;
    QTest::newRow("28: left of the first bar") << ChartPeriod::twentyEightBars << 29 << 0;
}

void TstFormChartView::barClicksReportBars()
{
    QFETCH(int, periodType);
    QFETCH(int, x);
    QFETCH(int, bar);
    showBarChart(periodType, QJsonArray{4, 2, 6}, QStringLiteral("2024/05/10"), 1.0f);
    QSignalSpy spy(form_.get(), &FormChartView::chartClickTriggered);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, QPoint(x, 60));
    QCOMPARE(spy.count(), bar > 0 ? 1 : 0);
    if (bar > 0)
        QCOMPARE(spy.at(0).at(0).toFloat(), float(bar));
}

void TstFormChartView::emptyDataKeepsLineHiddenButClearsBars()
{
    form_->setData(QJsonArray{1, 2, 3});
    QVERIFY(row().data(ChartRole::lineVisible).toBool());
    form_->setData(QJsonArray());
    QCOMPARE(row().data(ChartRole::values).toJsonArray().size(), 3);
    QVERIFY(!row().data(ChartRole::lineVisible).toBool());

    const QJsonArray bars{9, 9, 9, 9, 9, 9, 9};
    showBarChart(ChartPeriod::sevenBars, bars, QStringLiteral("2024/05/10"), 0.0f);
    const ChartItem &item = *form_->chartView()->getItem();
    const QPoint inBar(ChartGeometry::barCentreX(item, 7, 3), ChartGeometry::plotHeight(item) - 12);
    QVERIFY(near(paintedChart().pixelColor(inBar), orange));
    form_->setData(QJsonArray());
    QVERIFY(row().data(ChartRole::values).toJsonArray().isEmpty());
    QVERIFY(near(paintedChart().pixelColor(inBar), background));
}

void TstFormChartView::playedShareOutsideRangeIsIgnored_data()
{
    QTest::addColumn<float>("share");
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity();
    QTest::newRow("negative infinite") << -std::numeric_limits<float>::infinity();
    QTest::newRow("below 0") << -0.5f;
    QTest::newRow("above 100") << 100.5f;
}

void TstFormChartView::playedShareOutsideRangeIsIgnored()
{
    QFETCH(float, share);
    form_->setDataProcessing(40.0f);
    form_->setDataProcessing(share);
    QCOMPARE(row().data(ChartRole::position).toFloat(), 40.0f);
    form_->setDataProcessing(100.0f);
    QCOMPARE(row().data(ChartRole::position).toFloat(), 100.0f);
}

void TstFormChartView::rangeIsStoredOrRejected()
{
    form_->setRange(12.0f, 12.0f, 12.0f);
    QCOMPARE(row().data(ChartRole::max).toFloat(), 13.0f);
    QCOMPARE(row().data(ChartRole::min).toFloat(), 11.0f);
    QCOMPARE(row().data(ChartRole::average).toFloat(), 12.0f);
    form_->setRange(10.0f, 0.0f, 11.0f);
    QCOMPARE(row().data(ChartRole::max).toFloat(), 13.0f);
    form_->setChartType(ChartType::bar);
    form_->setRange(4.0f, 4.0f, 4.0f);
    QCOMPARE(row().data(ChartRole::max).toFloat(), 6.0f);
    QCOMPARE(row().data(ChartRole::min).toFloat(), 4.0f);
    QCOMPARE(row().data(ChartRole::average).toFloat(), 5.0f);
}

void TstFormChartView::modelAnswersOnlyItsRow()
{
    QCOMPARE(model()->rowCount(), 1);
    QCOMPARE(row().data(Qt::SizeHintRole).toSize(), QSize(185, 62));
    QCOMPARE(row().data(ChartRole::date).toString(), QStringLiteral("01/01"));
    QVERIFY(!row().data(Qt::DisplayRole).isValid());
    QVERIFY(!model()->index(1).data(ChartRole::max).isValid());

    QSignalSpy spy(form_.get(), &FormChartView::chartClickTriggered);
    QVERIFY(!model()->setData(row(), 3, Qt::EditRole));
    QVERIFY(!model()->setData(model()->index(1), 3, ChartRole::click));
    QCOMPARE(spy.count(), 0);
    QVERIFY(model()->setData(row(), 7.5, ChartRole::click));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toFloat(), 7.5f);
}

void TstFormChartView::lineChartPaintsShareAndAverage()
{
    showLineChart(rideSpeeds());
    form_->setDataProcessing(35.0f);
    QTRY_VERIFY(near(paintedChart().pixelColor(60, 1), QColor(49, 85, 102), 8)); // played share
    const QImage image = paintedChart();
    QVERIFY(near(image.pixelColor(200, 1), background));
    int seriesPixels = 0;
    for (int x = 30; x < 320; ++x) {
        for (int y = 0; y < 90; ++y)
            seriesPixels += near(image.pixelColor(x, y), orange, 30) ? 1 : 0;
    }
    QVERIFY2(seriesPixels > 200, qPrintable(QString::number(seriesPixels)));
    int labelPixels = 0; // "Avg." right of the plot
    for (int x = 329; x < 360; ++x) {
        for (int y = 0; y < 90; ++y)
            labelPixels += near(image.pixelColor(x, y), blue, 40) ? 1 : 0;
    }
    QVERIFY(labelPixels > 10);
    TestSupport::saveScreenshot(form_.get(), QStringLiteral("ridedata-linechart"));
}

void TstFormChartView::singleValueDrawsNoSegment()
{
    showLineChart(QJsonArray{5});
    form_->setDataProcessing(50.0f);
    QTRY_VERIFY(near(paintedChart().pixelColor(60, 1), QColor(49, 85, 102), 8));
    const QImage image = paintedChart();
    for (int x = 30; x < 320; ++x) {
        for (int y = 0; y < 90; ++y)
            QVERIFY(!near(image.pixelColor(x, y), orange, 60));
    }
    QCOMPARE(row().data(ChartRole::max).toFloat(), 6.0f); // the range was widened around 5
}

void TstFormChartView::barChartsPaintSelectedBar_data()
{
    QTest::addColumn<int>("periodType");
    QTest::addColumn<QJsonArray>("values");
    QTest::addColumn<QString>("firstDay");
    QTest::addColumn<int>("selected"); // 1-based
    QTest::addColumn<QString>("screenshot");
    QTest::newRow("7 bars") << ChartPeriod::sevenBars
                            << QJsonArray{12.3, 0, 25.1, 8.4, 31.0, 0, 17.6} << "2024/05/10" << 3
                            << "ridedata-bars7";
    QJsonArray month;
    for (int i = 0; i < 28; ++i)
        month.append(i % 5 == 3 ? 0 : 5 + i * 7 % 11);
    QTest::newRow("28 bars across 29 February")
        << ChartPeriod::twentyEightBars << month << "2024/02/20" << 12 << "ridedata-bars28";
}

void TstFormChartView::barChartsPaintSelectedBar()
{
    QFETCH(int, periodType);
    QFETCH(QJsonArray, values);
    QFETCH(QString, firstDay);
    QFETCH(int, selected);
    QFETCH(QString, screenshot);
    showBarChart(periodType, values, firstDay, float(selected));
    const ChartItem &item = *form_->chartView()->getItem();
    const int bars = ChartGeometry::barCount(periodType);
    const int nearBottom =
        ChartGeometry::plotHeight(item) - ChartGeometry::barWidth(periodType) / 2 - 2;
    const int dotY = item.size.height() - item.bottomMargin + 10;
    const QImage image = paintedChart();
    for (int i = 0; i < bars; ++i) {
        const int x = ChartGeometry::barCentreX(item, bars, i);
        const bool isSelected = i == selected - 1;
        const QColor barColour =
            values.at(i).toDouble() == 0.0 ? background : (isSelected ? blue : orange);
        QVERIFY2(near(image.pixelColor(x, nearBottom), barColour), qPrintable(QString::number(i)));
        QVERIFY(near(image.pixelColor(x, dotY), isSelected ? orange : blue));
    }
    TestSupport::saveScreenshot(form_.get(), screenshot);
}

TALVEX_TEST_MAIN(TstFormChartView)
#include "tst_formchartview.moc"

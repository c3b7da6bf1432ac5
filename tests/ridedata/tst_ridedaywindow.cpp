// The day window of the period charts, the merge of a day's files, date texts and page sizes.
#include "ridedaywindow.h"
#include "ridepagelayout.h"
#include "testsupport.h"

using namespace RideDayWindow;

class TstRideDayWindow : public QObject
{
    Q_OBJECT

private slots:
    void windowDays_data();
    void windowDays();
    void windowFilesInListingOrder();
    void daysAreMergedIntoTheirFirstFile();
    void threeFilesAverageTheirPlainMean();
    void dateLabel_data();
    void dateLabel();
    void pageSizesAt1200x650();
    void pageGrowsWithWidth();
};

namespace {
PlaybackInfo2_t file(const QString &date, double distance, double speedAvg, int seconds)
{
    PlaybackInfo2_t f;
    f.date = date;
    f.distance = distance;
    f.speedAvg = speedAvg;
    f.speedMax = speedAvg + 5;
    f.totalSeconds = seconds;
    f.altitude = distance / 100;
    f.duration = QStringLiteral("dur-") + QString::number(seconds);
    f.latitude = QStringLiteral("lat-") + QString::number(distance);
    return f;
}
} // namespace

void TstRideDayWindow::windowDays_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("last");
    QTest::newRow("seven days") << "20240501" << 1 << 7 << "20240507";
    QTest::newRow("four weeks over 29 February") << "20240215" << 2 << 28 << "20240313";
    QTest::newRow("no window") << "20240501" << 0 << 0 << "";
    QTest::newRow("invalid day") << "2024xx01" << 1 << 0 << "";
}

void TstRideDayWindow::windowDays()
{
    QFETCH(QString, first);
    QFETCH(int, period);
    QFETCH(int, count);
    QFETCH(QString, last);
    const QStringList days = dayNames(first, period);
    QCOMPARE(days.size(), count);
    QCOMPARE(days.value(count - 1), last);
}

void TstRideDayWindow::windowFilesInListingOrder()
{
    const QStringList listing{
        QStringLiteral("20240430230000.TXT"), QStringLiteral("20240501070000.TXT"),
        QStringLiteral("20240503070000.TXT"), QStringLiteral("20240508070000.TXT")};
    QCOMPARE(windowFiles(QStringLiteral("/r"), listing,
                         dayNames(QStringLiteral("20240501"), ChartPeriodType::sevenDays)),
             (QStringList{QStringLiteral("/r/20240501070000.TXT"),
                          QStringLiteral("/r/20240503070000.TXT")}));
}

void TstRideDayWindow::daysAreMergedIntoTheirFirstFile()
{
    QVector<PlaybackInfo2_t> info{file(QStringLiteral("20240501"), 1000, 10, 600),
                                  file(QStringLiteral("20240503"), 2000, 12, 300),
                                  file(QStringLiteral("20240503"), 3000, 18, 900)};
    assignDaysAndMerge(info, dayNames(QStringLiteral("20240501"), ChartPeriodType::sevenDays));
    QCOMPARE(info.size(), 3);
    QCOMPARE(info[0].dayIndex, 0);
    QCOMPARE(info[1].dayIndex, 2);
    QCOMPARE(info[2].dayIndex, 2);
    QCOMPARE(info[0].distance, 1000.0);
    QCOMPARE(info[1].distance, 5000.0);
    QCOMPARE(info[1].altitude, 50.0);
    QCOMPARE(info[1].totalSeconds, 1200);
    QCOMPARE(info[1].speedAvg, 15.0);
    QCOMPARE(info[1].duration, QStringLiteral("dur-900"));
    QCOMPARE(info[1].latitude, QStringLiteral("lat-3000"));
    QCOMPARE(info[1].speedMax, 17.0); // the first file's own
    QCOMPARE(info[2].distance, 3000.0);
}

void TstRideDayWindow::threeFilesAverageTheirPlainMean()
{
    QVector<PlaybackInfo2_t> info{file(QStringLiteral("20240501"), 1, 10, 5),
                                  file(QStringLiteral("20240501"), 1, 20, 5),
                                  file(QStringLiteral("20240501"), 1, 60, 5)};
    assignDaysAndMerge(info, dayNames(QStringLiteral("20240501"), ChartPeriodType::sevenDays));
    QCOMPARE(info[0].speedAvg, 30.0);
}

void TstRideDayWindow::dateLabel_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("DD/MM/YYYY") << 0 << "05/01/2019";
    QTest::newRow("MM/DD/YYYY") << 1 << "01/05/2019";
    QTest::newRow("YYYY/MM/DD") << 2 << "2019/01/05";
    QTest::newRow("unknown format") << 3 << "20190105083000.TXT";
}

void TstRideDayWindow::dateLabel()
{
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(dateLabelText(QStringLiteral("20190105083000.TXT"), format), text);
}

void TstRideDayWindow::pageSizesAt1200x650()
{
    const RidePageLayout l = RidePageLayout::compute(1200, 650);
    QCOMPARE(l.calendarWidth, 456);
    QCOMPARE(l.topHeight, 406);
    QCOMPARE(l.mapWidth, 720);
    QCOMPARE(l.bottomHeight, 195);
    QCOMPARE(l.chartWidth, 701);
    QCOMPARE(l.chartHeight, 353);
    QCOMPARE(l.playButtonSide, 18);
    QCOMPARE(l.modeButtonSide, 22);
    QCOMPARE(l.barLeftMargin, 14);
    QCOMPARE(l.barSpacing, 19);
    QCOMPARE(l.mainHeight, 625);
}

void TstRideDayWindow::pageGrowsWithWidth()
{
    const RidePageLayout l = RidePageLayout::compute(1600, 900);
    QCOMPARE(l.barLeftMargin, int(400 * 0.0181f + 14));
    QCOMPARE(l.barSpacing, 25);
    QCOMPARE(l.playButtonSide, 21);
    QCOMPARE(l.modeButtonSide, 26);
    QCOMPARE(l.calendarWidth + l.mapWidth + 24, 1600);
}

TALVEX_TEST_MAIN(TstRideDayWindow)
#include "tst_ridedaywindow.moc"

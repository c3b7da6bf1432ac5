// Decimal rounding of ride data agrees with the text round trip it stands for.
#include "ridegeometry.h"
#include "testsupport.h"

#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>

namespace {
double throughPrintf(double value, int decimals)
{
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}
} // namespace

class TstRideGeometry : public QObject
{
    Q_OBJECT

private slots:
    void roundingMatchesPrintf_data();
    void roundingMatchesPrintf();
    void randomValuesRoundLikePrintf();
    void fixedTextMatchesQtNumber();
    void durationTexts_data();
    void durationTexts();
};

void TstRideGeometry::roundingMatchesPrintf_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::newRow("exact tie rounds to even (down)") << 0.00390625 << 7; // 39062.5 units
    QTest::newRow("exact tie rounds to even (up)") << 0.01171875 << 7;   // 117187.5 units
    QTest::newRow("negative tie") << -0.00390625 << 7;
    QTest::newRow("just above a tie in binary") << 0.15 << 1;
    QTest::newRow("just below a tie in binary") << 2.675 << 2;
    QTest::newRow("mph of 25 km/h") << 25 * 0.62137 << 6;
    QTest::newRow("radians") << 34.13539 * 0.017453292519943295 << 7;
    QTest::newRow("negative zero") << -1.0e-12 << 7;
    QTest::newRow("beyond the fast range") << 3.0e12 << 7;
    QTest::newRow("no decimals") << 2.5 << 0;
}

void TstRideGeometry::roundingMatchesPrintf()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    const double rounded = roundThroughText(value, decimals);
    const double expected = throughPrintf(value, decimals);
    QCOMPARE(rounded, expected);
    QCOMPARE(std::signbit(rounded), std::signbit(expected));
}

void TstRideGeometry::randomValuesRoundLikePrintf()
{
    QRandomGenerator random(20240501);
    for (int i = 0; i < 200000; ++i) {
        const int decimals = 6 + (i & 1);
        const double value = (random.generateDouble() - 0.5) * (i % 3 == 0 ? 400.0 : 7.0);
        if (roundThroughText(value, decimals) != throughPrintf(value, decimals))
            QFAIL(qPrintable(QString::number(value, 'g', 17)));
    }
}

void TstRideGeometry::fixedTextMatchesQtNumber()
{
    QRandomGenerator random(7);
    for (int i = 0; i < 20000; ++i) {
        const qint64 units = static_cast<qint64>(random.bounded(3600000000.0)) - 1800000000;
        const int decimals = 6 + (i & 1);
        const double value = static_cast<double>(units) / (decimals == 7 ? 1e7 : 1e6);
        QCOMPARE(fixedText(units, decimals), QString::number(value, 'f', decimals));
    }
    QCOMPARE(fixedText(0, 7), QStringLiteral("0.0000000"));
    QCOMPARE(fixedText(-5, 6), QStringLiteral("-0.000005"));
}

void TstRideGeometry::durationTexts_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "00:00:00";
    QTest::newRow("ten seconds") << 10 << "00:00:10";
    QTest::newRow("one hour") << 3600 << "01:00:00";
    QTest::newRow("long ride") << 100 * 3600 + 61 << "100:01:01";
}

void TstRideGeometry::durationTexts()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(durationText(seconds), text);
}

TALVEX_TEST_MAIN(TstRideGeometry)
#include "tst_ridegeometry.moc"

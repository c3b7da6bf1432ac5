// Calorie estimate from body data, ride speed and ride time.
#include "bodydata.h"
#include "testsupport.h"

#include <limits>

Q_DECLARE_METATYPE(BodyData)

namespace {
BodyData body(int age, int feet, int inches, int pounds, int gender)
{
    BodyData b;
    b.age = age;
    b.heightFt = feet;
    b.heightIn = inches;
    b.weight = pounds;
    b.gender = gender;
    return b;
}
} // namespace

class TstBodyData : public QObject
{
    Q_OBJECT

private slots:
    void estimates_data();
    void estimates();
    void metsBandEdges_data();
    void metsBandEdges();
    void unsetFieldGivesZero_data();
    void unsetFieldGivesZero();
    void zeroHeightIsSet();
};

void TstBodyData::estimates_data()
{
    QTest::addColumn<BodyData>("rider");
    QTest::addColumn<double>("speedKmh");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<double>("bmr");
    QTest::addColumn<double>("kcal");
    // kg 77 (77.1103), cm 177 (177.8005)
    QTest::newRow("male, 20 km/h, one hour")
        << body(30, 5, 10, 170, BodyGender::male) << 20.0 << 60 << 1799.044 << 599.68133;
    // kg 58, cm 162
    QTest::newRow("female, 12 km/h, 45 minutes")
        << body(25, 5, 4, 130, BodyGender::female) << 12.0 << 45 << 1377.545 << 172.1931;
    QTest::newRow("unknown gender") << body(25, 5, 4, 130, 3) << 12.0 << 45 << 0.0 << 0.0;
    QTest::newRow("no minutes") << body(30, 5, 10, 170, BodyGender::male) << 20.0 << 0 << 1799.044
                                << 0.0;
}

void TstBodyData::estimates()
{
    QFETCH(BodyData, rider);
    QFETCH(double, speedKmh);
    QFETCH(int, minutes);
    QFETCH(double, bmr);
    QFETCH(double, kcal);
    QVERIFY(qAbs(basalMetabolicRate(rider) - bmr) < 1e-9);
    QVERIFY2(qAbs(getCalorie(rider, speedKmh, minutes) - kcal) < 1e-4,
             qPrintable(QString::number(getCalorie(rider, speedKmh, minutes), 'f', 6)));
}

void TstBodyData::metsBandEdges_data()
{
    QTest::addColumn<double>("speedKmh");
    QTest::addColumn<double>("mets");
    QTest::newRow("standing") << 0.0 << 3.5;
    QTest::newRow("9 is the top of the slowest band") << 9.0 << 3.5;
    QTest::newRow("9.01") << 9.01 << 4.0;
    QTest::newRow("15") << 15.0 << 4.0;
    QTest::newRow("15.5") << 15.5 << 5.8;
    QTest::newRow("16") << 16.0 << 5.8;
    QTest::newRow("19") << 19.0 << 6.8;
    QTest::newRow("22") << 22.0 << 8.0;
    QTest::newRow("26") << 26.0 << 10.0;
    QTest::newRow("32") << 32.0 << 12.0;
    QTest::newRow("32.01") << 32.01 << 15.8;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 15.8;
}

void TstBodyData::metsBandEdges()
{
    QFETCH(double, speedKmh);
    QFETCH(double, mets);
    QCOMPARE(cyclingMets(speedKmh), mets);
}

void TstBodyData::unsetFieldGivesZero_data()
{
    QTest::addColumn<BodyData>("rider");
    const BodyData set = body(30, 5, 10, 170, BodyGender::male);
    BodyData b = set;
    b.age = BodyDataUnset::age;
    QTest::newRow("age") << b;
    b = set;
    b.heightFt = BodyDataUnset::heightFt;
    QTest::newRow("feet") << b;
    b = set;
    b.heightIn = BodyDataUnset::heightIn;
    QTest::newRow("inches") << b;
    b = set;
    b.weight = BodyDataUnset::weight;
    QTest::newRow("weight") << b;
    b = set;
    b.gender = BodyDataUnset::gender;
    QTest::newRow("gender") << b;
    QTest::newRow("fresh record") << BodyData();
}

void TstBodyData::unsetFieldGivesZero()
{
    QFETCH(BodyData, rider);
    QVERIFY(!rider.isSet());
    QCOMPARE(getCalorie(rider, 20.0, 60), 0.0);
}

void TstBodyData::zeroHeightIsSet()
{
    const BodyData rider = body(40, 0, 0, 150, BodyGender::male);
    QVERIFY(rider.isSet());
    // kg 68, cm 0
    QCOMPARE(basalMetabolicRate(rider), 13.397 * 68 - 5.677 * 40 + 88.362);
}

TALVEX_TEST_MAIN(TstBodyData)
#include "tst_bodydata.moc"

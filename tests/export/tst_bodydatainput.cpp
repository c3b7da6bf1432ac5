// Body data: the field input rules, unset values and the body-mass index.
#include "bodydatainput.h"

#include "testsupport.h"

using Field = BodyDataInput::Field;
Q_DECLARE_METATYPE(BodyDataInput::Field)

class TstBodyDataInput : public QObject
{
    Q_OBJECT
private slots:
    void inputRulesKeepDigitsWithinTheLimit_data();
    void inputRulesKeepDigitsWithinTheLimit();
    void emptiedFieldHoldsTheUnsetValue_data();
    void emptiedFieldHoldsTheUnsetValue();
    void textWithoutNumberChangesNothing();
    void untouchedValuesAreTheUnsetValues();
    void unsetValuesLeaveTheFieldEmpty();
    void bodyMassIndex_data();
    void bodyMassIndex();
};

void TstBodyDataInput::inputRulesKeepDigitsWithinTheLimit_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("keptCursor");

    QTest::newRow("fourth age digit at the end") << BodyDataInput::Age << "1234" << 4 << "123" << 3;
    QTest::newRow("fourth age digit in the middle")
        << BodyDataInput::Age << "1423" << 2 << "123" << 1;
    QTest::newRow("third feet digit") << BodyDataInput::HeightFt << "567" << 3 << "56" << 2;
    QTest::newRow("third inch digit in front")
        << BodyDataInput::HeightIn << "911" << 1 << "11" << 0;
    QTest::newRow("fifth weight digit") << BodyDataInput::Weight << "15000" << 5 << "1500" << 4;
    QTest::newRow("four weight digits") << BodyDataInput::Weight << "1500" << 4 << "1500" << 4;
    QTest::newRow("letter at the end") << BodyDataInput::Age << "12a" << 3 << "12" << 2;
    QTest::newRow("letter in the middle") << BodyDataInput::HeightIn << "1a2" << 2 << "12" << 1;
    QTest::newRow("letter alone") << BodyDataInput::HeightFt << "x" << 1 << "" << 0;
    QTest::newRow("minus sign") << BodyDataInput::Weight << "-5" << 1 << "5" << 0;
    QTest::newRow("pasted mixed text") << BodyDataInput::Weight << "1x5y0" << 5 << "150" << 3;
    QTest::newRow("pasted too long") << BodyDataInput::Age << "12345678" << 8 << "123" << 3;
    QTest::newRow("empty") << BodyDataInput::Age << "" << 0 << "" << 0;
    QTest::newRow("zero") << BodyDataInput::HeightFt << "0" << 1 << "0" << 1;
}

void TstBodyDataInput::inputRulesKeepDigitsWithinTheLimit()
{
    QFETCH(Field, field);
    QFETCH(QString, typed);
    QFETCH(int, cursor);
    const BodyDataInput::FieldText result = BodyDataInput::sanitize(field, typed, cursor);
    QTEST(result.text, "kept");
    QTEST(result.cursor, "keptCursor");
}

void TstBodyDataInput::emptiedFieldHoldsTheUnsetValue_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<int>("unset");
    QTest::newRow("age") << BodyDataInput::Age << 1000;
    QTest::newRow("feet") << BodyDataInput::HeightFt << 100;
    QTest::newRow("inches") << BodyDataInput::HeightIn << 100;
    QTest::newRow("weight") << BodyDataInput::Weight << 10000;
}

void TstBodyDataInput::emptiedFieldHoldsTheUnsetValue()
{
    QFETCH(Field, field);
    BodyDataInput input(30, 5, 9, 150, 1);
    QVERIFY(input.setFieldText(field, QStringLiteral("7")));
    QCOMPARE(input.value(field), 7);
    QVERIFY(input.setFieldText(field, QString()));
    QTEST(input.value(field), "unset");
    QTEST(BodyDataInput::unsetValue(field), "unset");
}

void TstBodyDataInput::textWithoutNumberChangesNothing()
{
    BodyDataInput input(30, 5, 9, 150, 1);
    QVERIFY(!input.setFieldText(BodyDataInput::Age, QStringLiteral("3a")));
    QCOMPARE(input.value(BodyDataInput::Age), 30);
}

void TstBodyDataInput::untouchedValuesAreTheUnsetValues()
{
    const BodyDataInput input;
    QCOMPARE(input.value(BodyDataInput::Age), 1000);
    QCOMPARE(input.value(BodyDataInput::HeightFt), 100);
    QCOMPARE(input.value(BodyDataInput::HeightIn), 100);
    QCOMPARE(input.value(BodyDataInput::Weight), 10000);
    QCOMPARE(input.gender(), 0);
    QVERIFY(!input.heightAndWeightSet());
}

void TstBodyDataInput::unsetValuesLeaveTheFieldEmpty()
{
    QCOMPARE(BodyDataInput::fieldText(BodyDataInput::Age, 1000), QString());
    QCOMPARE(BodyDataInput::fieldText(BodyDataInput::Weight, 10000), QString());
    QCOMPARE(BodyDataInput::fieldText(BodyDataInput::HeightIn, 0), QStringLiteral("0"));
    QCOMPARE(BodyDataInput::fieldText(BodyDataInput::Age, 999), QStringLiteral("999"));
}

void TstBodyDataInput::bodyMassIndex_data()
{
    QTest::addColumn<int>("feet");
    QTest::addColumn<int>("inches");
    QTest::addColumn<int>("pounds");
    QTest::addColumn<QString>("shown");
    QTest::newRow("5 ft 9 in, 150 lb") << 5 << 9 << 150 << "22.2";
    QTest::newRow("6 ft 0 in, 200 lb") << 6 << 0 << 200 << "27.1";
    QTest::newRow("0 ft 99 in, 0 lb") << 0 << 99 << 0 << "0.0";
    QTest::newRow("0 ft 0 in: no height") << 0 << 0 << 150 << "";
    QTest::newRow("feet unset") << 100 << 9 << 150 << "";
    QTest::newRow("inches unset") << 5 << 100 << 150 << "";
    QTest::newRow("weight unset") << 5 << 9 << 10000 << "";
}

void TstBodyDataInput::bodyMassIndex()
{
    QFETCH(int, feet);
    QFETCH(int, inches);
    QFETCH(int, pounds);
    const BodyDataInput input(30, feet, inches, pounds, 0);
    QTEST(input.bmiText(), "shown");
}

TALVEX_TEST_MAIN(TstBodyDataInput)
#include "tst_bodydatainput.moc"

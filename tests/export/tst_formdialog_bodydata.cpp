// The body-data page in a real window: typing into the fields, gender buttons, BMI and OK.
#include "dialogtesthelpers.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

struct Saved
{
    int age, heightFt, heightIn, weight, gender;
};

QPlainTextEdit *field(const FormDialog &dialog, const char *name)
{
    return dialog.findChild<QPlainTextEdit *>(QLatin1String(name));
}

QString bmiShown(const FormDialog &dialog)
{
    return dialog.findChild<QLabel *>(QStringLiteral("bmi_label"))->text();
}

void clear(QPlainTextEdit *edit)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
}

} // namespace

class TstFormDialogBodyData : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void untouchedOkEmitsTheUnsetValues();
    void storedValuesFillTheFields();
    void ageTakesThreeDigitsOnly();
    void lettersAreRemovedAsTyped();
    void bmiFollowsHeightAndWeight();
    void emptiedFieldsRevertToUnset();
    void noHeightShowsNoBmi();
    void genderButtonsChooseAndShowTheChoice();
    void cancelHandsNothingBack();

private:
    Saved okAndRead();
    std::unique_ptr<FormDialog> dialog;
};

void TstFormDialogBodyData::init()
{
    dialog = DialogTest::makeDialog();
    dialog->showBodyData(1000, 100, 100, 10000, 0);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
}

void TstFormDialogBodyData::cleanup()
{
    dialog.reset();
}

Saved TstFormDialogBodyData::okAndRead()
{
    QSignalSpy spy(dialog.get(), &FormDialog::saveBodyDataTriggered);
    QSignalSpy closed(dialog.get(), &FormDialog::closed);
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("bodydata_okBtn")),
                      Qt::LeftButton);
    if (spy.count() != 1 || closed.count() != 1)
        qFatal("OK did not save and close once");
    const QList<QVariant> args = spy.at(0);
    return {args.at(0).toInt(), args.at(1).toInt(), args.at(2).toInt(), args.at(3).toInt(),
            args.at(4).toInt()};
}

void TstFormDialogBodyData::untouchedOkEmitsTheUnsetValues()
{
    for (const char *name :
         {"ageTextEdit", "heightftTextEdit", "heightinTextEdit", "weightTextEdit"})
        QVERIFY(field(*dialog, name)->toPlainText().isEmpty());
    QCOMPARE(field(*dialog, "ageTextEdit")->placeholderText(), QStringLiteral("- - -"));
    QCOMPARE(field(*dialog, "weightTextEdit")->placeholderText(), QStringLiteral("- - - -"));
    QVERIFY(bmiShown(*dialog).isEmpty());
    const Saved saved = okAndRead();
    QCOMPARE(saved.age, 1000);
    QCOMPARE(saved.heightFt, 100);
    QCOMPARE(saved.heightIn, 100);
    QCOMPARE(saved.weight, 10000);
    QCOMPARE(saved.gender, 0);
    QVERIFY(!dialog->isVisible());
}

void TstFormDialogBodyData::storedValuesFillTheFields()
{
    dialog->showBodyData(34, 5, 9, 150, 2);
    QCOMPARE(field(*dialog, "ageTextEdit")->toPlainText(), QStringLiteral("34"));
    QCOMPARE(field(*dialog, "heightftTextEdit")->toPlainText(), QStringLiteral("5"));
    QCOMPARE(field(*dialog, "heightinTextEdit")->toPlainText(), QStringLiteral("9"));
    QCOMPARE(field(*dialog, "weightTextEdit")->toPlainText(), QStringLiteral("150"));
    QCOMPARE(bmiShown(*dialog), QStringLiteral("22.2"));
    const Saved saved = okAndRead();
    QCOMPARE(saved.age, 34);
    QCOMPARE(saved.gender, 2);
}

void TstFormDialogBodyData::ageTakesThreeDigitsOnly()
{
    QPlainTextEdit *age = field(*dialog, "ageTextEdit");
    age->setFocus();
    QTest::keyClicks(age, QStringLiteral("1234"));
    QCOMPARE(age->toPlainText(), QStringLiteral("123"));
    QCOMPARE(age->textCursor().position(), 3);
    QCOMPARE(okAndRead().age, 123);
}

void TstFormDialogBodyData::lettersAreRemovedAsTyped()
{
    QPlainTextEdit *weight = field(*dialog, "weightTextEdit");
    weight->setFocus();
    QTest::keyClicks(weight, QStringLiteral("1a5"));
    QTest::keyClick(weight, Qt::Key_Left);
    QTest::keyClicks(weight, QStringLiteral("x0"));
    QCOMPARE(weight->toPlainText(), QStringLiteral("105"));
    QCOMPARE(okAndRead().weight, 105);
}

void TstFormDialogBodyData::bmiFollowsHeightAndWeight()
{
    QTest::keyClicks(field(*dialog, "heightftTextEdit"), QStringLiteral("5"));
    QTest::keyClicks(field(*dialog, "heightinTextEdit"), QStringLiteral("9"));
    QVERIFY(bmiShown(*dialog).isEmpty());
    QTest::keyClicks(field(*dialog, "weightTextEdit"), QStringLiteral("150"));
    QCOMPARE(bmiShown(*dialog), QStringLiteral("22.2"));
    TestSupport::saveScreenshot(dialog.get(), QStringLiteral("dialog-bodydata-typed"));
    const Saved saved = okAndRead();
    QCOMPARE(saved.heightFt, 5);
    QCOMPARE(saved.heightIn, 9);
    QCOMPARE(saved.weight, 150);
}

void TstFormDialogBodyData::emptiedFieldsRevertToUnset()
{
    dialog->showBodyData(34, 5, 9, 150, 1);
    clear(field(*dialog, "weightTextEdit"));
    QVERIFY(bmiShown(*dialog).isEmpty());
    QTest::keyClicks(field(*dialog, "weightTextEdit"), QStringLiteral("150"));
    QCOMPARE(bmiShown(*dialog), QStringLiteral("22.2"));
    clear(field(*dialog, "ageTextEdit"));
    QVERIFY(bmiShown(*dialog).isEmpty());
    clear(field(*dialog, "heightinTextEdit"));
    const Saved saved = okAndRead();
    QCOMPARE(saved.age, 1000);
    QCOMPARE(saved.heightFt, 5);
    QCOMPARE(saved.heightIn, 100);
    QCOMPARE(saved.weight, 150);
}

void TstFormDialogBodyData::noHeightShowsNoBmi()
{
    dialog->showBodyData(34, 0, 0, 150, 1);
    QVERIFY(bmiShown(*dialog).isEmpty());
    QTest::keyClicks(field(*dialog, "heightinTextEdit"), QStringLiteral("0"));
    QVERIFY(bmiShown(*dialog).isEmpty());
    clear(field(*dialog, "heightinTextEdit"));
    QTest::keyClicks(field(*dialog, "heightinTextEdit"), QStringLiteral("60"));
    QCOMPARE(bmiShown(*dialog), QStringLiteral("29.3"));
}

void TstFormDialogBodyData::genderButtonsChooseAndShowTheChoice()
{
    auto *male = dialog->findChild<QAbstractButton *>(QStringLiteral("bodydata_maleBtn"));
    auto *female = dialog->findChild<QAbstractButton *>(QStringLiteral("bodydata_femaleBtn"));
    QVERIFY(male->styleSheet().startsWith(QStringLiteral(
        "QPushButton { border-image:url(:/image/TALVEXStyle/bodydata_MALE_unselect);")));
    QTest::mouseClick(female, Qt::LeftButton);
    QVERIFY(female->styleSheet().contains(
        QStringLiteral("{ border-image:url(:/image/TALVEXStyle/bodydata_FEMALE_selected); }")));
    QTest::mouseClick(male, Qt::LeftButton);
    QVERIFY(male->styleSheet().startsWith(QStringLiteral(
        "QPushButton { border-image:url(:/image/TALVEXStyle/bodydata_MALE_selected);")));
    QVERIFY(female->styleSheet().startsWith(QStringLiteral(
        "QPushButton { border-image:url(:/image/TALVEXStyle/bodydata_FEMALE_unselect);")));
    QCOMPARE(okAndRead().gender, 1);
}

void TstFormDialogBodyData::cancelHandsNothingBack()
{
    QSignalSpy saved(dialog.get(), &FormDialog::saveBodyDataTriggered);
    QSignalSpy closed(dialog.get(), &FormDialog::closed);
    QTest::keyClicks(field(*dialog, "ageTextEdit"), QStringLiteral("40"));
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("bodydata_cancelBtn")),
                      Qt::LeftButton);
    QCOMPARE(saved.count(), 0);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dialog->isVisible());
}

TALVEX_TEST_MAIN(TstFormDialogBodyData)
#include "tst_formdialog_bodydata.moc"

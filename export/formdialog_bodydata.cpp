// The body-data page: gender buttons, four number fields and the body-mass index.
#include "formdialog.h"

#include "appfont.h"
#include "appglobals.h"
#include "skin.h"
#include "ui_formdialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextOption>

namespace {

QString genderSheet(const QString &normal, const QString &pressed)
{
    return QStringLiteral("QPushButton { border-image:url(%1); }").arg(skinImage(normal)) +
           QStringLiteral("QPushButton:pressed { border-image:url(%1); }").arg(skinImage(pressed));
}

QString pixmapSheet(const QString &image)
{
    return QStringLiteral("QLabel{ qproperty-pixmap: url(%1);border:none;}").arg(skinImage(image));
}

// The square behind a grid's fields; the fields stay above it.
void putFieldBackground(QGridLayout *grid, const QList<QWidget *> &fields)
{
    auto *background = new QLabel(grid->parentWidget()); // owned by the page
    background->setFixedSize(147, 35);
    background->setStyleSheet(QStringLiteral("QLabel{border-image:url(%1);}")
                                  .arg(skinImage(QStringLiteral("bodydata_square"))));
    grid->addWidget(background, 0, 0);
    background->lower();
    for (QWidget *field : fields)
        field->raise();
}

} // namespace

void FormDialog::setupBodyDataPage()
{
    const QList<QPlainTextEdit *> fields = {ui->ageTextEdit, ui->heightftTextEdit,
                                            ui->heightinTextEdit, ui->weightTextEdit};
    putFieldBackground(ui->ageGridLayout, {ui->ageTextEdit});
    putFieldBackground(ui->heightGridLayout, {ui->heightftTextEdit, ui->heightUnitFt_label,
                                              ui->heightinTextEdit, ui->heightUnitIn_label});
    putFieldBackground(ui->weightGridLayout, {ui->weightTextEdit, ui->weightUnitlb_label});

    QFont fieldFont = getAppFont(false);
    fieldFont.setItalic(true);
    fieldFont.setPixelSize(21);
    QFont unitFont = fieldFont;
    unitFont.setPixelSize(11);
    for (int i = 0; i < fields.size(); ++i) {
        QPlainTextEdit *field = fields[i];
        field->setFont(fieldFont);
        field->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
        field->document()->setDocumentMargin(2);
        const auto which = BodyDataInput::Field(i);
        connect(field, &QPlainTextEdit::textChanged, this,
                [this, which] { onBodyFieldEdited(which); });
    }
    ui->bmi_label->setFont(fieldFont);
    for (QLabel *unit : {ui->heightUnitFt_label, ui->heightUnitIn_label, ui->weightUnitlb_label})
        unit->setFont(unitFont);
    ui->weightUnitlb_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(ui->bodydata_okBtn, &QPushButton::clicked, this, &FormDialog::onSaveBodyData);
    connect(ui->bodydata_okBtn, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->bodydata_cancelBtn, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->bodydata_maleBtn, &QPushButton::clicked, this, &FormDialog::onGenderMale);
    connect(ui->bodydata_femaleBtn, &QPushButton::clicked, this, &FormDialog::onGenderFemale);
}

void FormDialog::styleBodyDataPage()
{
    ui->age_tv->setStyleSheet(pixmapSheet(QStringLiteral("bodydata_age")));
    ui->height_tv->setStyleSheet(pixmapSheet(QStringLiteral("bodydata_height")));
    ui->weight_tv->setStyleSheet(pixmapSheet(QStringLiteral("bodydata_weight")));
    ui->bmi_tv->setStyleSheet(pixmapSheet(QStringLiteral("bodydata_bmi")));
    ui->titleIcon->setStyleSheet(pixmapSheet(QStringLiteral("bodydata_title_icon")));
    ui->bodydataLine->setStyleSheet(pixmapSheet(QStringLiteral("bodyData_line")));
    ui->horizontalWidget_4->setStyleSheet(
        QStringLiteral("QWidget#horizontalWidget_4{border-image:url(%1);}")
            .arg(skinImage(QStringLiteral("bodydata_square"))));
}

void FormDialog::showBodyData(int age, int heightFt, int heightIn, int weight, int gender)
{
    setTitle(gLangEditDialog.value(18));
    showPage(PageBodyData);
    bodyData = BodyDataInput(age, heightFt, heightIn, weight, gender);
    ui->bmi_label->setText(bodyData.bmiText());

    // an unset value leaves its field empty, so that the placeholder shows
    const QList<QPlainTextEdit *> fields = {ui->ageTextEdit, ui->heightftTextEdit,
                                            ui->heightinTextEdit, ui->weightTextEdit};
    for (int i = 0; i < fields.size(); ++i) {
        const auto which = BodyDataInput::Field(i);
        const QSignalBlocker blocker(fields[i]);
        fields[i]->setPlainText(BodyDataInput::fieldText(which, bodyData.value(which)));
    }
    showGender();
    styleBodyDataPage();
}

void FormDialog::onBodyFieldEdited(BodyDataInput::Field field)
{
    QPlainTextEdit *const fields[] = {ui->ageTextEdit, ui->heightftTextEdit, ui->heightinTextEdit,
                                      ui->weightTextEdit};
    QPlainTextEdit *edit = fields[field];
    const QString typed = edit->toPlainText();
    const BodyDataInput::FieldText kept =
        BodyDataInput::sanitize(field, typed, edit->textCursor().position());
    if (kept.text != typed) {
        const QSignalBlocker blocker(edit);
        edit->setPlainText(kept.text);
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(kept.cursor);
        edit->setTextCursor(cursor);
    }
    if (!bodyData.setFieldText(field, kept.text))
        return;
    if (kept.text.isEmpty())
        ui->bmi_label->clear();
    else if (field != BodyDataInput::Age)
        ui->bmi_label->setText(bodyData.bmiText());
}

void FormDialog::onGenderMale()
{
    bodyData.setGender(1);
    showGender();
}

void FormDialog::onGenderFemale()
{
    bodyData.setGender(2);
    showGender();
}

void FormDialog::showGender()
{
    const QString maleSelected = QStringLiteral("bodydata_MALE_selected");
    const QString femaleSelected = QStringLiteral("bodydata_FEMALE_selected");
    const int gender = bodyData.gender();
    ui->bodydata_maleBtn->setStyleSheet(genderSheet(
        gender == 1 ? maleSelected : QStringLiteral("bodydata_MALE_unselect"), maleSelected));
    ui->bodydata_femaleBtn->setStyleSheet(genderSheet(
        gender == 2 ? femaleSelected : QStringLiteral("bodydata_FEMALE_unselect"), femaleSelected));
}

void FormDialog::onSaveBodyData()
{
    emit saveBodyDataTriggered(bodyData.value(BodyDataInput::Age),
                               bodyData.value(BodyDataInput::HeightFt),
                               bodyData.value(BodyDataInput::HeightIn),
                               bodyData.value(BodyDataInput::Weight), bodyData.gender());
}

#include "replacequestion.h"

#include "appglobals.h"
#include "dialoglook.h"
#include "framelesshelper.h"
#include "skin.h"
#include "ui_replacequestion.h"

#include <QDir>
#include <QFontMetrics>

const char *const ReplaceQuestion::replaceText = "Replace";
const char *const ReplaceQuestion::questionText =
    "This file already exists.\nDo you want to replace it?";

ReplaceQuestion::ReplaceQuestion(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ReplaceQuestion>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    FramelessHelper::install(this);
    connect(ui->replace_btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->replace_btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ReplaceQuestion::~ReplaceQuestion() = default;

void ReplaceQuestion::ask(const QString &path)
{
    path_ = path;
    applyStyle();
    applyLanguage();
    // the whole path on one line, shortened in its middle where it is too long
    const QString shown =
        QFontMetrics(ui->replace_tv->font())
            .elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, ui->replace_tv->width());
    ui->replace_tv->setText(shown + QLatin1Char('\n') + QString::fromUtf8(questionText));
    // Return answers Cancel unless the user clicks Replace
    ui->replace_btn_cancel->setDefault(true);
    show();
    raise();
    activateWindow();
}

void ReplaceQuestion::applyLanguage()
{
    DialogLook::setFonts({ui->la_title}, DialogLook::titlePixelSize, true);
    DialogLook::setFonts({ui->replace_btn_ok, ui->replace_btn_cancel}, DialogLook::buttonPixelSize,
                         true);
    DialogLook::setFonts({ui->replace_tv}, DialogLook::messagePixelSize, false);
    ui->la_title->setText(gLangExitEditMode.value(1));
    ui->replace_btn_ok->setText(QString::fromUtf8(replaceText));
    ui->replace_btn_cancel->setText(gLangEditDialog.value(11));
}

void ReplaceQuestion::applyStyle()
{
    DialogLook::setBlackWindow(this);
    ui->frame->setStyleSheet(
        DialogLook::backgroundSheet(QStringLiteral("frame"), QStringLiteral("bg_title02.svg")));
    ui->f_replace->setStyleSheet(
        DialogLook::backgroundSheet(QStringLiteral("f_replace"), QStringLiteral("bg_body02.svg")));
    ui->la_title->setStyleSheet(DialogLook::titleSheet());
    ui->replace_tv->setStyleSheet(DialogLook::whiteLabelSheet());
    const QString buttons = DialogLook::pageButtonSheet();
    ui->replace_btn_ok->setStyleSheet(buttons);
    ui->replace_btn_cancel->setStyleSheet(buttons);
}

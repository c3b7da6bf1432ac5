// Fonts, texts and style sheets of the shared dialog.
#include "formdialog.h"

#include "appfont.h"
#include "appglobals.h"
#include "buttonsheets.h"
#include "dialoglook.h"
#include "skin.h"
#include "ui_formdialog.h"

#include <initializer_list>

namespace {

using DialogLook::setFonts;

// The folder button's image draws its folder icon at 12..25 px from the left: the text keeps to
// its right, with air on both sides.
constexpr int folderTextLeftPx = 30;
constexpr int folderTextRightPx = 6;
constexpr int folderPixelSize = 17;
constexpr int smallestFolderPixelSize = 11;

void setTexts(std::initializer_list<QAbstractButton *> buttons, const QString &text)
{
    for (QAbstractButton *button : buttons)
        button->setText(text);
}

void setSheet(std::initializer_list<QWidget *> widgets, const QString &sheet)
{
    for (QWidget *widget : widgets)
        widget->setStyleSheet(sheet);
}

} // namespace

void FormDialog::applyLanguage()
{
    const QStringList &ed = gLangEditDialog;
    setFonts({ui->la_title}, DialogLook::titlePixelSize, true);
    setFonts({ui->os_la,
              ui->os_la_2,
              ui->os_la_3,
              ui->os_btn_ok,
              ui->os_btn_cancel,
              ui->pvErr_btn_retry,
              ui->msLeave_btn_ok,
              ui->msLeave_btn_cancel,
              ui->groupEdit_btn_ok,
              ui->bodydata_okBtn,
              ui->bodydata_cancelBtn,
              ui->networkError_btn_ok,
              ui->networkError_btn_cancel,
              ui->cutwarning_btn_ok,
              ui->cutwarning_btn_cancel,
              ui->selectedMetadataFolder_btn_ok,
              ui->selectedMetadataFolder_btn_cancel,
              ui->deleteMetadataFile_btn_ok,
              ui->deleteMetadataFile_btn_cancel,
              ui->supportPrompt_okbtn},
             DialogLook::buttonPixelSize, true);
    setFonts({ui->os_cb_removeAudio, ui->os_cb_removeGPS, ui->os_cb_right,
              ui->supportPrompt_checkbox_tv},
             22, false);
    setFonts({ui->pv_btn_ok, ui->msLeaver_la_msg, ui->groupEdit_tv, ui->networkError_tv,
              ui->cutwarning_tv, ui->supportPrompt_comtent},
             DialogLook::messagePixelSize, false);
    setFonts({ui->pvErr_la_msg}, 22, false);
    setFonts({ui->pv_btn_open}, 19, false);
    QFont messageFont = applyAppFont(ui->pv_la_msg->font(), 0, false);
    ui->pv_la_msg->setFont(messageFont);
    ui->selectedMetadataForder_tv->setFont(messageFont);

    // output settings
    ui->os_la->setText(ed.value(2));
    ui->os_cb_removeAudio->setText(ed.value(3));
    ui->os_cb_removeGPS->setText(ed.value(4));
    ui->os_la_2->setText(ed.value(5));
    ui->os_cb_right->setText(ed.value(6));
    ui->os_la_3->setText(ed.value(8));
    ui->os_btn_open->setText(ed.value(9));
    // the folder button's text in the room right of its icon, smaller where it is long
    setFonts({ui->os_btn_open}, folderPixelSize, false);
    QFont folderFont = ui->os_btn_open->font();
    folderFont.setPixelSize(
        pixelSizeToFit(folderFont, ui->os_btn_open->text(),
                       ui->os_btn_open->width() - folderTextLeftPx - folderTextRightPx,
                       folderPixelSize, smallestFolderPixelSize));
    ui->os_btn_open->setFont(folderFont);

    setTexts({ui->pv_btn_ok, ui->os_btn_ok, ui->bodydata_okBtn, ui->networkError_btn_ok,
              ui->cutwarning_btn_ok, ui->supportPrompt_okbtn, ui->pvErr_btn_retry,
              ui->groupEdit_btn_ok},
             ed.value(10));
    setTexts({ui->os_btn_cancel, ui->bodydata_cancelBtn, ui->networkError_btn_cancel,
              ui->cutwarning_btn_cancel},
             ed.value(11));
    ui->pv_btn_open->setText(ed.value(16));

    ui->msLeaver_la_msg->setText(gLangExitEditMode.value(2) + QLatin1Char('\n') +
                                 formatMultilineText(gLangExitEditMode.value(3)));
    ui->msLeave_btn_ok->setText(gLangExitEditMode.value(4));
    ui->msLeave_btn_cancel->setText(gLangExitEditMode.value(5));
    ui->groupEdit_tv->setText(formatMultilineText(ed.value(17)));
    ui->cutwarning_tv->setText(ed.value(26));
    ui->supportPrompt_comtent->setText(ed.value(27));
    ui->supportPrompt_checkbox_tv->setText(ed.value(29));
}

void FormDialog::applyStyle(int style)
{
    currentStyle = style;
    DialogLook::setBlackWindow(this);
    ui->la_title->setStyleSheet(DialogLook::titleSheet());

    setSheet({ui->os_la, ui->os_la_2, ui->os_la_3, ui->pv_la_progress, ui->update_tv, ui->pv_la_msg,
              ui->pvErr_la_msg, ui->msLeaver_la_msg, ui->groupEdit_tv, ui->downloadMetadata_tv,
              ui->deleteMetadataFile_tv, ui->selectedMetadataForder_tv, ui->networkError_tv,
              ui->cutwarning_tv, ui->supportPrompt_comtent},
             DialogLook::whiteLabelSheet());

    setSheet({ui->os_cb_removeAudio, ui->os_cb_removeGPS, ui->os_cb_right,
              ui->supportPrompt_checkbox_tv},
             QStringLiteral("QCheckBox {color:%1} QCheckBox:disabled {color:%5} "
                            "QCheckBox::indicator {width: 17px;height: 17px;} "
                            "QCheckBox::indicator:enabled:checked{border-image:url(%2);} "
                            "QCheckBox::indicator:enabled:unchecked{border-image:url(%3);} "
                            "QCheckBox::indicator:disabled{image:url(%4)}")
                 .arg(QStringLiteral("#ffffff"), skinImage(QStringLiteral("pw_check")),
                      skinImage(QStringLiteral("pw_square")),
                      skinImage(QStringLiteral("pw_square_disable")), QStringLiteral("#727171")));

    ui->os_la_error->setStyleSheet(QStringLiteral("QLabel {color:#FF6B6B}"));
    ui->os_le->setStyleSheet(
        QStringLiteral("QLineEdit{background:#00000000;color:%1;border: 2px solid %1;"
                       "border-radius:6px}")
            .arg(QStringLiteral("#DCDDDD")));
    ui->os_btn_open->setStyleSheet(
        DialogLook::buttonSheet(skinImage(QStringLiteral("pw_output_button_selectfolder")),
                                skinImage(QStringLiteral("pw_output_button_selectfolder_selected")),
                                QStringLiteral("#ffffff")) +
        QStringLiteral("QPushButton{padding-left:%1px;padding-right:%2px;}")
            .arg(folderTextLeftPx)
            .arg(folderTextRightPx));
    setSheet({ui->os_btn_ok,
              ui->os_btn_cancel,
              ui->pvErr_btn_retry,
              ui->pv_btn_ok,
              ui->pv_btn_open,
              ui->msLeave_btn_ok,
              ui->msLeave_btn_cancel,
              ui->groupEdit_btn_ok,
              ui->downloadMetadata_btn_ok,
              ui->downloadMetadata_btn_cancel,
              ui->selectedMetadataFolder_btn_ok,
              ui->selectedMetadataFolder_btn_cancel,
              ui->deleteMetadataFile_btn_ok,
              ui->deleteMetadataFile_btn_cancel,
              ui->bodydata_okBtn,
              ui->bodydata_cancelBtn,
              ui->networkError_btn_ok,
              ui->networkError_btn_cancel,
              ui->cutwarning_btn_ok,
              ui->cutwarning_btn_cancel,
              ui->supportPrompt_okbtn},
             DialogLook::pageButtonSheet());

    ui->pv_pd->setBorderColor(QColor(QStringLiteral("#DCDDDD")));
    ui->pv_pd->setFillColor(QColor(QStringLiteral("#353DF4")));
    ui->pv_pd->setBorderWidth(2);
    ui->pv_pd->setBorderInset(10);

    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(ButtonSheets::imageButton(
        skinImage(QStringLiteral("pw_x.svg")), skinImage(QStringLiteral("pw_x_selected.svg"))));
    ui->loading_icon->updateStyle();
}

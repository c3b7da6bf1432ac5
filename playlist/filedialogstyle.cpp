// Style sheets of the chooser: one look whatever the style index.
#include "filedialog.h"

#include "ui_filedialog.h"

#include "appfont.h"
#include "foldertreeview.h"
#include "skin.h"

#include <QHeaderView>
#include <QLabel>
#include <QPalette>

namespace {

const QString textColour = QStringLiteral("#ffffff");
const QString lineColour = QStringLiteral("#727171");
const QString selectionColour = QStringLiteral("#4C81838D");
const QString grooveColour = QStringLiteral("#DCDDDD");
const QString handleColour = QStringLiteral("#353DF4");
const QString headerBackground = QStringLiteral("#000000");
const QString headerText = QStringLiteral("#353DF4");

// Thin scroll bars with arrow images; margins in pixels around each groove.
QString scrollBarSheet(const QString &owner, int horizontalMargin, int verticalTop,
                       int verticalBottom)
{
    return QStringLiteral(
               "%1 QScrollBar:horizontal{height:6px;background:%2;border-radius:2.5px;"
               "margin:0px %3px 0px %3px;}"
               "%1 QScrollBar::handle:horizontal{background:%4;border-radius:2.5px;min-width:0px;}"
               "%1 QScrollBar:vertical{width:6px;background:%2;border-radius:2.5px;"
               "margin:%5px 0px %6px 0px;}"
               "%1 QScrollBar::handle:vertical{background:%4;border-radius:2.5px;min-height:0px;}"
               "%1 QScrollBar::add-line,%1 QScrollBar::sub-line{background:#00000000;}"
               "%1 QScrollBar::add-page,%1 QScrollBar::sub-page{background:none;}"
               "%1 QScrollBar::up-arrow{width:12px;height:12px;border-image:url(%7);}"
               "%1 QScrollBar::down-arrow{width:12px;height:12px;border-image:url(%8);}"
               "%1 QScrollBar::left-arrow{width:12px;height:12px;border-image:url(%9);}"
               "%1 QScrollBar::right-arrow{width:12px;height:12px;border-image:url(%10);}")
        .arg(owner, grooveColour, QString::number(horizontalMargin), handleColour,
             QString::number(verticalTop), QString::number(verticalBottom),
             skinImage(QStringLiteral("list_arrow_up")),
             skinImage(QStringLiteral("list_arrow_down")),
             skinImage(QStringLiteral("list_arrow_left")))
        .arg(skinImage(QStringLiteral("list_arrow_right")));
}

QString itemSheet(const QString &owner)
{
    return QStringLiteral("%1::item{color: %2;border-bottom-color: %3;border-bottom-style: solid;"
                          "border-bottom-width:1px; padding-left: 5px; }"
                          "%1::item:selected{background-color:%4;}")
        .arg(owner, textColour, lineColour, selectionColour);
}

QString buttonSheet(const QString &image, const QString &pressedImage, const QString &extra)
{
    return QStringLiteral("QPushButton{%3border-image:url(%1);}"
                          "QPushButton:pressed{border-image:url(%2);}")
        .arg(skinImage(image), skinImage(pressedImage), extra);
}

} // namespace

void FileDialog_C::applyStyle(int)
{
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::All, QPalette::Window, Qt::black);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    ui->gridWidget->setStyleSheet(QStringLiteral(
        "QWidget#gridWidget { border-image:url(:/image/TALVEXStyle/bg_body_openfolder.svg); }"));
    ui->frame->setStyleSheet(
        QStringLiteral("QFrame#frame { border-image:url(%1);} ")
            .arg(skinImage(QStringLiteral("bg_title_about_openfolder_instruction"))));

    ui->diskFileList->setStyleSheet(
        QStringLiteral("QTableWidget{background-color:#00000000;border:none;padding-left:15px;"
                       "padding-right:15px;padding-bottom:10px;border-radius:10px;"
                       "selection-background-color:%1;}")
            .arg(selectionColour) +
        itemSheet(QStringLiteral("QTableWidget")) +
        scrollBarSheet(QStringLiteral("QTableWidget"), 50, 45, 15));

    tree->setStyleSheet(QStringLiteral("QListView{background-color:#00000000;border-image:url(%1);"
                                       "padding-left:15px;padding-right:15px;padding-top:10px;"
                                       "padding-bottom:10px;border-radius:10px;}")
                            .arg(skinImage(QStringLiteral("openfile_square_l"))) +
                        itemSheet(QStringLiteral("QListView")) +
                        scrollBarSheet(QStringLiteral("QListView"), 50, 15, 15));

    ui->headerTableWidget->setStyleSheet(
        QStringLiteral("QTableWidget{background-color:#00000000;border:none;padding-left:15px;"
                       "padding-right:15px;padding-top:10px;padding-bottom:10px;"
                       "border-radius:10px;}"
                       "QHeaderView{background-color:%1;}"
                       "QHeaderView::section,QHeaderView::section:checked{background-color:%1;"
                       "color:%2;border:none;border-right:1px solid %3;margin-top:10px;"
                       "margin-bottom:10px;padding-left:10px;padding-bottom:5px;"
                       "font-family:\"%4\";font-size:18px;}")
            .arg(headerBackground, headerText, lineColour, getAppFontFamily()));

    ui->diskFileGridWidget->setStyleSheet(
        QStringLiteral("QWidget#diskFileGridWidget {border-image:url(%1);}")
            .arg(skinImage(QStringLiteral("openfile_square_r"))));
    ui->bottomBorder->setStyleSheet(
        QStringLiteral("QLabel {border-top: 1px solid %1;height:5px;margin-left:15px; "
                       "margin-right:15px;}")
            .arg(lineColour));
    ui->bottomBorder->setFixedHeight(1);
    ui->chooseFileName->setStyleSheet(
        QStringLiteral("QLineEdit {background-color:%1; color:%2;border: 1px solid %3;"
                       "border-radius:6px;}")
            .arg(headerBackground, grooveColour, grooveColour));
    ui->DirPath->setStyleSheet(QStringLiteral("QLabel {color:%1}").arg(textColour));

    const QString textButton = QStringLiteral("color: %1; ").arg(textColour);
    ui->open_btn->setStyleSheet(
        buttonSheet(QStringLiteral("pw_button"), QStringLiteral("pw_button02"), textButton));
    ui->cancel_btn->setStyleSheet(
        buttonSheet(QStringLiteral("pw_button"), QStringLiteral("pw_button02"), textButton));
    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(buttonSheet(QStringLiteral("pw_x"),
                                             QStringLiteral("pw_x_selected"),
                                             QStringLiteral("background-color:#00000000;")));
    ui->scrollArea->setStyleSheet(
        QStringLiteral("QScrollArea{background-color:#00000000 ;border:none}") +
        scrollBarSheet(QStringLiteral("QScrollArea"), 15, 15, 15));
}

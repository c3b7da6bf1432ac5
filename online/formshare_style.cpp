// FormShare: fonts, texts and style sheets.
#include "formshare.h"
#include "onlinestyle.h"

#include "appfont.h"
#include "appglobals.h"
#include "skin.h"
#include "ui_formshare.h"

namespace {
constexpr char activeColour[] = "#ffffff";
constexpr char inactiveColour[] = "#727171";

enum class Weight
{
    Language, // bold only for Chinese
    Bold,
    Normal
};

void setWidgetFont(QWidget *widget, int pixelSize, Weight weight)
{
    QFont font = weight == Weight::Language
                     ? applyAppFont(widget->font(), 0, false)
                     : applyAppFont(widget->font(), 1, weight == Weight::Bold);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    widget->setFont(font);
}

QString shareText(int index)
{
    return gLangShareVideos.value(index);
}

} // namespace

QString FormShare::lineEditSheet()
{
    return QStringLiteral("QLineEdit::enabled {background-color:%1; color:%2; border: 2px solid "
                          "%3;border-radius:6px}QLineEdit::disabled {background-color:%4; "
                          "color:#B5B5B6; border:none; border-radius:6px}")
        .arg(QStringLiteral("#00000000"), QStringLiteral("#DCDDDD"), QStringLiteral("#DCDDDD"),
             QStringLiteral("#595757"));
}

QString FormShare::emptyLineEditSheet()
{
    return QStringLiteral("QLineEdit{border:none;background-color: %1;border-radius:6px}")
        .arg(QStringLiteral("#595757"));
}

void FormShare::setLanguageFont()
{
    for (QWidget *w : {static_cast<QWidget *>(ui->la_title), static_cast<QWidget *>(ui->la_step)})
        setWidgetFont(w, 31, Weight::Language);
    for (QWidget *w : {static_cast<QWidget *>(ui->la_step1), static_cast<QWidget *>(ui->la_step2),
                       static_cast<QWidget *>(ui->la_step3), static_cast<QWidget *>(ui->la_step4),
                       static_cast<QWidget *>(ui->btn_select)})
        setWidgetFont(w, 17, Weight::Language);
    setWidgetFont(ui->s1_rb_current, 24, Weight::Language);
    setWidgetFont(ui->s1_rb_file, 24, Weight::Language);
    setWidgetFont(ui->btn_back, 23, Weight::Language);
    setWidgetFont(ui->btn_next, 23, Weight::Language);
    setWidgetFont(ui->s3_la_wait, 25, Weight::Language);
    setWidgetFont(ui->s2_la_signin, 17, Weight::Language);
    setWidgetFont(ui->s3_la_progress, 73, Weight::Bold);
    setWidgetFont(ui->s3_la_number, 19, Weight::Normal);
    setWidgetFont(ui->s1_le_current, 13, Weight::Normal);
    setWidgetFont(ui->s1_le_file, 13, Weight::Normal);
    for (QWidget *w :
         {static_cast<QWidget *>(ui->shareRadioPrivacy_tv),
          static_cast<QWidget *>(ui->shareRadioTitle_tv), static_cast<QWidget *>(ui->rb_public),
          static_cast<QWidget *>(ui->rb_private), static_cast<QWidget *>(ui->rb_unlisted),
          static_cast<QWidget *>(ui->rb_auto)})
        setWidgetFont(w, 0, Weight::Language);

    ui->la_title->setText(shareText(1));
    ui->la_step1->setText(formatMultilineText(shareText(2)));
    ui->la_step2->setText(formatMultilineText(shareText(3)));
    ui->la_step3->setText(formatMultilineText(shareText(4)));
    ui->la_step4->setText(formatMultilineText(shareText(5)));
    ui->la_step->setText(shareText(6));
    ui->s1_rb_current->setText(shareText(7));
    ui->s1_rb_file->setText(shareText(8));
    ui->btn_select->setText(shareText(9));
    ui->btn_back->setText(shareText(12));
    ui->btn_next->setText(shareText(10));
    ui->s3_la_wait->setText(
        QString(shareText(17) + QLatin1Char('\n') + shareText(18)).remove(QLatin1Char('"')));
    ui->shareRadioPrivacy_tv->setText(shareText(23));
    ui->shareRadioTitle_tv->setText(shareText(24));
    ui->s2_la_signin->setText(shareText(26));
    ui->rb_public->setText(shareText(20));
    ui->rb_private->setText(shareText(21));
    ui->rb_unlisted->setText(shareText(22));
}

void FormShare::setStepColours(int activeStep)
{
    QLabel *steps[] = {ui->la_step1, ui->la_step2, ui->la_step3, ui->la_step4};
    for (int i = 0; i < 4; ++i)
        steps[i]->setStyleSheet(
            QStringLiteral("background:#00000000;color:%1;")
                .arg(QLatin1String(i + 1 == activeStep ? activeColour : inactiveColour)));
}

void FormShare::setSiteButtonImages(const QString &normal, const QString &hover)
{
    ui->s2_tbtn_youtube->setStyleSheet(
        QStringLiteral("QToolButton { border-image: url(%1); }    "
                       "QToolButton:hover { border-image: url(%2); }")
            .arg(skinImage(normal), skinImage(hover)));
}

void FormShare::setStyle(int style)
{
    style_ = style;
    setStyleSheet(QStringLiteral("QWidget {background-color:#000000}"));
    ui->frame->setStyleSheet(OnlineStyle::titleFrameSheet());
    ui->la_title->setStyleSheet(QStringLiteral("QLabel{background:#00000000;color:#ffffff}"));
    ui->gridWidget->setStyleSheet(
        QStringLiteral("border-image:url(:/image/TALVEXStyle/bg_body_share.svg)"));
    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(OnlineStyle::closeButtonSheet());
    const QString buttonSheet = OnlineStyle::textButtonSheet(QLatin1String(activeColour));
    ui->btn_next->setStyleSheet(buttonSheet);
    ui->btn_back->setStyleSheet(buttonSheet);
    ui->btn_select->setStyleSheet(
        QStringLiteral("QPushButton{border: 2px solid #727171; color: %1; border-image:url(%2); "
                       "border-radius:6px;}")
            .arg(QLatin1String(activeColour), skinImage(QStringLiteral("pw_share_selectfolder"))) +
        QStringLiteral("QPushButton:pressed { border-image:url(%1); }")
            .arg(skinImage(QStringLiteral("pw_share_selectfolder_selected"))));
    const QString radioSheet =
        QStringLiteral("QRadioButton {background-color:%1;color:%2;}QRadioButton:disabled "
                       "{background-color:%1;color:%3;}QRadioButton ,QCheckBox{spacing: "
                       "8px;}QRadioButton::indicator:checked {border-image:url(%5);}"
                       "QRadioButton::indicator:unchecked {border-image:url(%6);}"
                       "QRadioButton::indicator:unchecked:disabled {border-image:url(%4);}")
            .arg(QStringLiteral("#00000000"), QStringLiteral("#ffffff"), QStringLiteral("#ffffff"),
                 skinImage(QStringLiteral("pw_square_disable")),
                 skinImage(QStringLiteral("pw_check")), skinImage(QStringLiteral("pw_square")));
    for (QRadioButton *radio : {ui->s1_rb_current, ui->s1_rb_file, ui->rb_public, ui->rb_private,
                                ui->rb_unlisted, ui->rb_auto, ui->rb_filename})
        radio->setStyleSheet(radioSheet);
    ui->la_step->setStyleSheet(
        QStringLiteral("background:#00000000;color:%1;").arg(QLatin1String(activeColour)));
    setStepColours(1);
    ui->s3_la_progress->setStyleSheet(QStringLiteral("color:%1").arg(QStringLiteral("#ffffff")));
    ui->s3_la_number->setStyleSheet(QStringLiteral("color:%1").arg(QStringLiteral("#DCDDDD")));
    ui->s3_la_wait->setStyleSheet(QStringLiteral("color:%1").arg(QStringLiteral("#EFEFEF")));
    ui->s2_la_signin->setStyleSheet(QStringLiteral("color:%1").arg(QStringLiteral("#EFEFEF")));
    const QString editSheet =
        QStringLiteral("QLineEdit {background-color:#00000000;color:#DCDDDD;border: 2px solid "
                       "#DCDDDD;border-radius:4px;}");
    ui->filename_ed->setStyleSheet(editSheet);
    ui->description_ed->setStyleSheet(editSheet);
    for (QLabel *caption :
         {ui->shareRadioPrivacy_tv, ui->shareRadioTitle_tv, ui->shareDescription_tv})
        caption->setStyleSheet(QStringLiteral("QLabel{color:#FFFFFF;font-weight: bold;}"));
    const QString imageSheet =
        QStringLiteral("QLabel:enabled {background:%1}QLabel:disabled {background:%2}")
            .arg(QStringLiteral("#DCDDDD"), QStringLiteral("#595757"));
    ui->la_image_current->setStyleSheet(imageSheet);
    ui->la_image_other->setStyleSheet(imageSheet);
    ui->s1_le_current->setStyleSheet(lineEditSheet());
    ui->s1_le_file->setStyleSheet(ui->s1_le_file->text().isEmpty() ? emptyLineEditSheet()
                                                                   : lineEditSheet());
    setSiteButtonImages(QStringLiteral("pw_share_youtube_unselect"),
                        QStringLiteral("pw_share_youtube_select"));
    for (QLabel *step : {ui->label_stepImage1, ui->label_stepImage2, ui->label_stepImage3})
        step->setStyleSheet(QStringLiteral("background:#00000000;border-image:url(%1);")
                                .arg(skinImage(QStringLiteral("pw_share_step_icon"))));
    ui->s3_pv_pd->setBorderColor(QColor(QStringLiteral("#DCDDDD")));
    ui->s3_pv_pd->setFillColor(QColor(QStringLiteral("#353DF4")));
    ui->s3_pv_pd->setBorderWidth(2);
    ui->s3_pv_pd->setBorderInset(10);
}

#include "dialoglook.h"

#include "appfont.h"
#include "skin.h"

#include <QPalette>
#include <QWidget>

namespace DialogLook {

QString backgroundSheet(const QString &objectName, const QString &image)
{
    return QStringLiteral("QFrame#%1{border-image:url(:/image/TALVEXStyle/%2);}")
        .arg(objectName, image);
}

QString buttonSheet(const QString &normal, const QString &pressed, const QString &color)
{
    return QStringLiteral("QPushButton{color: %1; border-image:url(%2);}").arg(color, normal) +
           QStringLiteral("QPushButton:pressed { border-image:url(%1); }").arg(pressed);
}

QString pageButtonSheet()
{
    return buttonSheet(skinImage(QStringLiteral("pw_button")),
                       skinImage(QStringLiteral("pw_button02")), QStringLiteral("#ffffff"));
}

QString whiteLabelSheet()
{
    return QStringLiteral("QLabel {color:%1}").arg(QStringLiteral("#ffffff"));
}

QString titleSheet()
{
    return QStringLiteral("background:#00000000;color:#ffffff");
}

void setFonts(std::initializer_list<QWidget *> widgets, int pixelSize, bool boldForChinese)
{
    QFont font = applyAppFont((*widgets.begin())->font(), boldForChinese ? 0 : 1, false);
    font.setPixelSize(pixelSize);
    for (QWidget *widget : widgets)
        widget->setFont(font);
}

void setBlackWindow(QWidget *dialog)
{
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::All, QPalette::Window, QColor(0, 0, 0));
    dialog->setPalette(pal);
}

} // namespace DialogLook

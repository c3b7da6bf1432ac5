#include "onlinestyle.h"

#include "buttonsheets.h"

namespace OnlineStyle {

QString imageButtonSheet(const QString &normal, const QString &pressed)
{
    return ButtonSheets::imageButton(folder + normal, folder + pressed);
}

QString closeButtonSheet()
{
    return imageButtonSheet(QStringLiteral("pw_x.svg"), QStringLiteral("pw_x_selected.svg"));
}

QString titleFrameSheet()
{
    return QStringLiteral("QFrame#frame { border-image:url(%1);} ")
        .arg(folder + QStringLiteral("bg_title_about_openfolder_instruction"));
}

QString textButtonSheet(const QString &colour)
{
    return QStringLiteral("QPushButton{background:#00000000;border: 2px solid #727171; color: %1; "
                          "border-image:url(%2); border-radius:6px;}")
               .arg(colour, folder + QStringLiteral("pw_button")) +
           QStringLiteral("QPushButton:pressed { border-image:url(%1); }")
               .arg(folder + QStringLiteral("pw_button02"));
}

} // namespace OnlineStyle

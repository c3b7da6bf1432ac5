// Style sheets shared by the online windows, which keep the default brand's look in every style.
#pragma once

#include <QString>

namespace OnlineStyle {

// The default brand's image folder, ending in "/".
inline const QString folder = QStringLiteral(":/image/TALVEXStyle/");

// A button drawn by an image of folder and its pressed image, on a clear ground.
QString imageButtonSheet(const QString &normal, const QString &pressed);
// The title bar's close button.
QString closeButtonSheet();
// The title bar frame ("frame") drawn by the title picture.
QString titleFrameSheet();
// A framed text button on the button pictures, with its text colour.
QString textButtonSheet(const QString &colour);

} // namespace OnlineStyle

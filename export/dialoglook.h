// The look of the player's frameless dialogs: title and body images, white texts on black, image
// buttons, and the fonts of titles, messages and buttons.
#pragma once

#include <QString>

#include <initializer_list>

class QWidget;

namespace DialogLook {

constexpr int titleHeight = 44;      // the title bar above every page
constexpr int titlePixelSize = 31;   // bold only for Chinese
constexpr int buttonPixelSize = 23;  // page buttons, bold only for Chinese
constexpr int messagePixelSize = 25; // messages of the notice pages

// A frame drawn by an image of the default skin folder, whatever the style.
QString backgroundSheet(const QString &objectName, const QString &image);
// A push button drawn by the skin images normal and, while pressed, pressed.
QString buttonSheet(const QString &normal, const QString &pressed, const QString &color);
// A page button: the skin's "pw_button" and "pw_button02" with white text.
QString pageButtonSheet();
QString whiteLabelSheet();
QString titleSheet();

// The font of the first widget with the application family and weight, at a pixel size, for all
// of them. boldForChinese: bold only while the language is Chinese; otherwise normal weight.
void setFonts(std::initializer_list<QWidget *> widgets, int pixelSize, bool boldForChinese);
// The window colour black, behind the rounded corners' edge.
void setBlackWindow(QWidget *dialog);

} // namespace DialogLook

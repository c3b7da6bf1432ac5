// Skin images of the bundle as icons and pixmaps; callers name an image without its suffix.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

class QAbstractButton;
class QLabel;

// The skin file of an image name with the suffix it has in the bundle; empty when there is none.
QString skinImageFile(const QString &name);
// The image rendered at size (sharp for SVG); a null pixmap when the skin lacks it.
QPixmap skinPixmap(const QString &name, const QSize &size);
// Shows the image on button, with name + "_selected" while hovered when the skin has it.
// Without the image the button shows fallbackText instead.
void setSkinIcon(QAbstractButton *button, const QString &name, const QString &fallbackText);
// Shows the image at side x side on label, or fallbackText when the skin lacks it.
void setSkinPixmap(QLabel *label, const QString &name, int side, const QString &fallbackText);

// Creates the overlay widget for an item dropped on a video view: the map-track overlay, the
// dashboard overlay or a picture label. Installed as the views' overlay factory.
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;
class VideoWidget;

namespace OverlayItems {

// The widget for the item text "mapWaterMark", "dashboard" or "QLabelImage" as a child of
// parent; null for any other text.
QWidget *create(const QString &text, const QPixmap &pixmap, QWidget *parent);
// Lets view create overlay widgets on drops.
void install(VideoWidget *view);

} // namespace OverlayItems

// Drops an item of the overlay editor's list onto a video view, as a drag from the list ends.
#pragma once

#include "skin.h"
#include "videowidget.h"
#include "watermarkview.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

#include <memory>

namespace OverlayDrop {

// column: 1 map track, 2 dashboard, 3 picture; pos in the view.
inline void dropItem(VideoWidget *view, int column, const QPoint &pos)
{
    std::unique_ptr<QMimeData> mime(WatermarkDelegate::itemMimeData(
        column, getStylePath() + QStringLiteral("adjustbar_4x_blue"), QPoint(0, 0)));
    QDragEnterEvent enter(pos, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    QDropEvent drop(pos, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
}

} // namespace OverlayDrop

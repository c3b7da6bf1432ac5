#include "resizewatcher.h"

#include <QEvent>
#include <QWidget>

ResizeWatcher::ResizeWatcher(QWidget *watched, std::function<void()> onResize)
    : QObject(watched), onResize_(std::move(onResize))
{
    watched->installEventFilter(this);
}

bool ResizeWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        onResize_();
    return QObject::eventFilter(watched, event);
}

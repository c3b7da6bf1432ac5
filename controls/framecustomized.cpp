#include "framecustomized.h"

#include <QMouseEvent>

FrameCustomized::FrameCustomized(QWidget *parent) : QFrame(parent) {}

void FrameCustomized::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    emit doubleClicked();
}

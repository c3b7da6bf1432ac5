#include "framelesshelper.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

FramelessHelper::FramelessHelper(QWidget *window) : QObject(window), window_(window)
{
    window->installEventFilter(this);
    watchButtons(window);
}

FramelessHelper *FramelessHelper::install(QWidget *window)
{
    return new FramelessHelper(window);
}

QBitmap FramelessHelper::roundedMask(const QSize &size)
{
    QBitmap bitmap(size);
    bitmap.fill(Qt::color0);
    QPainter painter(&bitmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), cornerRadius, cornerRadius);
    return bitmap;
}

void FramelessHelper::watchButtons(QObject *root)
{
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>())
        button->installEventFilter(this);
}

bool FramelessHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window_) {
        if (event->type() == QEvent::MouseButtonPress)
            canMove_ = false;
        return false;
    }
    switch (event->type()) {
    case QEvent::ChildAdded:
        watchButtons(static_cast<QChildEvent *>(event)->child());
        if (auto *button = qobject_cast<QAbstractButton *>(static_cast<QChildEvent *>(event)->child()))
            button->installEventFilter(this);
        break;
    case QEvent::Resize:
    case QEvent::Show:
        window_->setMask(roundedMask(window_->size()));
        break;
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        canMove_ = true;
        dragging_ = mouse->button() == Qt::LeftButton;
        pressOffset_ = mouse->globalPos() - window_->frameGeometry().topLeft();
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (dragging_ && canMove_ && (mouse->buttons() & Qt::LeftButton))
            window_->move(mouse->globalPos() - pressOffset_);
        break;
    }
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        break;
    default:
        break;
    }
    return false;
}

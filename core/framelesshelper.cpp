#include "framelesshelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

void FramelessHelper::placeOnMainWindow(QWidget *window)
{
    QWidget *anchor = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top != window && top->isVisible() && qobject_cast<QMainWindow *>(top)) {
            anchor = top;
            if (top->isActiveWindow())
                break;
        }
    }
    QScreen *screen = anchor ? anchor->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize fitted = window->size().boundedTo(area.size()).expandedTo(window->minimumSize());
    if (fitted != window->size())
        window->resize(fitted);
    QRect placed = window->frameGeometry();
    if (anchor)
        placed.moveCenter(anchor->frameGeometry().center());
    // inside the area, the top left corner first when the window is larger than the screen
    placed.moveLeft(
        std::max(area.left(), std::min(placed.left(), area.right() + 1 - placed.width())));
    placed.moveTop(
        std::max(area.top(), std::min(placed.top(), area.bottom() + 1 - placed.height())));
    window->move(placed.topLeft());
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
    case QEvent::Show:
        placeOnMainWindow(window_);
        window_->setMask(roundedMask(window_->size()));
        break;
    case QEvent::Resize:
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

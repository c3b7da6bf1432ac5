#include "formlabelcustomer.h"

#include "labelzones.h"

#include <QMouseEvent>
#include <QPainter>

FormLabelCustomer::FormLabelCustomer(QWidget *parent) : QLabel(parent) {}

void FormLabelCustomer::setSelected(int selected)
{
    selected_ = selected;
    setMouseTracking(selected == 1);
    update();
}

void FormLabelCustomer::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (selected_ == 0) {
            setSelected(1);
            event->accept(); // the selecting click goes no further
            return;
        }
        if (zone_ != LabelZones::Inside)
            return;
        setSelected(0);
        QLabel::mousePressEvent(event);
    } else if (event->button() == Qt::RightButton) {
        setSelected(0);
        QLabel::mousePressEvent(event);
    }
}

void FormLabelCustomer::mouseMoveEvent(QMouseEvent *event)
{
    if (!handlesValid_ || handles_.size() != 8)
        return;
    const LabelZones::Hit hit = LabelZones::hitTest(event->pos(), handles_);
    zone_ = hit.zone;
    setCursor(hit.cursor);
    QLabel::mouseMoveEvent(event);
}

void FormLabelCustomer::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (selected_ == 0) {
        handlesValid_ = false;
        return;
    }
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xF3, 0x98, 0x00), 1));
    painter.setBrush(Qt::NoBrush);
    for (int y : {10, h - 10}) {
        painter.drawLine(13, y, w / 2 - 3, y);
        painter.drawLine(w / 2 + 3, y, w - 13, y);
    }
    for (int x : {10, w - 10}) {
        painter.drawLine(x, 13, x, h / 2 - 3);
        painter.drawLine(x, h / 2 + 3, x, h - 13);
    }
    handles_ = LabelZones::handleCorners(size());
    for (const QPoint &corner : handles_)
        painter.drawRect(corner.x(), corner.y(), LabelZones::handleSide, LabelZones::handleSide);
    handlesValid_ = true;
}

#include "formspeedstyle2.h"

#include "appfont.h"
#include "dashboardrules.h"

#include <QConicalGradient>
#include <QIcon>
#include <QPainter>

FormSpeedStyle2::FormSpeedStyle2(QWidget *parent) : QWidget(parent)
{
    arcRect_ = DashboardRules::gaugeArcRect(size_.width());
}

void FormSpeedStyle2::setObjectSize(const QSize &size, bool large)
{
    large_ = large;
    setFixedSize(size);
    size_ = size;
    if (size.width() != 0)
        arcRect_ = DashboardRules::gaugeArcRect(size.width());
    update();
}

void FormSpeedStyle2::setSpeed(const QString &text, int value)
{
    valueText_ = text;
    value_ = value;
    update();
}

void FormSpeedStyle2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    QConicalGradient gradient(QRectF(arcRect_).center(), 235);
    gradient.setColorAt(0.0, QColor(0x43, 0x72, 0xC5));
    gradient.setColorAt(0.3, QColor(0x43, 0x72, 0xC5));
    gradient.setColorAt(1.0, QColor(0xFF, 0x5C, 0x84));
    painter.setPen(QPen(QBrush(gradient), penWidth(), Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    // Angles in 1/16 degree, counter-clockwise from 3 o'clock: from the lower left, clockwise.
    const int start = large_ ? -135 : -134;
    painter.drawArc(arcRect_, start * 16, -value_ * 16);

    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(
        0, 0, QIcon(QStringLiteral(":/image/blackStyle/info_speed_edit_01.svg")).pixmap(size()));

    QFont font = getAppFont(true);
    font.setWeight(75);
    font.setFamily(QStringLiteral("Arial"));
    const int w = width();
    const DashboardRules::GaugeFonts sizes = DashboardRules::gaugeFonts(w);
    if (sizes.value > 0)
        font.setPointSize(sizes.value);
    painter.setFont(font);
    painter.setPen(QColor(0xFF, 0xFF, 0xFF));
    painter.drawText(QRect(QPoint(0, -(w / 10)), rect().bottomRight()), Qt::AlignCenter,
                     valueText_);
    if (sizes.unit > 0)
        font.setPointSize(sizes.unit);
    painter.setFont(font);
    painter.drawText(QRect(QPoint(0, int((w / 6) * 2.5 + 5)), rect().bottomRight()),
                     Qt::AlignCenter, unit_ == 1 ? QStringLiteral("kmh") : QStringLiteral("mph"));
}

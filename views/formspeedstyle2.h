// Arc speed gauge of the dashboard overlay: a gradient arc under the gauge face, value and unit.
// GUI thread only.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class FormSpeedStyle2 : public QWidget
{
    Q_OBJECT
public:
    explicit FormSpeedStyle2(QWidget *parent = nullptr);

    // Fixed size; the arc rectangle scales with the width (158 of 175 pixels).
    void setObjectSize(const QSize &size, bool large);
    void setUnit(int unit) { unit_ = unit; }
    // Text in the middle and arc span in degrees.
    void setSpeed(const QString &text, int value);

    QRect arcRect() const { return arcRect_; }
    QString valueText() const { return valueText_; }
    int value() const { return value_; }
    int unit() const { return unit_; }
    bool isLarge() const { return large_; }
    int penWidth() const { return large_ ? 23 : 8; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize size_{100, 100};
    QRect arcRect_;
    QString valueText_ = QStringLiteral("0");
    int value_ = 0;
    int unit_ = 1;
    bool large_ = false;
};

// Progress bar that paints itself: a border inset from both ends and a bar filled to the value.
#pragma once

#include <QColor>
#include <QProgressBar>

class ProgressBar_c : public QProgressBar
{
    Q_OBJECT
public:
    explicit ProgressBar_c(QWidget *parent = nullptr);

    void setBorderColor(const QColor &color);
    void setFillColor(const QColor &color);
    void setBorderWidth(int width);
    // Horizontal inset in pixels of the border and the bar from each end.
    void setBorderInset(int inset);

    // Filled share 0..1 of the inner length for a value in a range (0 for an empty range).
    static double filledFraction(int value, int minimum, int maximum);

public slots:
    // Values outside the range are clamped to it (the base class would ignore them).
    void setValue(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor borderColor_ = Qt::white;
    QColor fillColor_ = Qt::white;
    int borderWidth_ = 1;
    int borderInset_ = 0;
};

// The cut editor's range slider: two round handles marking a span over a thin groove.
// Values are hundredths of a second; the span always lies inside the range, lower <= upper.
#pragma once

#include <QColor>
#include <QWidget>

class SliderStyle : public QWidget
{
    Q_OBJECT
public:
    explicit SliderStyle(QWidget *parent = nullptr);

    // Moves the span into the new range (emitting spanChanged when it changes).
    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int lowerValue() const { return lower_; }
    int upperValue() const { return upper_; }

    void setColors(const QColor &groove, const QColor &span, const QColor &handle);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Bounds are ordered and clamped to the range.
    void setSpan(int lower, int upper);

signals:
    // (start, end) in units of 10 ms, after every change of the span.
    void spanChanged(int lower, int upper);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Handle
    {
        None,
        Lower,
        Upper
    };

    double xOf(int value) const;
    int valueAt(double x) const;
    Handle handleNearest(double x) const;
    void moveHandle(Handle handle, int value);

    int minimum_ = 0;
    int maximum_ = 0;
    int lower_ = 0;
    int upper_ = 0;
    Handle dragged_ = Handle::None;
    QColor grooveColor_;
    QColor spanColor_;
    QColor handleColor_;
};

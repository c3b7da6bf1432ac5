// 50 x 50 busy spinner: the skin image "pw_loading" drawn turning about its centre.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class ProcessWait : public QWidget
{
    Q_OBJECT
public:
    explicit ProcessWait(QWidget *parent = nullptr);

    // Starts or stops the turning; a stopped spinner keeps its last angle.
    void setRunning(bool running);
    bool isRunning() const { return timer_.isActive(); }
    // Current angle in degrees, 0..359.
    int angle() const { return angle_; }
    // Reads the skin image again (after a style change).
    void updateStyle();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void step();

    QTimer timer_;
    QPixmap image_;
    int angle_ = 0;
};

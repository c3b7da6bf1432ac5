// Frame that reports a mouse double click; presses and moves reach the parent as usual.
#pragma once

#include <QFrame>

class FrameCustomized : public QFrame
{
    Q_OBJECT
public:
    explicit FrameCustomized(QWidget *parent = nullptr);

signals:
    void doubleClicked();

protected:
    // Consumed here: the double click goes no further.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

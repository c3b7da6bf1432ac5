// Calls a function whenever the watched widget changes size.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

class ResizeWatcher : public QObject
{
public:
    // A child of watched: it goes with the widget.
    ResizeWatcher(QWidget *watched, std::function<void()> onResize);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> onResize_;
};

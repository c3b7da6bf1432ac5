// Rounded mask and drag-to-move for the player's frameless dialogs and tool windows.
#pragma once

#include <QBitmap>
#include <QObject>
#include <QPoint>

class QWidget;

class FramelessHelper : public QObject
{
    Q_OBJECT
public:
    static constexpr int cornerRadius = 10;

    // Watches window and its buttons; owned by window.
    static FramelessHelper *install(QWidget *window);

    // White bitmap of size with a black rounded rectangle over all of it.
    static QBitmap roundedMask(const QSize &size);

    // Shrinks window to fit the available area of the main window's screen and centres it on
    // the main window, kept inside that area. Without a shown main window the window's own
    // screen is used and the window is only kept inside it. Runs whenever a window shows.
    static void placeOnMainWindow(QWidget *window);

    bool canMove() const { return canMove_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FramelessHelper(QWidget *window);
    void watchButtons(QObject *root);

    QWidget *window_;
    QPoint pressOffset_;
    bool dragging_ = false;
    bool canMove_ = true; // cleared by a button press until the next press on the window
};

// Keys and clicks sent through the X server with XTest, as a user's keyboard and mouse send them:
// the server hands them to the window that has its input focus (or to a grab), not to a widget
// chosen by the test. Also the close request a window manager sends.
#pragma once

#include <QString>
#include <QStringList>

class QPoint;
class QWidget;

class XTestInput
{
public:
    XTestInput();
    ~XTestInput();
    XTestInput(const XTestInput &) = delete;
    XTestInput &operator=(const XTestInput &) = delete;

    // False when no X display or no XTest extension is there.
    bool isReady() const;
    // Left click at the centre of widget, in screen coordinates.
    void click(const QWidget *widget);
    // Left click at a point of widget (widget coordinates).
    void click(const QWidget *widget, const QPoint &at);
    // Left button pressed at from, moved and released at to (widget coordinates).
    void drag(const QWidget *widget, const QPoint &from, const QPoint &to);
    // Presses the keys in order and releases them in reverse: {"Control_L", "a"}, {"Return"}.
    // Names are X key symbol names.
    void chord(const QStringList &keyNames);
    // Types text of digits, lower-case letters and blanks.
    void type(const QString &text);
    // Asks window to close as a window manager does for Alt+F4 or a title bar's close: the
    // WM_DELETE_WINDOW message of the ICCCM sent to its X window.
    void closeAsWindowManager(const QWidget *window);

private:
    void moveTo(const QPoint &global);
    void key(const QString &name, bool press);
    void flush();

    struct _XDisplay *display_ = nullptr;
};

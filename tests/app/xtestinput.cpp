#include "xtestinput.h"

#include <QWidget>

// after Qt: Xlib defines macros (KeyPress, None, ...) that Qt's names would collide with
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

XTestInput::XTestInput() : display_(XOpenDisplay(nullptr)) {}

XTestInput::~XTestInput()
{
    if (display_)
        XCloseDisplay(display_);
}

bool XTestInput::isReady() const
{
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    return display_ && XTestQueryExtension(display_, &event, &error, &major, &minor);
}

void XTestInput::click(const QWidget *widget)
{
    click(widget, widget->rect().center());
}

void XTestInput::click(const QWidget *widget, const QPoint &at)
{
    moveTo(widget->mapToGlobal(at));
    XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display_, Button1, False, CurrentTime);
    flush();
}

void XTestInput::drag(const QWidget *widget, const QPoint &from, const QPoint &to)
{
    constexpr int steps = 10;
    moveTo(widget->mapToGlobal(from));
    XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
    for (int i = 1; i <= steps; ++i)
        moveTo(widget->mapToGlobal(from + (to - from) * i / steps));
    XTestFakeButtonEvent(display_, Button1, False, CurrentTime);
    flush();
}

void XTestInput::moveTo(const QPoint &global)
{
    XTestFakeMotionEvent(display_, -1, global.x(), global.y(), CurrentTime);
}

void XTestInput::chord(const QStringList &keyNames)
{
    for (const QString &name : keyNames)
        key(name, true);
    for (auto it = keyNames.crbegin(); it != keyNames.crend(); ++it)
        key(*it, false);
    flush();
}

void XTestInput::type(const QString &text)
{
    for (const QChar c : text)
        chord({c == QLatin1Char(' ') ? QStringLiteral("space") : QString(c)});
}

void XTestInput::closeAsWindowManager(const QWidget *window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window->winId());
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, event.xclient.window, False, NoEventMask, &event);
    flush();
}

void XTestInput::key(const QString &name, bool press)
{
    const KeySym symbol = XStringToKeysym(name.toLatin1().constData());
    const KeyCode code = XKeysymToKeycode(display_, symbol);
    XTestFakeKeyEvent(display_, code, press ? True : False, CurrentTime);
}

void XTestInput::flush()
{
    XSync(display_, False);
}

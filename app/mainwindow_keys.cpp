// The main window's player keys: window shortcuts, never a grab of the display's keyboard. They
// act only while the main window is the active window, and a focused text field first takes the
// keys it types or edits with (Qt offers it each key as a ShortcutOverride), so every other
// window and every field keeps its own keys.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formlist.h"

#include <QShortcut>

void MainWindow::wireKeys()
{
    const auto add = [this](const QKeySequence &keys, auto handler) {
        auto *shortcut = new QShortcut(keys, this); // window context: this window only
        connect(shortcut, &QShortcut::activated, this, handler);
        playerKeys_ << shortcut;
    };
    add(QKeySequence(Qt::Key_Space), &MainWindow::onPlayPause);
    add(QKeySequence(Qt::Key_Left), [this] { mainDashcam()->stepBackward(); });
    add(QKeySequence(Qt::Key_Right), [this] { mainDashcam()->stepForward(); });
    // the stop of the file left behind is no clip end
    add(QKeySequence(Qt::Key_B), [this] {
        onCancelAutoPlay();
        list_->onPreviousFileTriggered();
    });
    add(QKeySequence(Qt::Key_N), [this] {
        onCancelAutoPlay();
        list_->onNextFileTriggered();
    });
    // Enter is the keypad's Return
    add(QKeySequence(Qt::ALT | Qt::Key_Return), &MainWindow::toggleFullScreen);
    add(QKeySequence(Qt::ALT | Qt::Key_Enter), &MainWindow::toggleFullScreen);
    add(QKeySequence(Qt::Key_Escape), [this] {
        if (isFullScreen())
            showNormal();
    });
}

void MainWindow::enablePlayerKeys(bool on)
{
    for (QShortcut *shortcut : qAsConst(playerKeys_))
        shortcut->setEnabled(on);
}

void MainWindow::onGrabKeyboard()
{
    // the ride-data page and its calendar take the keys themselves
    enablePlayerKeys(gMode == 0);
}

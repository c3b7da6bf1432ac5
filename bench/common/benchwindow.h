// The main window in the benchmarks: a GUI application set up as the tests set theirs up, with
// map tiles kept off the network, and the window shown as a user starts it.
#pragma once

#include "benchsupport.h"
#include "formmap.h"
#include "mainwindow.h"
#include "mappagestate.h"
#include "testsupport.h"

#include <QApplication>

namespace BenchWindow {

// The benchmark's application; while it lives no map tile reaches the network.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv) : QApplication(prepared(argc), argv)
    {
        TestSupport::prepareApplication();
    }

private:
    static int &prepared(int &argc)
    {
        TestSupport::prepareGuiEnvironment(); // before QApplication exists
        return argc;
    }

    MapPageTest::RequestRecorder offline_;
};

// Shows w with the keyboard free for other windows and waits until its map page has loaded;
// false when it did not within timeoutMs.
inline bool showWithMap(MainWindow &w, int timeoutMs)
{
    w.show();
    w.releaseKeyboard();
    return BenchSupport::spinUntil([&w] { return w.formMap()->isPageLoaded(); }, timeoutMs);
}

} // namespace BenchWindow

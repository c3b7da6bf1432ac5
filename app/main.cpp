#include "appproxystyle.h"
#include "datafolder.h"
#include "mainwindow.h"
#include "sharedtypes.h"
#include "terminationsignals.h"

#include <QApplication>
#include <QMessageBox>
#include <QSplashScreen>

#include <clocale>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// The web engine's sandbox cannot run as root: without this the engine ends the program at once.
void switchOffSandboxForRoot()
{
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("talvex-player: running as root, so the web engine's sandbox is switched off\n",
               stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    switchOffSandboxForRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setFont(QFont(QStringLiteral("Arial")));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // mpv needs C number formatting
    QApplication::setApplicationName(QStringLiteral("TALVEX VIDEO PLAYER"));

    // every file the program keeps is taken relative to the working directory; a user started
    // from a launcher sees no terminal, so the failure is also shown
    DataFolder dataFolder;
    if (!dataFolder.enter()) {
        std::fprintf(stderr, "talvex-player: %s\n", qPrintable(dataFolder.errorString()));
        QMessageBox::critical(nullptr, QApplication::applicationName(), dataFolder.errorString());
        return 1;
    }

    registerSharedTypes();
    QApplication::setStyle(new AppProxyStyle);

    QSplashScreen splash(QPixmap(QStringLiteral(":/image/splash")));
    splash.show();
    app.processEvents();

    // A logout, a shutdown, kill or Ctrl+C ends the program as closing its window does: a running
    // export is stopped and its part file removed. Taken over only once the window is shown
    // (until then no child and no part file exists, and the signal's default action ends the
    // program at once), and kept until the process ends, so that a second signal cuts neither
    // that clean-up nor the program's own end short.
    std::optional<TerminationSignals> termination;
    MainWindow window;
    window.show();
    splash.finish(&window);
    termination.emplace();
    termination->keepUntilExit();
    QObject::connect(&*termination, &TerminationSignals::received, &window, &QWidget::close);
    return app.exec();
}

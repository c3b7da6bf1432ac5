#include "appproxystyle.h"
#include "mainwindow.h"
#include "sharedtypes.h"

#include <QApplication>
#include <QSplashScreen>

#include <clocale>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setFont(QFont(QStringLiteral("Arial")));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // mpv needs C number formatting
    QApplication::setApplicationName(QStringLiteral("TALVEX VIDEO PLAYER"));
    registerSharedTypes();
    QApplication::setStyle(new AppProxyStyle);

    QSplashScreen splash(QPixmap(QStringLiteral(":/image/splash")));
    splash.show();
    app.processEvents();

    MainWindow window;
    window.show();
    splash.finish(&window);
    return app.exec();
}

#include "testsupport.h"

#include "appfont.h"
#include "appglobals.h"
#include "languagetable.h"
#include "sharedtypes.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QWidget>

#include <clocale>

namespace TestSupport {

void prepareGuiEnvironment()
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void prepareApplication()
{
    std::setlocale(LC_NUMERIC, "C");
    registerSharedTypes();
    LanguageTable table;
    if (table.load(LanguageTable::defaultPath()))
        table.applyToGlobals(LangEnglish);
    setAppFontForLanguage(LangEnglish);
}

bool runFfmpeg(const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-hide_banner"),
                                                        QStringLiteral("-loglevel"),
                                                        QStringLiteral("error"), QStringLiteral("-y")}
                                                + args);
    if (!process.waitForFinished(120000)) {
        process.kill();
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << "ffmpeg failed:" << process.readAll();
        return false;
    }
    return true;
}

bool makeClip(const QString &path, double seconds, const QString &size, bool withAudio, int fps)
{
    QStringList args{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                     QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(fps).arg(seconds)};
    if (withAudio)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=440:duration=%1").arg(seconds);
    args << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-preset")
         << QStringLiteral("ultrafast") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    if (withAudio)
        args << QStringLiteral("-c:a") << QStringLiteral("aac");
    args << QStringLiteral("-shortest") << path;
    return runFfmpeg(args);
}

void saveScreenshot(QWidget *widget, const QString &name)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("TALVEX_SCREENSHOT_DIR"));
    if (dir.isEmpty() || !widget)
        return;
    QDir().mkpath(dir);
    widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace TestSupport

#include "testsupport.h"

#include "appfont.h"
#include "appglobals.h"
#include "languagetable.h"
#include "sharedtypes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
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
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                              QStringLiteral("error"), QStringLiteral("-y")} +
                      args);
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
    return makeLavfiClip(
        path, QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(fps).arg(seconds),
        seconds, withAudio);
}

bool makeLavfiClip(const QString &path, const QString &videoSource, double seconds, bool withAudio,
                   const QString &videoFilter)
{
    QStringList args{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                     videoSource};
    if (withAudio)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=440:duration=%1").arg(seconds);
    if (!videoFilter.isEmpty())
        args << QStringLiteral("-vf") << videoFilter;
    args << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-preset")
         << QStringLiteral("ultrafast") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    if (withAudio)
        args << QStringLiteral("-c:a") << QStringLiteral("aac");
    args << QStringLiteral("-shortest") << path;
    return runFfmpeg(args);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMap<QString, QByteArray> entriesOf(const QString &folder, bool recursive)
{
    QMap<QString, QByteArray> entries;
    const QFileInfoList infos = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : infos) {
        if (info.isSymLink()) {
            entries.insert(info.fileName(), "-> " + QFile::encodeName(info.symLinkTarget()));
        } else if (recursive && info.isDir()) {
            entries.insert(info.fileName(), QByteArray());
            const QMap<QString, QByteArray> below = entriesOf(info.filePath(), true);
            for (auto entry = below.cbegin(); entry != below.cend(); ++entry)
                entries.insert(info.fileName() + QLatin1Char('/') + entry.key(), entry.value());
        } else {
            entries.insert(info.fileName(), contentOf(info.filePath()));
        }
    }
    return entries;
}

QColor colourAt(const QImage &picture, const QWidget *top, const QWidget *child,
                const QPoint &point)
{
    const QPoint inTop = child == top ? point : child->mapTo(top, point);
    const qreal ratio = picture.devicePixelRatio();
    return picture.pixelColor(int(inTop.x() * ratio), int(inTop.y() * ratio));
}

bool isNear(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QColor accent()
{
    return QColor(0xF3, 0x98, 0x00);
}

int colourCount(const QImage &picture, const QRect &area)
{
    QSet<QRgb> colours;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            colours.insert(picture.pixel(x, y));
    }
    return colours.size();
}

int pixelsNear(const QImage &picture, const QRect &area, const QColor &colour, int tolerance)
{
    int count = 0;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += isNear(picture.pixelColor(x, y), colour, tolerance) ? 1 : 0;
    }
    return count;
}

void saveScreenshot(QWidget *widget, const QString &name)
{
    if (widget && qEnvironmentVariableIsSet("TALVEX_SCREENSHOT_DIR"))
        saveScreenshot(widget->grab().toImage(), name);
}

bool saveScreenshot(const QImage &picture, const QString &name)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("TALVEX_SCREENSHOT_DIR"));
    if (dir.isEmpty())
        return true;
    QDir().mkpath(dir);
    return picture.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace TestSupport

// Shared test support: the GUI test main and fixtures made with the real ffmpeg.
#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QtTest>

class QWidget;

namespace TestSupport {

// Sets what GUI tests need before QApplication exists: shared GL contexts, no web sandbox.
void prepareGuiEnvironment();
// After QApplication exists: C numeric locale, meta-types, the bundle's default language.
void prepareApplication();

// Writes a clip with ffmpeg's testsrc (and sine audio when withAudio); true on success.
bool makeClip(const QString &path, double seconds, const QString &size = QStringLiteral("320x240"),
              bool withAudio = true, int fps = 25);

// Writes a clip of a lavfi video source (with sine audio when withAudio), through videoFilter
// when one is given; true on success.
bool makeLavfiClip(const QString &path, const QString &videoSource, double seconds, bool withAudio,
                   const QString &videoFilter = QString());

// Runs ffmpeg with args; true when it exits 0.
bool runFfmpeg(const QStringList &args);

// Writes bytes to the file at path, replacing it; a failed check of the running test otherwise.
void writeFile(const QString &path, const QByteArray &bytes);
// The whole content of the file at path; empty when it cannot be read.
QByteArray contentOf(const QString &path);
// Every entry of a folder, hidden ones included, with its content (a link by its target), to
// compare a folder before and after; with recursive, also every entry below its folders, by its
// path relative to folder (a folder's own content is empty).
QMap<QString, QByteArray> entriesOf(const QString &folder, bool recursive = false);

// Saves a grab of widget as docs-ready PNG under $TALVEX_SCREENSHOT_DIR when that is set.
void saveScreenshot(QWidget *widget, const QString &name);
// Saves picture the same way; false only when the folder is set and the file cannot be written.
bool saveScreenshot(const QImage &picture, const QString &name);

// Picture checks for screenshot cases.
// The colour at point of child (a descendant of top, or top itself) in top's picture.
QColor colourAt(const QImage &picture, const QWidget *top, const QWidget *child,
                const QPoint &point);
// True when every channel differs by at most tolerance.
bool isNear(const QColor &a, const QColor &b, int tolerance = 40);
// The accent colour of the skins' sliders and title bars.
QColor accent();
// Distinct colours in an area of a picture: 1 for a blank area.
int colourCount(const QImage &picture, const QRect &area);
// Pixels in an area of a picture whose colour isNear colour.
int pixelsNear(const QImage &picture, const QRect &area, const QColor &colour, int tolerance = 40);

// The shown top-level window of class T, or nullptr.
template <typename T> T *shownWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *shown = qobject_cast<T *>(window); shown && shown->isVisible())
            return shown;
    }
    return nullptr;
}

} // namespace TestSupport

// QTEST_MAIN with the player's GUI set-up.
#define TALVEX_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestSupport::prepareGuiEnvironment();                                                      \
        QApplication app(argc, argv);                                                              \
        TestSupport::prepareApplication();                                                         \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

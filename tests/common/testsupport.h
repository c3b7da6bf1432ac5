// Shared test support: the GUI test main and fixtures made with the real ffmpeg.
#pragma once

#include <QString>
#include <QStringList>
#include <QtTest>

namespace TestSupport {

// Sets what GUI tests need before QApplication exists: shared GL contexts, no web sandbox.
void prepareGuiEnvironment();
// After QApplication exists: C numeric locale, meta-types, the bundle's default language.
void prepareApplication();

// Writes a clip with ffmpeg's testsrc (and sine audio when withAudio); true on success.
bool makeClip(const QString &path, double seconds, const QString &size = QStringLiteral("320x240"),
              bool withAudio = true, int fps = 25);

// Runs ffmpeg with args; true when it exits 0.
bool runFfmpeg(const QStringList &args);

// Saves a grab of widget as docs-ready PNG under $TALVEX_SCREENSHOT_DIR when that is set.
void saveScreenshot(QWidget *widget, const QString &name);

} // namespace TestSupport

// QTEST_MAIN with the player's GUI set-up.
#define TALVEX_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                             \
    {                                                                                            \
        TestSupport::prepareGuiEnvironment();                                                    \
        QApplication app(argc, argv);                                                            \
        TestSupport::prepareApplication();                                                       \
        TestObject tc;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                               \
        return QTest::qExec(&tc, argc, argv);                                                    \
    }

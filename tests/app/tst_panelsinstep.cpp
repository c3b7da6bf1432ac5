// End to end: what one part of the real main window does reaches the other panels and windows:
// menu choices that several panels share, and the close of the window.
#include "appglobals.h"
#include "dashcam.h"
#include "formlist.h"
#include "formshowdata.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {
constexpr int dateColumn = 2;
} // namespace

class TstPanelsInStep : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;

    static void trigger(MainWindow &w, const char *name)
    {
        auto *action = w.findChild<QAction *>(QString::fromLatin1(name));
        QVERIFY(action);
        action->trigger();
    }
    static QString listedDate(MainWindow &w)
    {
        const QTableWidgetItem *item = w.formList()->table()->item(0, dateColumn);
        return item ? item->text() : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // the settings file stays here
        // a recording date whose day cannot pass for a month
        clip_ = dir_.filePath(QStringLiteral("20260321100000_F.mp4"));
        QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i",
                                        "testsrc=size=320x240:rate=25:duration=2", "-c:v",
                                        "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                        "-metadata", "creation_time=2026-03-21T10:00:00Z", clip_}));
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

    // Factory settings bring the date format back: the list's dates follow like the menu's.
    void factorySettingsKeepTheListsDatesReadable()
    {
        MainWindow w;
        w.resize(1600, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.releaseKeyboard();
        trigger(w, "actionDate_DMY");
        w.onOpenFile_L({QUrl::fromLocalFile(clip_)});
        QTRY_COMPARE_WITH_TIMEOUT(listedDate(w), QStringLiteral("21-03-2026"), 15000);

        trigger(w, "actionDate_YMD");
        QCOMPARE(listedDate(w), QStringLiteral("2026-03-21"));
        trigger(w, "actionFactory_Settings"); // the factory format is day-month-year
        QCOMPARE(gDateFormat, 0);
        QCOMPARE(listedDate(w), QStringLiteral("21-03-2026"));
        trigger(w, "actionDate_MDY");
        QCOMPARE(listedDate(w), QStringLiteral("03-21-2026"));
        w.mainDashcam()->stop();
    }

    // Closing the main window ends the program also while View > Video Adjustment is open.
    void closingTheWindowClosesTheAdjustmentPanel()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        trigger(w, "actionVideo_Adjustment");
        QWidget *panel = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top != &w && top->isVisible() && top->windowFlags().testFlag(Qt::Tool))
                panel = top;
        }
        QVERIFY(panel);
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QVERIFY(w.close());
        // no window is left open that keeps the event loop running
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), top->metaObject()->className());
    }
};

TALVEX_TEST_MAIN(TstPanelsInStep)
#include "tst_panelsinstep.moc"

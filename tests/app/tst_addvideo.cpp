// End to end: the play list's Add button, the real chooser, a front file picked in a folder that
// also holds its rear file; both files reach the list and both cameras play. File > Add Video on
// a folder of many links.
#include "appglobals.h"
#include "choosertest.h"
#include "dashcam.h"
#include "filedialog.h"
#include "foldertreemodel.h"
#include "foldertreeview.h"
#include "formcontrol.h"
#include "formlist.h"
#include "freezewatch.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "testsupport.h"
#include "threadpeak.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

using namespace ChooserTest;
using namespace MainWindowTest;

bool playsOn(Dashcam *dashcam, qint64 pastMs)
{
    QSignalSpy ticks(dashcam, &Dashcam::positionChanged);
    for (int i = 0; i < 50 && dashcam->positionMs() < pastMs; ++i)
        ticks.wait(200);
    return dashcam->positionMs() >= pastMs && dashcam->playStatus() == PlayingState;
}

} // namespace

class TstAddVideo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void addFrontFileBringsItsRearFileAndBothPlay();
    void folderOfManyLinksOpensAtOnce_data();
    void folderOfManyLinksOpensAtOnce();

private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString home_;
    QString front_;
    QString rear_;
    QString later_; // a front file without rear file
};

void TstAddVideo::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file and working files stay in the test folder
    home_ = dir_.filePath(QStringLiteral("home"));
    qputenv("HOME", home_.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home_ + QStringLiteral("/.config")).toLocal8Bit());
    const QString trip = home_ + QStringLiteral("/Videos/Trip");
    QVERIFY(QDir().mkpath(trip));
    QVERIFY(QDir().mkpath(home_ + QStringLiteral("/Desktop")));
    front_ = trip + QStringLiteral("/20261207101500_F.mp4");
    rear_ = trip + QStringLiteral("/20261207101500_R.mp4");
    QVERIFY(TestSupport::makeClip(front_, 6, QStringLiteral("640x360")));
    QVERIFY(TestSupport::makeClip(rear_, 6, QStringLiteral("640x360")));
    later_ = trip + QStringLiteral("/20261207102000_F.mp4");
    QVERIFY(TestSupport::makeClip(later_, 1));
    gFileDialogPath.clear();
}

void TstAddVideo::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void TstAddVideo::addFrontFileBringsItsRearFileAndBothPlay()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();

    QTest::mouseClick(w.formList()->addButton(), Qt::LeftButton);
    QPointer<FileDialog_C> chooser = openChooser();
    QVERIFY(chooser);
    QVERIFY(QTest::qWaitForWindowExposed(chooser));

    // folder tree: home, Videos, Trip
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    const int homeRow = treeRowNamed(tree, home_ + QLatin1Char('/'), 0);
    QVERIFY(homeRow >= 0);
    clickTreeRow(tree, homeRow, true);
    const int videosRow = treeRowNamed(tree, QStringLiteral("Videos"), 1);
    QVERIFY(videosRow > homeRow);
    clickTreeRow(tree, videosRow, true);
    const int tripRow = treeRowNamed(tree, QStringLiteral("Trip"), 2);
    QVERIFY(tripRow > videosRow);
    clickTreeRow(tree, tripRow, false);
    QCOMPARE(chooser->findChild<QLabel *>(QStringLiteral("DirPath"))->text(),
             QFileInfo(front_).path());

    // the front file's row only
    pickFiles(chooser, {QFileInfo(front_).fileName()});
    QTRY_VERIFY(!chooser);
    QCOMPARE(gFileDialogPath, QFileInfo(front_).path());

    // both files are listed; the front file plays in the main view, the rear file in the second
    QTRY_COMPARE_WITH_TIMEOUT(listedPaths(w.formList()), (QStringList{front_, rear_}), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), front_, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->getMediaPath(), rear_, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(w.secondDashcam()->durationMs() > 0, 10000);
    if (w.mainDashcam()->playStatus() != PlayingState)
        emit w.control()->playPauseClicked();
    QVERIFY(playsOn(w.mainDashcam(), 1000));
    QVERIFY(playsOn(w.secondDashcam(), 1000));
    TestSupport::saveScreenshot(&w, QStringLiteral("addvideo-playing"));

    // "Add Video": the chooser starts in the folder of the last one; a file already listed is
    // dropped before it reaches the player
    QSignalSpy toPlayer(w.formList(), &FormList::mediaFileTriggered);
    QAction *addVideo = w.findChild<QAction *>(QStringLiteral("actionAdd_Video"));
    QVERIFY(addVideo);
    addVideo->trigger();
    chooser = openChooser();
    QVERIFY(chooser);
    QCOMPARE(chooser->currentFolder(), QFileInfo(front_).path());
    pickFiles(chooser, {QFileInfo(front_).fileName(), QFileInfo(later_).fileName()});
    QTRY_VERIFY(!chooser);
    QCOMPARE(toPlayer.count(), 1);
    QCOMPARE(toPlayer.at(0).at(0).value<QList<QUrl>>(), QList<QUrl>{QUrl::fromLocalFile(later_)});
    QTRY_COMPARE_WITH_TIMEOUT(listedPaths(w.formList()), (QStringList{front_, rear_, later_}),
                              15000);
    w.mainDashcam()->stop();
}

void TstAddVideo::folderOfManyLinksOpensAtOnce_data()
{
    QTest::addColumn<int>("links");
    QTest::newRow("20,000") << 20000;
    QTest::newRow("40,000") << 40000;
}

// A folder of links, half to a folder and half to a clip, as an annexed video archive holds them:
// unfolded, every folder link is a row, and clicked, every linked clip is listed, on a few threads
// and without the window freezing.
void TstAddVideo::folderOfManyLinksOpensAtOnce()
{
    QFETCH(int, links);
    QTemporaryDir dir;
    const QDir base(dir.path());
    QVERIFY(base.mkpath(QStringLiteral("links")) && base.mkpath(QStringLiteral("folder/inner")));
    const QString clip = base.filePath(QStringLiteral("clip.mp4"));
    TestSupport::writeFile(clip, "listed by its name");
    for (int i = 0; i < links; ++i) {
        const QString name = QStringLiteral("links/%1%2").arg(i, 6, 10, QLatin1Char('0'));
        QVERIFY(i % 2 ? QFile::link(clip, base.filePath(name.arg(QStringLiteral(".mp4"))))
                      : QFile::link(base.filePath(QStringLiteral("folder")),
                                    base.filePath(name.arg(QString()))));
    }
    gFileDialogPath = dir.path();
    MainWindow w;
    QVERIFY(showWindow(w));
    FreezeWatch watch([] {}, std::chrono::seconds(10));
    const int threadsBefore = threadCount();
    ThreadPeak threads;
    w.findChild<QAction *>(QStringLiteral("actionAdd_Video"))->trigger();
    QPointer<FileDialog_C> chooser = openChooser();
    QVERIFY(chooser);
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    clickTreeRow(tree, chooser->selectedTreeRow(), true);
    const int row = treeRowNamed(tree, QStringLiteral("links"));
    QVERIFY(row >= 0);
    clickTreeRow(tree, row, true);
    const auto rowsBelow = [tree, row] {
        int count = 0;
        for (int below = row + 1;
             below < tree->count() && tree->itemAt(below)->indent > tree->itemAt(row)->indent;
             ++below)
            ++count;
        return count;
    };
    QTRY_COMPARE(rowsBelow(), links / 2);
    QVERIFY(!tree->itemAt(row + 1)->expanderImage.isEmpty()); // the folder holds one
    clickTreeRow(tree, row, false);
    QTRY_COMPARE(chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"))->rowCount(),
                 links / 2);
    QVERIFY2(!watch.froze(), "the window stopped answering");
    QVERIFY2(threads.peak() < threadsBefore + 100, qPrintable(QString::number(threads.peak())));
    chooser->close();
}

TALVEX_TEST_MAIN(TstAddVideo)
#include "tst_addvideo.moc"

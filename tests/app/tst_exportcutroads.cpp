// End to end: the play bar's edit mode, a span, OK, the output-settings page, the export through
// ffmpeg, "Finished." and the exported file opened in the player and the list; a file's cut, a
// group's join and a cut of both cameras, and the list's Remove, after which nothing is cut.
#include "exportchecks.h"
#include "exporttestfiles.h"
#include "exportwindowtest.h"
#include "playbarexport.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <sys/stat.h>
#include <unistd.h>

using namespace ExportChecks;
using namespace PlayBarExport;

class TstExportCutRoads : public ExportWindowTest
{
    Q_OBJECT
public:
    TstExportCutRoads() : ExportWindowTest(Clip | LongClip | GroupClips | Pair) {}

private slots:
    void cutFromThePlayBarOpensTheExportedFile();
    void cutEditorShowsSpansPastOneHour();
    void groupCutFromThePlayBar_data();
    void groupCutFromThePlayBar();
    void removingThePlayingRowLeavesNothingToCut();
    void removingTheSecondCamerasRowReleasesIt();
    void groupCutStartingOnAMemberBoundary();
    void bothCamerasCutToMp4_data();
    void bothCamerasCutToMp4();
};

void TstExportCutRoads::cutFromThePlayBarOpensTheExportedFile()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();
    openFile(w, clip_);
    enterEditMode(w);

    // span 1 s to 7 s (the slider counts hundredths)
    w.control()->editSlider()->setSpan(100, 700);
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("00:01 ~ 00:07"));
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);

    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(dialog, "f_os")->isVisible()); // page 3
    const QString output = dir_.filePath(QStringLiteral("out/exported.mov"));
    child<QLineEdit>(dialog, "os_le")->setText(output);

    // the processing page while ffmpeg works: it reads the clip at its own pace, so that the page
    // shows a while on any machine
    StandIn atClipPace("case \"$*\" in *map_metadata*) exec ffmpeg -re \"$@\";; esac\n"
                       "exec ffmpeg \"$@\"\n");
    QVERIFY(atClipPace.isWritten());
    auto *progress = child<QLabel>(dialog, "pv_la_progress");
    bool grabbed = false;
    connect(w.exportRunner(), &FFmpeg_editor_p::progressChanged, this, [&](int value) {
        if (grabbed || value < 20 || value > 90)
            return;
        grabbed = true;
        QVERIFY(child<QWidget>(dialog, "f_pv")->isVisible());
        QCOMPARE(progress->text(), QStringLiteral("%1%").arg(value));
        const QImage shot = windowWithDialog(&w, dialog);
        const QRect page(dialog->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0)),
                         dialog->size());
        QVERIFY(TestSupport::colourCount(shot, page) > 10);
        TestSupport::saveScreenshot(shot, QStringLiteral("export-processing"));
    });
    ExportEnd end(w);
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    QVERIFY(grabbed);
    QCOMPARE(progress->text(), QStringLiteral("100%"));
    QVERIFY(QFileInfo(output).size() > 0);

    const QImage finished = windowWithDialog(&w, dialog);
    // the full bar is drawn in its fill colour
    auto *bar = child<QWidget>(dialog, "pv_pd");
    const QPoint barMiddle = bar->mapTo(dialog, bar->rect().center()) +
                             dialog->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0));
    QCOMPARE(QColor(finished.pixel(barMiddle)), QColor(QStringLiteral("#353DF4")));
    TestSupport::saveScreenshot(finished, QStringLiteral("export-finished"));

    // 800 ms later the exported file plays and is listed, once
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), output, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(listedPaths(w.formList()).count(output), 1, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 6000) <= 100, 20000);

    // OK on the finished page: back to play mode
    QTest::mouseClick(child<QPushButton>(dialog, "pv_btn_ok"), Qt::LeftButton);
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(w.opMode(), OP_Play);
    QCOMPARE(w.control()->opMode(), OP_Play);
    QVERIFY(QDir(dir_.filePath("out"))
                .entryList({"temp*", ".*part*"}, QDir::Files | QDir::Hidden)
                .isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("clip.txt")));
}

void TstExportCutRoads::cutEditorShowsSpansPastOneHour()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    openFile(w, longClip_);
    enterEditMode(w);

    // 1 h 1 min to 1 h 2 min 5 s
    w.control()->editSlider()->setSpan(366000, 372500);
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("61:00 ~ 62:05"));
    auto *label = child<QLabel>(w.control(), "labelEditTimeRange");
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("61:00 ~ 62:05"));
    const QImage bar = w.control()->grab().toImage();
    QVERIFY(TestSupport::colourCount(bar, bar.rect().adjusted(0, 0, -1, -1)) > 10);
    TestSupport::saveScreenshot(&w, QStringLiteral("export-cut-editor-past-one-hour"));
}

void TstExportCutRoads::groupCutFromThePlayBar_data()
{
    QTest::addColumn<bool>("otherUser"); // entries of another user among the look-alikes
    QTest::newRow("the user's leftovers and look-alikes") << false;
    QTest::newRow("another user's look-alikes") << true;
}

// Three files grouped in the list and played as one: the cut spans all of them, twice, with a cut
// too short between. Files of the user named like the export's pieces and concat list, and
// entries like a dead export's leftovers that no dead export of this user left, stay as they are;
// the user's own leftovers go, a link in them removed and not followed.
void TstExportCutRoads::groupCutFromThePlayBar()
{
    QFETCH(bool, otherUser);
    if (otherUser && ::geteuid() != 0)
        QSKIP("entries of another user need root");
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    playGroup(w, groupClips_);
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 9000) <= 200, 20000);

    const QDir out(dir_.filePath(QStringLiteral("group out ") + QTest::currentDataTag()));
    const QString folder = out.path();
    const auto native = [&](const QString &name) { return QFile::encodeName(out.filePath(name)); };
    const auto makeFolder = [&](const QString &name, mode_t mode) {
        QVERIFY(out.mkpath(name));
        QVERIFY(::chmod(native(name).constData(), mode) == 0);
    };
    makeFolder(QStringLiteral(".export-photos"), 0755);
    QStringList users{QDir::current().filePath("clip.txt")};
    for (const char *name : {"temp1_main_0.mov", "temp1_main_1.mov", "temp1_sub_0.mov",
                             "temp2_main.mov", "cut.k3x9q0ab.part.mov", ".cut.k3x9q0abc.part.mov",
                             ".cut.k3x9q0ab.part.mov.bak", ".cut.k3x9q0ab.partial",
                             ".export-photos/export.lock"})
        users += out.filePath(name);
    for (const QString &path : users)
        TestSupport::writeFile(path, "the user's own " + path.toUtf8());
    QVERIFY(::link(native("temp2_main.mov"), native(".cut.h4rd1ink.part.mov")) == 0);
    if (otherUser) {
        // a part, a work folder with the user's lock file, a lock file in a work folder of the
        // user's: each of another user's making
        const unsigned other = ExportTestFiles::SharedFolderAsUser::otherUser;
        for (const char *name : {".export-Theirs", ".export-TheirL"})
            makeFolder(name, 0700);
        for (const char *name : {".joined.th31r500.part.mov", ".export-Theirs/export.lock",
                                 ".export-TheirL/export.lock"})
            TestSupport::writeFile(out.filePath(name), QByteArray());
        for (const char *name :
             {".joined.th31r500.part.mov", ".export-Theirs", ".export-TheirL/export.lock"})
            QVERIFY(::chown(native(name).constData(), other, other) == 0);
    }
    // a private folder of the user's elsewhere
    const QDir outside(dir_.filePath(QStringLiteral("outside ") + QTest::currentDataTag()));
    QVERIFY(outside.mkpath("."));
    QVERIFY(::chmod(QFile::encodeName(outside.path()).constData(), 0700) == 0);
    TestSupport::writeFile(outside.filePath("holiday.mov"), "the user's own, elsewhere");
    if (QTest::currentTestFailed())
        return;
    auto before = TestSupport::entriesOf(folder, true);
    const auto outsideBefore = TestSupport::entriesOf(outside.path(), true);
    // the user's own dead export: its part file and its work folder, with a link to a folder
    makeFolder(QStringLiteral(".export-St4le0"), 0700);
    for (const char *name : {".joined.st4l3000.part.mov", ".export-St4le0/export.lock",
                             ".export-St4le0/temp1_main_0.mov"})
        TestSupport::writeFile(out.filePath(name), "a dead export's " + QByteArray(name));
    QVERIFY(QFile::link(outside.path(), out.filePath(".export-St4le0/pieces")));
    const auto sums = checksums(users + groupClips_);

    // 00:01 to 00:07 over the three 3-second files, into one file and then (once will do), after a
    // cut too short, into another
    QStringList outputs{QStringLiteral("joined.mov")};
    if (!otherUser)
        outputs += QStringLiteral("joined again.mov");
    for (const QString &name : outputs) {
        if (before.contains(QStringLiteral("joined.mov"))) {
            // the exported file plays now: the group again
            doubleClickRow(w, int(groupClips_.size()));
            QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 9000) <= 200, 20000);
            enterEditMode(w);
            w.control()->editSlider()->setSpan(100, 150);
            QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
            QTRY_VERIFY(child<QWidget>(w.formDialog(), "f_cutwarning")->isVisible());
            QTest::mouseClick(child<QPushButton>(w.formDialog(), "cutwarning_btn_ok"),
                              Qt::LeftButton);
            QTRY_VERIFY(!w.formDialog()->isVisible());
        }
        const QString output = out.filePath(name);
        ExportEnd end(w);
        startCut(w, output);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
        QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), output, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 6000) <= 150, 20000);
        QTest::mouseClick(child<QPushButton>(w.formDialog(), "pv_btn_ok"), Qt::LeftButton);
        before.insert(name, TestSupport::contentOf(output));
        QCOMPARE(TestSupport::entriesOf(folder, true), before);
        QCOMPARE(TestSupport::entriesOf(outside.path(), true), outsideBefore);
        QCOMPARE(checksums(users + groupClips_), sums);
    }
    QFile::remove(QStringLiteral("clip.txt"));
}

// The list's Remove button on the row that plays: the player lets the file go, so nothing of it
// stays on screen, and the cut road reaches no file (in particular not the group that the list's
// current row moves to).
void TstExportCutRoads::removingThePlayingRowLeavesNothingToCut()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    playGroup(w, groupClips_);
    openFile(w, clip_);
    if (QTest::currentTestFailed())
        return;
    FormList *list = w.formList();
    QCOMPARE(list->rowCount(), 5);
    QCOMPARE(list->curSelectFile(), 4);
    QTRY_COMPARE(w.mainDashcam()->getMediaPath(), clip_);
    const auto before = checksums(groupClips_ + QStringList{clip_});

    QTableWidget *table = list->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(4, ListRows::ColName)).center());
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("btnRemove")), Qt::LeftButton);
    QVERIFY(!listedPaths(list).contains(clip_));
    QTRY_COMPARE(w.mainDashcam()->getMediaPath(), QString());
    QTRY_VERIFY(!w.mainDashcam()->getVideoWidget()->isVisible());
    QCOMPARE(child<QLabel>(w.control(), "labelTime")->text(), QStringLiteral("00:00 / 00:00"));
    TestSupport::saveScreenshot(&w, QStringLiteral("list-playing-row-removed"));

    // the cut editor has nothing to cut: OK warns instead of asking for an output
    QSignalSpy started(w.exportRunner(), &FFmpeg_editor_p::started);
    enterEditMode(w);
    if (QTest::currentTestFailed())
        return;
    w.control()->editSlider()->setSpan(100, 700);
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(!child<QWidget>(dialog, "f_os")->isVisible());
    QVERIFY(child<QWidget>(dialog, "f_cutwarning")->isVisible());
    QCOMPARE(started.count(), 0);
    QCOMPARE(checksums(groupClips_ + QStringList{clip_}), before);
}

// Remove on the second camera's row: that camera lets its file go, the main one plays on.
void TstExportCutRoads::removingTheSecondCamerasRowReleasesIt()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();
    playPair(w, pair_);
    if (QTest::currentTestFailed())
        return;
    FormList *list = w.formList();
    QTableWidget *table = list->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(1, ListRows::ColName)).center());
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("btnRemove")), Qt::LeftButton);
    QCOMPARE(listedPaths(list), QStringList{pair_.at(0)});
    QTRY_COMPARE(w.secondDashcam()->getMediaPath(), QString());
    QTRY_VERIFY(!w.secondDashcam()->getVideoWidget()->isVisible());
    QCOMPARE(w.mainDashcam()->getMediaPath(), pair_.at(0));
    QVERIFY(!list->checkSubGroupFile());
}

// A group cut that starts on a member boundary starts a second earlier, as the list answers the
// play bar's check.
void TstExportCutRoads::groupCutStartingOnAMemberBoundary()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    playGroup(w, groupClips_);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 9000) <= 200, 20000);
    enterEditMode(w);
    if (QTest::currentTestFailed())
        return;
    w.control()->editSlider()->setSpan(300, 700); // the second member begins at 00:03
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("00:03 ~ 00:07"));
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("00:02 ~ 00:07"));
    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(child<QWidget>(dialog, "f_os")->isVisible());
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_cancel"), Qt::LeftButton);
}

void TstExportCutRoads::bothCamerasCutToMp4_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("mp4") << "both cameras.mp4";
    QTest::newRow("upper-case MP4") << "clip.MP4";
}

// Both cameras shown, cut to ".mp4" (a container that refuses the picture-in-picture run's xvid
// tag, whatever the case of the suffix): the export finishes with a file that decodes.
void TstExportCutRoads::bothCamerasCutToMp4()
{
    QFETCH(QString, name);
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();
    playPair(w, pair_);
    const QString output = dir_.filePath(QStringLiteral("out/") + name);
    ExportEnd end(w);
    startCut(w, output);
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    QVERIFY(!w.exportRunner()->lastRunArguments().contains(QStringLiteral("xvid")));
    QVERIFY(ExportTestFiles::decodedDuration(output) > 1.0);
}

TALVEX_TEST_MAIN(TstExportCutRoads)

#include "tst_exportcutroads.moc"

// End to end: the play bar's edit mode, a span, OK, the output-settings page, the export through
// ffmpeg, "Finished." and the exported file opened in the player and the list.
#include "appglobals.h"
#include "dashcam.h"
#include "descriptor.h"
#include "exportcontroller.h"
#include "exporttestfiles.h"
#include "ffmpeg_editor_p.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "listrows.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "metadataparser.h"
#include "outputname.h"
#include "playbarexport.h"
#include "replacequestion.h"
#include "sliderstyle.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTableWidget>
#include <QTemporaryDir>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace PlayBarExport;

// The main window with the dialogs drawn where they stand over it, the last one on top.
QImage windowWithDialog(MainWindow *window, std::initializer_list<QWidget *> dialogs)
{
    QImage image = window->grab().toImage();
    QPainter painter(&image);
    for (QWidget *dialog : dialogs)
        painter.drawPixmap(dialog->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0)),
                           dialog->grab());
    return image;
}

QImage windowWithDialog(MainWindow *window, QWidget *dialog)
{
    return windowWithDialog(window, {dialog});
}

// A checksum of each file's content, to show that none of them changed by a byte.
QMap<QString, QByteArray> checksums(const QStringList &paths)
{
    QMap<QString, QByteArray> sums;
    for (const QString &path : paths)
        sums.insert(path, QCryptographicHash::hash(TestSupport::contentOf(path),
                                                   QCryptographicHash::Sha256));
    return sums;
}

// Every entry of a folder, hidden ones included: a link by its target, a folder by its kind, a
// file by a checksum of its content.
QMap<QString, QByteArray> folderState(const QString &folder)
{
    QMap<QString, QByteArray> state;
    const QDir dir(folder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink())
            state.insert(entry.fileName(), "link to " + entry.symLinkTarget().toUtf8());
        else if (entry.isDir())
            state.insert(entry.fileName(), "folder");
        else
            state.insert(entry.fileName(), checksums({entry.filePath()}).first());
    }
    return state;
}

// The program's open descriptors.
// The program's open descriptors that lead into folder or below it (a removed entry included).
int descriptorsInto(const QString &folder)
{
    int count = 0;
    for (const QFileInfo &fd :
         QDir(QStringLiteral("/proc/self/fd"))
             .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        count += fd.symLinkTarget().startsWith(folder) ? 1 : 0;
    return count;
}

// An ffmpeg stand-in in FFmpeg/ under the working directory, removed with the object.
class StandIn
{
public:
    explicit StandIn(const QByteArray &script, bool executable = true)
    {
        written_ = ExportTestFiles::writeFfmpegStandIn(QDir::currentPath(), script);
        if (!executable)
            written_ = written_ && QFile::setPermissions(path(), QFile::permissions(path()) &
                                                                     ~QFileDevice::ExeOwner &
                                                                     ~QFileDevice::ExeUser);
    }
    ~StandIn() { QFile::remove(path()); }
    StandIn(const StandIn &) = delete;
    StandIn &operator=(const StandIn &) = delete;
    bool isWritten() const { return written_; }

private:
    static QString path() { return QStringLiteral("FFmpeg/ffmpeg"); }
    bool written_ = false;
};

} // namespace

class TstMainWindowExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cutFromThePlayBarOpensTheExportedFile();
    void cutEditorShowsSpansPastOneHour();
    void groupCutFromThePlayBar_data();
    void groupCutFromThePlayBar();
    void failedExportSaysWhyAndKeepsTheOldFile_data();
    void failedExportSaysWhyAndKeepsTheOldFile();
    void removingThePlayingRowLeavesNothingToCut();
    void removingTheSecondCamerasRowReleasesIt();
    void refusedOutputRunsNothing_data();
    void refusedOutputRunsNothing();
    void checkFailuresReachTheErrorPage_data();
    void checkFailuresReachTheErrorPage();
    void groupCutStartingOnAMemberBoundary();
    void bothCamerasCutToMp4_data();
    void bothCamerasCutToMp4();
    void usersFilesOfThePartNameStayAsTheyAre_data();
    void usersFilesOfThePartNameStayAsTheyAre();
    void existingOutputIsReplacedOnlyAfterReplace_data();
    void existingOutputIsReplacedOnlyAfterReplace();
    void replacedListedFileShowsItsNewFigures_data();
    void replacedListedFileShowsItsNewFigures();
    void anotherAccountInAGroupFolder_data();
    void anotherAccountInAGroupFolder();

private:
    // Opens the front file and its rear partner and plays them in dual view.
    void playPair(MainWindow &w);
    // Opens two front files and their rear partners, groups them into a front group and its rear
    // partner group and plays both in dual view.
    void playPairedGroups(MainWindow &w);

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    QString longClip_;
    QStringList groupClips_;
    QStringList pair_;         // a front file and its rear partner
    QStringList pairedGroups_; // two front files of 4 s, then their rear partners
    QString tinyClip_;         // 10 s at 64x36, a picture a second: a cut of some KB
    QString trailerClip_;      // a front file with a GPS trailer: another device than groupClips_
    QStringList bigClips_;     // front files of some MB
};

void TstMainWindowExport::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file, clip.txt and outputs stay here
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip_, 8, QStringLiteral("1280x720")));
    for (const char *name :
         {"20261207120000_F.mp4", "20261207120300_F.mp4", "20261207120600_F.mp4"}) {
        groupClips_ << dir_.filePath(QString::fromLatin1(name));
        QVERIFY(TestSupport::makeClip(groupClips_.last(), 3, QStringLiteral("640x360")));
    }
    for (const char *name : {"20261207130000_F.mp4", "20261207130000_R.mp4"}) {
        pair_ << dir_.filePath(QString::fromLatin1(name));
        QVERIFY(TestSupport::makeClip(pair_.last(), 4, QStringLiteral("640x360")));
    }
    for (const char *name : {"20261207150000_F.mp4", "20261207150300_F.mp4", "20261207150000_R.mp4",
                             "20261207150300_R.mp4"}) {
        pairedGroups_ << dir_.filePath(QString::fromLatin1(name));
        QVERIFY(TestSupport::makeClip(pairedGroups_.last(), 4, QStringLiteral("640x360")));
    }
    tinyClip_ = dir_.filePath(QStringLiteral("20261207160000_F.mp4"));
    QVERIFY(
        TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=64x36:r=1:d=10", "-c:v", "libx264",
                                "-preset", "ultrafast", "-pix_fmt", "yuv420p", tinyClip_}));
    for (const char *name : {"20261207140000_F.mp4", "20261207140300_F.mp4"}) {
        bigClips_ << dir_.filePath(QString::fromLatin1(name));
        QVERIFY(TestSupport::runFfmpeg(
            {"-f", "lavfi", "-i", "testsrc=size=320x180:rate=25:duration=3,noise=alls=20:allf=t",
             "-c:v", "libx264", "-preset", "ultrafast", "-qp", "0", "-pix_fmt", "yuv420p",
             bigClips_.last()}));
    }
    trailerClip_ = dir_.filePath(QStringLiteral("20261207120900_F.mp4"));
    QVERIFY(
        ExportTestFiles::makeSourceWithTrailer(trailerClip_, 3, ExportTestFiles::makeSamples(3)));
    longClip_ = dir_.filePath(QStringLiteral("20261207110000_F.mp4"));
    QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=64x36:r=1:d=3800", "-c:v",
                                    "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                    longClip_}));
}

void TstMainWindowExport::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void TstMainWindowExport::init()
{
    gDisplayMode = 0;
    gSupportPromptHidden = false;
}

void TstMainWindowExport::cutFromThePlayBarOpensTheExportedFile()
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

void TstMainWindowExport::cutEditorShowsSpansPastOneHour()
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

void TstMainWindowExport::playPair(MainWindow &w)
{
    w.onOpenFile_L({QUrl::fromLocalFile(pair_.at(0)), QUrl::fromLocalFile(pair_.at(1))});
    QTRY_COMPARE_WITH_TIMEOUT(w.formList()->rowCount(), 2, 20000);
    doubleClickRow(w, 0);
    QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->getMediaPath(), pair_.at(1), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.secondDashcam()->getVideoWidget()->isVisible(), 20000);
}

void TstMainWindowExport::playPairedGroups(MainWindow &w)
{
    QList<QUrl> urls;
    for (const QString &file : pairedGroups_)
        urls << QUrl::fromLocalFile(file);
    w.onOpenFile_L(urls);
    FormList *list = w.formList();
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 4, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!list->fileDuration(3).isEmpty(), 20000);
    list->table()->selectAll();
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("btnGroup")), Qt::LeftButton);
    QCOMPARE(list->rowCount(), 6); // the front group, then the rear one
    doubleClickRow(w, 4);
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), pairedGroups_.at(0), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->getMediaPath(), pairedGroups_.at(2), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 8000) <= 200, 20000);
    QVERIFY(list->checkSubGroupFile());
    QCOMPARE(ExportController::splitGroup(list->currentSubFilePath()), pairedGroups_.mid(2));
}

void TstMainWindowExport::groupCutFromThePlayBar_data()
{
    QTest::addColumn<bool>("otherUser"); // entries of another user among the look-alikes
    QTest::newRow("the user's leftovers and look-alikes") << false;
    QTest::newRow("another user's look-alikes") << true;
}

// Three files grouped in the list and played as one: the cut spans all of them, twice, with a cut
// too short between. Files of the user named like the export's pieces and concat list, and
// entries like a dead export's leftovers that no dead export of this user left, stay as they are;
// the user's own leftovers go, a link in them removed and not followed.
void TstMainWindowExport::groupCutFromThePlayBar()
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

void TstMainWindowExport::failedExportSaysWhyAndKeepsTheOldFile_data()
{
    QTest::addColumn<QByteArray>("script"); // of an ffmpeg stand-in; none: ffmpeg itself
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("fullDisk"); // the output on a small file system with a block free
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    const QString noSpace =
        QStringLiteral("Insufficient disk space.\nPlease re-select the output/destination drive.");
    // the stand-in passes the probe on to ffmpeg and fails the cut, which names its output
    // after "-map_metadata 0"
    QTest::newRow("disk full")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'x.mov: No space left on device' >&2; "
                      "exit 1;; esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr" << noSpace;
    QTest::newRow("disk quota exceeded")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'x.mov: Disk quota exceeded' >&2; "
                      "exit 1;; esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr" << noSpace;
    // ffmpeg writes its header into the free block and keeps the frames of so small a cut in its
    // buffer: the disk is full only when it writes the trailer, and ffmpeg then exits with 0
    QTest::newRow("ffmpeg on a full disk, exiting 0")
        << QByteArray() << true << true << "f_pvErr" << noSpace;
    QTest::newRow("ffmpeg missing")
        << QByteArray("exit 0\n") << false << false << "f_pvErr"
        << "Unable to edit.\nffmpeg was not found. Please install ffmpeg or put it into the "
           "FFmpeg folder.";
    QTest::newRow("ffmpeg's own error")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'Invalid argument' >&2; exit 1;; "
                      "esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nffmpeg reported:\nInvalid argument";
    QTest::newRow("ffmpeg killed")
        << QByteArray("case \"$*\" in *map_metadata*) kill -KILL $$;; esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nffmpeg stopped unexpectedly.";
    // the source gives only its first second, as a file cut off does
    QTest::newRow("source ends early")
        << QByteArray("case \"$*\" in *map_metadata*) exec ffmpeg -t 1 \"$@\";; esac\n"
                      "exec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nThe source ended before the end of the cut, so nothing was saved.";
    // the run leaves another file under its part's name, one without the video: the trailer
    // goes into no file but the part that was made
    QTest::newRow("another file under the part's name")
        << QByteArray(
               "case \"$*\" in *map_metadata*)\n"
               "  for part; do :; done\n"
               "  ffmpeg \"$@\" || exit 1\n"
               "  head -c 65536 /dev/zero > \"$part.other\" && mv \"$part.other\" \"$part\"\n"
               "  exit;;\n"
               "esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nThe export's file was changed by someone else, so the output was not "
           "saved:\n<output>";
    // in a shared folder, another user takes the file over while it is cut: the system refuses
    // to replace it only at the end
    QTest::newRow("output given to another user in a shared folder")
        << QByteArray("case \"$*\" in *map_metadata*) chown 65534 shared/kept.mov;; esac\n"
                      "exec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nThe output file cannot be saved:\n<output>\nOperation not permitted";
}

void TstMainWindowExport::failedExportSaysWhyAndKeepsTheOldFile()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, executable);
    QFETCH(bool, fullDisk);
    QFETCH(QString, page);
    QFETCH(QString, text);
    std::unique_ptr<StandIn> standIn;
    if (!script.isEmpty()) {
        standIn = std::make_unique<StandIn>(script, executable);
        QVERIFY(standIn->isWritten());
    }
    QString folder = dir_.path();
    QString source = clip_;
    std::unique_ptr<ExportTestFiles::TmpfsMount> disk;
    if (fullDisk) {
        folder = dir_.filePath(QStringLiteral("small disk"));
        disk = std::make_unique<ExportTestFiles::TmpfsMount>(folder, QStringLiteral("size=64k"));
        if (!disk->isMounted())
            QSKIP(qPrintable(QStringLiteral("a full disk of the test's own: ") + disk->problem()));
        source = tinyClip_;
    }
    std::unique_ptr<ExportTestFiles::SharedFolderAsUser> shared;
    if (QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("shared folder"))) {
        folder = dir_.filePath(QStringLiteral("shared"));
        shared = std::make_unique<ExportTestFiles::SharedFolderAsUser>(folder);
        if (!shared->isReady())
            QSKIP(qPrintable(shared->problem()));
    }
    const QString output = QDir(folder).filePath(QStringLiteral("kept.mov"));
    QFile::remove(output);
    QVERIFY(QFile::copy(source, output));
    QFile old(output);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();
    if (fullDisk)
        QVERIFY(ExportTestFiles::fillLeaving(folder, QStorageInfo(folder).blockSize()));
    const auto entries = fullDisk ? folderState(folder) : QMap<QString, QByteArray>();

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    openFile(w, source);

    FormDialog *dialog = w.formDialog();
    ExportEnd end(w);
    startCut(w, output); // the old file is there: the user says Replace
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY(child<QWidget>(dialog, page.toLatin1().constData())->isVisible());
    QVERIFY(dialog->isVisible());
    QCOMPARE(child<QLabel>(dialog, "pvErr_la_msg")->text(),
             text.replace(QStringLiteral("<output>"), output));
    const QImage shot = windowWithDialog(&w, dialog);
    const QRect area(dialog->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0)),
                     dialog->size());
    QVERIFY(TestSupport::colourCount(shot, area) > 10);
    TestSupport::saveScreenshot(
        shot,
        QStringLiteral("export-failed-") +
            QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "-"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
    QVERIFY(QDir(folder).entryList({".*part*"}, QDir::Files | QDir::Hidden).isEmpty());
    if (fullDisk)
        QCOMPARE(folderState(folder), entries);
}

// The list's Remove button on the row that plays: the player lets the file go, so nothing of it
// stays on screen, and the cut road reaches no file (in particular not the group that the list's
// current row moves to).
void TstMainWindowExport::removingThePlayingRowLeavesNothingToCut()
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
void TstMainWindowExport::removingTheSecondCamerasRowReleasesIt()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();
    playPair(w);
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

void TstMainWindowExport::refusedOutputRunsNothing_data()
{
    QTest::addColumn<QString>("road"); // what plays
    QTest::addColumn<QString>("output");
    QTest::newRow("the playing file") << "file" << clip_;
    QTest::newRow("a link to it") << "file" << dir_.filePath(QStringLiteral("link to clip.mp4"));
    QTest::newRow("a member of the playing group") << "group" << groupClips_.at(1);
    QTest::newRow("the second camera's file") << "pair" << pair_.at(1);
    QTest::newRow("a member of the second camera's group")
        << "paired groups" << pairedGroups_.at(3);
    QTest::newRow("another user's file in a shared folder")
        << "file" << dir_.filePath(QStringLiteral("shared, refused/theirs.mov"));
}

// Page 3 keeps an output that would replace a file the export reads, or one this user may not
// replace, says why and runs nothing.
void TstMainWindowExport::refusedOutputRunsNothing()
{
    QFETCH(QString, road);
    QFETCH(QString, output);
    QString why = QStringLiteral("The output file is one of the videos being cut. "
                                 "Please choose another name.");
    std::unique_ptr<ExportTestFiles::SharedFolderAsUser> shared;
    if (output.contains(QLatin1String("shared"))) {
        shared = std::make_unique<ExportTestFiles::SharedFolderAsUser>(QFileInfo(output).path());
        if (!shared->isReady())
            QSKIP(qPrintable(shared->problem()));
        TestSupport::writeFile(output, "theirs");
        QVERIFY(::chown(QFile::encodeName(output).constData(), shared->otherUser,
                        shared->otherUser) == 0);
        why = QStringLiteral("This file belongs to another user and cannot be replaced here. "
                             "Please choose another name.");
    }
    const QString link = dir_.filePath(QStringLiteral("link to clip.mp4"));
    if (!QFileInfo(link).isSymLink())
        QVERIFY(QFile::link(clip_, link));
    const QStringList inputs = QStringList{clip_} + groupClips_ + pair_ + pairedGroups_;
    const auto before = checksums(inputs);

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != (road.startsWith("pair") ? 1 : 0))
        w.onDisplayModeChange();
    if (road == "group") {
        playGroup(w, groupClips_);
    } else if (road == "pair") {
        playPair(w);
    } else if (road == "paired groups") {
        playPairedGroups(w);
    } else {
        openFile(w, clip_);
    }
    if (QTest::currentTestFailed())
        return;
    QSignalSpy started(w.exportRunner(), &FFmpeg_editor_p::started);
    QSignalSpy probed(w.exportRunner(), &FFmpeg_editor_p::cutVideoTriggered);
    startCut(w, output);
    if (QTest::currentTestFailed())
        return;
    FormDialog *dialog = w.formDialog();
    QVERIFY(child<QWidget>(dialog, "f_os")->isVisible());
    auto *problem = child<QLabel>(dialog, "os_la_error");
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->text(), why);
    TestSupport::saveScreenshot(windowWithDialog(&w, dialog),
                                shared ? QStringLiteral("export-output-of-another-user")
                                       : QStringLiteral("export-output-is-an-input"));
    QTest::qWait(200); // a run started by mistake would begin now
    QCOMPARE(started.count(), 0);
    QCOMPARE(probed.count(), 0);
    QVERIFY(!w.exportRunner()->isRunning());
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_cancel"), Qt::LeftButton);
    QCOMPARE(checksums(inputs), before);
}

void TstMainWindowExport::checkFailuresReachTheErrorPage_data()
{
    QTest::addColumn<bool>("mixedDevices");
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<QString>("text");
    const QString noSpace =
        QStringLiteral("Insufficient disk space.\nPlease re-select the output/destination drive.");
    QTest::newRow("clips of two devices")
        << true << qint64(-1)
        << "Unable to edit.Video Clips Grouping not matched\n(Video clips in the playlist are not "
           "from the same device).\nMake sure that Video Clips Grouping are from the same "
           "device\nbefore editing.";
    QTest::newRow("too little space") << false << qint64(1024) << noSpace;
    QTest::newRow("no byte free") << false << qint64(0) << noSpace;
}

// The controller's own checks before a group export end on the dialog's error page.
void TstMainWindowExport::checkFailuresReachTheErrorPage()
{
    QFETCH(bool, mixedDevices);
    QFETCH(qint64, freeBytes);
    QFETCH(QString, text);
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    if (mixedDevices) {
        playGroup(w, {groupClips_.at(0), trailerClip_});
    } else {
        // the list counts whole MB: the group's files must have some
        playGroup(w, bigClips_);
        w.exportController()->setFreeSpace([freeBytes](const QString &) { return freeBytes; });
    }
    if (QTest::currentTestFailed())
        return;
    QSignalSpy started(w.exportRunner(), &FFmpeg_editor_p::started);
    ExportEnd end(w);
    startCut(w, dir_.filePath(QStringLiteral("refused/out.mov")));
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY(end.isErrorPage());
    QCOMPARE(end.errorText(), text);
    QCOMPARE(started.count(), 0);
}

// A group cut that starts on a member boundary starts a second earlier, as the list answers the
// play bar's check.
void TstMainWindowExport::groupCutStartingOnAMemberBoundary()
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

void TstMainWindowExport::bothCamerasCutToMp4_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("mp4") << "both cameras.mp4";
    QTest::newRow("upper-case MP4") << "clip.MP4";
}

// Both cameras shown, cut to ".mp4" (a container that refuses the picture-in-picture run's xvid
// tag, whatever the case of the suffix): the export finishes with a file that decodes.
void TstMainWindowExport::bothCamerasCutToMp4()
{
    QFETCH(QString, name);
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();
    playPair(w);
    const QString output = dir_.filePath(QStringLiteral("out/") + name);
    ExportEnd end(w);
    startCut(w, output);
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    QVERIFY(!w.exportRunner()->lastRunArguments().contains(QStringLiteral("xvid")));
    QVERIFY(ExportTestFiles::decodedDuration(output) > 1.0);
}

void TstMainWindowExport::usersFilesOfThePartNameStayAsTheyAre_data()
{
    QTest::addColumn<bool>("group");
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("fails");
    for (bool group : {false, true}) {
        for (bool link : {false, true}) {
            for (bool fails : {false, true}) {
                QTest::addRow("%s, %s, %s", group ? "group" : "single cut",
                              link ? "a link to another file" : "a file of the user's",
                              fails ? "failing" : "succeeding")
                    << group << link << fails;
            }
        }
    }
}

// The export writes a hidden file of its own beside the output until the output is complete.
// A file of the user's and a link with the name ".<output's base>.part.<suffix>" beside the
// output, and every other entry of the folder, stay as they are whether the export succeeds or
// fails; only the output is replaced, and only by a complete export.
void TstMainWindowExport::usersFilesOfThePartNameStayAsTheyAre()
{
    QFETCH(bool, group);
    QFETCH(bool, link);
    QFETCH(bool, fails);
    const QString folder = dir_.filePath(QStringLiteral("users files"));
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    const QString base = group ? QStringLiteral("group") : QStringLiteral("cut");
    const QString output = QDir(folder).filePath(base + QStringLiteral(".mov"));
    const QString usersPart = QDir(folder).filePath(QLatin1Char('.') + base + ".part.mov");
    const QString other = QDir(folder).filePath(QStringLiteral("another file.bin"));
    for (const QString &path : {output, other, link ? QString() : usersPart}) {
        if (!path.isEmpty())
            TestSupport::writeFile(path, "the user's " + path.toUtf8());
    }
    if (link)
        QVERIFY(QFile::link(other, usersPart));
    auto before = folderState(folder);
    // the stand-in fails the last run, the one that writes the hidden file beside the output,
    // after writing
    std::unique_ptr<StandIn> standIn;
    if (fails) {
        standIn = std::make_unique<StandIn>(
            "for last; do :; done\ncase \"${last##*/}\" in .cut.*|.group.*) printf 'part' > "
            "\"$last\"; exit 1;; esac\nexec ffmpeg \"$@\"\n");
        QVERIFY(standIn->isWritten());
    }

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    if (group)
        playGroup(w, groupClips_);
    else
        openFile(w, clip_);
    if (QTest::currentTestFailed())
        return;
    ExportEnd end(w);
    startCut(w, output);
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QCOMPARE(w.exportRunner()->lastRunArguments().last(), output); // the last run was made
    if (fails) {
        QVERIFY(end.isErrorPage());
    } else {
        QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 6.0) <= 0.15);
        before.remove(QFileInfo(output).fileName());
        QVERIFY(folderState(folder).contains(QFileInfo(output).fileName()));
    }
    auto after = folderState(folder);
    if (!fails)
        after.remove(QFileInfo(output).fileName());
    QCOMPARE(after, before);
}

void TstMainWindowExport::existingOutputIsReplacedOnlyAfterReplace_data()
{
    QTest::addColumn<QString>("road"); // what plays
    QTest::newRow("single cut") << "file";
    QTest::newRow("group join") << "group";
    QTest::newRow("group mix of both cameras") << "paired groups";
}

// An output that names an earlier file asks first. Cancel, Escape and Return run nothing, leave
// the file and its folder as they were and the page as the user typed it; Replace exports, and
// the user's files named as the export's pieces and concat list stay as they are.
void TstMainWindowExport::existingOutputIsReplacedOnlyAfterReplace()
{
    QFETCH(QString, road);
    const QString folder = dir_.filePath(QStringLiteral("replaced ") + road);
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    const QString output = QDir(folder).filePath(QStringLiteral("earlier export.mov"));
    TestSupport::writeFile(output, "an earlier export, the only copy of " + road.toUtf8());
    // files of the user's named as a group export's pieces and concat list
    for (const char *name : {"temp1_main_0.mov", "clip.txt"})
        TestSupport::writeFile(QDir(folder).filePath(name), "the user's own " + QByteArray(name));
    auto before = folderState(folder);

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != (road == "paired groups" ? 1 : 0))
        w.onDisplayModeChange();
    if (road == "group")
        playGroup(w, groupClips_);
    else if (road == "paired groups")
        playPairedGroups(w);
    else
        openFile(w, clip_);
    if (QTest::currentTestFailed())
        return;
    QSignalSpy started(w.exportRunner(), &FFmpeg_editor_p::started);
    FormDialog *dialog = w.formDialog();
    QSignalSpy single(dialog, &FormDialog::settingFinished);
    QSignalSpy group(dialog, &FormDialog::settingFinishedGroup);
    enterEditMode(w);
    if (QTest::currentTestFailed())
        return;
    w.control()->editSlider()->setSpan(100, 700);
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
    QTRY_VERIFY(child<QWidget>(dialog, "f_os")->isVisible());
    // as typed, with a doubled slash
    const QString typed =
        QString(output).replace(QStringLiteral("/earlier"), QStringLiteral("//earlier"));
    auto *line = child<QLineEdit>(dialog, "os_le");
    line->setText(typed);

    ReplaceQuestion *question = nullptr; // made when first asked
    for (const char *answer : {"Cancel", "Escape", "Return"}) {
        QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
        question = dialog->findChild<ReplaceQuestion *>();
        QVERIFY2(question && question->isVisible(), answer);
        QCOMPARE(question->path(), output);
        // the path, in lines where it is long, then the question
        QCOMPARE(child<QLabel>(question, "replace_tv")
                     ->text()
                     .section(QStringLiteral("\nThis file already exists."), 0, 0)
                     .remove(QLatin1Char('\n')),
                 output);
        if (qstrcmp(answer, "Cancel") == 0) {
            QVERIFY(QTest::qWaitForWindowExposed(question));
            if (road == "file")
                TestSupport::saveScreenshot(windowWithDialog(&w, {dialog, question}),
                                            QStringLiteral("export-replace-question"));
            QTest::mouseClick(child<QPushButton>(question, "replace_btn_cancel"), Qt::LeftButton);
        } else {
            QTest::keyClick(question,
                            qstrcmp(answer, "Escape") == 0 ? Qt::Key_Escape : Qt::Key_Return);
        }
        QTRY_VERIFY2(!question->isVisible(), answer);
        QCoreApplication::processEvents(); // whatever the answer queued has run
        QCOMPARE(started.count(), 0);
        QCOMPARE(single.count() + group.count(), 0);
        QVERIFY(!w.exportRunner()->isRunning());
        QVERIFY(dialog->isVisible());
        QVERIFY(child<QWidget>(dialog, "f_os")->isVisible());
        QCOMPARE(line->text(), typed);
        QCOMPARE(w.opMode(), OP_Edit);
        QCOMPARE(folderState(folder), before);
    }

    ExportEnd end(w);
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
    QVERIFY(question->isVisible());
    QTest::mouseClick(child<QPushButton>(question, "replace_btn_ok"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    QCOMPARE((road == "file" ? single : group).count(), 1);
    QVERIFY(started.count() > 0);
    QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 6.0) <= 0.15);
    auto after = folderState(folder);
    for (auto *state : {&before, &after})
        state->remove(QStringLiteral("earlier export.mov"));
    QCOMPARE(after, before);
    QTest::mouseClick(child<QPushButton>(dialog, "pv_btn_ok"), Qt::LeftButton);
}

void TstMainWindowExport::replacedListedFileShowsItsNewFigures_data()
{
    QTest::addColumn<bool>("grouped");
    QTest::newRow("a listed file") << false;
    QTest::newRow("a member of a listed group") << true;
}

// Another recording, listed and not being cut, replaced by an export: its row (and its group's)
// shows the new file's size, duration and resolution instead of the old ones.
void TstMainWindowExport::replacedListedFileShowsItsNewFigures()
{
    QFETCH(bool, grouped);
    const QString folder = dir_.filePath(QStringLiteral("listed card"));
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    // recordings of some MB and 3 s at 320x180
    const QStringList recordings{QDir(folder).filePath(QStringLiteral("20261207170000_F.mp4")),
                                 QDir(folder).filePath(QStringLiteral("20261207170300_F.mp4"))};
    for (int i = 0; i < recordings.size(); ++i)
        QVERIFY(QFile::copy(bigClips_.at(i), recordings.at(i)));
    const QString replaced = recordings.first();

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    FormList *list = w.formList();
    if (grouped)
        playGroup(w, recordings);
    else
        openFile(w, replaced);
    openFile(w, clip_); // the file cut: 8 s at 1280x720
    if (QTest::currentTestFailed())
        return;
    const auto row = [&] { return list->findRowByPath(replaced); };
    QTableWidget *table = list->table();
    const auto cellText = [&](int r, int column) { return table->item(r, column)->text(); };
    QCOMPARE(list->filePath(row()), replaced);
    const QString oldSize = cellText(row(), ListRows::ColSize);
    QCOMPARE(cellText(row(), ListRows::ColDuration), QStringLiteral("00:00:03"));
    QCOMPARE(cellText(row(), ListRows::ColResolution), QStringLiteral("320x180"));
    const int groupRow = grouped ? list->rowCount() - 2 : -1;
    if (grouped)
        QCOMPARE(cellText(groupRow, ListRows::ColDuration), QStringLiteral("00:00:06"));
    const int rows = list->rowCount();

    ExportEnd end(w);
    startCut(w, replaced); // asks, and the user says Replace
    if (QTest::currentTestFailed())
        return;
    // no file being cut: not refused
    QVERIFY(!child<QLabel>(w.formDialog(), "os_la_error")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    const QString newSize = QStringLiteral("%1MB").arg(QFileInfo(replaced).size() / 1024 / 1024);
    QVERIFY(newSize != oldSize);
    QTRY_COMPARE_WITH_TIMEOUT(cellText(row(), ListRows::ColDuration), QStringLiteral("00:00:06"),
                              20000);
    QCOMPARE(cellText(row(), ListRows::ColSize), newSize);
    QCOMPARE(cellText(row(), ListRows::ColResolution), QStringLiteral("1280x720"));
    QCOMPARE(list->rowCount(), rows); // no second row of the file
    QCOMPARE(listedPaths(list).count(replaced), 1);
    if (grouped) {
        QCOMPARE(cellText(groupRow, ListRows::ColDuration), QStringLiteral("00:00:09"));
        QCOMPARE(cellText(groupRow, ListRows::ColDurations), QStringLiteral("00:00:06;00:00:03;"));
    }
    QTest::mouseClick(child<QPushButton>(w.formDialog(), "pv_btn_ok"), Qt::LeftButton);
}

void TstMainWindowExport::anotherAccountInAGroupFolder_data()
{
    QTest::addColumn<QString>("road");    // what plays: a file or a group
    QTest::addColumn<QString>("swapped"); // what the other account swaps for a link, if anything
    const QString file = QStringLiteral("file"), group = QStringLiteral("group");
    QTest::newRow("single cut, no one swapping") << file << QString();
    QTest::newRow("group join, no one swapping") << group << QString();
    QTest::newRow("single cut, its part swapped for a link to a file") << file << "part";
    QTest::newRow("single cut, its work folder swapped for a link to a folder") << file << "work";
    QTest::newRow("group join, its work folder swapped for a link to a folder") << group << "work";
}

// A group folder without the sticky bit, as a family or a team shares one: another account may
// rename the user's entries there. As the export's first ffmpeg run starts, that account swaps
// the export's part or work folder, where it finds them, for a link to the user's files
// elsewhere. Those files stay byte for byte, and the export writes only its own: it finishes
// with a regular file, or fails on its page saying so, the older file of the output's name kept.
// ffmpeg inherits no descriptor of the program's but the work folder's (not one opened without
// close-on-exec either), and the program holds none into the folder after the export, as before.
void TstMainWindowExport::anotherAccountInAGroupFolder()
{
    QFETCH(QString, road);
    QFETCH(QString, swapped);
    if (::geteuid() != 0)
        QSKIP("another account needs root");
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QDir team(dir_.filePath("team/" + tag)), home(dir_.filePath("home/" + tag));
    const QDir handshake(dir_.filePath("handshake/" + tag));
    for (const QDir &folder : {team, home, handshake})
        QVERIFY(folder.mkpath("."));
    QVERIFY(home.mkpath("project"));
    // the other account reaches the folders it shares with the user
    for (const QString &path : {dir_.path(), dir_.filePath("team"), dir_.filePath("handshake")})
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0711) == 0);
    QVERIFY(::chown(QFile::encodeName(team.path()).constData(), 0,
                    ExportTestFiles::SharedFolderAsUser::otherUser) == 0);
    QVERIFY(::chmod(QFile::encodeName(team.path()).constData(), 02775) == 0);
    QVERIFY(::chmod(QFile::encodeName(handshake.path()).constData(), 0777) == 0);
    for (const char *name : {"notes.txt", "project/clip.txt", "project/temp1_main_0.mov"})
        TestSupport::writeFile(home.filePath(name), "the user's own " + QByteArray(name));
    const QString output = team.filePath(QStringLiteral("kept.mov"));
    TestSupport::writeFile(output, "an older export of that name");
    const auto homeBefore = TestSupport::entriesOf(home.path(), true);

    // the export's first run lists the descriptors it inherits (aside from the shell's own
    // listing) and waits until the other account has done what it does
    StandIn standIn(QByteArray(R"(cd "$HANDSHAKE"; case "$*" in *map_metadata*)
  [ -e ready ] || { (ls -l /proc/$$/fd) > descriptors; touch ready; }
  i=0; while [ ! -e done ] && [ $i -lt 1500 ]; do sleep 0.02; i=$((i + 1)); done;;
esac; cd - >/dev/null; exec ffmpeg "$@"
)")
                        .replace("$HANDSHAKE", QFile::encodeName(handshake.path())));
    QVERIFY(standIn.isWritten());
    // another account's shell, as a second user sharing the folder runs it
    const char *swapper = R"(out=$1; victim=$2; cd "$3"
i=0; while [ ! -e ready ] && [ $i -lt 3000 ]; do sleep 0.02; i=$((i + 1)); done
swap() { mv -- "$1" "$out/.taken${1##*/}" && ln -s -- "$victim" "$1" && echo "${1##*/}" >> swapped; }
case $4 in
part) for f in "$out"/.*.part.* "$out"/.export-*/.*.part.*; do [ -f "$f" ] && swap "$f"; done;;
work) for d in "$out"/.export-*; do [ -d "$d" ] && swap "$d"; done;;
esac; touch done
)";
    QProcess neighbour;
    neighbour.start("setpriv",
                    {"--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c", swapper, "sh",
                     team.path(), home.filePath(swapped == "part" ? "notes.txt" : "project"),
                     handshake.path(), swapped});
    QVERIFY(neighbour.waitForStarted());

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    if (road == "group")
        playGroup(w, groupClips_);
    else
        openFile(w, clip_);
    if (QTest::currentTestFailed())
        return;
    // a descriptor that a library might leave open for children
    const Descriptor careless(::open(QFile::encodeName(clip_).constData(), O_RDONLY));
    QCOMPARE(descriptorsInto(team.path()), 0);
    ExportEnd end(w);
    startCut(w, output);
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QCOMPARE(descriptorsInto(team.path()), 0);
    QTRY_COMPARE(neighbour.state(), QProcess::NotRunning);
    QCOMPARE(neighbour.exitCode(), 0);
    QCOMPARE(TestSupport::entriesOf(home.path(), true), homeBefore);
    // ffmpeg's descriptors past the standard ones: the stand-in script's own and the work folder
    const QStringList inherited =
        QString::fromLocal8Bit(TestSupport::contentOf(handshake.filePath("descriptors")))
            .split('\n')
            .filter(QRegularExpression(" ([3-9]|\\d\\d+) -> "));
    QVERIFY(!inherited.isEmpty());
    for (const QString &line : inherited)
        QVERIFY2(line.endsWith("/FFmpeg/ffmpeg") || line.contains(team.path() + "/.export-"),
                 qPrintable(line));
    const auto teamAfter = TestSupport::entriesOf(team.path(), true);
    // the part lies where no other account reaches it
    const QString link = TestSupport::contentOf(handshake.filePath("swapped")).trimmed();
    QCOMPARE(!link.isEmpty(), swapped == "work");
    if (link.isEmpty()) {
        QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
        QVERIFY(QFileInfo(output).isFile() && !QFileInfo(output).isSymLink());
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 6.0) <= 0.15);
        QCOMPARE(teamAfter.keys(), QStringList{"kept.mov"});
        QTest::mouseClick(child<QPushButton>(w.formDialog(), "pv_btn_ok"), Qt::LeftButton);
        return;
    }
    QVERIFY(end.isErrorPage());
    QCOMPARE(end.errorText(), "Unable to edit.\nThe export's file was changed by someone else, so "
                              "the output was not saved:\n" +
                                  output);
    QCOMPARE(teamAfter.value("kept.mov"), QByteArray("an older export of that name"));
    // what the other account left: the link, and the work folder it took away, emptied
    QCOMPARE(teamAfter.keys(), (QStringList{link, ".taken" + link, "kept.mov"}));
    const QImage shot = windowWithDialog(&w, w.formDialog());
    const QRect page(w.formDialog()->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0)),
                     w.formDialog()->size());
    QVERIFY(TestSupport::colourCount(shot, page) > 10);
    if (road == "file")
        TestSupport::saveScreenshot(shot, QStringLiteral("export-failed-changed-by-someone-else"));
}

TALVEX_TEST_MAIN(TstMainWindowExport)

#include "tst_mainwindowexport.moc"

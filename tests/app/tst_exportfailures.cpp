// Exports from the real main window's play bar that fail or are refused: a failed one ends on the
// dialog's error page saying why and leaves an older file of the output's name as it was; an
// output that would replace a file being cut, or one this user may not replace, is refused on the
// output page, and so is a group that the controller's own checks refuse, before anything runs.
#include "exportchecks.h"
#include "exporttestfiles.h"
#include "exportwindowtest.h"
#include "playbarexport.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStorageInfo>

#include <memory>
#include <unistd.h>

using namespace ExportChecks;
using namespace PlayBarExport;

class TstExportFailures : public ExportWindowTest
{
    Q_OBJECT
public:
    TstExportFailures()
        : ExportWindowTest(Clip | TinyClip | GroupClips | Pair | PairedGroups | TrailerClip |
                           BigClips)
    {
    }

private slots:
    void failedExportSaysWhyAndKeepsTheOldFile_data();
    void failedExportSaysWhyAndKeepsTheOldFile();
    void refusedOutputRunsNothing_data();
    void refusedOutputRunsNothing();
    void checkFailuresReachTheErrorPage_data();
    void checkFailuresReachTheErrorPage();
};

void TstExportFailures::failedExportSaysWhyAndKeepsTheOldFile_data()
{
    QTest::addColumn<QByteArray>("script"); // of an ffmpeg stand-in; none: ffmpeg itself
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("fullDisk"); // the output on a small file system with a block free
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds"); // the cut's length, from 00:01 on
    const QString noSpace =
        QStringLiteral("Insufficient disk space.\nPlease re-select the output/destination drive.");
    // the stand-in passes the probe on to ffmpeg and fails the cut, which names its output
    // after "-map_metadata 0"
    QTest::newRow("disk full")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'x.mov: No space left on device' >&2; "
                      "exit 1;; esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr" << noSpace << 6;
    QTest::newRow("disk quota exceeded")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'x.mov: Disk quota exceeded' >&2; "
                      "exit 1;; esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr" << noSpace << 6;
    // ffmpeg writes its header into the free block and keeps the frames of so small a cut in its
    // buffer: the disk is full only when it writes the trailer, and ffmpeg then exits with 0
    QTest::newRow("ffmpeg on a full disk, exiting 0")
        << QByteArray() << true << true << "f_pvErr" << noSpace << 6;
    QTest::newRow("ffmpeg missing")
        << QByteArray("exit 0\n") << false << false << "f_pvErr"
        << "Unable to edit.\nffmpeg was not found. Please install ffmpeg or put it into the "
           "FFmpeg folder."
        << 6;
    QTest::newRow("ffmpeg's own error")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'Invalid argument' >&2; exit 1;; "
                      "esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nffmpeg reported:\nInvalid argument" << 6;
    QTest::newRow("ffmpeg killed")
        << QByteArray("case \"$*\" in *map_metadata*) kill -KILL $$;; esac\nexec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nffmpeg stopped unexpectedly." << 6;
    // the source gives only its first second, as a file cut off does
    QTest::newRow("source ends early")
        << QByteArray("case \"$*\" in *map_metadata*) exec ffmpeg -t 1 \"$@\";; esac\n"
                      "exec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nThe source ended before the end of the cut, so nothing was saved."
        << 6;
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
           "saved:\n<output>"
        << 6;
    // in a shared folder, another user takes the file over while it is cut: the system refuses
    // to replace it only at the end
    QTest::newRow("output given to another user in a shared folder")
        << QByteArray("case \"$*\" in *map_metadata*) chown 65534 shared/kept.mov;; esac\n"
                      "exec ffmpeg \"$@\"\n")
        << true << false << "f_pvErr"
        << "Unable to edit.\nThe output file cannot be saved:\n<output>\nOperation not permitted"
        << 6;
    // ffmpeg cannot read the finished file back: it does not go into place, whatever the cut's
    // length, the shortest one let through (1 s) too
    for (int seconds : {6, 1}) {
        QTest::addRow("read-back fails, a cut of %d s", seconds)
            << QByteArray("case \"$*\" in *' -f null -') echo \"$2: Invalid data found when "
                          "processing input\" >&2; exit 1;; esac\nexec ffmpeg \"$@\"\n")
            << true << false << "f_pvErr"
            << "Unable to edit.\nThe output file cannot be saved:\n<output>\nthe written file "
               "cannot be read back"
            << seconds;
    }
}

void TstExportFailures::failedExportSaysWhyAndKeepsTheOldFile()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, executable);
    QFETCH(bool, fullDisk);
    QFETCH(QString, page);
    QFETCH(QString, text);
    QFETCH(int, seconds);
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
    startCut(w, output, seconds); // the old file is there: the user says Replace
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

void TstExportFailures::refusedOutputRunsNothing_data()
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
void TstExportFailures::refusedOutputRunsNothing()
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
        playPair(w, pair_);
    } else if (road == "paired groups") {
        playPairedGroups(w, pairedGroups_);
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

void TstExportFailures::checkFailuresReachTheErrorPage_data()
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
void TstExportFailures::checkFailuresReachTheErrorPage()
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

TALVEX_TEST_MAIN(TstExportFailures)

#include "tst_exportfailures.moc"

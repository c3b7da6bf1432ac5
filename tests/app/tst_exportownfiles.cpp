// An export from the real main window's play bar writes only its own files: the user's files and
// links that bear its part's name stay as they are, and so do the user's files elsewhere when
// another account in a shared group folder swaps the export's entries for links to them.
#include "descriptor.h"
#include "exportchecks.h"
#include "exporttestfiles.h"
#include "exportwindowtest.h"
#include "playbarexport.h"
#include "testsupport.h"

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace ExportChecks;
using namespace PlayBarExport;

namespace {

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

} // namespace

class TstExportOwnFiles : public ExportWindowTest
{
    Q_OBJECT
public:
    TstExportOwnFiles() : ExportWindowTest(Clip | GroupClips) {}

private slots:
    void usersFilesOfThePartNameStayAsTheyAre_data();
    void usersFilesOfThePartNameStayAsTheyAre();
    void anotherAccountInAGroupFolder_data();
    void anotherAccountInAGroupFolder();
};

void TstExportOwnFiles::usersFilesOfThePartNameStayAsTheyAre_data()
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
void TstExportOwnFiles::usersFilesOfThePartNameStayAsTheyAre()
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

void TstExportOwnFiles::anotherAccountInAGroupFolder_data()
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
void TstExportOwnFiles::anotherAccountInAGroupFolder()
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

TALVEX_TEST_MAIN(TstExportOwnFiles)

#include "tst_exportownfiles.moc"

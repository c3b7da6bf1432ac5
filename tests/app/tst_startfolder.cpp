// The real program keeps its files in its per-user data folder wherever it is started from: a
// session started from a camera card's root leaves the card as it was, and a data folder that
// cannot be made or written stops the program with a message before anything is written.
#include "agentrun.h"
#include "ridefilewriter.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using RideFileWriter::encodeRide;
using TestSupport::entriesOf;

namespace {

constexpr int sessionTimeoutMs = 240000;
constexpr int failureTimeoutMs = 60000;

AgentRun agentRun(const QString &scenario)
{
    return AgentRun(QStringLiteral(TALVEX_PLAYER_PATH), QStringLiteral(USER_AGENT_PLUGIN_PATH),
                    scenario);
}

// Writes bytes to path, making its folders.
void put(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    TestSupport::writeFile(path, bytes);
}

// Starts run from startFolder as on a full disk: with a file-size limit of 0 and SIGXFSZ ignored,
// both of which the program inherits, every write to a file fails with EFBIG. The test's own
// limit and signal action are restored once the program has started.
bool startOnAFullDisk(AgentRun &run, const QString &startFolder)
{
    rlimit old{};
    struct sigaction oldAction = {};
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    if (getrlimit(RLIMIT_FSIZE, &old) != 0 || sigaction(SIGXFSZ, &ignore, &oldAction) != 0)
        return false;
    rlimit none = old;
    none.rlim_cur = 0;
    const bool limited = setrlimit(RLIMIT_FSIZE, &none) == 0;
    const bool started = limited && run.start(startFolder);
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &oldAction, nullptr);
    return started;
}

} // namespace

class TstStartFolder : public QObject
{
    Q_OBJECT
private slots:
    void sessionFromACardRootLeavesTheCardAlone();
    void unusableDataFolderStopsWithAMessage_data();
    void unusableDataFolderStopsWithAMessage();
};

// The user changes a setting, snapshots a clip, opens the calendar and deletes the ride data,
// started from the root of a card that holds its own Metadata folder.
void TstStartFolder::sessionFromACardRootLeavesTheCardAlone()
{
    QTemporaryDir card;
    QTemporaryDir clips;
    QVERIFY(card.isValid() && clips.isValid());
    const QString cardRides = card.filePath(QStringLiteral("Metadata/"));
    put(cardRides + QStringLiteral("20261201070000.TXT"), encodeRide(12));
    put(cardRides + QStringLiteral("20261202070000.TXT"), encodeRide(24));
    put(cardRides + QStringLiteral("20261202070000.TXT.bak"), encodeRide(12));
    put(cardRides + QStringLiteral("notes.txt"), "the card's own notes");
    put(card.filePath(QStringLiteral("info.txt")), "Date=1\n");
    put(card.filePath(QStringLiteral("DCIM/20261201070000_F.mp4")), "a camera's video");
    put(card.filePath(QStringLiteral("Snapshot/keep.jpg")), "a picture of the card's");
    const QMap<QString, QByteArray> before = entriesOf(card.path(), true);

    AgentRun run = agentRun(QStringLiteral("datafolder"));
    const QString dataRides = run.dataFolder() + QStringLiteral("/Metadata/");
    put(dataRides + QStringLiteral("20261110070000.TXT"), encodeRide(12));
    put(dataRides + QStringLiteral("20261111070000.TXT"), encodeRide(12));
    const QString clip = clips.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip, 8, QStringLiteral("640x360")));
    run.environment().insert(QStringLiteral("TALVEX_AGENT_CLIP"), clip);

    QVERIFY(run.start(card.path()));
    const bool ended = run.waitForEnd(sessionTimeoutMs);
    const QByteArray steps = run.steps();
    QVERIFY2(ended, steps.constData());
    QVERIFY2(steps.endsWith("window closed\n"), steps.constData());
    QCOMPARE(run.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process().exitCode(), 0);

    const QMap<QString, QByteArray> after = entriesOf(card.path(), true);
    QCOMPARE(after.keys(), before.keys());
    QCOMPARE(after, before);
    const QDir data(run.dataFolder());
    QVERIFY2(TestSupport::contentOf(data.filePath(QStringLiteral("info.txt"))).contains("Date=2"),
             TestSupport::contentOf(data.filePath(QStringLiteral("info.txt"))).constData());
    QCOMPARE(QDir(data.filePath(QStringLiteral("Snapshot")))
                 .entryList({QStringLiteral("*.jpg")}, QDir::Files)
                 .size(),
             1);
    QVERIFY(QFileInfo(data.filePath(QStringLiteral("Metadata"))).isDir());
    QVERIFY(QDir(data.filePath(QStringLiteral("Metadata"))).isEmpty());
}

void TstStartFolder::unusableDataFolderStopsWithAMessage_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QString>("why"); // after the folder's name
    QTest::newRow("below a regular file") << false << "cannot be created";
    // the folder is made, but a file in it takes no byte; the agent cannot write its steps
    QTest::newRow("on a full disk") << true << "cannot be written";
}

void TstStartFolder::unusableDataFolderStopsWithAMessage()
{
    QFETCH(bool, fullDisk);
    QFETCH(QString, why);
    QTemporaryDir start;
    QTemporaryDir elsewhere;
    QVERIFY(start.isValid() && elsewhere.isValid());
    put(elsewhere.filePath(QStringLiteral("file")), "a regular file");
    const QString dataHome =
        elsewhere.filePath(fullDisk ? QStringLiteral("share") : QStringLiteral("file/share"));
    const QString folder = dataHome + QStringLiteral("/talvex-player");

    AgentRun run = agentRun(QStringLiteral("critical"));
    run.environment().insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    QVERIFY(fullDisk ? startOnAFullDisk(run, start.path()) : run.start(start.path()));
    const bool ended = run.waitForEnd(failureTimeoutMs);
    const QByteArray steps = run.steps();
    const QByteArray errors = run.process().readAllStandardError();
    QVERIFY2(ended, (steps + errors).constData());
    QCOMPARE(run.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process().exitCode(), 1);
    const QByteArray message = "The data folder \"" + folder.toUtf8() + "\" " + why.toUtf8() + ": ";
    QVERIFY2(errors.contains(message), errors.constData());
    if (!fullDisk)
        QVERIFY2(steps.startsWith("message: " + message) && steps.endsWith("message box closed\n"),
                 steps.constData());
    QVERIFY(QDir(start.path()).isEmpty());
    QCOMPARE(TestSupport::contentOf(elsewhere.filePath(QStringLiteral("file"))),
             QByteArray("a regular file"));
    if (fullDisk) // the folder made, nothing left in it
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
}

TALVEX_TEST_MAIN(TstStartFolder)
#include "tst_startfolder.moc"

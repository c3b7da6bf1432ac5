// The real program ended by a signal in the middle of an export: SIGTERM, SIGINT and SIGHUP end it
// the way closing its window does (its ffmpeg stopped, its work folder gone, an older file of the
// output's name as it was); SIGKILL, which the program cannot handle, leaves no ffmpeg running,
// and the work folder with the part file it leaves goes with the next export into that folder.
#include "agentrun.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <memory>

namespace {

constexpr int exportingTimeoutMs = 240000; // start-up, loading, edit mode, output page, probe
constexpr int endTimeoutMs = 60000;
constexpr int ffmpegEndTimeoutMs = 15000;
constexpr int cutRunTimeoutMs = 240000; // a whole cut with ffmpeg at its own speed
// Far longer than the time ffmpeg is given to end: one left running at real time outlasts it.
constexpr double clipSec = 120;
const QByteArray olderBytes = "an older export of that name";

// Whether process pid has ended (gone, or a zombie that nobody has reaped yet).
bool hasEnded(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    // "pid (name) state ...": the name may hold blanks and parentheses
    const QByteArray line = stat.readAll();
    const int nameEnd = line.lastIndexOf(')');
    const char state = nameEnd >= 0 && nameEnd + 2 < line.size() ? line.at(nameEnd + 2) : 'X';
    return state == 'Z' || state == 'X';
}

} // namespace

class TstProgramEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void signalEndsItLikeClosingTheWindow_data();
    void signalEndsItLikeClosingTheWindow();
    void killLeavesNoFfmpegRunningAndAPartTheNextExportRemoves();

private:
    // Starts the program, which drops the clip, cuts it into output and leaves the export
    // running; returns once its ffmpeg runs and writes the part file in its work folder.
    void startExport();
    QStringList ffmpegPids() const;
    bool ffmpegRunning() const;
    bool ffmpegEnded() const;
    // The size of the part file in the export's work folder beside the older output, -1 when
    // there is none.
    qint64 partFileBytes() const;
    QString outputFolder() const { return work->filePath(QStringLiteral("out")); }

    QTemporaryDir clips;
    QString clip;
    std::unique_ptr<QTemporaryDir> work; // the start folder and the output folder
    std::unique_ptr<AgentRun> run;
};

void TstProgramEnd::initTestCase()
{
    QVERIFY(clips.isValid());
    clip = clips.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip, clipSec, QStringLiteral("320x240"), true, 10));
    // A test run started in the background of a script ignores SIGINT, and the program keeps a
    // signal ignored that it was started with ignored: it is given the default actions.
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction action = {};
        sigaction(signalNumber, nullptr, &action);
        if (action.sa_handler == SIG_IGN)
            std::signal(signalNumber, SIG_DFL);
    }
}

void TstProgramEnd::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    QVERIFY(QDir().mkpath(outputFolder()));
    TestSupport::writeFile(outputFolder() + QStringLiteral("/cut.mov"), olderBytes);
    run = std::make_unique<AgentRun>(QStringLiteral(TALVEX_PLAYER_PATH),
                                     QStringLiteral(USER_AGENT_PLUGIN_PATH),
                                     QStringLiteral("export"));
}

void TstProgramEnd::cleanup()
{
    // a failed case's program is killed, and its ffmpeg when that outlives it
    if (run)
        run->waitForEnd(0);
    if (work) {
        for (const QString &pid : ffmpegPids()) {
            if (!hasEnded(pid.toLongLong()))
                ::kill(pid_t(pid.toLongLong()), SIGKILL);
        }
    }
    run.reset();
    work.reset();
}

void TstProgramEnd::startExport()
{
    // The program runs FFmpeg/ffmpeg of its working folder (its data folder) when there is one:
    // here the real ffmpeg, reading its input at real time, so that the export lasts as long as
    // the clip; each run writes its process id first.
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QVERIFY(!ffmpeg.isEmpty());
    const QString wrapper = run->dataFolder() + QStringLiteral("/FFmpeg/ffmpeg");
    QVERIFY(QDir().mkpath(QFileInfo(wrapper).path()));
    TestSupport::writeFile(wrapper, "#!/bin/sh\necho $$ >> '" +
                                        QFile::encodeName(work->filePath(QStringLiteral("pids"))) +
                                        "'\nexec '" + QFile::encodeName(ffmpeg) + "' -re \"$@\"\n");
    QVERIFY(QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    run->environment().insert(QStringLiteral("TALVEX_AGENT_CLIP"), clip);
    run->environment().insert(QStringLiteral("TALVEX_AGENT_OUTPUT"),
                              outputFolder() + QStringLiteral("/cut.mov"));

    QVERIFY(run->start(work->path()));
    QTRY_VERIFY2_WITH_TIMEOUT(run->steps().endsWith("export running\n") ||
                                  run->process().state() != QProcess::Running,
                              run->steps().constData(), exportingTimeoutMs);
    QVERIFY2(run->process().state() == QProcess::Running, run->steps().constData());
    // ffmpeg runs and has begun to write the part file (so it is past its start-up, where it
    // would still die of the first write into the pipe of a program that has ended)
    QTRY_VERIFY_WITH_TIMEOUT(ffmpegRunning() && partFileBytes() > 0, exportingTimeoutMs);
}

QStringList TstProgramEnd::ffmpegPids() const
{
    return QString::fromLatin1(TestSupport::contentOf(work->filePath(QStringLiteral("pids"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool TstProgramEnd::ffmpegRunning() const
{
    const QStringList pids = ffmpegPids();
    return std::any_of(pids.cbegin(), pids.cend(),
                       [](const QString &pid) { return !hasEnded(pid.toLongLong()); });
}

bool TstProgramEnd::ffmpegEnded() const
{
    return !ffmpegPids().isEmpty() && !ffmpegRunning();
}

qint64 TstProgramEnd::partFileBytes() const
{
    for (const QFileInfo &work :
         QDir(outputFolder())
             .entryInfoList({QStringLiteral(".export-*")}, QDir::Dirs | QDir::Hidden)) {
        const QFileInfoList parts =
            QDir(work.filePath())
                .entryInfoList({QStringLiteral(".cut.*.part.mov")}, QDir::Files | QDir::Hidden);
        if (!parts.isEmpty())
            return parts.first().size();
    }
    return -1;
}

void TstProgramEnd::signalEndsItLikeClosingTheWindow_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("repeated"); // sent again and again until the program has ended
    QTest::newRow("SIGTERM (logout, shutdown, kill)") << int(SIGTERM) << false;
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << false;
    QTest::newRow("SIGHUP (terminal closed)") << int(SIGHUP) << false;
    QTest::newRow("SIGTERM again while it ends") << int(SIGTERM) << true;
}

void TstProgramEnd::signalEndsItLikeClosingTheWindow()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, repeated);
    startExport();
    const auto pid = pid_t(run->process().processId());
    QVERIFY(::kill(pid, signalNumber) == 0);
    // a program not yet reaped still holds its process id
    if (repeated)
        QTRY_VERIFY_WITH_TIMEOUT(run->process().state() == QProcess::NotRunning ||
                                     (::kill(pid, signalNumber), false),
                                 endTimeoutMs);
    QVERIFY(run->waitForEnd(endTimeoutMs));
    QCOMPARE(run->process().exitStatus(), QProcess::NormalExit);
    // a report of a sanitizer in the player ends it with 1: say what it was
    QVERIFY2(run->process().exitCode() == 0,
             run->process().readAllStandardError().right(4000).constData());
    QTRY_VERIFY_WITH_TIMEOUT(ffmpegEnded(), ffmpegEndTimeoutMs);
    // no work folder, and the older file untouched
    const QMap<QString, QByteArray> left = TestSupport::entriesOf(outputFolder());
    QCOMPARE(left.keys(), QStringList{QStringLiteral("cut.mov")});
    QCOMPARE(left.value(QStringLiteral("cut.mov")), olderBytes);
}

void TstProgramEnd::killLeavesNoFfmpegRunningAndAPartTheNextExportRemoves()
{
    startExport();
    run->process().kill();

    QVERIFY(run->waitForEnd(endTimeoutMs));
    QCOMPARE(run->process().exitStatus(), QProcess::CrashExit);
    QTRY_VERIFY_WITH_TIMEOUT(ffmpegEnded(), ffmpegEndTimeoutMs);
    QVERIFY(partFileBytes() > 0);

    // the next run, with the real ffmpeg of no data folder, cuts into the same folder
    AgentRun next(QStringLiteral(TALVEX_PLAYER_PATH), QStringLiteral(USER_AGENT_PLUGIN_PATH),
                  QStringLiteral("cut"));
    next.environment().insert(QStringLiteral("TALVEX_AGENT_CLIP"), clip);
    next.environment().insert(QStringLiteral("TALVEX_AGENT_OUTPUT"),
                              outputFolder() + QStringLiteral("/next.mov"));
    QVERIFY(next.start(work->path()));
    QVERIFY2(next.waitForEnd(cutRunTimeoutMs), next.steps().constData());
    QVERIFY2(next.steps().endsWith("window closed\n"), next.steps().constData());
    const QMap<QString, QByteArray> left = TestSupport::entriesOf(outputFolder());
    QCOMPARE(left.keys(), (QStringList{QStringLiteral("cut.mov"), QStringLiteral("next.mov")}));
    QCOMPARE(left.value(QStringLiteral("cut.mov")), olderBytes);
}

TALVEX_TEST_MAIN(TstProgramEnd)
#include "tst_programend.moc"

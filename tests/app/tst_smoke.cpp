// The real program starts from its executable in an empty folder, with nothing set for it, and
// keeps running; a run that opens, plays and cuts a clip prints only the diagnostics that are
// switched on.
#include "agentrun.h"
#include "testsupport.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

constexpr int cutRunTimeoutMs = 240000;
constexpr int shownTimeoutMs = 120000;
constexpr int staysUpMs = 10000;
const QByteArray sandboxLine =
    "talvex-player: running as root, so the web engine's sandbox is switched off\n";

// Lines that come from the test machine, not from the program's diagnostics: Chromium's log
// lines of the web view on a display without GPU and its note on the sandbox that the tests
// switch off (they run as root); libasound and PipeWire without sound card or sound server; the
// hardware-decoding probes of drivers the machine lacks; and Qt's X focus request refused for a
// window not mapped yet, which only a display without window manager (Xvfb) sees: Qt then sets
// the input focus itself instead of asking the window manager.
bool isMachineLine(const QString &line)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\[\\d+:\\d+:\\d+/\\d+\\.\\d+:(ERROR|WARNING|INFO):\\w+\\.cc\\(\\d+\\)\\] .*"
        "|Sandboxing disabled by user\\."
        "|ALSA lib .*"
        "|\\[[EWI]\\]\\[[\\d.]+\\] pw\\.\\w+ .*"
        "|Cannot load libcuda\\.so\\.1"
        "|Failed to open VDPAU backend .*"
        "|qt\\.qpa\\.xcb: QXcbConnection: XCB error: 8 \\(BadMatch\\), .*"
        " major code: 42 \\(SetInputFocus\\), minor code: 0)$"));
    return pattern.match(line).hasMatch();
}

// The lines of output that do not come from the test machine.
QStringList programLines(const QByteArray &output)
{
    QStringList lines;
    for (const QString &line : QString::fromLocal8Bit(output).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !isMachineLine(line))
            lines << line;
    }
    return lines;
}

} // namespace

class TstSmoke : public QObject
{
    Q_OBJECT
private slots:
    // Started as the suite's user (root in CI) without the web engine's sandbox switched off for
    // it: the program does that itself as root and says so in one line.
    void programStartsAndStaysUp()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        AgentRun run(QStringLiteral(TALVEX_PLAYER_PATH), QStringLiteral(USER_AGENT_PLUGIN_PATH),
                     QStringLiteral("shown"));
        run.environment().remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        QVERIFY(run.start(work.path()));
        QTRY_VERIFY2_WITH_TIMEOUT(run.steps() == "window shown\n" ||
                                      run.process().state() != QProcess::Running,
                                  run.steps().constData(), shownTimeoutMs);
        // a crash after start-up ends the process within these seconds
        const bool ended = run.process().waitForFinished(staysUpMs);
        QProcess &player = run.process();
        const QByteArray errors = player.readAllStandardError();
        QVERIFY2(!ended && player.state() == QProcess::Running, errors.constData());
        QCOMPARE(run.steps(), QByteArray("window shown\n"));
        player.terminate();
        QVERIFY(player.waitForFinished(10000));
        const QByteArray printed = errors + player.readAllStandardError();
        QCOMPARE(printed.count(sandboxLine), geteuid() == 0 ? 1 : 0);
        // closing saves nothing: settings are written only when they change
        QVERIFY(QFileInfo(run.dataFolder()).isDir());
        QVERIFY(!QFileInfo::exists(run.dataFolder() + QStringLiteral("/info.txt")));
        QVERIFY(QDir(work.path()).isEmpty());
    }

    void cutRunPrintsOnlyWhatIsSwitchedOn_data()
    {
        QTest::addColumn<QString>("rules");     // QT_LOGGING_RULES, unset when empty
        QTest::addColumn<QString>("shownLine"); // a line the run must print, none when empty
        QTest::newRow("normal run") << QString() << QString();
        QTest::newRow("export lines switched on")
            << QStringLiteral("talvex.export.debug=true")
            << QStringLiteral("talvex.export: currentTypeAA -> ");
    }

    // The agent plugin is the user inside the real program: it drops a clip on the list, presses
    // Play, cuts the clip through the edit mode and the output page and closes the window.
    void cutRunPrintsOnlyWhatIsSwitchedOn()
    {
        QFETCH(QString, rules);
        QFETCH(QString, shownLine);
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString clip = work.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(TestSupport::makeClip(clip, 8, QStringLiteral("640x360")));
        const QString output = work.filePath(QStringLiteral("out/cut.mov"));

        AgentRun run(QStringLiteral(TALVEX_PLAYER_PATH), QStringLiteral(USER_AGENT_PLUGIN_PATH),
                     QStringLiteral("cut"));
        QProcessEnvironment &env = run.environment();
        env.insert(QStringLiteral("TALVEX_AGENT_CLIP"), clip);
        env.insert(QStringLiteral("TALVEX_AGENT_OUTPUT"), output);
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (!rules.isEmpty())
            env.insert(QStringLiteral("QT_LOGGING_RULES"), rules);

        QVERIFY(run.start(work.path()));
        const bool ended = run.waitForEnd(cutRunTimeoutMs);
        QProcess &player = run.process();
        const QByteArray steps = run.steps();
        const QStringList printed = programLines(player.readAllStandardOutput()) +
                                    programLines(player.readAllStandardError());
        QVERIFY2(ended, steps.constData());
        QVERIFY2(steps.endsWith("window closed\n"), steps.constData());
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        QVERIFY(QFileInfo(output).size() > 0);

        if (shownLine.isEmpty()) {
            QVERIFY2(printed.isEmpty(), qPrintable(printed.join(QLatin1Char('\n'))));
            return;
        }
        // only the switched-on category speaks, and it tells the cut's trailer type
        const QString category = shownLine.section(QLatin1Char(' '), 0, 0);
        for (const QString &line : printed)
            QVERIFY2(line.startsWith(category), qPrintable(line));
        QVERIFY2(printed.filter(shownLine).size() == 1,
                 qPrintable(printed.join(QLatin1Char('\n'))));
    }
};

TALVEX_TEST_MAIN(TstSmoke)
#include "tst_smoke.moc"

// The real program starts from its executable in an empty working folder and keeps running; a
// run that opens, plays and cuts a clip prints only the diagnostics that are switched on.
#include "testsupport.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int cutRunTimeoutMs = 240000;

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
    void programStartsAndStaysUp()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        QProcess player;
        player.setWorkingDirectory(work.path());
        player.setProcessChannelMode(QProcess::MergedChannels);
        player.start(QStringLiteral(TALVEX_PLAYER_PATH), QStringList());
        QVERIFY(player.waitForStarted(10000));
        // a crash at start-up ends the process within these seconds
        QVERIFY2(!player.waitForFinished(6000), player.readAll().constData());
        QCOMPARE(player.state(), QProcess::Running);
        player.terminate();
        QVERIFY(player.waitForFinished(10000));
        // closing saves nothing: settings are written only when they change
        QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("info.txt"))));
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
        QTemporaryDir session; // a desktop session's own folder: mode 0700
        QVERIFY(work.isValid() && session.isValid());
        const QString clip = work.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(TestSupport::makeClip(clip, 8, QStringLiteral("640x360")));
        const QString output = work.filePath(QStringLiteral("out/cut.mov"));
        const QString status = work.filePath(QStringLiteral("agent-status.txt"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("cutrunagent"));
        env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(CUT_AGENT_PLUGIN_PATH));
        env.insert(QStringLiteral("CUT_AGENT_CLIP"), clip);
        env.insert(QStringLiteral("CUT_AGENT_OUTPUT"), output);
        env.insert(QStringLiteral("CUT_AGENT_STATUS"), status);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), session.path());
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (!rules.isEmpty())
            env.insert(QStringLiteral("QT_LOGGING_RULES"), rules);

        QProcess player;
        player.setProcessEnvironment(env);
        player.setWorkingDirectory(work.path());
        player.start(QStringLiteral(TALVEX_PLAYER_PATH), QStringList());
        QVERIFY(player.waitForStarted(10000));
        const bool ended = player.waitForFinished(cutRunTimeoutMs);
        if (!ended) {
            player.kill();
            player.waitForFinished(10000);
        }
        const QByteArray steps = TestSupport::contentOf(status);
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

// The real program starts from its executable in an empty working folder and keeps running.
#include "testsupport.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

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
};

TALVEX_TEST_MAIN(TstSmoke)
#include "tst_smoke.moc"

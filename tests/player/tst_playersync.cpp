// PlayerSync: a second player following the first on real clips in a real window.
#include "dashcam.h"
#include "formdashcampreview.h"
#include "playersync.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QHBoxLayout>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
// How long the follower may take to close a drift; a busy machine renders and corrects slowly.
constexpr int catchUpMs = 60000;
// How long a player may take to act on a command (open, play, seek, step) on a busy machine.
constexpr int actMs = 20000;
// The clips outlast every wait of a test, so no correction races their end.
constexpr double clipSeconds = 4 * catchUpMs / 1000.0;
} // namespace

class TstPlayerSync : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void followsPlayPauseAndStop();
    void followsSeeksAndStepsInPause();
    void correctsDriftWhilePlaying();
    void followsSpeed();
    void disabledLeavesFollowerAlone();
    void snapshotsBothCameras();
    void snapshotNames_data();
    void snapshotNames();

private:
    void open(Dashcam *player, const QString &path);
    static bool inStep(Dashcam *a, Dashcam *b);

    QTemporaryDir dir;
    std::unique_ptr<QWidget> window;
    FormDashcamPreview *mainView = nullptr;
    FormDashcamPreview *secondView = nullptr;
    Dashcam *leader = nullptr;
    Dashcam *follower = nullptr;
    std::unique_ptr<PlayerSync> sync;
};

void TstPlayerSync::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(TestSupport::makeClip(dir.filePath("0001_F.mp4"), clipSeconds));
    QVERIFY(TestSupport::makeClip(dir.filePath("0001_R.mp4"), clipSeconds,
                                  QStringLiteral("160x120"), true, 30));
}

void TstPlayerSync::init()
{
    window = std::make_unique<QWidget>();
    auto *layout = new QHBoxLayout(window.get());
    mainView = new FormDashcamPreview;
    secondView = new FormDashcamPreview;
    layout->addWidget(mainView);
    layout->addWidget(secondView);
    window->resize(640, 240);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    leader = mainView->getDashcam();
    follower = secondView->getDashcam();
    QTRY_VERIFY(leader->getVideoWidget()->hasRenderContext());
    QTRY_VERIFY(follower->getVideoWidget()->hasRenderContext());
    sync = std::make_unique<PlayerSync>(leader, follower);
    open(leader, dir.filePath("0001_F.mp4"));
    open(follower, dir.filePath("0001_R.mp4"));
}

void TstPlayerSync::cleanup()
{
    sync.reset();
    window.reset();
}

void TstPlayerSync::open(Dashcam *player, const QString &path)
{
    QSignalSpy opened(player, &Dashcam::durationChanged);
    player->setMedia2(QUrl::fromLocalFile(path));
    QVERIFY(opened.wait(actMs));
}

bool TstPlayerSync::inStep(Dashcam *a, Dashcam *b)
{
    return qAbs(a->positionMs() - b->positionMs()) <= b->frameDurationMs();
}

void TstPlayerSync::followsPlayPauseAndStop()
{
    leader->play();
    QTRY_COMPARE_WITH_TIMEOUT(follower->playStatus(), PlayingState, actMs);
    QTRY_VERIFY_WITH_TIMEOUT(leader->positionMs() > 1000, actMs);
    leader->pause();
    QTRY_COMPARE(follower->playStatus(), PausedState);
    QTRY_VERIFY_WITH_TIMEOUT(inStep(leader, follower), actMs);
    leader->stop();
    QTRY_COMPARE(follower->playStatus(), StoppedState);
    QTRY_COMPARE(follower->positionMs(), qint64(0));
}

void TstPlayerSync::followsSeeksAndStepsInPause()
{
    leader->setPosition(500);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(follower->positionMs() - 5000) <= 34, actMs);
    leader->stepForward();
    QTRY_COMPARE_WITH_TIMEOUT(leader->positionMs(), qint64(5040), actMs);
    QTRY_VERIFY_WITH_TIMEOUT(inStep(leader, follower), actMs);
    QCOMPARE(leader->playStatus(), PausedState);
    leader->stepBackward();
    leader->stepBackward();
    QTRY_COMPARE_WITH_TIMEOUT(leader->positionMs(), qint64(4960), actMs);
    QTRY_VERIFY_WITH_TIMEOUT(inStep(leader, follower), actMs);
    QCOMPARE(follower->playStatus(), PausedState);
}

void TstPlayerSync::correctsDriftWhilePlaying()
{
    leader->play();
    QTRY_COMPARE_WITH_TIMEOUT(follower->playStatus(), PlayingState, actMs);
    QTRY_VERIFY_WITH_TIMEOUT(leader->positionMs() > 2500, actMs);
    // Let the follower run ahead on its own, then put it two seconds behind.
    sync->setEnabled(false);
    follower->setSpeed(1.5);
    QTRY_VERIFY_WITH_TIMEOUT(sync->driftMs() > 300, actMs);
    sync->setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(sync->driftMs()) < follower->frameDurationMs(), catchUpMs);

    sync->setEnabled(false);
    follower->setPositionMs(std::max<qint64>(0, leader->positionMs() - 2000));
    QTRY_VERIFY_WITH_TIMEOUT(sync->driftMs() < -1000, actMs);
    sync->setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(sync->driftMs()) < follower->frameDurationMs(), catchUpMs);
    // Caught up, the follower is back at the leader's speed.
    QTRY_COMPARE_WITH_TIMEOUT(follower->speed(), 1.0, catchUpMs);
}

void TstPlayerSync::followsSpeed()
{
    leader->setSpeed(2.0);
    QCOMPARE(follower->speed(), 2.0);
    leader->setSpeed(0.5);
    QCOMPARE(follower->speed(), 0.5);
}

void TstPlayerSync::disabledLeavesFollowerAlone()
{
    sync->setEnabled(false);
    leader->setSpeed(2.0);
    leader->play();
    QTRY_VERIFY_WITH_TIMEOUT(leader->positionMs() > 500, actMs);
    QCOMPARE(follower->playStatus(), PausedState);
    QCOMPARE(follower->speed(), 1.0);
    QCOMPARE(follower->positionMs(), qint64(0));
}

void TstPlayerSync::snapshotsBothCameras()
{
    // 1.2 s holds a frame of both clips (25 and 30 fps): the seek lands on its target, so the
    // position read now is still the leader's when the snapshot names its files.
    const qint64 posMs = 1200;
    leader->setPosition(static_cast<int>(posMs / 10));
    QTRY_COMPARE_WITH_TIMEOUT(leader->positionMs(), posMs, actMs);
    QTRY_VERIFY_WITH_TIMEOUT(inStep(leader, follower), actMs);
    const QString folder = dir.filePath(QStringLiteral("Snapshot"));
    const QDateTime now(QDate(2024, 5, 6), QTime(7, 8, 9));
    const QStringList files = sync->takeSnapshots(folder, now);
    QCOMPARE(files.size(), 2);
    const QString stem = QStringLiteral("20240506070809_0001_F_%1").arg(posMs);
    QCOMPARE(QFileInfo(files.at(0)).fileName(), stem + QStringLiteral("-1.jpg"));
    QCOMPARE(QFileInfo(files.at(1)).fileName(), stem + QStringLiteral("-2.jpg"));
    QCOMPARE(QImage(files.at(0)).size(), QSize(320, 240));
    QCOMPARE(QImage(files.at(1)).size(), QSize(160, 120));

    follower->release();
    QCOMPARE(sync->takeSnapshots(folder, now.addSecs(1)).size(), 1);
}

void TstPlayerSync::snapshotNames_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<qint64>("posMs");
    QTest::addColumn<int>("camera");
    QTest::addColumn<QString>("name");
    QTest::newRow("main") << "0001_F" << qint64(0) << 1 << "20241231235958_0001_F_0-1.jpg";
    QTest::newRow("second") << "a b" << qint64(61000) << 2 << "20241231235958_a b_61000-2.jpg";
}

void TstPlayerSync::snapshotNames()
{
    QFETCH(QString, base);
    QFETCH(qint64, posMs);
    QFETCH(int, camera);
    QFETCH(QString, name);
    const QDateTime now(QDate(2024, 12, 31), QTime(23, 59, 58));
    QCOMPARE(PlayerSync::snapshotFileName(now, base, posMs, camera), name);
}

TALVEX_TEST_MAIN(TstPlayerSync)
#include "tst_playersync.moc"

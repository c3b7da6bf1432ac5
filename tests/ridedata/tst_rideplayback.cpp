// Position and play state of the ride playback: the tick sequence, steps, slider and stop.
#include "rideplayback.h"
#include "testsupport.h"

using Timer = RidePlayback::Timer;

class TstRidePlayback : public QObject
{
    Q_OBJECT

private slots:
    void threePointRidePlaysAndRewinds();
    void sliderValueRoundsUpToAPoint_data();
    void sliderValueRoundsUpToAPoint();
    void sliderUseFollowsQuickly();
    void chartClickAtHalfOfARide();
    void stepBackAtStartStaysAtStart();
    void stepForwardPastTheEndRewinds();
    void playPressedWithinTheTickAfterPauseIsIgnored();
    void nothingWithoutAFile();
    void stopEndsTheTicks();
};

void TstRidePlayback::threePointRidePlaysAndRewinds()
{
    RidePlayback p;
    p.load(3, 15);
    RidePlayback::Tick t = p.tick(); // the selection shows point 0
    QCOMPARE(t.point, 0);
    QCOMPARE(t.position, 0);
    QCOMPARE(t.timer, Timer::Keep);
    QCOMPARE(p.play(), RidePlayback::PlayAction::Started);
    const int expectedPoints[] = {0, 1, 2};
    const int expectedPositions[] = {5, 10, 15};
    for (int i = 0; i < 3; ++i) {
        t = p.tick();
        QCOMPARE(t.point, expectedPoints[i]);
        QCOMPARE(t.position, expectedPositions[i]);
        QCOMPARE(t.percent, expectedPositions[i] * 100.0f / 15);
        QCOMPARE(t.timer, Timer::Restart1000);
    }
    t = p.tick(); // past the end: back to the start, paused
    QCOMPARE(t.point, 0);
    QCOMPARE(t.position, 0);
    QCOMPARE(p.state(), int(RidePlayback::Paused));
    QCOMPARE(t.timer, Timer::Keep);
    QVERIFY(!p.armed());
}

void TstRidePlayback::sliderValueRoundsUpToAPoint_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("position");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("7") << 7 << 10;
    QTest::newRow("10") << 10 << 10;
    QTest::newRow("11") << 11 << 15;
}

void TstRidePlayback::sliderValueRoundsUpToAPoint()
{
    QFETCH(int, value);
    QFETCH(int, position);
    RidePlayback p;
    p.load(10, 50);
    p.setSliderValue(value);
    QCOMPARE(p.position(), position);
}

void TstRidePlayback::sliderUseFollowsQuickly()
{
    RidePlayback p;
    p.load(10, 50);
    QCOMPARE(p.sliderMoved(), Timer::Restart50);
    QCOMPARE(p.state(), int(RidePlayback::Paused));
}

void TstRidePlayback::chartClickAtHalfOfARide()
{
    RidePlayback p;
    p.load(120, 600);
    const int slider = p.sliderValueForPercent(50.0f);
    QCOMPARE(slider, 300);
    p.setSliderValue(slider);
    QCOMPARE(p.tick().point, 60);
    QCOMPARE(p.position(), 300);
}

void TstRidePlayback::stepBackAtStartStaysAtStart()
{
    RidePlayback p;
    p.load(3, 15);
    QVERIFY(p.stepBack());
    const RidePlayback::Tick t = p.tick();
    QCOMPARE(p.position(), 0);
    QCOMPARE(t.point, 0);
}

void TstRidePlayback::stepForwardPastTheEndRewinds()
{
    RidePlayback p;
    p.load(2, 10);
    p.stepForward();
    QCOMPARE(p.tick().point, 1);
    p.stepForward();
    const RidePlayback::Tick t = p.tick();
    QCOMPARE(t.point, 0);
    QCOMPARE(t.position, 0);
    QCOMPARE(p.state(), int(RidePlayback::Paused));
}

void TstRidePlayback::playPressedWithinTheTickAfterPauseIsIgnored()
{
    RidePlayback p;
    p.load(5, 25);
    QCOMPARE(p.play(), RidePlayback::PlayAction::Started);
    p.tick();
    QCOMPARE(p.play(), RidePlayback::PlayAction::Paused);
    QCOMPARE(p.play(), RidePlayback::PlayAction::Ignored); // still armed
    p.tick();                                              // the tick disarms
    QVERIFY(!p.armed());
    QCOMPARE(p.play(), RidePlayback::PlayAction::Started);
}

void TstRidePlayback::nothingWithoutAFile()
{
    RidePlayback p;
    QCOMPARE(p.play(), RidePlayback::PlayAction::Ignored);
    QVERIFY(!p.stepForward());
    QVERIFY(!p.stepBack());
    QVERIFY(!p.stop());
    QCOMPARE(p.tick().timer, Timer::Stop);
}

void TstRidePlayback::stopEndsTheTicks()
{
    RidePlayback p;
    p.load(5, 25);
    p.play();
    p.tick();
    QVERIFY(p.stop());
    p.clearPoints();
    QVERIFY(!p.hasFile());
    QCOMPARE(p.position(), 0);
    QCOMPARE(p.tick().timer, Timer::Stop);
}

TALVEX_TEST_MAIN(TstRidePlayback)
#include "tst_rideplayback.moc"

// The busy spinner turns while running and keeps still when stopped.
#include "processwait.h"

#include "skinicon.h"
#include "testsupport.h"

class TstProcessWait : public QObject
{
    Q_OBJECT
private slots:
    void isFiftyPixelsSquare();
    void turnsOnlyWhileRunning();
    void drawsTheSkinImageTurned();
};

void TstProcessWait::isFiftyPixelsSquare()
{
    ProcessWait wait;
    QCOMPARE(wait.size(), QSize(50, 50));
    QVERIFY(!wait.isRunning());
}

void TstProcessWait::turnsOnlyWhileRunning()
{
    ProcessWait wait;
    wait.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wait));
    const int start = wait.angle();
    wait.setRunning(true);
    QVERIFY(wait.isRunning());
    QTRY_VERIFY(wait.angle() != start);
    wait.setRunning(false);
    QVERIFY(!wait.isRunning());
    const int stoppedAt = wait.angle();
    QTest::qWait(200);
    QCOMPARE(wait.angle(), stoppedAt);
    QVERIFY(stoppedAt >= 0 && stoppedAt < 360);
}

void TstProcessWait::drawsTheSkinImageTurned()
{
    if (skinImageFile(QStringLiteral("pw_loading")).isEmpty())
        QSKIP("the skin has no pw_loading image yet");
    ProcessWait wait;
    wait.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wait));
    const QImage first = wait.grab().toImage();
    wait.setRunning(true);
    const int start = wait.angle();
    QTRY_VERIFY(wait.angle() != start && wait.angle() % 90 != 0);
    wait.setRunning(false);
    const QImage turned = wait.grab().toImage();
    QVERIFY(first != turned);
    TestSupport::saveScreenshot(&wait, QStringLiteral("processwait"));
}

TALVEX_TEST_MAIN(TstProcessWait)
#include "tst_processwait.moc"

// The frame reports double clicks and keeps them; presses still reach its parent.
#include "framecustomized.h"

#include "testsupport.h"

#include <QMouseEvent>

namespace {

class ParentCounter : public QWidget
{
public:
    int presses = 0;
    int doubleClicks = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
    void mouseDoubleClickEvent(QMouseEvent *) override { ++doubleClicks; }
};

} // namespace

class TstFrameCustomized : public QObject
{
    Q_OBJECT
private slots:
    void doubleClickIsReportedAndStops();
    void pressesReachTheParent();
};

void TstFrameCustomized::doubleClickIsReportedAndStops()
{
    ParentCounter parent;
    parent.resize(200, 100);
    auto *frame = new FrameCustomized(&parent);
    frame->setGeometry(0, 0, 200, 50);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy doubleClicked(frame, &FrameCustomized::doubleClicked);
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(100, 25));
    QCOMPARE(doubleClicked.size(), 1);
    QCOMPARE(parent.doubleClicks, 0);
}

void TstFrameCustomized::pressesReachTheParent()
{
    ParentCounter parent;
    parent.resize(200, 100);
    auto *frame = new FrameCustomized(&parent);
    frame->setGeometry(0, 0, 200, 50);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy doubleClicked(frame, &FrameCustomized::doubleClicked);
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(100, 25));
    QCOMPARE(parent.presses, 1);
    QVERIFY(doubleClicked.isEmpty());
}

TALVEX_TEST_MAIN(TstFrameCustomized)
#include "tst_framecustomized.moc"

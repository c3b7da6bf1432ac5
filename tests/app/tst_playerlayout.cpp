#include "playerlayout.h"
#include "testsupport.h"

#include <QApplication>

class TstPlayerLayout : public QObject
{
    Q_OBJECT
private:
    const QRect area_{10, 20, 1280, 720};

private slots:
    void singleViewFillsTheArea()
    {
        const PlayerLayout layout = PlayerLayout::compute(area_, 0, true, 1, 3);
        QCOMPARE(layout.mainView, area_);
        QVERIFY(layout.secondView.isEmpty());
    }

    void dualViewSplitsSideBySide()
    {
        const PlayerLayout layout = PlayerLayout::compute(area_, 1, false, 0, 7);
        QCOMPARE(layout.mainView.width() + layout.secondView.width(), area_.width());
        QCOMPARE(layout.mainView.right() + 1, layout.secondView.left());
        QCOMPARE(layout.mainView.height(), area_.height());
    }

    void pipLocations_data()
    {
        QTest::addColumn<int>("location");
        QTest::addColumn<int>("column"); // 0 left, 1 centre, 2 right
        QTest::addColumn<int>("row");    // 0 top, 1 middle, 2 bottom
        QTest::newRow("top") << 0 << 1 << 0;
        QTest::newRow("bottom") << 1 << 1 << 2;
        QTest::newRow("left") << 2 << 0 << 1;
        QTest::newRow("left_top") << 3 << 0 << 0;
        QTest::newRow("left_bottom") << 4 << 0 << 2;
        QTest::newRow("right") << 5 << 2 << 1;
        QTest::newRow("right_top") << 6 << 2 << 0;
        QTest::newRow("right_bottom") << 7 << 2 << 2;
    }
    void pipLocations()
    {
        QFETCH(int, location);
        QFETCH(int, column);
        QFETCH(int, row);
        const PlayerLayout layout = PlayerLayout::compute(area_, 1, true, 0, location);
        QCOMPARE(layout.mainView, area_);
        QVERIFY(layout.secondOnTop);
        const QRect small = layout.secondView;
        QVERIFY(area_.contains(small));
        QCOMPARE(small.width(), area_.width() / 4);
        const int thirdW = area_.width() / 3;
        const int thirdH = area_.height() / 3;
        QCOMPARE((small.center().x() - area_.left()) / thirdW, column);
        QCOMPARE((small.center().y() - area_.top()) / thirdH, row);
    }

    void swapPutsTheSecondCameraInTheBigPicture()
    {
        const PlayerLayout layout = PlayerLayout::compute(area_, 1, true, 1, 7);
        QCOMPARE(layout.secondView, area_);
        QVERIFY(!layout.secondOnTop);
        QVERIFY(area_.contains(layout.mainView));
        QVERIFY(layout.mainView.width() < area_.width());
    }
};

TALVEX_TEST_MAIN(TstPlayerLayout)
#include "tst_playerlayout.moc"

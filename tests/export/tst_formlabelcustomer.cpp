#include "formlabelcustomer.h"
#include "labelzones.h"
#include "testsupport.h"

#include <QApplication>
#include <QMouseEvent>

namespace {

// Counts the presses that reach it through its children.
class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

void press(QWidget *w, Qt::MouseButton button, const QPoint &pos)
{
    QMouseEvent event(QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void move(QWidget *w, const QPoint &pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TstFormLabelCustomer : public QObject
{
    Q_OBJECT
private slots:
    void zonesAndCursors_data()
    {
        // A 100 x 80 label: handles at x 7, 47, 87 and y 7, 37, 67.
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("cursor");
        QTest::newRow("2 px inside top-left") << QPoint(9, 9) << 2 << int(Qt::SizeFDiagCursor);
        QTest::newRow("band above bottom-left") << QPoint(8, 63) << 3 << int(Qt::SizeBDiagCursor);
        QTest::newRow("inside bottom-left square") << QPoint(8, 70) << 1 << int(Qt::SizeAllCursor);
        QTest::newRow("top-right") << QPoint(85, 9) << 3 << int(Qt::SizeBDiagCursor);
        QTest::newRow("bottom-right") << QPoint(85, 65) << 2 << int(Qt::SizeFDiagCursor);
        QTest::newRow("top middle") << QPoint(50, 9) << 4 << int(Qt::SizeVerCursor);
        QTest::newRow("bottom middle") << QPoint(50, 64) << 4 << int(Qt::SizeVerCursor);
        QTest::newRow("left middle") << QPoint(9, 40) << 5 << int(Qt::SizeHorCursor);
        QTest::newRow("right middle") << QPoint(85, 40) << 5 << int(Qt::SizeHorCursor);
        QTest::newRow("inside") << QPoint(50, 40) << 0 << int(Qt::ArrowCursor);
        QTest::newRow("outside") << QPoint(3, 3) << 1 << int(Qt::SizeAllCursor);
        QTest::newRow("beyond right edge") << QPoint(88, 40) << 1 << int(Qt::SizeAllCursor);
    }
    void zonesAndCursors()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, zone);
        QFETCH(int, cursor);
        const LabelZones::Hit hit =
            LabelZones::hitTest(pos, LabelZones::handleCorners(QSize(100, 80)));
        QCOMPARE(hit.zone, zone);
        QCOMPARE(int(hit.cursor), cursor);
    }

    void smallLabelFirstHandleWins()
    {
        // 20 x 20: every handle overlaps the top-left one's area.
        const LabelZones::Hit hit =
            LabelZones::hitTest(QPoint(7, 7), LabelZones::handleCorners(QSize(20, 20)));
        QCOMPARE(hit.zone, 2);
    }

    void selectingClickShowsFrameAndStaysThere()
    {
        PressCounter view;
        view.resize(300, 200);
        auto *label = new FormLabelCustomer(&view);
        label->setStyleSheet(QStringLiteral("QLabel{background-color:#00000000}"));
        label->setGeometry(20, 20, 100, 80);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        move(label, QPoint(9, 9));
        QCOMPARE(label->zone(), 0); // not selected: moves change nothing
        QCOMPARE(label->cursor().shape(), Qt::ArrowCursor);

        press(label, Qt::LeftButton, QPoint(50, 40));
        QCOMPARE(label->selected(), 1);
        QCOMPARE(view.presses, 0);
        QVERIFY(label->hasMouseTracking());
        const QImage framed = label->grab().toImage();
        const QColor line = framed.pixelColor(10, 20); // antialiased: part covered
        QVERIFY(line.alpha() > 100);
        QVERIFY(qAbs(line.red() - 0xF3) <= 2 && qAbs(line.green() - 0x98) <= 2 && line.blue() <= 2);
        TestSupport::saveScreenshot(label, QStringLiteral("overlay-label-selected"));

        move(label, QPoint(9, 9));
        QCOMPARE(label->zone(), 2);
        QCOMPARE(label->cursor().shape(), Qt::SizeFDiagCursor);
        press(label, Qt::LeftButton, QPoint(9, 9));
        QCOMPARE(label->selected(), 1); // a click on a handle changes nothing

        move(label, QPoint(50, 40));
        press(label, Qt::LeftButton, QPoint(50, 40));
        QCOMPARE(label->selected(), 0);
        QCOMPARE(view.presses, 1); // a deselecting click goes on to the view
    }

    void rightClickDeselectsFromAnyZone()
    {
        FormLabelCustomer label;
        label.resize(100, 80);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        press(&label, Qt::LeftButton, QPoint(50, 40));
        label.grab();
        move(&label, QPoint(3, 3));
        QCOMPARE(label.zone(), 1);
        press(&label, Qt::RightButton, QPoint(3, 3));
        QCOMPARE(label.selected(), 0);
        QVERIFY(!label.hasMouseTracking());
    }
};

TALVEX_TEST_MAIN(TstFormLabelCustomer)
#include "tst_formlabelcustomer.moc"

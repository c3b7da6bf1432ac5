// File > Add Video's folder tree under the mouse, clicked through the X server (XTest) as a user
// clicks: folding a folder keeps the tree where it is scrolled, and a press on an arrow that ends
// on another row leaves the next click on a folder its due.
#include "choosertest.h"
#include "mainwindowtest.h"
#include "xtestinput.h"

#include <QScrollBar>
#include <QTemporaryDir>

using namespace ChooserTest;

class TstChooserMouse : public QObject
{
    Q_OBJECT

private slots:
    void foldingKeepsThePlaceAndTheNextClickCounts();
};

void TstChooserMouse::foldingKeepsThePlaceAndTheNextClickCounts()
{
    XTestInput input;
    if (!input.isReady())
        QSKIP("no X server with XTest");
    QTemporaryDir dir;
    const QDir trip(dir.path());
    for (int i = 0; i < 30; ++i) {
        const QString folder = QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0'));
        QVERIFY(trip.mkpath(folder + QStringLiteral("/inner")));
        TestSupport::writeFile(trip.filePath(folder + QStringLiteral("/clip%1.mp4").arg(i)), "");
    }
    gFileDialogPath = dir.path();
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    MainWindowTest::action(w, "actionAdd_Video")->trigger();
    QPointer<FileDialog_C> chooser = openChooser();
    QVERIFY(chooser);
    QVERIFY(QTest::qWaitForWindowExposed(chooser));
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    clickTreeRow(tree, chooser->selectedTreeRow(), true);
    const auto rowOf = [tree](int i) {
        return treeRowNamed(tree, QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0')));
    };
    const auto pointOf = [tree](int row, bool onArrow) {
        const QRect rect = tree->visualRect(tree->model()->index(row, 0));
        return QPoint(rect.x() + tree->itemAt(row)->indent + (onArrow ? 10 : 80),
                      rect.center().y());
    };
    const auto isOpen = [tree](int row) { return tree->itemAt(row + 1)->name == "inner"; };
    tree->scrollTo(tree->model()->index(rowOf(27), 0), QAbstractItemView::PositionAtCenter);
    const int scrolled = tree->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    // each press a click of its own, not the second of a double click
    const auto nextClick = [] { QTest::qWait(QApplication::doubleClickInterval() + 100); };
    input.click(tree->viewport(), pointOf(rowOf(27), true));
    QTRY_VERIFY(isOpen(rowOf(27)));
    nextClick();
    input.click(tree->viewport(), pointOf(rowOf(27), true));
    QTRY_VERIFY(!isOpen(rowOf(27)));
    QCOMPARE(tree->verticalScrollBar()->value(), scrolled);
    QVERIFY(tree->viewport()->rect().contains(pointOf(rowOf(27), false)));

    // pressed on the arrow, released on another row: that press makes no click
    nextClick();
    input.drag(tree->viewport(), pointOf(rowOf(27), true), pointOf(rowOf(25), false));
    QTRY_VERIFY(isOpen(rowOf(27)));
    QVERIFY(settle(chooser));
    nextClick();
    input.click(tree->viewport(), pointOf(rowOf(26), false));
    QTRY_COMPARE(chooser->currentFolder(), trip.filePath(QStringLiteral("f26")));
    auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    QTRY_COMPARE(files->rowCount(), 1);
    QCOMPARE(files->item(0, 0)->text(), QStringLiteral("clip26.mp4"));
    chooser->close();
}

TALVEX_TEST_MAIN(TstChooserMouse)
#include "tst_choosermouse.moc"

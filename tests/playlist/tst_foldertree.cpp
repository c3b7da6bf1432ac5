// Folder tree mechanism of the chooser: model roles, row painter geometry, expander presses,
// path location under the root rows, and the chooser's file filter.
#include "filedialogfiles.h"
#include "foldertreedelegate.h"
#include "foldertreemodel.h"
#include "foldertreepaths.h"
#include "foldertreeview.h"
#include "testsupport.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

std::unique_ptr<FileListItem> makeItem(const QString &name, int level,
                                       const QString &expander = QString(),
                                       const QString &folder = QString())
{
    auto item = std::make_unique<FileListItem>();
    item->name = name;
    item->indent = level * 32;
    item->expanderImage = expander;
    item->folderIcon = folder;
    return item;
}

bool writeSolidImage(const QString &path, const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image.save(path);
}

// Leftmost column at or right of fromX in row y whose pixel is not the background.
int firstInkX(const QImage &image, int fromX, int y, QRgb background)
{
    for (int x = fromX; x < image.width(); ++x) {
        if (image.pixel(x, y) != background)
            return x;
    }
    return -1;
}

// Reaches an index past the last row, as a stale view might hold.
struct IndexingModel : FileListModel
{
    using FileListModel::createIndex;
};

} // namespace

class TstFolderTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void dataRoles_data();
    void dataRoles();
    void invalidRoleAndRowGiveNoValue();
    void expanderPressRoleEmitsClickEvent();
    void insertKeepsOrderAndIgnoresNull();
    void viewNeverRemovesRowZero();
    void viewInsertOnlyBeforeExistingRows();

    void painterPlacesArrowIconAndText_data();
    void painterPlacesArrowIconAndText();
    void pressOnArrowSquareOnly_data();
    void pressOnArrowSquareOnly();

    void locateUnderDeepestRoot_data();
    void locateUnderDeepestRoot();

    void listedNames_data();
    void listedNames();
    void rowsShowWholeMiBAndTime();

private:
    QTemporaryDir dir;
    QString arrowPath;
    QString folderPath;
};

void TstFolderTree::initTestCase()
{
    QVERIFY(dir.isValid());
    arrowPath = dir.filePath(QStringLiteral("arrow.png"));
    folderPath = dir.filePath(QStringLiteral("folder.png"));
    QVERIFY(writeSolidImage(arrowPath, QSize(20, 20), Qt::red));
    QVERIFY(writeSolidImage(folderPath, QSize(27, 20), Qt::green));
}

void TstFolderTree::dataRoles_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("size hint: 12 px per character, 40 high")
        << int(Qt::SizeHintRole) << QVariant(QSize(120, 40));
    QTest::newRow("folder icon") << 257 << QVariant(QStringLiteral("folder"));
    QTest::newRow("expander") << 258 << QVariant(QStringLiteral("arrow"));
    QTest::newRow("indent") << 259 << QVariant(64);
    QTest::newRow("name") << 260 << QVariant(QStringLiteral("0123456789"));
    QTest::newRow("state") << 261 << QVariant(QStringLiteral("Select"));
}

void TstFolderTree::dataRoles()
{
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    FileListModel model;
    auto item = makeItem(QStringLiteral("0123456789"), 2, QStringLiteral("arrow"),
                         QStringLiteral("folder"));
    item->state = QStringLiteral("Select");
    model.appendItem(std::move(item));
    QCOMPARE(model.data(model.index(0), role), expected);
}

void TstFolderTree::invalidRoleAndRowGiveNoValue()
{
    IndexingModel model;
    model.appendItem(makeItem(QStringLiteral("a"), 0));
    QVERIFY(!model.data(model.index(0), 14).isValid());
    QVERIFY(!model.data(model.index(0), Qt::DisplayRole).isValid());
    QVERIFY(!model.data(model.createIndex(1, 0), 260).isValid());
    QVERIFY(!model.itemAt(1));
    QVERIFY(!model.itemAt(-1));
}

void TstFolderTree::expanderPressRoleEmitsClickEvent()
{
    FileListModel model;
    model.appendItem(makeItem(QStringLiteral("a"), 0));
    QSignalSpy clicks(&model, &FileListModel::clickEvent);
    QVERIFY(!model.setData(model.index(0), true, 260));
    QVERIFY(!model.setData(QModelIndex(), true, 263));
    QCOMPARE(clicks.count(), 0);
    QVERIFY(model.setData(model.index(0), false, 263));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toModelIndex().row(), 0);
    QCOMPARE(model.itemAt(0)->name, QStringLiteral("a"));
}

void TstFolderTree::insertKeepsOrderAndIgnoresNull()
{
    FileListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.appendItem(makeItem(QStringLiteral("a"), 0));
    model.appendItem(makeItem(QStringLiteral("c"), 0));
    model.insertItem(1, makeItem(QStringLiteral("b"), 1));
    model.appendItem(nullptr);
    model.insertItem(0, nullptr);
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.itemAt(1)->name, QStringLiteral("b"));
    model.removeItem(1);
    model.removeItem(7);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.itemAt(1)->name, QStringLiteral("c"));
}

void TstFolderTree::viewNeverRemovesRowZero()
{
    FileListView_C view;
    view.removeRow(0);
    view.appendItem(makeItem(QStringLiteral("root"), 0));
    view.appendItem(makeItem(QStringLiteral("child"), 1));
    view.setCurrentIndex(view.model()->index(1, 0));
    view.removeRow(0);
    QCOMPARE(view.count(), 2);
    view.removeRow(1);
    QCOMPARE(view.count(), 1);
    QCOMPARE(view.currentIndex().row(), 0);
    QCOMPARE(view.itemAt(0)->name, QStringLiteral("root"));
}

void TstFolderTree::viewInsertOnlyBeforeExistingRows()
{
    FileListView_C view;
    QVERIFY(!view.itemAt(0));
    view.insertItem(0, makeItem(QStringLiteral("lost"), 0));
    QCOMPARE(view.count(), 0);
    view.appendItem(makeItem(QStringLiteral("root"), 0));
    view.insertItem(1, makeItem(QStringLiteral("past the end"), 1));
    QCOMPARE(view.count(), 1);
    view.insertItem(0, makeItem(QStringLiteral("first"), 0));
    QCOMPARE(view.itemAt(0)->name, QStringLiteral("first"));
}

void TstFolderTree::painterPlacesArrowIconAndText_data()
{
    QTest::addColumn<int>("level");
    QTest::newRow("top row") << 0;
    QTest::newRow("level 2") << 2;
}

void TstFolderTree::painterPlacesArrowIconAndText()
{
    QFETCH(int, level);
    FileListModel model;
    model.appendItem(makeItem(QStringLiteral("WWWW"), level, arrowPath, folderPath));
    model.itemAt(0)->state = QStringLiteral("Select");

    const QRgb background = qRgb(0, 0, 0);
    QImage image(400, 40, QImage::Format_RGB32);
    image.fill(background);
    ListItemDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 400, 40);
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0));
    }
    const int left = level * 32;
    // arrow 20 x 20 from (indent, h/2 - 10), folder 27 x 20 from indent + 27, text from indent + 64
    QCOMPARE(firstInkX(image, 0, 20, background), left);
    QCOMPARE(image.pixel(left + 19, 10), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(left + 10, 9), background);
    QCOMPARE(image.pixel(left + 27, 20), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(left + 53, 29), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(left + 53, 30), background);
    const int textX = firstInkX(image, left + 54, 20, background);
    QVERIFY2(textX >= left + 64 && textX < left + 70, qPrintable(QString::number(textX)));
    int brightest = 0;
    for (int x = textX; x < textX + 40; ++x) {
        for (int y = 10; y < 30; ++y)
            brightest = qMax(brightest, QColor(image.pixel(x, y)).lightness());
    }
    QVERIFY2(brightest > 200, "the selected row's name is drawn white");
}

void TstFolderTree::pressOnArrowSquareOnly_data()
{
    QTest::addColumn<QPoint>("offset"); // from the arrow's left edge, row centre
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("expanderPress");
    QTest::newRow("on the arrow") << QPoint(10, 0) << int(Qt::LeftButton) << true;
    QTest::newRow("15 px right of the arrow's left edge")
        << QPoint(15, 0) << int(Qt::LeftButton) << true;
    QTest::newRow("past the arrow, inside the square")
        << QPoint(28, 0) << int(Qt::LeftButton) << true;
    QTest::newRow("square's right edge") << QPoint(31, 15) << int(Qt::LeftButton) << true;
    QTest::newRow("square's top edge") << QPoint(5, -16) << int(Qt::LeftButton) << true;
    QTest::newRow("above the square") << QPoint(5, -17) << int(Qt::LeftButton) << false;
    QTest::newRow("on the folder icon") << QPoint(45, 0) << int(Qt::LeftButton) << false;
    QTest::newRow("right button on the arrow") << QPoint(10, 0) << int(Qt::RightButton) << false;
}

void TstFolderTree::pressOnArrowSquareOnly()
{
    QFETCH(QPoint, offset);
    QFETCH(int, button);
    QFETCH(bool, expanderPress);
    FileListModel model;
    model.appendItem(makeItem(QStringLiteral("folder"), 2, arrowPath, folderPath));
    QSignalSpy clicks(&model, &FileListModel::clickEvent);
    ListItemDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(10, 100, 380, 40);
    const QPoint pos = QPoint(10 + 64, 120) + offset;
    QMouseEvent press(QEvent::MouseButtonPress, pos, Qt::MouseButton(button),
                      Qt::MouseButton(button), Qt::NoModifier);
    delegate.editorEvent(&press, &model, option, model.index(0));
    QCOMPARE(clicks.count(), expanderPress ? 1 : 0);

    QMouseEvent release(QEvent::MouseButtonRelease, QPoint(10 + 64 + 10, 120), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QVERIFY(!delegate.editorEvent(&release, &model, option, model.index(0)));
    QCOMPARE(clicks.count(), expanderPress ? 1 : 0);
}

void TstFolderTree::locateUnderDeepestRoot_data()
{
    const QStringList roots{QStringLiteral("/home/u/Desktop/"), QStringLiteral("/home/u/"),
                            QStringLiteral("/"), QStringLiteral("/media/u/CARD/")};
    QTest::addColumn<QStringList>("roots");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("root");
    QTest::addColumn<QStringList>("components");
    QTest::newRow("desktop itself")
        << roots << QStringLiteral("/home/u/Desktop") << 0 << QStringList();
    QTest::newRow("desktop sub-folder")
        << roots << QStringLiteral("/home/u/Desktop/Clips/2024") << 0
        << QStringList{QStringLiteral("Clips"), QStringLiteral("2024")};
    QTest::newRow("home, not a desktop look-alike")
        << roots << QStringLiteral("/home/u/Desktop2/x") << 1
        << QStringList{QStringLiteral("Desktop2"), QStringLiteral("x")};
    QTest::newRow("home root with slash")
        << roots << QStringLiteral("/home/u/") << 1 << QStringList();
    QTest::newRow("two letters below a root")
        << roots << QStringLiteral("/home/u/ab") << 1 << QStringList{QStringLiteral("ab")};
    QTest::newRow("card beats /") << roots << QStringLiteral("/media/u/CARD/DCIM/") << 3
                                  << QStringList{QStringLiteral("DCIM")};
    QTest::newRow("prefix of a card name is not the card")
        << roots << QStringLiteral("/media/u/CARD2") << 2
        << QStringList{QStringLiteral("media"), QStringLiteral("u"), QStringLiteral("CARD2")};
    QTest::newRow("dots are resolved")
        << roots << QStringLiteral("/home/u/a/../b") << 1 << QStringList{QStringLiteral("b")};
    QTest::newRow("relative path has no root")
        << roots << QStringLiteral("home/u") << -1 << QStringList();
    QTest::newRow("empty") << roots << QString() << -1 << QStringList();
}

void TstFolderTree::locateUnderDeepestRoot()
{
    QFETCH(QStringList, roots);
    QFETCH(QString, path);
    QFETCH(int, root);
    QFETCH(QStringList, components);
    const FolderTreePaths::Location location = FolderTreePaths::locate(roots, path);
    QCOMPARE(location.root, root);
    QCOMPARE(location.components, components);
}

void TstFolderTree::listedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listed");
    QTest::newRow("front clip") << QStringLiteral("0001_F.MP4") << true;
    QTest::newRow("lower case mov") << QStringLiteral("a.mov") << true;
    QTest::newRow("mixed case extension") << QStringLiteral("clip.Mp4") << false;
    QTest::newRow("extension inside the name") << QStringLiteral("notes.mp4.txt") << true;
    QTest::newRow("transport stream") << QStringLiteral("x.ts") << true;
    QTest::newRow("mkv") << QStringLiteral("x.mkv") << false;
    QTest::newRow("program file") << QStringLiteral("ffmpeg.exe.mp4") << false;
    QTest::newRow("library") << QStringLiteral("codec.dll.avi") << false;
}

void TstFolderTree::listedNames()
{
    QFETCH(QString, name);
    QFETCH(bool, listed);
    QCOMPARE(FileDialogFiles::isListedName(name), listed);
}

void TstFolderTree::rowsShowWholeMiBAndTime()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString clip = folder.filePath(QStringLiteral("b_clip.mp4"));
    QVERIFY(TestSupport::makeClip(clip, 1.0));
    QFile big(folder.filePath(QStringLiteral("a_big.MOV")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(5 * 1048576 / 2));
    big.close();
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("c_folder.mp4")));
    QFile skipped(folder.filePath(QStringLiteral("d.Mp4")));
    QVERIFY(skipped.open(QIODevice::WriteOnly));
    skipped.close();

    const QVector<FileDialogFiles::Row> rows = FileDialogFiles::videoRows(folder.path());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).name, QStringLiteral("a_big.MOV"));
    QCOMPARE(rows.at(0).sizeMiB, QStringLiteral("2"));
    QCOMPARE(rows.at(1).name, QStringLiteral("b_clip.mp4"));
    QCOMPARE(rows.at(1).sizeMiB, QStringLiteral("0"));
    const QFileInfo info(clip);
    const QDateTime expected = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    QCOMPARE(rows.at(1).created, expected.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    QVERIFY(FileDialogFiles::videoRows(folder.filePath(QStringLiteral("missing"))).isEmpty());
}

TALVEX_TEST_MAIN(TstFolderTree)
#include "tst_foldertree.moc"

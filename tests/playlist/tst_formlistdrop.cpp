// Files dropped on the play list and files chosen through "Add Video": the video filter, the
// partner files added beside them and the files already listed.
#include "dropfilter.h"
#include "formlist.h"
#include "testsupport.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Drops reach a widget through the drag manager only; the test hands them over directly.
class DropTarget : public FormList
{
public:
    using FormList::dropEvent;
};
} // namespace

class TstFormListDrop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void dropKeepsVideosWithPartners_data();
    void dropKeepsVideosWithPartners();
    void dropOnTheListEmitsFiles();
    void dragNeedsUriList();
    void addVideoDropsListedFiles();
    void droppedListedFileIsNotListedTwice();

private:
    QString file(const QString &name) const { return dir.filePath(name); }
    QList<QUrl> urls(const QStringList &names) const;

    QTemporaryDir dir;
};

void TstFormListDrop::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("My_Files")));
    for (const char *name :
         {"0001_F.MP4", "0001_R.MP4", "0002_R.MP4", "0002_L.MP4", "0003_R.MP4", "0004_FRONT.MP4",
          "0004_REAR.MP4", "0005_f.mp4", "0005_R.mp4", "notes.mp4.txt", "clip.MKV", "plain.mov",
          "My_Files/0006_F.MP4", "My_Files/0006_R.MP4", "a #1 100%_F.mp4", "a #1 100%_R.mp4",
          "0007_L.MP4", "0007_R.MP4", "0007_F.MP4"}) {
        QFile f(file(QString::fromUtf8(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
}

QList<QUrl> TstFormListDrop::urls(const QStringList &names) const
{
    QList<QUrl> list;
    for (const QString &name : names)
        list << QUrl::fromLocalFile(file(name));
    return list;
}

void TstFormListDrop::dropKeepsVideosWithPartners_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("front and rear together: each once, front first")
        << QStringList{"0001_R.MP4", "0001_F.MP4"} << QStringList{"0001_F.MP4", "0001_R.MP4"};
    QTest::newRow("rear alone brings its front")
        << QStringList{"0001_R.MP4"} << QStringList{"0001_F.MP4", "0001_R.MP4"};
    QTest::newRow("rear without front brings its left")
        << QStringList{"0002_R.MP4"} << QStringList{"0002_L.MP4", "0002_R.MP4"};
    QTest::newRow("rear without partner") << QStringList{"0003_R.MP4"} << QStringList{"0003_R.MP4"};
    QTest::newRow("tag without dot is no tag")
        << QStringList{"0004_FRONT.MP4"} << QStringList{"0004_FRONT.MP4"};
    QTest::newRow("lower-case tag pairs only with lower case")
        << QStringList{"0005_f.mp4"} << QStringList{"0005_f.mp4"};
    QTest::newRow("folder names are no tags")
        << QStringList{"My_Files/0006_F.MP4"}
        << QStringList{"My_Files/0006_F.MP4", "My_Files/0006_R.MP4"};
    QTest::newRow("extension anywhere in the path")
        << QStringList{"notes.mp4.txt", "clip.MKV"} << QStringList{"notes.mp4.txt"};
    QTest::newRow("untagged file alone")
        << QStringList{"plain.mov", "0003_R.MP4"} << QStringList{"0003_R.MP4", "plain.mov"};
    QTest::newRow("# and % survive")
        << QStringList{"a #1 100%_F.mp4"} << QStringList{"a #1 100%_F.mp4", "a #1 100%_R.mp4"};
    QTest::newRow("three cameras: no file twice")
        << QStringList{"0007_L.MP4", "0007_R.MP4", "0007_F.MP4"}
        << QStringList{"0007_F.MP4", "0007_L.MP4", "0007_R.MP4"};
}

void TstFormListDrop::dropKeepsVideosWithPartners()
{
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, opened);
    QList<QUrl> input = urls(dropped);
    input << QUrl(QStringLiteral("http://127.0.0.1/remote_F.mp4"));
    const QList<QUrl> result = DropFilter::filesToOpen(input);
    QCOMPARE(result, urls(opened));
    for (const QUrl &url : result)
        QVERIFY(QFileInfo::exists(url.toLocalFile()));
}

void TstFormListDrop::dropOnTheListEmitsFiles()
{
    DropTarget list;
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy media(&list, &FormList::mediaFileTriggered);
    const auto drop = [&list](const QList<QUrl> &dropped) {
        QMimeData data;
        data.setUrls(dropped);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        list.dropEvent(&event);
    };
    drop(urls({"0001_F.MP4"}));
    QCOMPARE(media.size(), 1);
    QCOMPARE(media.first().first().value<QList<QUrl>>(), urls({"0001_F.MP4", "0001_R.MP4"}));
    drop(urls({"clip.MKV"})); // nothing left: nothing emitted
    drop({});
    QCOMPARE(media.size(), 1);
}

void TstFormListDrop::dragNeedsUriList()
{
    FormList list;
    QVERIFY(list.acceptDrops());
    QMimeData files;
    files.setUrls(urls({"0001_F.MP4"}));
    QDragEnterEvent withFiles(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    withFiles.setAccepted(false);
    QApplication::sendEvent(&list, &withFiles);
    QVERIFY(withFiles.isAccepted());
    QMimeData text;
    text.setText(QStringLiteral("0001_F.MP4"));
    QDragEnterEvent withText(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    withText.setAccepted(false);
    QApplication::sendEvent(&list, &withText);
    QVERIFY(!withText.isAccepted());
}

void TstFormListDrop::addVideoDropsListedFiles()
{
    FormList list;
    FileInfo_t listed;
    listed.fileName = QStringLiteral("0001_F.MP4");
    listed.filePath = file(listed.fileName);
    listed.resolution = QStringLiteral("0x0");
    list.onInsertList(listed);
    QSignalSpy media(&list, &FormList::mediaFileTriggered);
    list.onOpenFile(urls({"0001_F.MP4"}));
    list.onOpenFile({}); // the chooser's Cancel
    QCOMPARE(media.size(), 0);
    list.onOpenFile(urls({"0001_R.MP4", "0001_F.MP4", "plain.mov"}));
    QCOMPARE(media.size(), 1);
    QCOMPARE(media.first().first().value<QList<QUrl>>(), urls({"0001_R.MP4", "plain.mov"}));
}

void TstFormListDrop::droppedListedFileIsNotListedTwice()
{
    DropTarget list;
    FileInfo_t row;
    row.fileName = QStringLiteral("plain.mov");
    row.filePath = file(row.fileName);
    list.onInsertList(row);
    QSignalSpy media(&list, &FormList::mediaFileTriggered);
    QMimeData data;
    data.setUrls(urls({"plain.mov"}));
    QDropEvent event(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    list.dropEvent(&event);
    QCOMPARE(media.size(), 1); // a drop hands listed files on again
    list.onInsertList(row);    // ... and the player's answer adds no second row
    QCOMPARE(list.rowCount(), 1);
}

TALVEX_TEST_MAIN(TstFormListDrop)
#include "tst_formlistdrop.moc"

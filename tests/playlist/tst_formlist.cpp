// The play list widget in a real window, fed with rows the way the main camera's player answers.
#include "appglobals.h"
#include "formlist.h"
#include "listrows.h"
#include "testsupport.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using namespace ListRows;

namespace {
FileInfo_t fileRow(const QString &name, const QString &folder = QStringLiteral("/cards/a"),
                   const QString &resolution = QStringLiteral("1920x1080"))
{
    FileInfo_t info;
    info.mark = QStringLiteral("x");
    info.fileName = name;
    info.filePath = folder + QLatin1Char('/') + name;
    info.date = QStringLiteral("2024-03-07");
    info.size = QStringLiteral("100MB");
    info.duration = QStringLiteral("00:01:00");
    info.resolution = resolution;
    return info;
}
} // namespace

class TstFormList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void duplicatePathsAreIgnored_data();
    void duplicatePathsAreIgnored();
    void everyInsertedRowBecomesMain();
    void dateFormatChain();
    void doubleClickOnFileRow();
    void doubleClickOnGroupRow();
    void nextAndPreviousWithoutWrap();
    void nextAndPreviousNeedAPlayedPath();
    void hiddenRowsAreSkipped();
    void nextFileAfterClipEnd();
    void removalShiftsIndices_data();
    void removalShiftsIndices();
    void removingPlayingRowReleasesItsPlayer_data();
    void removingPlayingRowReleasesItsPlayer();
    void removalTellsRowsApartByPath();
    void rowsOfMultiCellSelectionCountOnce();
    void fiveFileGrouping();
    void groupingNeedsTwoPlainRows();
    void ungroupReturnsToGroupOne();
    void ungroupWhilePlaying();
    void removingGroupRemovesMembers();
    void groupsOfTwoCardsKeepTheirOwnRows();
    void fileNamedGroupIsAnOrdinaryRow();
    void groupTimeCheck_data();
    void groupTimeCheck();
    void secondCameraRowByLetterAndKey();
    void subGroupCheckOnRows();
    void missingRowsAnswerEmpty();
    void clearListResetsEverything();
    void resolutionWrittenOnce();
    void replacedFileShowsItsNewFigures_data();
    void replacedFileShowsItsNewFigures();
    void windowSizeColumns();
    void captionMinimumPerLanguage();
    void scrollingKeepsCaptionsInStep();
    void screenshots_data();
    void screenshots();

private:
    void add(const QStringList &names);
    void selectRows(const QList<int> &rows);
    QString text(int row, int column) const;
    QStringList marks() const;
    QStringList record();

    std::unique_ptr<FormList> list;
    QStringList events;
    int savedFormat = 0;
    int savedLanguage = 0;
    int savedDisplayMode = 1;
};

void TstFormList::initTestCase()
{
    savedFormat = gDateFormat;
    savedLanguage = gLanguage;
    savedDisplayMode = gDisplayMode;
}

void TstFormList::init()
{
    list = std::make_unique<FormList>();
    list->resize(600, 400);
    list->setLanguageFont();
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    events.clear();
    gDisplayMode = 1;
    // the main window's mark handler
    connect(list.get(), &FormList::onSubIndexMarkTriggered, list.get(), [this] {
        if (gDisplayMode == 1)
            list->setSubIndexMark();
        else
            list->clearSubIndexMark();
    });
}

void TstFormList::cleanup()
{
    list.reset();
    gDateFormat = savedFormat;
    gLanguage = savedLanguage;
    gDisplayMode = savedDisplayMode;
}

void TstFormList::add(const QStringList &names)
{
    for (const QString &name : names)
        list->onInsertList(fileRow(name));
}

void TstFormList::selectRows(const QList<int> &rows)
{
    QTableWidget *table = list->table();
    table->clearSelection();
    for (int row : rows)
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString TstFormList::text(int row, int column) const
{
    const QTableWidgetItem *item = list->table()->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

QStringList TstFormList::marks() const
{
    QStringList result;
    for (int row = 0; row < list->rowCount(); ++row)
        result << text(row, ColMark);
    return result;
}

// Names the list's signals into events as they are emitted.
QStringList TstFormList::record()
{
    FormList *l = list.get();
    connect(l, &FormList::removeListFile, this, [this] { events << "removeListFile"; });
    connect(l, &FormList::mediaFileTriggered, this, [this](QList<QUrl> urls) {
        QStringList names;
        for (const QUrl &url : urls)
            names << url.fileName();
        events << "media:" + names.join(',');
    });
    connect(l, &FormList::mediaGroupTriggered, this, [this](QVector<QUrl> urls, QVector<QTime>) {
        events << QStringLiteral("group:%1").arg(urls.size());
    });
    connect(l, &FormList::mediaGroupTriggeredSub, this, [this](QVector<QUrl> urls, QVector<QTime>) {
        events << QStringLiteral("groupSub:%1").arg(urls.size());
    });
    connect(l, &FormList::autoPlayTriggered, this, [this] { events << "autoPlay"; });
    connect(l, &FormList::groupStopPlay, this, [this] { events << "groupStopPlay"; });
    connect(l, &FormList::deleteListTriggered, this,
            [this](QList<QString> paths) { events << "delete:" + QStringList(paths).join(','); });
    connect(l, &FormList::onReleaseMedia, this, [this] { events << "releaseMedia"; });
    connect(l, &FormList::onReleaseMediaSub, this, [this] { events << "releaseMediaSub"; });
    connect(l, &FormList::stopMediaTriggerd, this, [this] { events << "stopMedia"; });
    connect(l, &FormList::subMediaTriggerd, this, [this] { events << "subMedia"; });
    connect(l, &FormList::updateResolutionTriggerd, this,
            [this](int row) { events << QStringLiteral("resolution:%1").arg(row); });
    return events;
}

void TstFormList::duplicatePathsAreIgnored_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("rows");
    QTest::newRow("same path") << "/cards/a/A.MP4" << 1;
    QTest::newRow("case differs: another file on Linux") << "/cards/a/a.mp4" << 2;
    QTest::newRow("same name, other card") << "/cards/b/A.MP4" << 2;
}

void TstFormList::duplicatePathsAreIgnored()
{
    QFETCH(QString, second);
    QFETCH(int, rows);
    list->onInsertList(fileRow(QStringLiteral("A.MP4")));
    record();
    FileInfo_t info = fileRow(QStringLiteral("A.MP4"));
    info.filePath = second;
    list->onInsertList(info);
    QCOMPARE(list->rowCount(), rows);
    QCOMPARE(list->curSelectFile(), rows - 1);
    if (rows == 1)
        QVERIFY(events.isEmpty());
    FileInfo_t nameless = fileRow(QString());
    nameless.filePath = QStringLiteral("/cards/c/x.mp4");
    list->onInsertList(nameless);
    QCOMPARE(list->rowCount(), rows);
}

void TstFormList::everyInsertedRowBecomesMain()
{
    add({"one.mp4"});
    QCOMPARE(marks(), QStringList({"d"}));
    add({"two.mp4", "three.mp4"});
    QCOMPARE(marks(), QStringList({"", "", "d"}));
    QCOMPARE(list->curSelectFile(), 2);
    QCOMPARE(list->table()->currentRow(), 2);
    QCOMPARE(text(2, ColPath), QStringLiteral("/cards/a/three.mp4"));
}

void TstFormList::dateFormatChain()
{
    gDateFormat = 1;
    add({"a.mp4"});
    QCOMPARE(text(0, ColDate), QStringLiteral("03-07-2024"));
    const int chain[] = {2, 0, 1, 2, 0};
    const char *const shown[] = {"2024-03-07", "07-03-2024", "03-07-2024", "2024-03-07",
                                 "07-03-2024"};
    for (int i = 0; i < 5; ++i) {
        list->updateDateFormat(chain[i]);
        gDateFormat = chain[i];
        QCOMPARE(text(0, ColDate), QString::fromLatin1(shown[i]));
    }
}

void TstFormList::doubleClickOnFileRow()
{
    list->onInsertList(fileRow(QStringLiteral("a.mp4")));
    list->onInsertList(
        fileRow(QStringLiteral("b.mp4"), QStringLiteral("/cards/a"), QStringLiteral("0x0")));
    list->onInsertList(fileRow(QStringLiteral("c.mp4")));
    record();
    QSignalSpy relay(list.get(), &FormList::onCellSelectedTriggered);
    // a real double-click on the middle row
    QTableWidget *table = list->table();
    const QRect rect = table->visualRect(table->model()->index(1, ColName));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(relay.size(), 1);
    QCOMPARE(events, QStringList({"media:b.mp4", "autoPlay", "resolution:1"}));
    QCOMPARE(marks(), QStringList({"", "d", ""}));
    // a known resolution asks for nothing
    events.clear();
    list->onCellSelected(2, 0);
    QCOMPARE(events, QStringList({"media:c.mp4", "autoPlay"}));
    QCOMPARE(marks(), QStringList({"", "", "d"}));
}

void TstFormList::doubleClickOnGroupRow()
{
    add({"T_F.MP4", "T_R.MP4", "U_F.MP4", "U_R.MP4"});
    selectRows({0, 1, 2, 3});
    list->onGroup(); // Group1 front (row 4), Group2 rear (row 5)
    QCOMPARE(list->rowCount(), 6);
    record();
    list->onCellSelected(4, 1);
    // second camera's group first, then the main one
    QCOMPARE(events, QStringList({"groupSub:2", "group:2", "autoPlay"}));
    QCOMPARE(list->curSubSelectFile(), 5);
    QCOMPARE(marks().mid(4), QStringList({"d", "e"}));

    // a group without partner group releases the second camera
    add({"x.mp4", "y.mp4"});
    selectRows({6, 7});
    list->onGroup();
    events.clear();
    list->onCellSelected(list->rowCount() - 1, 1);
    QCOMPARE(events, QStringList({"releaseMediaSub", "group:2", "autoPlay"}));
}

void TstFormList::nextAndPreviousWithoutWrap()
{
    add({"a.mp4", "b.mp4", "c.mp4"});
    list->onCurrentPlay(QStringLiteral("/cards/a/c.mp4"));
    record();
    list->onNextFileTriggered(); // last row: nothing
    QVERIFY(events.isEmpty());
    list->onPreviousFileTriggered();
    list->onPreviousFileTriggered();
    QCOMPARE(events, QStringList({"media:b.mp4", "media:a.mp4"}));
    QCOMPARE(marks(), QStringList({"d", "", ""}));
    QCOMPARE(list->table()->currentRow(), 0);
    events.clear();
    list->onPreviousFileTriggered(); // first row: nothing
    QVERIFY(events.isEmpty());
    list->onNextFileTriggered();
    QCOMPARE(events, QStringList({"media:b.mp4"}));
}

void TstFormList::nextAndPreviousNeedAPlayedPath()
{
    add({"a.mp4", "b.mp4"});
    list->onCellSelected(0, 0);
    record();
    list->onNextFileTriggered();
    list->onPreviousFileTriggered();
    QVERIFY(events.isEmpty());
    // one row is not enough either
    list->clearList();
    add({"a.mp4"});
    list->onCurrentPlay(QStringLiteral("/cards/a/a.mp4"));
    list->onNextFileTriggered();
    QVERIFY(!events.contains("media:a.mp4"));
}

void TstFormList::hiddenRowsAreSkipped()
{
    add({"a.mp4", "m1.mp4", "m2.mp4", "z.mp4"});
    selectRows({1, 2});
    list->onGroup(); // members 1 and 2 hidden, group row 4
    list->onCurrentPlay(QStringLiteral("/cards/a/a.mp4"));
    list->onCellSelected(0, 0);
    record();
    list->onNextFileTriggered();
    QCOMPARE(events, QStringList({"media:z.mp4"}));
    events.clear();
    list->onNextFileTriggered();
    QCOMPARE(events, QStringList({"group:2", "releaseMediaSub"}));
    events.clear();
    list->onPreviousFileTriggered();
    list->onPreviousFileTriggered();
    QCOMPARE(events, QStringList({"media:z.mp4", "media:a.mp4"}));
}

void TstFormList::nextFileAfterClipEnd()
{
    add({"a.mp4", "b.mp4", "c.mp4"});
    list->onCellSelected(0, 0);
    record();
    // a double-click since the player last reported playing holds the list still
    QVERIFY(!list->setNextFileMedia());
    QVERIFY(events.isEmpty());
    QCOMPARE(list->curSelectFile(), 0);
    list->resetCellSelectedFlag();
    QVERIFY(list->setNextFileMedia());
    QCOMPARE(events, QStringList({"media:b.mp4", "autoPlay"}));
    QCOMPARE(marks(), QStringList({"", "d", ""}));
    QVERIFY(list->table()->item(1, ColName)->isSelected());
    QVERIFY(!list->table()->item(0, ColName)->isSelected());
    QVERIFY(list->setNextFileMedia());
    QVERIFY(!list->setNextFileMedia()); // the end of the list
    QCOMPARE(list->curSelectFile(), 2);
}

void TstFormList::removalShiftsIndices_data()
{
    QTest::addColumn<int>("main");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("mainAfter");
    QTest::addColumn<QString>("mainPathAfter");
    QTest::newRow("row above the main row") << 2 << 0 << 1 << "/cards/a/c.mp4";
    QTest::newRow("row below the main row") << 1 << 2 << 1 << "/cards/a/b.mp4";
    QTest::newRow("main row 0 itself") << 0 << 0 << 0 << "/cards/a/b.mp4";
}

void TstFormList::removalShiftsIndices()
{
    QFETCH(int, main);
    QFETCH(int, removed);
    QFETCH(int, mainAfter);
    QFETCH(QString, mainPathAfter);
    add({"a.mp4", "b.mp4", "c.mp4", "d.mp4"});
    list->onCellSelected(main, 0);
    selectRows({removed});
    list->onRemoveList();
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->curSelectFile(), mainAfter);
    QCOMPARE(list->currentFilePath(), mainPathAfter);
}

void TstFormList::removingPlayingRowReleasesItsPlayer_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QStringList>("expected");
    // the last row added is the main one; a rear file before it is its second camera's row
    QTest::newRow("main camera's row")
        << QStringList{"a.mp4", "b.mp4"} << 1
        << QStringList{"removeListFile", "delete:/cards/a/b.mp4", "stopMedia", "releaseMedia"};
    QTest::newRow("second camera's row")
        << QStringList{"0001_R.MP4", "0001_F.MP4"} << 0
        << QStringList{"removeListFile", "delete:/cards/a/0001_R.MP4", "stopMedia",
                       "releaseMediaSub"};
    QTest::newRow("a row that plays on neither camera")
        << QStringList{"a.mp4", "b.mp4", "c.mp4"} << 0
        << QStringList{"removeListFile", "delete:/cards/a/a.mp4"};
}

void TstFormList::removingPlayingRowReleasesItsPlayer()
{
    QFETCH(QStringList, names);
    QFETCH(int, removed);
    QFETCH(QStringList, expected);
    add(names);
    record();
    selectRows({removed});
    list->onRemoveList();
    QCOMPARE(events, expected);
}

void TstFormList::removalTellsRowsApartByPath()
{
    // two cards with the same file names
    list->onInsertList(fileRow(QStringLiteral("0001_F.MP4"), QStringLiteral("/cards/a")));
    list->onInsertList(fileRow(QStringLiteral("0001_F.MP4"), QStringLiteral("/cards/b")));
    selectRows({1});
    list->onRemoveList();
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(text(0, ColPath), QStringLiteral("/cards/a/0001_F.MP4"));
}

void TstFormList::rowsOfMultiCellSelectionCountOnce()
{
    add({"a.mp4", "b.mp4", "c.mp4", "d.mp4"});
    QTableWidget *table = list->table();
    table->clearSelection();
    // single cells of two rows: two selected rows, not "every sixth item"
    table->selectionModel()->select(table->model()->index(1, ColName), QItemSelectionModel::Select);
    table->selectionModel()->select(table->model()->index(3, ColSize), QItemSelectionModel::Select);
    table->selectionModel()->select(table->model()->index(3, ColDate), QItemSelectionModel::Select);
    list->onRemoveList();
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(text(0, ColName), QStringLiteral("a.mp4"));
    QCOMPARE(text(1, ColName), QStringLiteral("c.mp4"));
}

void TstFormList::fiveFileGrouping()
{
    add({"2024_0101_100100_R.MP4", "NOTE.MP4", "2024_0101_100000_F.MP4", "2024_0101_100000_R.MP4",
         "2024_0101_100100_F.MP4"});
    record();
    list->setMainPlayState(PlayingState);
    selectRows({0, 1, 2, 3, 4});
    list->onGroup();
    QCOMPARE(list->rowCount(), 8);
    for (int row = 0; row < 5; ++row)
        QVERIFY(list->table()->isRowHidden(row));
    QCOMPARE(text(5, ColName), QStringLiteral("2024_0101_100000_F.MP4(2)"));
    QCOMPARE(text(5, ColSize), QStringLiteral("200MB"));
    QCOMPARE(text(5, ColDuration), QStringLiteral("00:02:00"));
    QCOMPARE(text(5, ColResolution), QStringLiteral("Group1"));
    QCOMPARE(text(5, ColDate), text(0, ColDate)); // the member's date as shown
    QCOMPARE(text(6, ColName), QStringLiteral("2024_0101_100000_R.MP4(2)"));
    QCOMPARE(text(6, ColResolution), QStringLiteral("Group2"));
    QCOMPARE(text(7, ColName), QStringLiteral("NOTE.MP4(1)"));
    QCOMPARE(text(7, ColSize), QStringLiteral("100MB"));
    QCOMPARE(text(7, ColResolution), QStringLiteral("Group3"));
    QCOMPARE(list->curSelectFile(), 7);
    QCOMPARE(events.mid(events.size() - 3),
             QStringList({"groupStopPlay", "releaseMedia", "releaseMediaSub"}));
    // the member rows now hold the group order
    QStringList order;
    for (int row = 0; row < 5; ++row)
        order << text(row, ColName);
    QCOMPARE(order, QStringList({"2024_0101_100000_F.MP4", "2024_0101_100000_R.MP4",
                                 "2024_0101_100100_F.MP4", "2024_0101_100100_R.MP4", "NOTE.MP4"}));
    // the counter stands at 4: the next group is Group4
    add({"p.mp4", "q.mp4"});
    selectRows({8, 9});
    list->onGroup();
    QCOMPARE(text(10, ColResolution), QStringLiteral("Group4"));
}

void TstFormList::groupingNeedsTwoPlainRows()
{
    add({"a.mp4", "b.mp4", "c.mp4"});
    selectRows({0});
    list->onGroup();
    QCOMPARE(list->rowCount(), 3);
    selectRows({0, 1});
    list->onGroup();
    QCOMPARE(list->rowCount(), 4);
    selectRows({2, 3}); // a group row in the selection
    list->onGroup();
    QCOMPARE(list->rowCount(), 4);
    // dates of later rows are still shown in the configured format
    gDateFormat = 0;
    add({"later.mp4"});
    QCOMPARE(text(4, ColDate), QStringLiteral("07-03-2024"));
}

void TstFormList::ungroupReturnsToGroupOne()
{
    add({"a.mp4", "b.mp4", "c.mp4"});
    selectRows({0, 1});
    list->onGroup();
    QCOMPARE(text(3, ColResolution), QStringLiteral("Group1"));
    selectRows({3});
    list->onUngroup();
    QCOMPARE(list->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        QVERIFY(!list->table()->isRowHidden(row));
    selectRows({1, 2});
    list->onGroup();
    QCOMPARE(text(3, ColResolution), QStringLiteral("Group1"));
}

void TstFormList::ungroupWhilePlaying()
{
    add({"a.mp4", "b.mp4"});
    selectRows({0, 1});
    list->onGroup();
    list->setMainPlayState(PlayingState);
    record();
    selectRows({2});
    list->onUngroup();
    QCOMPARE(events, QStringList({"groupStopPlay", "releaseMedia"}));
    QCOMPARE(list->curSelectFile(), 1);
    QCOMPARE(list->curSubSelectFile(), 1);
    QCOMPARE(marks(), QStringList({"", ""}));
}

void TstFormList::removingGroupRemovesMembers()
{
    add({"top.mp4", "a.mp4", "b.mp4", "c.mp4"});
    selectRows({1, 2});
    list->onGroup(); // Group1 at row 4
    list->onCellSelected(3, 0);
    QCOMPARE(list->curSelectFile(), 3);
    record();
    selectRows({4});
    list->onRemoveList();
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(text(0, ColName), QStringLiteral("top.mp4"));
    QCOMPARE(text(1, ColName), QStringLiteral("c.mp4"));
    QCOMPARE(list->curSelectFile(), 1); // still the same file
    QCOMPARE(events.first(), QStringLiteral("removeListFile"));
    QVERIFY(!events.contains("releaseMedia"));
    QVERIFY(!events.contains("stopMedia"));
}

void TstFormList::groupsOfTwoCardsKeepTheirOwnRows()
{
    // two cards with the same file names, each grouped on its own
    for (const char *card : {"/cards/a", "/cards/b"}) {
        for (const char *name : {"0001_F.MP4", "0002_F.MP4"})
            list->onInsertList(fileRow(QString::fromLatin1(name), QString::fromLatin1(card)));
    }
    selectRows({0, 1});
    list->onGroup(); // Group1 at row 4: card a
    selectRows({2, 3});
    list->onGroup(); // Group2 at row 5: card b
    selectRows({4});
    list->onUngroup();
    QCOMPARE(list->rowCount(), 5);
    QVERIFY(!list->table()->isRowHidden(0));
    QVERIFY(!list->table()->isRowHidden(1));
    QVERIFY(list->table()->isRowHidden(2)); // card b's members stay in their group
    QVERIFY(list->table()->isRowHidden(3));
    // removing the group of card b removes card b's files only
    selectRows({4});
    list->onRemoveList();
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(text(0, ColPath), QStringLiteral("/cards/a/0001_F.MP4"));
    QCOMPARE(text(1, ColPath), QStringLiteral("/cards/a/0002_F.MP4"));
}

void TstFormList::fileNamedGroupIsAnOrdinaryRow()
{
    add({"Group1", "b.mp4"});
    list->setMainPlayState(PlayingState);
    record();
    selectRows({0});
    list->onUngroup(); // nothing to ungroup: no mark cleared, nothing stopped
    QVERIFY(events.isEmpty());
    QCOMPARE(marks(), QStringList({"", "d"}));
    list->onCellSelected(0, 0);
    QCOMPARE(events, QStringList({"media:Group1", "autoPlay"}));
    QVERIFY(!list->isCurrentGroup());
}

void TstFormList::groupTimeCheck_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("answer");
    QTest::newRow("first boundary") << "01:00" << true;
    QTest::newRow("group end") << "03:30" << true;
    QTest::newRow("inside") << "02:30" << false;
    QTest::newRow("start of group") << "00:00" << false;
}

void TstFormList::groupTimeCheck()
{
    QFETCH(QString, start);
    QFETCH(bool, answer);
    FileInfo_t a = fileRow(QStringLiteral("a.mp4"));
    FileInfo_t b = fileRow(QStringLiteral("b.mp4"));
    b.duration = QStringLiteral("00:02:30");
    list->onInsertList(a);
    list->onInsertList(b);
    selectRows({0, 1});
    list->onGroup();
    QSignalSpy result(list.get(), &FormList::checkGroupTimeResult);
    list->checkGroupTime(start, QStringLiteral("59:59"));
    QCOMPARE(result.size(), 1);
    QCOMPARE(result.first().first().toBool(), answer);
    // a file row has no boundaries
    list->onCellSelected(0, 0);
    list->checkGroupTime(start, QString());
    QCOMPARE(result.last().first().toBool(), false);
}

void TstFormList::secondCameraRowByLetterAndKey()
{
    gDisplayMode = 1;
    QSignalSpy sub(list.get(), &FormList::subMediaTriggerd);
    add({"2024_0101_100000_F.MP4", "x.mp4"});
    QCOMPARE(sub.size(), 0);
    add({"2024_0101_100000_R.MP4"});
    QCOMPARE(sub.size(), 1);
    QCOMPARE(list->curSubSelectFile(), 0);
    QVERIFY(list->subFileFound());
    QCOMPARE(marks(), QStringList({"e", "", "d"}));
    QVERIFY(list->checkSubGroupFile());
    QCOMPARE(list->currentSubFilePath(), QStringLiteral("/cards/a/2024_0101_100000_F.MP4"));

    // onSubIndex: the partner by the name less its last six characters, from the top
    list->onCellSelected(0, 0);
    list->onSubIndex();
    QCOMPARE(list->curSubSelectFile(), 2);
    QCOMPARE(marks(), QStringList({"d", "", "e"}));
    // hiding the second picture clears only the second mark
    gDisplayMode = 0;
    list->onSubIndex();
    QCOMPARE(marks(), QStringList({"d", "", ""}));
}

void TstFormList::subGroupCheckOnRows()
{
    add({"A_F.MP4", "A_R.MP4"});
    QCOMPARE(list->curSubSelectFile(), 0);
    QVERIFY(list->checkSubGroupFile()); // partner names on two visible rows
    selectRows({0, 1});
    list->onGroup(); // Group1 front (row 2), Group2 rear (row 3), pairing the two groups
    QCOMPARE(list->curSelectFile(), 3);
    QCOMPARE(list->curSubSelectFile(), 2);
    QVERIFY(list->checkSubGroupFile());
    // a partner found among the hidden member rows is no counterpart
    add({"A_F.MOV"});
    list->onSubIndex();
    QCOMPARE(list->curSubSelectFile(), 0);
    QVERIFY(list->table()->isRowHidden(0));
    QVERIFY(!list->checkSubGroupFile());
    // after ungrouping both indices name the same row
    selectRows({2});
    list->onUngroup();
    QCOMPARE(list->curSelectFile(), list->curSubSelectFile());
    QVERIFY(!list->checkSubGroupFile());
}

void TstFormList::missingRowsAnswerEmpty()
{
    add({"A_F.MP4", "A_R.MP4"});
    QCOMPARE(list->curSubSelectFile(), 0);
    QVERIFY(list->checkSubGroupFile());
    list->clearList();
    QCOMPARE(list->currentFilePath(), QString());
    QCOMPARE(list->currentFileSize(), QString());
    QCOMPARE(list->currentSubFilePath(), QString());
    QCOMPARE(list->fileDuration(0), QString());
    QCOMPARE(list->fileDuration(-1), QString());
    QVERIFY(!list->checkSubGroupFile());
    QVERIFY(!list->isCurrentGroup());
    QVERIFY(!list->findSubFile());
    QCOMPARE(list->findRowByPath(QStringLiteral("/cards/a/A_F.MP4")), 0);
    QSignalSpy group(list.get(), &FormList::mediaGroupTriggered);
    list->playGroup(3);
    QCOMPARE(group.size(), 0);
    list->setResolution(5, QStringLiteral("1x1"));
    list->setSubIndexMark();
    list->clearMainIndexMark();
    QCOMPARE(list->rowCount(), 0);
}

void TstFormList::clearListResetsEverything()
{
    QSignalSpy stop(list.get(), &FormList::stopMediaTriggerd);
    list->clearList(); // empty: nothing
    QCOMPARE(stop.size(), 0);
    add({"A_F.MP4", "b.mp4", "c.mp4", "A_R.MP4"});
    QCOMPARE(list->curSubSelectFile(), 0);
    selectRows({1, 2});
    list->onGroup();
    list->clearList();
    QCOMPARE(stop.size(), 1);
    QCOMPARE(list->rowCount(), 0);
    QCOMPARE(list->curSelectFile(), 0);
    QCOMPARE(list->curSubSelectFile(), 0);
    QVERIFY(!list->subFileFound());
    add({"x.mp4", "y.mp4"});
    selectRows({0, 1});
    list->onGroup();
    QCOMPARE(text(2, ColResolution), QStringLiteral("Group1"));
    // the group count was reset too: ungrouping the only group brings the counter back to 1
    selectRows({2});
    list->onUngroup();
    selectRows({0, 1});
    list->onGroup();
    QCOMPARE(text(2, ColResolution), QStringLiteral("Group1"));
}

void TstFormList::resolutionWrittenOnce()
{
    list->onInsertList(
        fileRow(QStringLiteral("a.mp4"), QStringLiteral("/c"), QStringLiteral("0x0")));
    list->onInsertList(fileRow(QStringLiteral("b.mp4")));
    list->setResolution(0, QStringLiteral("320x240"));
    list->setResolution(0, QStringLiteral("640x480"));
    list->setResolution(1, QStringLiteral("640x480"));
    list->setResolution(9, QStringLiteral("640x480"));
    QCOMPARE(text(0, ColResolution), QStringLiteral("320x240"));
    QCOMPARE(text(1, ColResolution), QStringLiteral("1920x1080"));
    selectRows({0, 1});
    list->onGroup();
    list->setResolution(2, QStringLiteral("0x0"));
    QCOMPARE(text(2, ColResolution), QStringLiteral("Group1"));
    QVERIFY(list->isCurrentGroup());
}

void TstFormList::replacedFileShowsItsNewFigures_data()
{
    QTest::addColumn<bool>("grouped");
    QTest::newRow("a file's row") << false;
    QTest::newRow("a group member's row and its group's") << true;
}

// A listed file written anew (an export replaced it): its row, and the row of a group holding it,
// show the new file's figures; nothing else of the list changes and nothing is emitted.
void TstFormList::replacedFileShowsItsNewFigures()
{
    QFETCH(bool, grouped);
    gDateFormat = 0;
    add({"a.mp4", "b.mp4", "c.mp4"});
    if (grouped) {
        selectRows({0, 1});
        list->onGroup(); // Group1 at row 3 of a.mp4 and b.mp4
        list->onCellSelected(2, 0);
    }
    const QStringList marksBefore = marks();
    const int selectedBefore = list->curSelectFile();
    record();

    FileInfo_t written = fileRow(QStringLiteral("a.mp4"));
    written.date = QStringLiteral("2026-12-07");
    written.size = QStringLiteral("0MB");
    written.duration = QStringLiteral("00:00:05");
    written.resolution = QStringLiteral("640x360");
    list->refreshFile(written);
    FileInfo_t unlisted = fileRow(QStringLiteral("elsewhere.mp4"), QStringLiteral("/cards/z"));
    list->refreshFile(unlisted);

    QCOMPARE(text(0, ColDate), QStringLiteral("07-12-2026"));
    QCOMPARE(text(0, ColSize), QStringLiteral("0MB"));
    QCOMPARE(text(0, ColDuration), QStringLiteral("00:00:05"));
    QCOMPARE(text(0, ColResolution), QStringLiteral("640x360"));
    QCOMPARE(text(0, ColPath), QStringLiteral("/cards/a/a.mp4"));
    // the other files' rows keep theirs
    for (int row : {1, 2}) {
        QCOMPARE(text(row, ColDate), QStringLiteral("07-03-2024"));
        QCOMPARE(text(row, ColSize), QStringLiteral("100MB"));
        QCOMPARE(text(row, ColDuration), QStringLiteral("00:01:00"));
        QCOMPARE(text(row, ColResolution), QStringLiteral("1920x1080"));
    }
    if (grouped) {
        QCOMPARE(list->rowCount(), 4);
        QCOMPARE(text(3, ColResolution), QStringLiteral("Group1"));
        QCOMPARE(text(3, ColDate), QStringLiteral("07-12-2026")); // its first member's
        QCOMPARE(text(3, ColSize), QStringLiteral("100MB"));
        QCOMPARE(text(3, ColDuration), QStringLiteral("00:01:05"));
        QCOMPARE(text(3, ColDurations), QStringLiteral("00:00:05;00:01:00;"));
        QCOMPARE(text(3, ColPath), QStringLiteral("/cards/a/a.mp4;/cards/a/b.mp4;"));
        QCOMPARE(text(3, ColName), QStringLiteral("a.mp4(2)"));
    } else {
        QCOMPARE(list->rowCount(), 3);
    }
    QCOMPARE(marks(), marksBefore);
    QCOMPARE(list->curSelectFile(), selectedBefore);
    QVERIFY(events.isEmpty());
}

void TstFormList::windowSizeColumns()
{
    add({"a.mp4"});
    list->setWindowSize(400, 300, 900);
    QTableWidget *table = list->table();
    QCOMPARE(table->columnWidth(0), 20);
    // the file column as computed, or wider with what the row leaves for a whole name
    QVERIFY(table->columnWidth(1) >= 88);
    QCOMPARE(list->captionTable()->columnWidth(0), table->columnWidth(1) + 20);
    // the others as computed, or wider where their caption or cells need it ("Duration" at 18 px)
    const int computed[] = {68, 62, 64, 68};
    for (int column = 2; column <= 5; ++column) {
        QVERIFY(table->columnWidth(column) >= computed[column - 2]);
        QCOMPARE(table->columnWidth(column), list->captionTable()->columnWidth(column - 1));
    }
    QVERIFY(table->columnWidth(4) > 64);
    QCOMPARE(list->addButton()->height(), 41);
    QCOMPARE(list->addButton()->iconSize(), QSize(22, 22));
    QCOMPARE(list->ungroupButton()->iconSize(), QSize(24, 22));
    // rows present at a resize are bold; rows added later are not
    QVERIFY(table->item(0, ColName)->font().bold());
    QCOMPARE(table->item(0, ColName)->font().pixelSize(), 13);
    add({"b.mp4"});
    QVERIFY(!table->item(1, ColName)->font().bold());
    QCOMPARE(table->item(1, ColName)->font().pixelSize(), 13);
    QCOMPARE(table->item(1, ColMark)->textAlignment(), int(Qt::AlignCenter));
}

void TstFormList::captionMinimumPerLanguage()
{
    list->setWindowSize(600, 300, 900);
    QHeaderView *header = list->captionTable()->horizontalHeader();
    gLanguage = 1; // German
    header->resizeSection(2, 130);
    QCOMPARE(header->minimumSectionSize(), 70);
    QCOMPARE(list->table()->columnWidth(3), 130); // the list follows the caption
    gLanguage = 8;                                // Polish
    list->setTabelWidgetHeaderDoubleClick(4);
    QCOMPARE(header->sectionSize(4), 132);
    QCOMPARE(list->table()->columnWidth(5), 132);
}

void TstFormList::scrollingKeepsCaptionsInStep()
{
    add({"a.mp4", "b.mp4"});
    list->resize(250, 300);
    list->setWindowSize(400, 300, 900);
    QTableWidget *table = list->table();
    QScrollBar *bar = table->horizontalScrollBar();
    QTRY_VERIFY(bar->maximum() >= 2);
    QHeaderView *header = list->captionTable()->horizontalHeader();
    const int fileCaption = header->sectionSize(0);
    const int lastCaption = header->sectionSize(4);
    bar->setValue(1);
    QCOMPARE(list->captionTable()->horizontalScrollBar()->value(), 0);
    QCOMPARE(table->columnWidth(1), fileCaption);
    bar->setValue(2);
    QCOMPARE(list->captionTable()->horizontalScrollBar()->value(), 1);
    for (int round = 0; round < 3; ++round) {
        bar->setValue(bar->maximum());
        QCOMPARE(header->sectionSize(4), lastCaption + 5);
        bar->setValue(0);
        QCOMPARE(header->sectionSize(4), lastCaption);
        QCOMPARE(table->columnWidth(1), fileCaption - 20);
    }
}

void TstFormList::screenshots_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("white") << 0;
    QTest::newRow("black") << 1;
}

void TstFormList::screenshots()
{
    QFETCH(int, style);
    gDisplayMode = 1;
    QWidget frame;
    frame.setStyleSheet(style == 1 ? QStringLiteral("background-color:#1b1b1f;")
                                   : QStringLiteral("background-color:#2c2f3a;"));
    list->setParent(&frame);
    frame.resize(480, 420);
    list->setGeometry(0, 0, 480, 420);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    add({"2024_0101_100000_F.MP4", "2024_0101_100100_F.MP4", "NOTE.MP4", "2024_0101_100200_F.MP4",
         "2024_0101_100300_F.MP4", "2024_0101_100300_R.MP4", "2024_0101_100400_F.MP4",
         "2024_0101_100500_F.MP4"});
    selectRows({0, 1});
    list->onGroup();
    list->onCellSelected(5, 0);
    list->onSubIndex();
    list->setStyle(style);
    list->setWindowSize(480, 420, 900);
    QCOMPARE(marks().mid(4, 2), QStringList({"e", "d"}));
    TestSupport::saveScreenshot(&frame, QStringLiteral("formlist_style%1").arg(style));
    list->setParent(nullptr);
}

TALVEX_TEST_MAIN(TstFormList)
#include "tst_formlist.moc"

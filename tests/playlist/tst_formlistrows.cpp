// Row rules of the play list apart from the widget: dates, camera letters, partner names,
// group order and sums, group media, group time boundaries and the list's sizes.
#include "listgroups.h"
#include "listrows.h"
#include "listsizes.h"
#include "testsupport.h"

#include <QtTest>

using namespace ListRows;
using ListGroups::RowCells;

namespace {
RowCells row(const QString &name, const QString &size = QStringLiteral("100MB"),
             const QString &duration = QStringLiteral("00:01:00"))
{
    return {QString(),
            name,
            QStringLiteral("01-01-2024"),
            size,
            duration,
            QStringLiteral("1920x1080"),
            QStringLiteral("/cards/a/") + name,
            QString()};
}

QStringList names(const QVector<RowCells> &rows)
{
    QStringList list;
    for (const RowCells &r : rows)
        list << r.value(ColName);
    return list;
}
} // namespace

class TstFormListRows : public QObject
{
    Q_OBJECT
private slots:
    void dateIsShownInFormat_data();
    void dateIsShownInFormat();
    void dateFormatChainReturnsToStart();
    void groupKeyIsColumnFiveOnly_data();
    void groupKeyIsColumnFiveOnly();
    void cameraLetterPositions_data();
    void cameraLetterPositions();
    void subRowByLetter_data();
    void subRowByLetter();
    void subRowByKeyScansFromTop();
    void partnerNames_data();
    void partnerNames();
    void groupTimeBoundaries_data();
    void groupTimeBoundaries();
    void fiveFileGroupingExample();
    void onlyRearOrOnlyUntaggedMakeOneGroup();
    void lowerCaseRearFilesMakeTheirOwnSet();
    void tagsAreReadFromFileNamesOnly();
    void groupRowSums_data();
    void groupRowSums();
    void groupMediaStopsAtShorterList_data();
    void groupMediaStopsAtShorterList();
    void windowSizeExample();
    void captionMinimums_data();
    void captionMinimums();
};

void TstFormListRows::dateIsShownInFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("day first") << 0 << "07-03-2024";
    QTest::newRow("month first") << 1 << "03-07-2024";
    QTest::newRow("year first") << 2 << "2024-03-07";
    QTest::newRow("unknown format") << 3 << "";
}

void TstFormListRows::dateIsShownInFormat()
{
    QFETCH(int, format);
    QFETCH(QString, shown);
    QCOMPARE(displayDate(QStringLiteral("2024-03-07"), format), shown);
}

void TstFormListRows::dateFormatChainReturnsToStart()
{
    // 0 -> 1 -> 2 -> 0 through every rewrite of the table
    QString text = displayDate(QStringLiteral("2024-03-07"), 0);
    QCOMPARE(text, QStringLiteral("07-03-2024"));
    text = convertDate(text, 0, 1);
    QCOMPARE(text, QStringLiteral("03-07-2024"));
    text = convertDate(text, 1, 2);
    QCOMPARE(text, QStringLiteral("2024-03-07"));
    text = convertDate(text, 2, 0);
    QCOMPARE(text, QStringLiteral("07-03-2024"));
    QCOMPARE(convertDate(text, 0, 2), QStringLiteral("2024-03-07"));
    QCOMPARE(convertDate(QStringLiteral("2024-03-07"), 2, 1), QStringLiteral("03-07-2024"));
    QCOMPARE(convertDate(QStringLiteral("03-07-2024"), 1, 0), QStringLiteral("07-03-2024"));
    QCOMPARE(convertDate(QStringLiteral("odd"), 5, 0), QStringLiteral("odd"));
}

void TstFormListRows::groupKeyIsColumnFiveOnly_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("group");
    QTest::newRow("Group1") << "Group1" << true;
    QTest::newRow("Group12") << "Group12" << true;
    QTest::newRow("resolution") << "1920x1080" << false;
    QTest::newRow("unknown resolution") << "0x0" << false;
    QTest::newRow("word only") << "Group" << false;
    QTest::newRow("file named Group") << "Group1.mp4" << false;
    QTest::newRow("lower case") << "group1" << false;
}

void TstFormListRows::groupKeyIsColumnFiveOnly()
{
    QFETCH(QString, cell);
    QFETCH(bool, group);
    QCOMPARE(isGroupKey(cell), group);
}

void TstFormListRows::cameraLetterPositions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<int>("position");
    QTest::newRow("rear tag") << "2024_0101_100000_R.MP4" << QChar('R') << 17;
    QTest::newRow("upper at 0, no lower") << "REC_0001_F.MP4" << QChar('R') << -1;
    QTest::newRow("front after leading R") << "REC_0001_F.MP4" << QChar('F') << 9;
    QTest::newRow("upper at 0, lower later") << "Rear_r.mp4" << QChar('R') << 3;
    QTest::newRow("CAR reads as rear") << "CAR_F.MP4" << QChar('R') << 2;
    QTest::newRow("lower only") << "clip_f.mp4" << QChar('F') << 5;
}

void TstFormListRows::cameraLetterPositions()
{
    QFETCH(QString, name);
    QFETCH(QChar, letter);
    QFETCH(int, position);
    QCOMPARE(cameraLetterPosition(name, letter), position);
}

void TstFormListRows::subRowByLetter_data()
{
    QTest::addColumn<QStringList>("rowNames");
    QTest::addColumn<QList<bool>>("groups");
    QTest::addColumn<int>("mainRow");
    QTest::addColumn<int>("subRow");
    const QList<bool> files{false, false, false};
    QTest::newRow("rear finds front")
        << QStringList{"2024_0101_100000_F.MP4", "2024_0101_100000_R.MP4"}
        << QList<bool>{false, false} << 1 << 0;
    QTest::newRow("rear finds left")
        << QStringList{"A_L.MP4", "A_R.MP4"} << QList<bool>{false, false} << 1 << 0;
    QTest::newRow("REC front misses REC rear")
        << QStringList{"REC_0001_R.MP4", "REC_0001_F.MP4"} << QList<bool>{false, false} << 1 << -1;
    QTest::newRow("two matches: the lower one")
        << QStringList{"A_F.MP4", "A_R.MP4", "A_F.MOV"} << files << 1 << 2;
    QTest::newRow("group pairs with group, not member")
        << QStringList{"2024_0101_100000_R.MP4", "2024_0101_100000_F.MP4(2)",
                       "2024_0101_100000_R.MP4(2)"}
        << QList<bool>{false, true, true} << 1 << 2;
    QTest::newRow("group never pairs with a file")
        << QStringList{"2024_0101_100000_R.MP4", "2024_0101_100000_F.MP4(2)"}
        << QList<bool>{false, true} << 1 << -1;
    QTest::newRow("file may pair with a group")
        << QStringList{"2024_0101_100000_R.MP4(2)", "2024_0101_100000_F.MP4"}
        << QList<bool>{true, false} << 1 << 0;
    QTest::newRow("CAR front reads as rear with prefix CA")
        << QStringList{"CAR_F.MP4", "CAF.MP4", "CAR_R.MP4"} << QList<bool>{false, false, false} << 0
        << 1;
    QTest::newRow("untagged name")
        << QStringList{"note.mp4", "nope.mp4"} << QList<bool>{false, false} << 0 << -1;
    QTest::newRow("opposite letter of another recording")
        << QStringList{"A_R.MP4", "B_F.MP4"} << QList<bool>{false, false} << 0 << -1;
    QTest::newRow("front misses another recording's rear")
        << QStringList{"B_R.MP4", "A_F.MP4"} << QList<bool>{false, false} << 1 << -1;
    QTest::newRow("main row missing") << QStringList{"A_F.MP4"} << QList<bool>{false} << 3 << -1;
}

void TstFormListRows::subRowByLetter()
{
    QFETCH(QStringList, rowNames);
    QFETCH(QList<bool>, groups);
    QFETCH(int, mainRow);
    QFETCH(int, subRow);
    QVector<NameRow> rows;
    for (int i = 0; i < rowNames.size(); ++i)
        rows.append({rowNames.at(i), groups.at(i)});
    QCOMPARE(findSubRowByLetter(rows, mainRow), subRow);
}

void TstFormListRows::subRowByKeyScansFromTop()
{
    const QStringList rows{"A_F.MP4", "A_R.MP4", "A_F.MOV", "B_F.MP4"};
    QCOMPARE(findSubRowByKey(rows, 1), 0); // the upper of two matches
    QCOMPARE(findSubRowByKey(rows, 0), 1);
    QCOMPARE(findSubRowByKey(rows, 3), -1);
    QCOMPARE(findSubRowByKey(rows, 9), -1);
    QCOMPARE(findSubRowByKey({"A_R.MP4", "B_F.MP4"}, 0), -1); // another recording
    QCOMPARE(partnerKey(QStringLiteral("NAME_F.MP4")), QStringLiteral("NAME"));
    QCOMPARE(partnerKey(QStringLiteral("a.ts")), QStringLiteral("a.ts"));
    QCOMPARE(partnerKey(QStringLiteral("ab.mp4")), QString());
}

void TstFormListRows::partnerNames_data()
{
    QTest::addColumn<QString>("mainName");
    QTest::addColumn<QString>("subName");
    QTest::addColumn<bool>("partner");
    QTest::newRow("front and rear") << "2024_0101_100000_F.MP4"
                                    << "2024_0101_100000_R.MP4" << true;
    QTest::newRow("rear and front") << "2024_0101_100000_R.MP4"
                                    << "2024_0101_100000_F.MP4" << true;
    QTest::newRow("lower-case tags") << "a_f.mp4"
                                     << "a_r.mp4" << true;
    QTest::newRow("left and rear") << "CLIP_L.MP4"
                                   << "CLIP_R.MP4" << true;
    QTest::newRow("groups") << "2024_0101_100000_F.MP4(2)"
                            << "2024_0101_100000_R.MP4(2)" << true;
    QTest::newRow("other moment") << "2024_0101_100000_F.MP4"
                                  << "2024_0101_100100_R.MP4" << false;
    QTest::newRow("same name") << "A_F.MP4"
                               << "A_F.MP4" << false;
    QTest::newRow("untagged") << "one.mp4"
                              << "two.mp4" << false;
    QTest::newRow("tag at start") << "_F.MP4"
                                  << "_R.MP4" << false;
}

void TstFormListRows::partnerNames()
{
    QFETCH(QString, mainName);
    QFETCH(QString, subName);
    QFETCH(bool, partner);
    QCOMPARE(isPartnerName(mainName, subName), partner);
}

void TstFormListRows::groupTimeBoundaries_data()
{
    QTest::addColumn<QString>("durations");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("boundary");
    const QString two = QStringLiteral("00:01:00;00:02:30;");
    QTest::newRow("end of first member") << two << "01:00" << true;
    QTest::newRow("end of group") << two << "03:30" << true;
    QTest::newRow("inside second member") << two << "02:30" << false;
    QTest::newRow("start of group") << two << "00:00" << false;
    const QString hourAndHalf = QStringLiteral("01:00:00;00:30:00;");
    QTest::newRow("start 00:00 after a full hour") << hourAndHalf << "00:00" << false;
    QTest::newRow("minutes past 59") << hourAndHalf << "60:00" << true;
    QTest::newRow("ninety minutes") << hourAndHalf << "90:00" << true;
    QTest::newRow("hours are counted") << hourAndHalf << "30:00" << false;
    QTest::newRow("file row") << ""
                              << "01:00" << false;
    QTest::newRow("unreadable member adds nothing") << "xx;00:01:00;"
                                                    << "01:00" << true;
    QTest::newRow("stops at the first empty part") << "00:01:00;;00:01:00;"
                                                   << "02:00" << false;
    QTest::newRow("unreadable start") << two << "1:0x" << false;
}

void TstFormListRows::groupTimeBoundaries()
{
    QFETCH(QString, durations);
    QFETCH(QString, start);
    QFETCH(bool, boundary);
    QCOMPARE(startOnMemberBoundary(durations, start), boundary);
}

void TstFormListRows::fiveFileGroupingExample()
{
    const QVector<RowCells> selection{row("2024_0101_100100_R.MP4"), row("NOTE.MP4"),
                                      row("2024_0101_100000_F.MP4"), row("2024_0101_100000_R.MP4"),
                                      row("2024_0101_100100_F.MP4")};
    const QVector<RowCells> ordered = ListGroups::orderMembers(selection);
    QCOMPARE(names(ordered),
             QStringList({"2024_0101_100000_F.MP4", "2024_0101_100000_R.MP4",
                          "2024_0101_100100_F.MP4", "2024_0101_100100_R.MP4", "NOTE.MP4"}));
    const QVector<QVector<int>> sets = ListGroups::cameraSets(ordered);
    QCOMPARE(sets, QVector<QVector<int>>({{0, 2}, {1, 3}, {4}}));

    const auto members = [&ordered](const QVector<int> &set) {
        QVector<RowCells> rows;
        for (int i : set)
            rows.append(ordered.at(i));
        return rows;
    };
    const FileInfo_t front = ListGroups::groupRowInfo(groupKey(1), members(sets.at(0)));
    QCOMPARE(front.fileName, QStringLiteral("2024_0101_100000_F.MP4(2)"));
    QCOMPARE(front.size, QStringLiteral("200MB"));
    QCOMPARE(front.duration, QStringLiteral("00:02:00"));
    QCOMPARE(front.resolution, QStringLiteral("Group1"));
    QCOMPARE(front.filePath, QStringLiteral("/cards/a/2024_0101_100000_F.MP4;"
                                            "/cards/a/2024_0101_100100_F.MP4;"));
    QCOMPARE(front.durations, QStringLiteral("00:01:00;00:01:00;"));
    QCOMPARE(front.date, QStringLiteral("01-01-2024"));
    const FileInfo_t rear = ListGroups::groupRowInfo(groupKey(2), members(sets.at(1)));
    QCOMPARE(rear.fileName, QStringLiteral("2024_0101_100000_R.MP4(2)"));
    const FileInfo_t note = ListGroups::groupRowInfo(groupKey(3), members(sets.at(2)));
    QCOMPARE(note.fileName, QStringLiteral("NOTE.MP4(1)"));
    QCOMPARE(note.size, QStringLiteral("100MB"));
    QCOMPARE(note.duration, QStringLiteral("00:01:00"));
}

void TstFormListRows::onlyRearOrOnlyUntaggedMakeOneGroup()
{
    const QVector<RowCells> rear =
        ListGroups::orderMembers({row("B_R.MP4"), row("A_R.MP4"), row("C_r.MP4")});
    QCOMPARE(names(rear), QStringList({"A_R.MP4", "B_R.MP4", "C_r.MP4"}));
    QCOMPARE(ListGroups::cameraSets(rear), QVector<QVector<int>>({{0, 1, 2}}));
    const QVector<RowCells> plain = ListGroups::orderMembers({row("b.mp4"), row("a.mp4")});
    QCOMPARE(names(plain), QStringList({"a.mp4", "b.mp4"}));
    QCOMPARE(ListGroups::cameraSets(plain), QVector<QVector<int>>({{0, 1}}));
    // a front file and its rear partner: two groups of one, the front first
    const QVector<RowCells> pair = ListGroups::orderMembers({row("A_R.MP4"), row("A_F.MP4")});
    QCOMPARE(ListGroups::cameraSets(pair), QVector<QVector<int>>({{0}, {1}}));
    QCOMPARE(names(pair).first(), QStringLiteral("A_F.MP4"));
    // left files count as untagged
    const QVector<RowCells> left = ListGroups::orderMembers({row("A_L.MP4"), row("A_F.MP4")});
    QCOMPARE(ListGroups::cameraSets(left), QVector<QVector<int>>({{0}, {1}}));
}

void TstFormListRows::lowerCaseRearFilesMakeTheirOwnSet()
{
    const QVector<RowCells> ordered = ListGroups::orderMembers(
        {row("NOTE.MP4"), row("B_r.MP4"), row("B_F.MP4"), row("A_r.MP4"), row("A_F.MP4")});
    QCOMPARE(names(ordered), QStringList({"A_F.MP4", "A_r.MP4", "B_F.MP4", "B_r.MP4", "NOTE.MP4"}));
    QCOMPARE(ListGroups::cameraSets(ordered), QVector<QVector<int>>({{0, 2}, {1, 3}, {4}}));
}

void TstFormListRows::tagsAreReadFromFileNamesOnly()
{
    RowCells inTagFolder = row("0001.MP4");
    inTagFolder[ColPath] = QStringLiteral("/media/Trip_R.2024/0001.MP4");
    RowCells front = row("0002_F.MP4");
    const QVector<RowCells> ordered = ListGroups::orderMembers({inTagFolder, front});
    QCOMPARE(names(ordered), QStringList({"0002_F.MP4", "0001.MP4"}));
    QCOMPARE(ListGroups::cameraSets(ordered), QVector<QVector<int>>({{0}, {1}}));
}

void TstFormListRows::groupRowSums_data()
{
    QTest::addColumn<QStringList>("sizes");
    QTest::addColumn<QStringList>("durations");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("duration");
    QTest::newRow("sizes and an hour")
        << QStringList{"120MB", "80MB"} << QStringList{"00:59:30", "00:01:00"} << "200MB"
        << "01:00:30";
    QTest::newRow("unreadable values count as zero")
        << QStringList{"big", "5MB"} << QStringList{"long", "00:00:05"} << "5MB"
        << "00:00:05";
    QTest::newRow("past a day wraps like a clock")
        << QStringList{"1MB", "1MB"} << QStringList{"23:00:00", "02:00:00"} << "2MB"
        << "01:00:00";
    QTest::newRow("no members") << QStringList() << QStringList() << ""
                                << "";
}

void TstFormListRows::groupRowSums()
{
    QFETCH(QStringList, sizes);
    QFETCH(QStringList, durations);
    QFETCH(QString, size);
    QFETCH(QString, duration);
    QVector<RowCells> members;
    for (int i = 0; i < sizes.size(); ++i) {
        members.append(row(QStringLiteral("m%1.mp4").arg(i), sizes.at(i), durations.at(i)));
        members.last()[ColDate] = QStringLiteral("%1-01-2024").arg(i + 1, 2, 10, QLatin1Char('0'));
    }
    const FileInfo_t info = ListGroups::groupRowInfo(groupKey(7), members);
    QCOMPARE(info.size, size);
    QCOMPARE(info.duration, duration);
    if (members.isEmpty()) {
        QCOMPARE(info.resolution, QString());
        QCOMPARE(info.fileName, QString());
        return;
    }
    QCOMPARE(info.resolution, QStringLiteral("Group7"));
    // Name and date are the first member's, whatever the others say.
    QCOMPARE(info.fileName, QStringLiteral("m0.mp4(%1)").arg(members.size()));
    QCOMPARE(info.date, QStringLiteral("01-01-2024"));
    QCOMPARE(info.filePath, QStringLiteral("/cards/a/m0.mp4;/cards/a/m1.mp4;"));
}

void TstFormListRows::groupMediaStopsAtShorterList_data()
{
    QTest::addColumn<QString>("paths");
    QTest::addColumn<QString>("durations");
    QTest::addColumn<int>("count");
    QTest::newRow("two members") << "/a/A.MP4;/a/B.MP4;"
                                 << "00:01:00;00:02:00;" << 2;
    QTest::newRow("fewer durations") << "/a/A.MP4;/a/B.MP4;"
                                     << "00:01:00;" << 1;
    QTest::newRow("fewer paths") << "/a/A.MP4;"
                                 << "00:01:00;00:02:00;" << 1;
    QTest::newRow("file row") << "/a/A.MP4"
                              << "" << 0;
}

void TstFormListRows::groupMediaStopsAtShorterList()
{
    QFETCH(QString, paths);
    QFETCH(QString, durations);
    QFETCH(int, count);
    const ListGroups::GroupMedia media = ListGroups::groupMedia(paths, durations);
    QCOMPARE(media.urls.size(), count);
    QCOMPARE(media.durations.size(), count);
    if (count == 2) {
        QCOMPARE(media.urls.at(1), QUrl::fromLocalFile(QStringLiteral("/a/B.MP4")));
        QCOMPARE(media.durations.at(0), QTime(0, 1, 0));
        QCOMPARE(media.durations.at(1), QTime(0, 2, 0));
    }
}

void TstFormListRows::windowSizeExample()
{
    const ListSizes s = ListSizes::compute(400, 300, 900);
    QCOMPARE(s.buttonHeight, 41);
    QCOMPARE(s.listRowStretch, 102);
    QCOMPARE(QVector<int>(std::begin(s.listColumns), std::end(s.listColumns)),
             QVector<int>({20, 88, 68, 62, 64, 68}));
    QCOMPARE(QVector<int>(std::begin(s.captionColumns), std::end(s.captionColumns)),
             QVector<int>({108, 68, 62, 64, 68}));
    QCOMPARE(s.addIcon, QSize(22, 22));
    QCOMPARE(s.groupIcon, QSize(24, 22));
    QCOMPARE(s.fontPixelSize, 18);
    QCOMPARE(s.headerHeight, 23);
    QCOMPARE(s.itemPixelSize, 13);
    QCOMPARE(s.markPointSize, 13);
    QCOMPARE(s.widgetHeight, 250);
}

void TstFormListRows::captionMinimums_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QVector<int>>("widths");
    QTest::newRow("English") << 0 << QVector<int>{50, 55, 55, 90, 105};
    QTest::newRow("German") << 1 << QVector<int>{60, 70, 70, 70, 100};
    QTest::newRow("French") << 2 << QVector<int>{75, 55, 60, 65, 105};
    QTest::newRow("Dutch") << 3 << QVector<int>{90, 75, 80, 85, 95};
    QTest::newRow("Italian") << 4 << QVector<int>{50, 55, 110, 75, 110};
    QTest::newRow("Spanish") << 5 << QVector<int>{80, 65, 80, 90, 110};
    QTest::newRow("Portuguese") << 6 << QVector<int>{80, 55, 90, 90, 105};
    QTest::newRow("Russian") << 7 << QVector<int>{65, 60, 80, 72, 120};
    QTest::newRow("Polish") << 8 << QVector<int>{50, 55, 82, 60, 132};
    QTest::newRow("Czech") << 9 << QVector<int>{75, 70, 80, 70, 90};
    QTest::newRow("Romanian") << 10 << QVector<int>{60, 55, 75, 70, 90};
    QTest::newRow("Chinese") << 11 << QVector<int>{50, 55, 55, 90, 105};
    QTest::newRow("out of range") << 42 << QVector<int>{50, 55, 55, 90, 105};
}

void TstFormListRows::captionMinimums()
{
    QFETCH(int, language);
    QFETCH(QVector<int>, widths);
    for (int column = 0; column < 5; ++column)
        QCOMPARE(captionMinimumWidth(language, column), widths.at(column));
}

TALVEX_TEST_MAIN(TstFormListRows)
#include "tst_formlistrows.moc"

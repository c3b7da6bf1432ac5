// Time texts, typed cut times, the OK/warning decision and the text sizes of the cut editor,
// without a window.
#include "cutbarfit.h"
#include "cuttime.h"

#include "testsupport.h"

using CutTime::Bound;
using CutTime::Decision;
using OptionalSeconds = std::optional<int>;
Q_DECLARE_METATYPE(OptionalSeconds)
Q_DECLARE_METATYPE(Decision)
Q_DECLARE_METATYPE(Bound)

class TstCutTime : public QObject
{
    Q_OBJECT
private slots:
    void formatsMinutesPastTheHour_data();
    void formatsMinutesPastTheHour();
    void parsesFieldsAsTyped_data();
    void parsesFieldsAsTyped();
    void rangeTextRoundTrips_data();
    void rangeTextRoundTrips();
    void rejectsMalformedRangeText_data();
    void rejectsMalformedRangeText();
    void spanLabelKeepsHours();
    void startMovesOneSecondEarlierNeverBeforeZero_data();
    void startMovesOneSecondEarlierNeverBeforeZero();
    void typedTimeAppliesOnlyWhenValid_data();
    void typedTimeAppliesOnlyWhenValid();
    void spanWhileTypingComesFromTheEntry_data();
    void spanWhileTypingComesFromTheEntry();
    void decidesOkOrWarning_data();
    void decidesOkOrWarning();
    void formatsPlayClock_data();
    void formatsPlayClock();
    void textsGiveWayInOrder_data();
    void textsGiveWayInOrder();
};

void TstCutTime::formatsMinutesPastTheHour_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "00:00";
    QTest::newRow("one digit each") << 65 << "01:05";
    QTest::newRow("last second of the first hour") << 3599 << "59:59";
    QTest::newRow("one hour") << 3600 << "60:00";
    QTest::newRow("one hour two minutes five") << 3725 << "62:05";
    QTest::newRow("ten hours") << 36000 << "600:00";
    QTest::newRow("negative") << -5 << "00:00";
}

void TstCutTime::formatsMinutesPastTheHour()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(CutTime::formatMinSec(seconds), text);
    QCOMPARE(CutTime::minutesField(seconds) + ':' + CutTime::secondsField(seconds), text);
}

void TstCutTime::parsesFieldsAsTyped_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<OptionalSeconds>("expected");
    QTest::newRow("one digit each") << "1"
                                    << "5" << OptionalSeconds(65);
    QTest::newRow("two digits each") << "01"
                                     << "05" << OptionalSeconds(65);
    QTest::newRow("past the hour") << "62"
                                   << "05" << OptionalSeconds(3725);
    QTest::newRow("three-digit minutes") << "120"
                                         << "00" << OptionalSeconds(7200);
    QTest::newRow("zero") << "00"
                          << "00" << OptionalSeconds(0);
    QTest::newRow("empty minutes") << ""
                                   << "05" << OptionalSeconds();
    QTest::newRow("empty seconds") << "01"
                                   << "" << OptionalSeconds();
    QTest::newRow("sixty seconds") << "1"
                                   << "60" << OptionalSeconds();
    QTest::newRow("letters") << "1"
                             << "5a" << OptionalSeconds();
    QTest::newRow("four-digit minutes") << "1000"
                                        << "00" << OptionalSeconds();
    QTest::newRow("largest minutes") << "999"
                                     << "59" << OptionalSeconds(59999);
    QTest::newRow("hh:mm:ss typed into the fields") << "01:02"
                                                    << "03" << OptionalSeconds();
    QTest::newRow("three-digit seconds") << "1"
                                         << "005" << OptionalSeconds();
    QTest::newRow("blank inside") << " 1"
                                  << "05" << OptionalSeconds();
    QTest::newRow("sign") << "-1"
                          << "05" << OptionalSeconds();
}

void TstCutTime::parsesFieldsAsTyped()
{
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(OptionalSeconds, expected);
    QCOMPARE(CutTime::parseFields(minutes, seconds), expected);
    QCOMPARE(CutTime::parseMinSec(minutes + ':' + seconds), expected);
}

void TstCutTime::rangeTextRoundTrips_data()
{
    QTest::addColumn<int>("startSec");
    QTest::addColumn<int>("endSec");
    QTest::newRow("whole short clip") << 0 << 125;
    QTest::newRow("inside the first hour") << 65 << 750;
    QTest::newRow("across the hour") << 3590 << 3725;
    QTest::newRow("long recording") << 7200 << 36061;
}

void TstCutTime::rangeTextRoundTrips()
{
    QFETCH(int, startSec);
    QFETCH(int, endSec);
    const auto range = CutTime::parseRangeText(CutTime::rangeText(startSec, endSec));
    QVERIFY(range);
    QCOMPARE(range->startSec, startSec);
    QCOMPARE(range->endSec, endSec);
}

void TstCutTime::rejectsMalformedRangeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty fields") << ": ~ :";
    QTest::newRow("no separator") << "01:00-02:00";
    QTest::newRow("three times") << "01:00 ~ 02:00 ~ 03:00";
    QTest::newRow("missing seconds") << "01 ~ 02:00";
}

void TstCutTime::rejectsMalformedRangeText()
{
    QFETCH(QString, text);
    QVERIFY(!CutTime::parseRangeText(text));
}

void TstCutTime::spanLabelKeepsHours()
{
    // A slider span ending at 3725.99 s shows the whole time, not the minutes of the hour.
    const int upper = CutTime::secondsFromHundredths(372599);
    QCOMPARE(CutTime::rangeText(CutTime::secondsFromHundredths(6500), upper),
             QStringLiteral("01:05 ~ 62:05"));
}

void TstCutTime::startMovesOneSecondEarlierNeverBeforeZero_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<OptionalSeconds>("expected");
    QTest::newRow("member boundary at one minute") << "01"
                                                   << "00" << OptionalSeconds(59);
    QTest::newRow("start of the clip stays") << "00"
                                             << "00" << OptionalSeconds(0);
    QTest::newRow("boundary at one hour") << "60"
                                          << "00" << OptionalSeconds(3599);
    QTest::newRow("three-digit minutes") << "100"
                                         << "00" << OptionalSeconds(5999);
    QTest::newRow("one-character minutes") << "1"
                                           << "00" << OptionalSeconds();
    QTest::newRow("one-character seconds") << "01"
                                           << "5" << OptionalSeconds();
    QTest::newRow("unreadable") << "0x"
                                << "00" << OptionalSeconds();
}

void TstCutTime::startMovesOneSecondEarlierNeverBeforeZero()
{
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(OptionalSeconds, expected);
    QCOMPARE(CutTime::startOneSecondEarlier(minutes, seconds), expected);
}

void TstCutTime::typedTimeAppliesOnlyWhenValid_data()
{
    // the span in force (hundredths; the clip ends at maximum), the time typed into the fields
    // of one bound, and the bound it sets in hundredths, or none while it cannot apply
    QTest::addColumn<QVector<int>>("span"); // lower, upper, maximum
    QTest::addColumn<Bound>("bound");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<OptionalSeconds>("expected");
    const QVector<int> minute{0, 6000, 6000};
    const QVector<int> from10{1000, 6000, 6000};
    // the end typed field by field on a one-minute clip: 00 then 40, 40 then 00
    QTest::newRow("end minutes 00 first: not after the start") << minute << Bound::End << "00"
                                                               << "00" << OptionalSeconds();
    QTest::newRow("end 00:4 while typing") << minute << Bound::End << "00"
                                           << "4" << OptionalSeconds(400);
    QTest::newRow("end 00:40") << minute << Bound::End << "00"
                               << "40" << OptionalSeconds(4000);
    QTest::newRow("end seconds 40 first: past the clip") << minute << Bound::End << "01"
                                                         << "40" << OptionalSeconds();
    QTest::newRow("end minutes 0 after 40") << minute << Bound::End << "0"
                                            << "40" << OptionalSeconds(4000);
    QTest::newRow("end 00:04 not after a start at 00:10") << from10 << Bound::End << "00"
                                                          << "04" << OptionalSeconds();
    QTest::newRow("end 00:40 after a start at 00:10") << from10 << Bound::End << "00"
                                                      << "40" << OptionalSeconds(4000);
    QTest::newRow("end at the start's second")
        << QVector<int>{1050, 6000, 6000} << Bound::End << "00"
        << "10" << OptionalSeconds();
    QTest::newRow("end a second after a start inside its second")
        << QVector<int>{1050, 6000, 6000} << Bound::End << "00"
        << "11" << OptionalSeconds(1100);
    QTest::newRow("end at the clip's end") << QVector<int>{0, 3000, 6050} << Bound::End << "01"
                                           << "00" << OptionalSeconds(6000);
    QTest::newRow("end a second the clip does not reach")
        << QVector<int>{0, 3000, 5999} << Bound::End << "01"
        << "00" << OptionalSeconds();
    QTest::newRow("end keeps its hundredths") << QVector<int>{0, 5999, 5999} << Bound::End << "0"
                                              << "59" << OptionalSeconds(5999);
    QTest::newRow("end unreadable") << minute << Bound::End << ""
                                    << "40" << OptionalSeconds();
    // the start
    QTest::newRow("start 00:50") << minute << Bound::Start << "00"
                                 << "50" << OptionalSeconds(5000);
    QTest::newRow("start 00:5 while typing") << minute << Bound::Start << "00"
                                             << "5" << OptionalSeconds(500);
    QTest::newRow("start at the end") << minute << Bound::Start << "01"
                                      << "00" << OptionalSeconds();
    QTest::newRow("start after the end") << QVector<int>{1500, 4500, 6000} << Bound::Start << "00"
                                         << "50" << OptionalSeconds();
    QTest::newRow("start at the end's second")
        << QVector<int>{0, 4050, 6000} << Bound::Start << "00"
        << "40" << OptionalSeconds();
    QTest::newRow("start keeps its hundredths")
        << QVector<int>{1050, 4050, 6000} << Bound::Start << "0"
        << "10" << OptionalSeconds(1050);
    QTest::newRow("start seconds emptied") << minute << Bound::Start << "00"
                                           << "" << OptionalSeconds();
    QTest::newRow("start past the hour") << QVector<int>{0, 372599, 372599} << Bound::Start << "61"
                                         << "00" << OptionalSeconds(366000);
}

void TstCutTime::typedTimeAppliesOnlyWhenValid()
{
    QFETCH(QVector<int>, span);
    QFETCH(Bound, bound);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(OptionalSeconds, expected);
    QCOMPARE(CutTime::typedBound(bound, minutes, seconds, {span.at(0), span.at(1), span.at(2)}),
             expected);
}

void TstCutTime::spanWhileTypingComesFromTheEntry_data()
{
    // the span in force when the typing in a field began (hundredths; the clip ends at maximum),
    // the fields of the time typed as they stand, the other time's fields when they did not
    // apply at the entry (none: they did), then the span, whether the typed time applies and
    // whether the other one now does
    QTest::addColumn<QVector<int>>("entry"); // lower, upper, maximum
    QTest::addColumn<Bound>("bound");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("refusedOther");
    QTest::addColumn<QVector<int>>("span"); // lower, upper
    QTest::addColumn<bool>("applied");
    QTest::addColumn<bool>("otherApplied");
    const QVector<int> from10to30{1000, 3000, 6000};
    const QStringList none;
    // start seconds typed as 45 after the end: the 4 on the way, then 45
    QTest::newRow("start 00:4 on the way") << from10to30 << Bound::Start << QStringList{"00", "4"}
                                           << none << QVector<int>{400, 3000} << true << false;
    QTest::newRow("start 00:45 after the end: the entry span")
        << from10to30 << Bound::Start << QStringList{"00", "45"} << none << QVector<int>{1000, 3000}
        << false << false;
    QTest::newRow("start 00:20 typed in full")
        << from10to30 << Bound::Start << QStringList{"00", "20"} << none << QVector<int>{2000, 3000}
        << true << false;
    // end seconds typed as 75: the 7 on the way, then a second no minute has
    QTest::newRow("end 00:7 on the way")
        << QVector<int>{500, 5000, 6000} << Bound::End << QStringList{"00", "7"} << none
        << QVector<int>{500, 700} << true << false;
    QTest::newRow("end 00:75: the entry span, hundredths and all")
        << QVector<int>{550, 5075, 6000} << Bound::End << QStringList{"00", "75"} << none
        << QVector<int>{550, 5075} << false << false;
    QTest::newRow("start seconds emptied")
        << QVector<int>{4500, 5000, 6000} << Bound::Start << QStringList{"00", ""} << none
        << QVector<int>{4500, 5000} << false << false;
    // the end typed before as 00:20, refused while the start was 00:30
    const QVector<int> from30{3000, 6000, 6000};
    const QStringList end20{"00", "20"};
    QTest::newRow("a refused end applies once the start makes room")
        << from30 << Bound::Start << QStringList{"00", "1"} << end20 << QVector<int>{100, 2000}
        << true << true;
    QTest::newRow("a refused end stays refused while the start is past it")
        << from30 << Bound::Start << QStringList{"00", "25"} << end20 << QVector<int>{2500, 6000}
        << true << false;
    QTest::newRow("a start that cannot apply leaves the refused end refused")
        << from30 << Bound::Start << QStringList{"00", ""} << end20 << QVector<int>{3000, 6000}
        << false << false;
}

void TstCutTime::spanWhileTypingComesFromTheEntry()
{
    QFETCH(QVector<int>, entry);
    QFETCH(Bound, bound);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, refusedOther);
    QFETCH(QVector<int>, span);
    QFETCH(bool, applied);
    QFETCH(bool, otherApplied);
    std::optional<CutTime::TimeFields> other;
    if (!refusedOther.isEmpty())
        other = CutTime::TimeFields{refusedOther.at(0), refusedOther.at(1)};
    const CutTime::TypedSpan result = CutTime::spanWhileTyping(
        bound, {typed.at(0), typed.at(1)}, other, {entry.at(0), entry.at(1), entry.at(2)});
    QCOMPARE(result.lower, span.at(0));
    QCOMPARE(result.upper, span.at(1));
    QCOMPARE(result.applied, applied);
    QCOMPARE(result.otherApplied, otherApplied);
}

void TstCutTime::decidesOkOrWarning_data()
{
    QTest::addColumn<QString>("rangeText");
    QTest::addColumn<qint64>("durationMs");
    QTest::addColumn<Decision>("expected");
    QTest::newRow("one second") << "00:00 ~ 00:01" << qint64(0) << Decision::Ok;
    QTest::newRow("equal start and end") << "01:00 ~ 01:00" << qint64(0) << Decision::Warning;
    QTest::newRow("end before start") << "02:00 ~ 01:00" << qint64(0) << Decision::Warning;
    QTest::newRow("unreadable") << "1:x ~ 2:00" << qint64(0) << Decision::Warning;
    QTest::newRow("end past a clip ending half a second after the start")
        << "00:10 ~ 00:20" << qint64(10500) << Decision::Warning;
    QTest::newRow("end past the clip, one second left")
        << "00:10 ~ 00:20" << qint64(11000) << Decision::Ok;
    QTest::newRow("start past the clip") << "70:00 ~ 75:00" << qint64(3725000) << Decision::Warning;
    QTest::newRow("over an hour") << "59:30 ~ 62:05" << qint64(3725000) << Decision::Ok;
}

void TstCutTime::decidesOkOrWarning()
{
    QFETCH(QString, rangeText);
    QFETCH(qint64, durationMs);
    QFETCH(Decision, expected);
    QCOMPARE(CutTime::decide(CutTime::parseRangeText(rangeText), durationMs), expected);
}

void TstCutTime::formatsPlayClock_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<qint64>("durationMs");
    QTest::addColumn<QString>("text");
    QTest::newRow("short clip") << qint64(65000) << qint64(125000) << "01:05";
    QTest::newRow("start of a long clip") << qint64(65000) << qint64(3725000) << "0:01:05";
    QTest::newRow("end of a long clip") << qint64(3725000) << qint64(3725000) << "1:02:05";
    QTest::newRow("nothing open") << qint64(0) << qint64(0) << "00:00";
    QTest::newRow("negative position") << qint64(-100) << qint64(0) << "00:00";
    QTest::newRow("length unknown past an hour") << qint64(4000000) << qint64(0) << "1:06:40";
}

void TstCutTime::formatsPlayClock()
{
    QFETCH(qint64, ms);
    QFETCH(qint64, durationMs);
    QFETCH(QString, text);
    QCOMPARE(CutTime::formatClock(ms, durationMs), text);
}

void TstCutTime::textsGiveWayInOrder_data()
{
    // texts as wide as 10 (label), 8 (range) and 6 (fields) times the font's pixel size
    QTest::addColumn<int>("roomPx");
    QTest::addColumn<int>("largestFontPx");
    QTest::addColumn<QVector<int>>("plan"); // font, label and range widths
    QTest::newRow("room for the whole texts") << 312 << 13 << QVector<int>{13, 130, 104};
    QTest::newRow("a smaller font") << 264 << 13 << QVector<int>{11, 110, 88};
    QTest::newRow("the smallest font") << 216 << 13 << QVector<int>{9, 90, 72};
    QTest::newRow("the label cut short") << 200 << 13 << QVector<int>{9, 74, 72};
    QTest::newRow("the range label cut short too") << 100 << 13 << QVector<int>{9, 0, 46};
    QTest::newRow("no room") << -20 << 13 << QVector<int>{9, 0, 0};
    QTest::newRow("a font already below the smallest") << 192 << 8 << QVector<int>{8, 80, 64};
}

void TstCutTime::textsGiveWayInOrder()
{
    QFETCH(int, roomPx);
    QFETCH(int, largestFontPx);
    QFETCH(QVector<int>, plan);
    const CutBarFit::Plan fit = CutBarFit::plan(roomPx, largestFontPx, [](int px) {
        return CutBarFit::Widths{10 * px, 8 * px, 6 * px};
    });
    QCOMPARE((QVector<int>{fit.fontPx, fit.labelPx, fit.rangePx}), plan);
}

TALVEX_TEST_MAIN(TstCutTime)
#include "tst_cuttime.moc"

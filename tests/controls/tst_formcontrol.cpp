// The play bar in a real window: its signals, the cut editor's decisions and its texts.
#include "formcontrol.h"
#include "sliderstyle.h"

#include "appglobals.h"
#include "barstyle.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {

constexpr qint64 shortClipMs = 125340;       // 2:05.34
constexpr qint64 longClipMs = 3725000 + 990; // 1:02:05.99
constexpr qint64 minuteClipMs = 60000;

} // namespace

class TstFormControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void buttonsEmitTheirSignalsInOrder();
    void positionSliderReportsHundredths();
    void playerPositionMovesSliderSilently();
    void speedVolumeMuteAndZoomReportValues();
    void playButtonFollowsPlayState();
    void editModeStartsWithTheWholeClip();
    void spanChangeWritesLabelAndFields();
    void fieldsAreWrittenWithoutChangeSignals();
    void typedFieldsMoveTheSpan();
    void typedTimeAppliesOnceValid_data();
    void typedTimeAppliesOnceValid();
    void fieldBeingTypedKeepsItsDigits();
    void timePassedOnTheWayNeverStays_data();
    void timePassedOnTheWayNeverStays();
    void sliderMovedWhileTypingIsTheNewEntry();
    void notAppliedTimeGivesWayToTheSpan_data();
    void notAppliedTimeGivesWayToTheSpan();
    void notAppliedTimeIsMarkedInRed_data();
    void notAppliedTimeIsMarkedInRed();
    void okDecidesBetweenOkAndWarning_data();
    void okDecidesBetweenOkAndWarning();
    void checkGroupTimeComesBeforeTheDecision();
    void groupBoundaryAnswerMovesStart_data();
    void groupBoundaryAnswerMovesStart();
    void cancelAsksToLeave();
    void missingLanguageRowsFallBackToEnglish();
    void narrowBarTextsGiveWayToTheSlider();
    void screenshots_data();
    void screenshots();

private:
    template <typename T> T *child(const char *name) const
    {
        T *widget = bar->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    void setFields(const QString &startMin, const QString &startSec, const QString &endMin,
                   const QString &endSec);
    // Selects the field's text and types text over it (nothing: empties it); Return finishes the
    // edit when finish.
    void typeInto(const QString &field, const QString &text, bool finish = true);
    // Presses keys in edit: "SelectAll" selects its text, "End" and "Backspace" are those keys,
    // anything else is typed.
    void pressKeys(QLineEdit *edit, const QStringList &keys);
    // Whether the two fields of the start (or the end) are marked as not applied.
    bool marked(bool start) const;
    void recordSignals();

    std::unique_ptr<FormControl> bar;
    QStringList events;
    QStringList savedEditMode;
};

void TstFormControl::init()
{
    savedEditMode = gLangEditMode;
    events.clear();
    bar = std::make_unique<FormControl>();
    bar->applyStyle(1);
    bar->resize(1100, 32);
    bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    bar->setDuration(shortClipMs);
    recordSignals();
}

void TstFormControl::cleanup()
{
    bar.reset();
    gLangEditMode = savedEditMode;
}

void TstFormControl::recordSignals()
{
    FormControl *b = bar.get();
    const auto record = [this](const char *name) { return [this, name] { events << name; }; };
    connect(b, &FormControl::playPauseClicked, this, record("playPause"));
    connect(b, &FormControl::stop, this, record("stop"));
    connect(b, &FormControl::previous, this, record("previous"));
    connect(b, &FormControl::next, this, record("next"));
    connect(b, &FormControl::stepBackward, this, record("stepBackward"));
    connect(b, &FormControl::stepForward, this, record("stepForward"));
    connect(b, &FormControl::fullScreenClicked, this, record("fullScreen"));
    connect(b, &FormControl::pipClicked, this, record("pip"));
    connect(b, &FormControl::syncClicked, this, record("sync"));
    connect(b, &FormControl::editModeRequested, this, record("edit"));
    connect(b, &FormControl::checkGroupTime, this, record("checkGroupTime"));
    connect(b, &FormControl::editOk, this, record("editOk"));
    connect(b, &FormControl::edit_cancel, this, record("edit_cancel"));
    connect(b, &FormControl::edit_warning, this, record("edit_warning"));
}

void TstFormControl::setFields(const QString &startMin, const QString &startSec,
                               const QString &endMin, const QString &endSec)
{
    bar->setOP_Mode(OP_Edit);
    bar->setEditTimeRangeText(startMin, startSec, endMin, endSec);
}

void TstFormControl::typeInto(const QString &field, const QString &text, bool finish)
{
    auto *edit = bar->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
    if (finish)
        QTest::keyClick(edit, Qt::Key_Return);
}

void TstFormControl::pressKeys(QLineEdit *edit, const QStringList &keys)
{
    for (const QString &key : keys) {
        if (key == QLatin1String("SelectAll"))
            edit->selectAll();
        else if (key == QLatin1String("End"))
            QTest::keyClick(edit, Qt::Key_End);
        else if (key == QLatin1String("Backspace"))
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, key);
    }
}

bool TstFormControl::marked(bool start) const
{
    const char *const names[2][2] = {{"editEndMin", "editEndSec"},
                                     {"editStartMin", "editStartSec"}};
    const bool minutes = child<QLineEdit>(names[start][0])->property("notApplied").toBool();
    const bool seconds = child<QLineEdit>(names[start][1])->property("notApplied").toBool();
    if (minutes != seconds)
        qFatal("only one field of a time is marked");
    return minutes;
}

void TstFormControl::buttonsEmitTheirSignalsInOrder()
{
    const char *const buttons[] = {"btnPlay",     "btnStop",        "btnPrevious",   "btnNext",
                                   "btnStepBack", "btnStepForward", "btnFullScreen", "btnPip",
                                   "btnSync",     "btnEdit"};
    for (const char *name : buttons)
        QTest::mouseClick(child<QToolButton>(name), Qt::LeftButton);
    QCOMPARE(events, (QStringList{"playPause", "stop", "previous", "next", "stepBackward",
                                  "stepForward", "fullScreen", "pip", "sync", "edit"}));
}

void TstFormControl::positionSliderReportsHundredths()
{
    auto *slider = child<QSlider>("sliderPosition");
    QCOMPARE(slider->maximum(), 12534);
    QSignalSpy moved(bar.get(), &FormControl::positionSliderMoved);
    QTest::mouseClick(slider, Qt::LeftButton, {},
                      QPoint(slider->width() / 2, slider->height() / 2));
    QVERIFY(!moved.isEmpty());
    const int hundredths = moved.last().at(0).toInt();
    QVERIFY2(qAbs(hundredths - 12534 / 2) < 12534 / 20, qPrintable(QString::number(hundredths)));
    const int sec = hundredths / 100;
    QCOMPARE(child<QLabel>("labelTime")->text(), QStringLiteral("%1:%2 / 02:05")
                                                     .arg(sec / 60, 2, 10, QLatin1Char('0'))
                                                     .arg(sec % 60, 2, 10, QLatin1Char('0')));
}

void TstFormControl::playerPositionMovesSliderSilently()
{
    QSignalSpy moved(bar.get(), &FormControl::positionSliderMoved);
    bar->setPosition(61230);
    QCOMPARE(child<QSlider>("sliderPosition")->value(), 6123);
    QCOMPARE(child<QLabel>("labelTime")->text(), QStringLiteral("01:01 / 02:05"));
    bar->setDuration(longClipMs);
    QCOMPARE(child<QLabel>("labelTime")->text(), QStringLiteral("0:01:01 / 1:02:05"));
    QVERIFY(moved.isEmpty());
}

void TstFormControl::speedVolumeMuteAndZoomReportValues()
{
    QSignalSpy speed(bar.get(), &FormControl::speedChanged);
    QSignalSpy volume(bar.get(), &FormControl::volumeChanged);
    QSignalSpy mute(bar.get(), &FormControl::muteChanged);
    QSignalSpy zoom(bar.get(), &FormControl::zoomChanged);

    auto *combo = child<QComboBox>("comboSpeed");
    QCOMPARE(combo->currentData().toDouble(), 1.0);
    combo->setCurrentIndex(combo->findData(2.0));
    child<QSlider>("sliderVolume")->setValue(40);
    QTest::mouseClick(child<QToolButton>("btnMute"), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>("btnMute"), Qt::LeftButton);
    child<QSlider>("sliderZoom")->setValue(25);

    QCOMPARE(speed.size(), 1);
    QCOMPARE(speed.at(0).at(0).toDouble(), 2.0);
    QCOMPARE(volume.size(), 1);
    QCOMPARE(volume.at(0).at(0).toInt(), 40);
    QCOMPARE(mute.size(), 2);
    QCOMPARE(mute.at(0).at(0).toBool(), true);
    QCOMPARE(mute.at(1).at(0).toBool(), false);
    QCOMPARE(zoom.size(), 1);
    QCOMPARE(zoom.at(0).at(0).toInt(), 25);
}

void TstFormControl::playButtonFollowsPlayState()
{
    auto *play = child<QToolButton>("btnPlay");
    QCOMPARE(play->toolTip(), QStringLiteral("Play"));
    bar->setPlayState(PlayingState);
    QCOMPARE(play->toolTip(), QStringLiteral("Pause"));
    bar->setPlayState(PausedState);
    QCOMPARE(play->toolTip(), QStringLiteral("Play"));
}

void TstFormControl::editModeStartsWithTheWholeClip()
{
    bar->setDuration(longClipMs);
    QCOMPARE(bar->opMode(), OP_Play);
    bar->setOP_Mode(OP_Edit);
    QCOMPARE(bar->opMode(), OP_Edit);
    QVERIFY(child<QWidget>("sliderSpan")->isVisible());
    QVERIFY(!child<QWidget>("sliderPosition")->isVisible());
    QCOMPARE(bar->editSlider()->lowerValue(), 0);
    QCOMPARE(bar->editSlider()->upperValue(), 372599);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), QStringLiteral("00:00 ~ 62:05"));
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("00:00 ~ 62:05"));
    bar->setOP_Mode(OP_Play);
    QVERIFY(child<QWidget>("sliderPosition")->isVisible());
}

void TstFormControl::spanChangeWritesLabelAndFields()
{
    bar->setOP_Mode(OP_Edit);
    QSignalSpy span(bar->editSlider(), &SliderStyle::spanChanged);
    bar->editSlider()->setSpan(6599, 7500);
    QCOMPARE(span.size(), 1);
    QCOMPARE(span.at(0).at(0).toInt(), 6599);
    QCOMPARE(span.at(0).at(1).toInt(), 7500);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), QStringLiteral("01:05 ~ 01:15"));
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("01:05 ~ 01:15"));
}

void TstFormControl::fieldsAreWrittenWithoutChangeSignals()
{
    bar->setOP_Mode(OP_Edit);
    QSignalSpy edited(child<QLineEdit>("editStartMin"), &QLineEdit::textChanged);
    QSignalSpy span(bar->editSlider(), &SliderStyle::spanChanged);
    bar->setEditTimeRangeText("1", "5", "12", "30");
    QVERIFY(edited.isEmpty());
    QVERIFY(span.isEmpty());
    // Left as written: one-digit fields stay one digit.
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("1:5 ~ 12:30"));
    const QString label = QStringLiteral("01:05 ~ 12:30");
    bar->setEditTimeRangeLeftText(label);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), label);
}

void TstFormControl::typedFieldsMoveTheSpan()
{
    bar->setDuration(longClipMs);
    bar->setOP_Mode(OP_Edit);
    auto *startMin = child<QLineEdit>("editStartMin");
    startMin->setFocus();
    startMin->selectAll();
    QTest::keyClicks(startMin, "61");
    QTest::keyClick(startMin, Qt::Key_Return);
    QCOMPARE(bar->editSlider()->lowerValue(), 61 * 60 * 100);
    QCOMPARE(bar->editSlider()->upperValue(), 372599);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), QStringLiteral("61:00 ~ 62:05"));

    // Seconds of 60 and more show as typed, not applied: never as the digit before them.
    auto *endSec = child<QLineEdit>("editEndSec");
    endSec->setFocus();
    endSec->selectAll();
    QTest::keyClicks(endSec, "75");
    QCOMPARE(endSec->text(), QStringLiteral("75"));
    QVERIFY(marked(false));
    QCOMPARE(bar->editSlider()->upperValue(), 372599);
}

void TstFormControl::typedTimeAppliesOnceValid_data()
{
    // on a one-minute clip, the fields typed one after the other, each finished with Return: the
    // fields as they then stand, the span in force and the marked times
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("span");
    QTest::addColumn<bool>("startMarked");
    QTest::addColumn<bool>("endMarked");
    QTest::newRow("end minutes 00: not after the start")
        << QStringList{"editEndMin"} << QStringList{"00"} << "00:00 ~ 00:00"
        << "00:00 ~ 01:00" << false << true;
    QTest::newRow("end 00 then 40")
        << QStringList{"editEndMin", "editEndSec"} << QStringList{"00", "40"} << "00:00 ~ 00:40"
        << "00:00 ~ 00:40" << false << false;
    QTest::newRow("end seconds 40: past the clip")
        << QStringList{"editEndSec"} << QStringList{"40"} << "00:00 ~ 01:40"
        << "00:00 ~ 01:00" << false << true;
    QTest::newRow("end 40 then 0")
        << QStringList{"editEndSec", "editEndMin"} << QStringList{"40", "0"} << "00:00 ~ 00:40"
        << "00:00 ~ 00:40" << false << false;
    QTest::newRow("start 10, then the end 00 then 40")
        << QStringList{"editStartMin", "editStartSec", "editEndMin", "editEndSec"}
        << QStringList{"00", "10", "00", "40"} << "00:10 ~ 00:40"
        << "00:10 ~ 00:40" << false << false;
    QTest::newRow("start 50 then 00")
        << QStringList{"editStartSec", "editStartMin"} << QStringList{"50", "00"} << "00:50 ~ 01:00"
        << "00:50 ~ 01:00" << false << false;
    QTest::newRow("start at the end")
        << QStringList{"editStartMin"} << QStringList{"1"} << "1:00 ~ 01:00"
        << "00:00 ~ 01:00" << true << false;
    QTest::newRow("start emptied")
        << QStringList{"editStartSec"} << QStringList{""} << "00: ~ 01:00"
        << "00:00 ~ 01:00" << true << false;
    QTest::newRow("a refused start applies once the end passes it")
        << QStringList{"editEndSec", "editEndMin", "editStartSec", "editEndSec"}
        << QStringList{"40", "00", "50", "59"} << "00:50 ~ 00:59"
        << "00:50 ~ 00:59" << false << false;
    QTest::newRow("a refused end applies once the start is before it")
        << QStringList{"editStartSec", "editEndMin", "editEndSec", "editStartSec"}
        << QStringList{"30", "00", "20", "10"} << "00:10 ~ 00:20"
        << "00:10 ~ 00:20" << false << false;
}

void TstFormControl::typedTimeAppliesOnceValid()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, typed);
    QFETCH(QString, shown);
    QFETCH(QString, span);
    QFETCH(bool, startMarked);
    QFETCH(bool, endMarked);
    bar->setDuration(minuteClipMs);
    bar->setOP_Mode(OP_Edit);
    for (int i = 0; i < fields.size(); ++i)
        typeInto(fields.at(i), typed.at(i));
    QCOMPARE(bar->getEditTimeRangeLeftText(), shown);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), span);
    const auto range = CutTime::parseRangeText(span);
    QCOMPARE(bar->editSlider()->lowerValue(), range->startSec * 100);
    QCOMPARE(bar->editSlider()->upperValue(), range->endSec * 100);
    QCOMPARE(marked(true), startMarked);
    QCOMPARE(marked(false), endMarked);
}

void TstFormControl::fieldBeingTypedKeepsItsDigits()
{
    bar->setDuration(minuteClipMs);
    bar->setOP_Mode(OP_Edit);
    typeInto("editEndMin", "00");
    // 00:4 applies at once; the field keeps its one digit and its cursor until its edit is done
    typeInto("editEndSec", "4", false);
    auto *seconds = child<QLineEdit>("editEndSec");
    QCOMPARE(seconds->text(), QStringLiteral("4"));
    QCOMPARE(seconds->cursorPosition(), 1);
    QCOMPARE(bar->editSlider()->upperValue(), 400);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), QStringLiteral("00:00 ~ 00:04"));
    QVERIFY(!marked(false));
    QTest::keyClick(seconds, Qt::Key_Return);
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("00:00 ~ 00:04"));
}

void TstFormControl::timePassedOnTheWayNeverStays_data()
{
    // on a one-minute clip: the span (seconds), the fields typed before it (each finished with
    // Return); then into one field the keys that pass a time that applies, the span it gives
    // while it stands, the keys that end the entry, how the typing stops; then the fields, the
    // span in force and the marked times
    QTest::addColumn<int>("lowerSec");
    QTest::addColumn<int>("upperSec");
    QTest::addColumn<QStringList>("before"); // field, text, field, text...
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QString>("passed");
    QTest::addColumn<QStringList>("rest");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("span");
    QTest::addColumn<bool>("startMarked");
    QTest::addColumn<bool>("endMarked");
    const QStringList none;
    const QStringList start4{"SelectAll", "4"};
    const QStringList backspace{"Backspace"};
    QTest::newRow("start 45, after the end, then Return")
        << 10 << 30 << none << "editStartSec" << start4 << "00:04 ~ 00:30" << QStringList{"5"}
        << "Return"
        << "00:45 ~ 00:30"
        << "00:10 ~ 00:30" << true << false;
    QTest::newRow("end 75, not a second, then the focus lost")
        << 5 << 50 << none << "editEndSec" << QStringList{"SelectAll", "7"} << "00:05 ~ 00:07"
        << QStringList{"5"} << "focus"
        << "00:05 ~ 00:75"
        << "00:05 ~ 00:50" << false << true;
    QTest::newRow("start 45 backspaced to empty, then OK")
        << 45 << 50 << none << "editStartSec" << QStringList{"End", "Backspace"} << "00:04 ~ 00:50"
        << backspace << "ok"
        << "00:45 ~ 00:50"
        << "00:45 ~ 00:50" << false << false;
    QTest::newRow("start 45 backspaced to empty, then leaving the editor")
        << 45 << 50 << none << "editStartSec" << QStringList{"End", "Backspace"} << "00:04 ~ 00:50"
        << backspace << "leave"
        << "00:45 ~ 00:50"
        << "00:45 ~ 00:50" << false << false;
    QTest::newRow("start 20 typed in full stays")
        << 10 << 30 << none << "editStartSec" << QStringList{"SelectAll", "2"} << "00:02 ~ 00:30"
        << QStringList{"0"} << "Return"
        << "00:20 ~ 00:30"
        << "00:20 ~ 00:30" << false << false;
    QTest::newRow("start 5, then OK")
        << 10 << 30 << none << "editStartSec" << QStringList{"SelectAll", "5"} << "00:05 ~ 00:30"
        << none << "ok"
        << "00:05 ~ 00:30"
        << "00:05 ~ 00:30" << false << false;
    // the end typed as 00:20 before a start at 00:30: refused, until the start makes room
    QTest::newRow("an end applied by the start typed is written out in full")
        << 30 << 60 << QStringList{"editEndMin", "0", "editEndSec", "20"} << "editStartSec"
        << QStringList{"SelectAll", "1"} << "00:01 ~ 00:20" << QStringList{"0"} << "Return"
        << "00:10 ~ 00:20"
        << "00:10 ~ 00:20" << false << false;
    QTest::newRow("an end applied by a start on the way is refused again")
        << 30 << 60 << QStringList{"editEndMin", "00", "editEndSec", "20"} << "editStartSec"
        << QStringList{"SelectAll", "1"} << "00:01 ~ 00:20" << backspace << "Return"
        << "00: ~ 00:20"
        << "00:30 ~ 01:00" << true << true;
}

void TstFormControl::timePassedOnTheWayNeverStays()
{
    QFETCH(int, lowerSec);
    QFETCH(int, upperSec);
    QFETCH(QStringList, before);
    QFETCH(QString, field);
    QFETCH(QStringList, first);
    QFETCH(QString, passed);
    QFETCH(QStringList, rest);
    QFETCH(QString, stop);
    QFETCH(QString, shown);
    QFETCH(QString, span);
    QFETCH(bool, startMarked);
    QFETCH(bool, endMarked);
    // focus changes reach the fields of the active window only
    bar->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(bar.get()));
    bar->setDuration(minuteClipMs);
    bar->setOP_Mode(OP_Edit);
    bar->editSlider()->setSpan(lowerSec * 100, upperSec * 100);
    for (int i = 0; i + 1 < before.size(); i += 2)
        typeInto(before.at(i), before.at(i + 1));
    auto *edit = child<QLineEdit>(qPrintable(field));
    edit->setFocus();
    auto *label = child<QLabel>("labelEditTimeRange");
    pressKeys(edit, first);
    QCOMPARE(label->text(), passed);
    pressKeys(edit, rest);
    events.clear();
    if (stop == QLatin1String("Return"))
        QTest::keyClick(edit, Qt::Key_Return);
    else if (stop == QLatin1String("focus"))
        edit->clearFocus();
    else if (stop == QLatin1String("ok"))
        QTest::mouseClick(child<QPushButton>("btnEditOk"), Qt::LeftButton);
    else
        bar->setOP_Mode(OP_Play);
    QCOMPARE(bar->getEditTimeRangeLeftText(), shown);
    QCOMPARE(label->text(), span);
    const auto range = CutTime::parseRangeText(span);
    QVERIFY(range);
    QCOMPARE(bar->editSlider()->lowerValue(), range->startSec * 100);
    QCOMPARE(bar->editSlider()->upperValue(), range->endSec * 100);
    QCOMPARE(marked(true), startMarked);
    QCOMPARE(marked(false), endMarked);
    // only OK hands the span on; ending the typing otherwise says nothing
    const QStringList handedOn{"checkGroupTime", "editOk"};
    QCOMPARE(events, stop == QLatin1String("ok") ? handedOn : QStringList());
}

void TstFormControl::sliderMovedWhileTypingIsTheNewEntry()
{
    bar->setDuration(minuteClipMs);
    bar->setOP_Mode(OP_Edit);
    bar->editSlider()->setSpan(1000, 3000);
    typeInto("editStartSec", "4", false);
    QCOMPARE(bar->editSlider()->lowerValue(), 400);
    // dragged while the field keeps the focus (the slider takes none)
    bar->editSlider()->setSpan(2000, 4000);
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("00:20 ~ 00:40"));
    // a time that cannot apply gives the dragged span back, not the one before the drag
    typeInto("editStartSec", "45", false);
    QVERIFY(marked(true));
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), QStringLiteral("00:20 ~ 00:40"));
    QCOMPARE(bar->editSlider()->lowerValue(), 2000);
}

void TstFormControl::notAppliedTimeGivesWayToTheSpan_data()
{
    // the end typed as 01:40 on a one-minute clip from 00:10, then:
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("signalled");
    QTest::newRow("OK") << "ok"
                        << "00:10 ~ 01:00" << QStringList{"checkGroupTime", "editOk"};
    QTest::newRow("leaving the editor") << "leave"
                                        << "00:10 ~ 01:00" << QStringList();
    QTest::newRow("the slider moved") << "slider"
                                      << "00:20 ~ 00:30" << QStringList();
}

void TstFormControl::notAppliedTimeGivesWayToTheSpan()
{
    QFETCH(QString, then);
    QFETCH(QString, shown);
    QFETCH(QStringList, signalled);
    bar->setDuration(minuteClipMs);
    bar->setOP_Mode(OP_Edit);
    typeInto("editStartSec", "10");
    typeInto("editEndSec", "40", false);
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("00:10 ~ 01:40"));
    QVERIFY(marked(false));
    events.clear();
    if (then == QLatin1String("ok"))
        QTest::mouseClick(child<QPushButton>("btnEditOk"), Qt::LeftButton);
    else if (then == QLatin1String("leave"))
        bar->setOP_Mode(OP_Play);
    else
        bar->editSlider()->setSpan(2000, 3000);
    QCOMPARE(bar->getEditTimeRangeLeftText(), shown);
    QCOMPARE(child<QLabel>("labelEditTimeRange")->text(), shown);
    QVERIFY(!marked(true));
    QVERIFY(!marked(false));
    QCOMPARE(events, signalled);
}

void TstFormControl::notAppliedTimeIsMarkedInRed_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("white") << 0;
    QTest::newRow("black") << 1;
}

void TstFormControl::notAppliedTimeIsMarkedInRed()
{
    QFETCH(int, style);
    bar->applyStyle(style);
    bar->setDuration(minuteClipMs);
    bar->setOP_Mode(OP_Edit);
    const char *const names[] = {"editStartMin", "editStartSec", "editEndMin", "editEndSec"};
    QVector<int> widths;
    for (const char *name : names)
        widths << child<QLineEdit>(name)->width();
    typeInto("editEndSec", "40");
    QVERIFY(marked(false));
    // no focus frame in the accent colour beside the digits
    child<QLineEdit>("editEndSec")->clearFocus();
    QApplication::processEvents();
    const QImage image = bar->grab().toImage();
    const QColor red = barPalette(style).notApplied;
    for (int i = 0; i < 4; ++i) {
        const auto *field = child<QLineEdit>(names[i]);
        QCOMPARE(field->width(), widths.at(i));
        const qreal ratio = image.devicePixelRatio();
        const QRect area(field->mapTo(bar.get(), QPoint(0, 0)) * ratio, field->size() * ratio);
        const int redPixels = TestSupport::pixelsNear(image, area, red);
        const bool isEnd = i >= 2;
        QVERIFY2(isEnd ? redPixels > 5 : redPixels == 0,
                 qPrintable(QStringLiteral("%1: %2 red pixels").arg(names[i]).arg(redPixels)));
    }
}

void TstFormControl::okDecidesBetweenOkAndWarning_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<qint64>("durationMs");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one minute") << QStringList{"00", "10", "01", "10"} << shortClipMs
                                << QStringList{"checkGroupTime", "editOk"};
    QTest::newRow("one second") << QStringList{"00", "10", "00", "11"} << shortClipMs
                                << QStringList{"checkGroupTime", "editOk"};
    QTest::newRow("no length") << QStringList{"00", "10", "00", "10"} << shortClipMs
                               << QStringList{"checkGroupTime", "edit_warning"};
    QTest::newRow("end before start") << QStringList{"01", "00", "00", "30"} << shortClipMs
                                      << QStringList{"checkGroupTime", "edit_warning"};
    QTest::newRow("fields of one digit") << QStringList{"1", "5", "2", "0"} << shortClipMs
                                         << QStringList{"checkGroupTime", "editOk"};
    QTest::newRow("over an hour") << QStringList{"61", "00", "62", "05"} << longClipMs
                                  << QStringList{"checkGroupTime", "editOk"};
    QTest::newRow("start past the clip") << QStringList{"70", "00", "75", "00"} << longClipMs
                                         << QStringList{"checkGroupTime", "edit_warning"};
    QTest::newRow("empty field") << QStringList{"", "10", "01", "00"} << shortClipMs
                                 << QStringList{"edit_warning"};
}

void TstFormControl::okDecidesBetweenOkAndWarning()
{
    QFETCH(QStringList, fields);
    QFETCH(qint64, durationMs);
    QFETCH(QStringList, expected);
    bar->setDuration(durationMs);
    setFields(fields.at(0), fields.at(1), fields.at(2), fields.at(3));
    events.clear();
    QTest::mouseClick(child<QPushButton>("btnEditOk"), Qt::LeftButton);
    QCOMPARE(events, expected);
}

void TstFormControl::checkGroupTimeComesBeforeTheDecision()
{
    QSignalSpy check(bar.get(), &FormControl::checkGroupTime);
    setFields("1", "5", "2", "0");
    QTest::mouseClick(child<QPushButton>("btnEditOk"), Qt::LeftButton);
    QCOMPARE(check.size(), 1);
    QCOMPARE(check.at(0).at(0).toString(), QStringLiteral("01:05"));
    QCOMPARE(check.at(0).at(1).toString(), QStringLiteral("02:00"));
}

void TstFormControl::groupBoundaryAnswerMovesStart_data()
{
    QTest::addColumn<bool>("onBoundary");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("rangeAfter");
    QTest::addColumn<QString>("decision");
    QTest::newRow("boundary at one minute")
        << true << QStringList{"01", "00", "02", "00"} << "00:59 ~ 02:00"
        << "editOk";
    QTest::newRow("not a boundary")
        << false << QStringList{"01", "00", "02", "00"} << "01:00 ~ 02:00"
        << "editOk";
    QTest::newRow("start of the clip never before 00:00")
        << true << QStringList{"00", "00", "00", "05"} << "00:00 ~ 00:05"
        << "editOk";
    QTest::newRow("one-digit minutes stay")
        << true << QStringList{"1", "00", "2", "00"} << "1:00 ~ 2:00"
        << "editOk";
    QTest::newRow("one second before the end of a one-second cut")
        << true << QStringList{"00", "10", "00", "10"} << "00:09 ~ 00:10"
        << "editOk";
}

void TstFormControl::groupBoundaryAnswerMovesStart()
{
    QFETCH(bool, onBoundary);
    QFETCH(QStringList, fields);
    QFETCH(QString, rangeAfter);
    QFETCH(QString, decision);
    // The play list answers directly, inside the emission.
    connect(bar.get(), &FormControl::checkGroupTime, bar.get(),
            [&] { bar->checkGroupTimeResult(onBoundary); });
    setFields(fields.at(0), fields.at(1), fields.at(2), fields.at(3));
    events.clear();
    QTest::mouseClick(child<QPushButton>("btnEditOk"), Qt::LeftButton);
    QCOMPARE(bar->getEditTimeRangeLeftText(), rangeAfter);
    QCOMPARE(events.last(), decision);
}

void TstFormControl::cancelAsksToLeave()
{
    bar->setOP_Mode(OP_Edit);
    QTest::mouseClick(child<QPushButton>("btnEditCancel"), Qt::LeftButton);
    QCOMPARE(events, QStringList{"edit_cancel"});
    QCOMPARE(bar->opMode(), OP_Edit); // the main window decides whether to leave
}

void TstFormControl::missingLanguageRowsFallBackToEnglish()
{
    gLangEditMode =
        QStringList{QString(), QStringLiteral("Bearbeiten"), QStringLiteral("Schnittzeit")};
    bar->applyLanguage();
    QCOMPARE(child<QLabel>("labelCutTime")->text(), QStringLiteral("Schnittzeit"));
    QCOMPARE(child<QToolButton>("btnEdit")->toolTip(), QStringLiteral("Bearbeiten"));
    QCOMPARE(child<QPushButton>("btnEditOk")->text(), QStringLiteral("OK"));
    QCOMPARE(child<QToolButton>("btnSync")->toolTip(), QStringLiteral("Sync"));
    gLangEditMode.clear();
    bar->applyLanguage();
    QCOMPARE(child<QLabel>("labelCutTime")->text(), QStringLiteral("Cut Time"));
}

void TstFormControl::narrowBarTextsGiveWayToTheSlider()
{
    // longer than any translation in the table, so that it has to be cut short at last
    const QString whole = QStringLiteral("Интервал обрезки видеозаписи для экспорта в файл");
    gLangEditMode = QStringList{QString(), QStringLiteral("Редактировать"), whole,
                                QStringLiteral("ОК"), QStringLiteral("Отмена")};
    bar->applyLanguage();
    bar->setDuration(longClipMs);
    bar->setOP_Mode(OP_Edit);
    const QString range = bar->getEditTimeRangeLeftText();
    auto *label = child<QLabel>("labelCutTime");
    auto *rangeLabel = child<QLabel>("labelEditTimeRange");
    auto *page = child<QWidget>("pageEdit");
    auto *cancel = child<QPushButton>("btnEditCancel");
    const int normalPx = QFontInfo(bar->font()).pixelSize();
    int lastPx = normalPx;
    bool smallerFont = false;
    bool labelCut = false;
    // narrower and narrower: first a smaller font, then the label cut short, never the slider
    for (int width = 1100;; width -= 10) {
        bar->resize(width, 32);
        // the window system answers a window's resize in its own time
        QTRY_COMPARE(bar->width(), std::max(width, bar->minimumWidth()));
        if (bar->width() > width)
            break; // the play page's least width
        const QString at = QStringLiteral("%1 px").arg(width);
        QVERIFY2(bar->editSlider()->width() >= 120, qPrintable(at));
        QVERIFY2(cancel->geometry().right() < page->width(), qPrintable(at));
        const int px = QFontInfo(label->font()).pixelSize();
        QVERIFY2(px <= lastPx, qPrintable(at));
        lastPx = px;
        if (label->text() == whole) {
            QVERIFY2(label->toolTip().isEmpty(), qPrintable(at));
            smallerFont = smallerFont || px < normalPx;
        } else {
            QCOMPARE(label->toolTip(), whole);
            QVERIFY2(label->text().isEmpty() || label->text().endsWith(QChar(0x2026)),
                     qPrintable(at));
            labelCut = true;
        }
        // the range label gives way last
        if (rangeLabel->text() != range) {
            QCOMPARE(rangeLabel->toolTip(), range);
            QVERIFY2(label->text().isEmpty(), qPrintable(at));
        }
    }
    QVERIFY(smallerFont);
    QVERIFY(labelCut);
    TestSupport::saveScreenshot(bar.get(), QStringLiteral("playbar_edit_narrow_ru"));
}

void TstFormControl::screenshots_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("name");
    QTest::newRow("white play") << 0 << int(OP_Play) << 32 << "playbar_white_play";
    QTest::newRow("white edit") << 0 << int(OP_Edit) << 32 << "playbar_white_edit";
    QTest::newRow("black play") << 1 << int(OP_Play) << 32 << "playbar_black_play";
    QTest::newRow("black edit") << 1 << int(OP_Edit) << 32 << "playbar_black_edit";
    // The main window's smallest bar: (713 - 675) x 0.0273 + 20.
    QTest::newRow("black play thin") << 1 << int(OP_Play) << 21 << "playbar_black_play_thin";
    QTest::newRow("black edit thin") << 1 << int(OP_Edit) << 21 << "playbar_black_edit_thin";
}

void TstFormControl::screenshots()
{
    QFETCH(int, style);
    QFETCH(int, mode);
    QFETCH(int, height);
    QFETCH(QString, name);
    bar->setFixedHeight(height);
    bar->applyStyle(style);
    bar->setDuration(longClipMs);
    bar->setPosition(1265000);
    bar->setPlayState(PlayingState);
    bar->setOP_Mode(OP_Mode(mode));
    bar->editSlider()->setSpan(61200, 254000);
    QTest::qWait(50);
    const QImage image = bar->grab().toImage();
    // The played part (play) or the chosen span (edit) is drawn in the accent colour, the rest
    // of the groove is not.
    QWidget *slider = mode == OP_Play ? static_cast<QWidget *>(child<QSlider>("sliderPosition"))
                                      : bar->editSlider();
    const int y = slider->height() / 2;
    const auto at = [&](double fraction) {
        return TestSupport::colourAt(image, bar.get(), slider,
                                     QPoint(int(slider->width() * fraction), y));
    };
    const double inside = mode == OP_Play ? 0.15 : 0.4;
    QVERIFY2(TestSupport::isNear(at(inside), TestSupport::accent()), qPrintable(at(inside).name()));
    QVERIFY(!TestSupport::isNear(at(0.9), TestSupport::accent()));
    if (mode == OP_Edit)
        QVERIFY(!TestSupport::isNear(at(0.05), TestSupport::accent()));
    TestSupport::saveScreenshot(bar.get(), name);
}

TALVEX_TEST_MAIN(TstFormControl)
#include "tst_formcontrol.moc"

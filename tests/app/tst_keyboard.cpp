// End to end: keys typed through the X server reach the text fields of the program and of other
// windows, and the player keys reach the player while the main window is active in player mode
// and no field has the focus. The main window never takes the display's keyboard.
#include "appglobals.h"
#include "barstyle.h"
#include "choosertest.h"
#include "cuttime.h"
#include "dashcam.h"
#include "exporttestfiles.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "formmap.h"
#include "formupdateapplication.h"
#include "formvideosetupwidget.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "removabledrives.h"
#include "replacequestion.h"
#include "ridepagetest.h"
#include "settingkeys.h"
#include "sliderstyle.h"
#include "testsupport.h"
#include "xtestinput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <QWindow>

#include <functional>

namespace {

using namespace MainWindowTest;
using ChooserTest::openChooser;

constexpr int clipSec = 250;      // 04:10
constexpr int minuteClipSec = 60; // the length a dashcam writes most
constexpr int clipFps = 5;
constexpr int openTimeoutMs = 20000;
constexpr int exportTimeoutMs = 120000;
// An exported cut lasts its span to within a frame of the clip and the container's rounding of
// the last frame's length.
constexpr double exportToleranceSec = 1.0 / clipFps + 0.05;

template <typename T> T *child(QObject *parent, const QString &name)
{
    return parent->findChild<T *>(name);
}

using TestSupport::shownWindow;

// The keys pressed in the focused widgets inside one widget, in order.
class KeyRecorder : public QObject
{
public:
    explicit KeyRecorder(QWidget *area) : area_(area) { qApp->installEventFilter(this); }
    QList<int> keys;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // a key a widget leaves goes on to its parents: only its first receiver counts
        if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget() &&
            area_->isAncestorOf(QApplication::focusWidget()))
            keys << static_cast<QKeyEvent *>(event)->key();
        return false;
    }

private:
    QWidget *area_;
};

// Counts the events of a type that the window system delivers to an object while when() holds.
struct EventCount : QObject
{
    EventCount(QObject *watched, QEvent::Type type, std::function<bool()> when)
        : type(type), when(std::move(when))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == type && event->spontaneous() && when() ? 1 : 0;
        return false;
    }
    QEvent::Type type;
    std::function<bool()> when;
    int count = 0;
};

} // namespace

class TstKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void cutEditorFieldsSetTheTypedSpan_data();
    void cutEditorFieldsSetTheTypedSpan();
    void cutEditorFieldsShowTheAppliedSpan_data();
    void cutEditorFieldsShowTheAppliedSpan();
    void cutEditorTimesTypedFieldByFieldAreExported_data();
    void cutEditorTimesTypedFieldByFieldAreExported();
    void cutEditorTimeNotAppliedGivesWayToTheSpan_data();
    void cutEditorTimeNotAppliedGivesWayToTheSpan();
    void cutEditorTimePassedOnTheWayNeverStays_data();
    void cutEditorTimePassedOnTheWayNeverStays();
    void fileChooserNameFieldTakesTyping();
    void outputPageTakesTyping();
    void replaceQuestionTakesEscapeAndReturnAsCancel();
    void processingPageStaysUntilItsExportEnds();
    void anotherWindowTypesWhileThePlayerPlays();
    void playerKeysReachThePlayerWithNoFieldFocused_data();
    void playerKeysReachThePlayerWithNoFieldFocused();
    void keysBAndNChooseTheFile_data();
    void keysBAndNChooseTheFile();
    void windowKeysSetTheWindowState_data();
    void windowKeysSetTheWindowState();
    void ridePageKeepsItsKeys();
    void otherWindowsKeepTheirKeys_data();
    void otherWindowsKeepTheirKeys();

private:
    // Shows w on the screen it runs on, makes it the active window and opens clip (paused; the
    // 04:10 clip when none is given).
    void showWithClip(MainWindow &w, const QString &clip = QString());
    // Clicks into field, selects its text and types text over it.
    void typeInto(QLineEdit *field, const QString &text);
    // Presses each key of keys alone; "Control_L+a" presses the keys joined by "+" together.
    void pressKeys(const QStringList &keys);
    // Types into the cut editor's fields one after the other as a user does: click into the
    // field, type over its text, Tab.
    void typeTimes(MainWindow &w, const QStringList &fields, const QStringList &typed);
    // The cut editor of w, entered through the play bar's edit button.
    void enterEditMode(MainWindow &w);
    // The cut editor's OK: the output page of w shows.
    void clickEditorOk(MainWindow &w);
    // Shows w with the 04:10 clip and opens its output page from the cut editor as a user does;
    // the page is active.
    void openOutputPage(MainWindow &w);
    // The four fields, the range label and the slider of w show span ("mm:ss ~ mm:ss"), and no
    // field is marked as not applied.
    void verifyShowsSpan(MainWindow &w, const QString &span);
    // From the output page that the cut editor's OK opened: into a file of a new folder, up to
    // the finished page; seconds is the exported file's decoded length.
    void exportFromOutputPage(MainWindow &w, double *seconds);

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    QString minuteClip_;
    QStringList clips_; // the list's clips in the order keysBAndNChooseTheFile opens them
    QString savedAutomatically_;
    XTestInput input_;
};

void TstKeyboard::initTestCase()
{
    QVERIFY(input_.isReady());
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file and clip.txt stay here
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip_, clipSec, QStringLiteral("160x120"), false, clipFps));
    clips_ = QStringList{clip_};
    for (const char *name : {"20261207101900_F.mp4", "20261207102300_F.mp4"}) {
        clips_ << dir_.filePath(QLatin1String(name));
        QVERIFY(TestSupport::makeClip(clips_.last(), clipSec, QStringLiteral("160x120"), false,
                                      clipFps));
    }
    minuteClip_ = dir_.filePath(QStringLiteral("20261207110000_F.mp4"));
    QVERIFY(TestSupport::makeClip(minuteClip_, minuteClipSec, QStringLiteral("160x120"), false,
                                  clipFps));
}

void TstKeyboard::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void TstKeyboard::init()
{
    gSupportPromptHidden = false;
    savedAutomatically_ = gParameters.value(SettingKeys::automatically);
}

void TstKeyboard::cleanup()
{
    // a window a failed case left open would take the input focus from the next case
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->close();
    }
    gParameters[SettingKeys::automatically] = savedAutomatically_;
}

void TstKeyboard::showWithClip(MainWindow &w, const QString &clip)
{
    const QString path = clip.isEmpty() ? clip_ : clip;
    if (gDisplayMode != 0)
        w.onDisplayModeChange(); // one camera: the edit button opens the editor at once
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    w.move(screen.topLeft());
    QVERIFY(showWindow(w, screen.size() * 9 / 10));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.onOpenFile_L({QUrl::fromLocalFile(path)});
    QTRY_VERIFY_WITH_TIMEOUT(listedPaths(w.formList()).contains(path), openTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, openTimeoutMs);
    QTRY_VERIFY(w.control()->editSlider()->maximum() > 0);
}

void TstKeyboard::typeInto(QLineEdit *field, const QString &text)
{
    QVERIFY(field);
    input_.click(field);
    QTRY_VERIFY(field->hasFocus());
    input_.chord({"Control_L", "a"});
    input_.type(text);
    QTRY_COMPARE(field->text(), text);
}

void TstKeyboard::pressKeys(const QStringList &keys)
{
    for (const QString &key : keys)
        input_.chord(key.split(QLatin1Char('+')));
}

void TstKeyboard::typeTimes(MainWindow &w, const QStringList &fields, const QStringList &typed)
{
    for (int i = 0; i < fields.size(); ++i) {
        auto *field = child<QLineEdit>(w.control(), fields.at(i));
        typeInto(field, typed.at(i));
        if (QTest::currentTestFailed())
            return;
        input_.chord({"Tab"});
        QTRY_VERIFY(!field->hasFocus());
    }
}

void TstKeyboard::enterEditMode(MainWindow &w)
{
    input_.click(child<QAbstractButton>(w.control(), QStringLiteral("btnEdit")));
    QTRY_COMPARE(w.control()->opMode(), OP_Edit);
}

void TstKeyboard::clickEditorOk(MainWindow &w)
{
    input_.click(child<QAbstractButton>(w.control(), QStringLiteral("btnEditOk")));
    QTRY_VERIFY(w.formDialog()->isVisible());
}

void TstKeyboard::openOutputPage(MainWindow &w)
{
    showWithClip(w);
    enterEditMode(w);
    clickEditorOk(w);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(QTest::qWaitForWindowActive(w.formDialog()));
}

void TstKeyboard::verifyShowsSpan(MainWindow &w, const QString &span)
{
    FormControl *bar = w.control();
    QTRY_COMPARE(bar->getEditTimeRangeLeftText(), span);
    QCOMPARE(child<QLabel>(bar, QStringLiteral("labelEditTimeRange"))->text(), span);
    const auto range = CutTime::parseRangeText(span);
    QVERIFY(range);
    // the slider counts hundredths
    QCOMPARE(bar->editSlider()->lowerValue() / 100, range->startSec);
    QCOMPARE(bar->editSlider()->upperValue() / 100, range->endSec);
    for (const char *name : {"editStartMin", "editStartSec", "editEndMin", "editEndSec"})
        QVERIFY2(!child<QLineEdit>(bar, QLatin1String(name))->property("notApplied").toBool(),
                 name);
}

void TstKeyboard::exportFromOutputPage(MainWindow &w, double *seconds)
{
    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(dialog, QStringLiteral("f_os"))->isVisible());
    QTemporaryDir folder(dir_.filePath(QStringLiteral("out-XXXXXX")));
    QVERIFY(folder.isValid());
    const QString output = folder.filePath(QStringLiteral("cut.mov"));
    child<QLineEdit>(dialog, QStringLiteral("os_le"))->setText(output);
    ExportEnd end(w);
    input_.click(child<QPushButton>(dialog, QStringLiteral("os_btn_ok")));
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    *seconds = ExportTestFiles::decodedDuration(output);
}

void TstKeyboard::cutEditorFieldsSetTheTypedSpan_data()
{
    // fields in typing order, what is typed into each, and the span it gives on the 04:10 clip
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("lowerSec");
    QTest::addColumn<int>("upperSec");
    QTest::addColumn<QString>("range");
    QTest::newRow("start 01:02") << QStringList{"editStartMin", "editStartSec"}
                                 << QStringList{"01", "02"} << 62 << clipSec << "01:02 ~ 04:10";
    QTest::newRow("end minute 03")
        << QStringList{"editEndMin"} << QStringList{"03"} << 0 << 3 * 60 + 10 << "00:00 ~ 03:10";
    QTest::newRow("01:02 to 03") << QStringList{"editStartMin", "editStartSec", "editEndMin"}
                                 << QStringList{"01", "02", "03"} << 62 << 3 * 60 + 10
                                 << "01:02 ~ 03:10";
    QTest::newRow("one digit") << QStringList{"editStartMin", "editStartSec"}
                               << QStringList{"2", "5"} << 125 << clipSec << "02:05 ~ 04:10";
}

void TstKeyboard::cutEditorFieldsSetTheTypedSpan()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, typed);
    QFETCH(int, lowerSec);
    QFETCH(int, upperSec);
    QFETCH(QString, range);
    MainWindow w;
    showWithClip(w);
    enterEditMode(w);
    for (int i = 0; i < fields.size(); ++i) {
        auto *field = child<QLineEdit>(w.control(), fields.at(i));
        typeInto(field, typed.at(i));
        if (QTest::currentTestFailed())
            return;
        // the field, not the player, takes Left
        input_.chord({"Left"});
        QTRY_COMPARE(field->cursorPosition(), typed.at(i).size() - 1);
        input_.chord({"Return"});
    }
    // the slider counts hundredths
    const SliderStyle *span = w.control()->editSlider();
    QTRY_COMPARE(span->lowerValue() / 100, lowerSec);
    QTRY_COMPARE(span->upperValue() / 100, upperSec);
    QCOMPARE(child<QLabel>(w.control(), QStringLiteral("labelEditTimeRange"))->text(), range);
    TestSupport::saveScreenshot(w.control(), QStringLiteral("keyboard-cut-editor-typed"));
}

void TstKeyboard::cutEditorFieldsShowTheAppliedSpan_data()
{
    // the span before, the field typed into and what is typed (nothing: the field is emptied), a
    // time that cannot apply; after Tab the four fields as they stand, the typed digits kept and
    // marked as not applied, and the span that applies on the 04:10 clip
    QTest::addColumn<int>("lowerSec");
    QTest::addColumn<int>("upperSec");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("applied");
    QTest::newRow("end second 99 before the start") << 15 << 45 << "editEndSec"
                                                    << "99"
                                                    << "00:15 ~ 00:99"
                                                    << "00:15 ~ 00:45";
    // the 9 on the way is 04:09, which applies while it stands
    QTest::newRow("end second 99 after the start") << 0 << clipSec << "editEndSec"
                                                   << "99"
                                                   << "00:00 ~ 04:99"
                                                   << "00:00 ~ 04:10";
    QTest::newRow("start minute after the end") << 15 << 90 << "editStartMin"
                                                << "02"
                                                << "02:15 ~ 01:30"
                                                << "00:15 ~ 01:30";
    QTest::newRow("end minute past the clip") << 15 << clipSec << "editEndMin"
                                              << "999"
                                              << "00:15 ~ 999:10"
                                              << "00:15 ~ 04:10";
    QTest::newRow("start second emptied") << 15 << 90 << "editStartSec"
                                          << ""
                                          << "00: ~ 01:30"
                                          << "00:15 ~ 01:30";
}

void TstKeyboard::cutEditorFieldsShowTheAppliedSpan()
{
    QFETCH(int, lowerSec);
    QFETCH(int, upperSec);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, applied);
    MainWindow w;
    showWithClip(w);
    enterEditMode(w);
    FormControl *bar = w.control();
    SliderStyle *span = bar->editSlider();
    span->setSpan(lowerSec * 100, upperSec * 100);
    auto *edit = child<QLineEdit>(bar, field);
    QVERIFY(edit);
    input_.click(edit);
    QTRY_VERIFY(edit->hasFocus());
    input_.chord({"Control_L", "a"});
    if (typed.isEmpty())
        input_.chord({"BackSpace"});
    else
        input_.type(typed);
    QTRY_COMPARE(edit->text(), typed);
    input_.chord({"Tab"});
    QTRY_VERIFY(!edit->hasFocus());
    // a time not applied keeps its digits, marked; the other fields, the label and the slider
    // say the span that applies
    QCOMPARE(bar->getEditTimeRangeLeftText(), shown);
    const bool start = field.startsWith(QLatin1String("editStart"));
    const QStringList names = start ? QStringList{"editStartMin", "editStartSec"}
                                    : QStringList{"editEndMin", "editEndSec"};
    for (const QString &name : names)
        QVERIFY(child<QLineEdit>(bar, name)->property("notApplied").toBool());
    const auto range = CutTime::parseRangeText(applied);
    QVERIFY(range);
    QCOMPARE(span->lowerValue() / 100, range->startSec);
    QCOMPARE(span->upperValue() / 100, range->endSec);
    QCOMPARE(child<QLabel>(bar, QStringLiteral("labelEditTimeRange"))->text(), applied);
    // OK takes the span that applies, and all four fields say it
    clickEditorOk(w);
    verifyShowsSpan(w, applied);
}

void TstKeyboard::cutEditorTimesTypedFieldByFieldAreExported_data()
{
    // on the one-minute clip, which the editor opens at 00:00 ~ 01:00: the fields in typing
    // order, what is typed into each, and the span they give
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("span");
    QTest::newRow("end 00 then 40")
        << QStringList{"editEndMin", "editEndSec"} << QStringList{"00", "40"} << "00:00 ~ 00:40";
    QTest::newRow("end 40 then 00")
        << QStringList{"editEndSec", "editEndMin"} << QStringList{"40", "00"} << "00:00 ~ 00:40";
    QTest::newRow("start 10, then the end 00 then 40")
        << QStringList{"editStartMin", "editStartSec", "editEndMin", "editEndSec"}
        << QStringList{"00", "10", "00", "40"} << "00:10 ~ 00:40";
    QTest::newRow("start 00 then 50") << QStringList{"editStartMin", "editStartSec"}
                                      << QStringList{"00", "50"} << "00:50 ~ 01:00";
    QTest::newRow("start 50 then 00") << QStringList{"editStartSec", "editStartMin"}
                                      << QStringList{"50", "00"} << "00:50 ~ 01:00";
}

void TstKeyboard::cutEditorTimesTypedFieldByFieldAreExported()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, typed);
    QFETCH(QString, span);
    MainWindow w;
    showWithClip(w, minuteClip_);
    enterEditMode(w);
    verifyShowsSpan(w, QStringLiteral("00:00 ~ 01:00"));
    typeTimes(w, fields.mid(0, fields.size() - 1), typed.mid(0, typed.size() - 1));
    auto *last = child<QLineEdit>(w.control(), fields.last());
    typeInto(last, typed.last());
    if (QTest::currentTestFailed())
        return;
    // applied as soon as typed, before the field's edit is done
    QTRY_COMPARE(child<QLabel>(w.control(), QStringLiteral("labelEditTimeRange"))->text(), span);
    input_.chord({"Tab"});
    QTRY_VERIFY(!last->hasFocus());
    verifyShowsSpan(w, span);
    if (QTest::currentTestFailed())
        return;
    clickEditorOk(w);
    double seconds = 0;
    exportFromOutputPage(w, &seconds);
    const auto range = CutTime::parseRangeText(span);
    QVERIFY2(qAbs(seconds - (range->endSec - range->startSec)) <= exportToleranceSec,
             qPrintable(QString::number(seconds)));
}

void TstKeyboard::cutEditorTimeNotAppliedGivesWayToTheSpan_data()
{
    // on the one-minute clip the start typed as 10 s, the end's seconds as 40 (01:40, past the
    // clip), then:
    QTest::addColumn<QString>("then");
    QTest::newRow("OK") << "ok";
    QTest::newRow("Cancel and leave") << "leave";
    QTest::newRow("the slider dragged") << "drag";
}

void TstKeyboard::cutEditorTimeNotAppliedGivesWayToTheSpan()
{
    QFETCH(QString, then);
    MainWindow w;
    showWithClip(w, minuteClip_);
    enterEditMode(w);
    FormControl *bar = w.control();
    typeTimes(w, {"editStartSec", "editEndSec"}, {"10", "40"});
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(bar->getEditTimeRangeLeftText(), QStringLiteral("00:10 ~ 01:40"));
    QCOMPARE(child<QLabel>(bar, QStringLiteral("labelEditTimeRange"))->text(),
             QStringLiteral("00:10 ~ 01:00"));

    // the end's digits in the marking colour, the start's not
    QApplication::processEvents();
    const QImage image = bar->grab().toImage();
    const QColor red = barPalette(gStyle).notApplied;
    for (const char *name : {"editStartMin", "editStartSec", "editEndMin", "editEndSec"}) {
        const auto *field = child<QLineEdit>(bar, QLatin1String(name));
        const bool isEnd = QLatin1String(name).startsWith(QLatin1String("editEnd"));
        QCOMPARE(field->property("notApplied").toBool(), isEnd);
        const qreal ratio = image.devicePixelRatio();
        const QRect area(field->mapTo(bar, QPoint(0, 0)) * ratio, field->size() * ratio);
        const int redPixels = TestSupport::pixelsNear(image, area, red);
        QVERIFY2(isEnd ? redPixels > 5 : redPixels == 0,
                 qPrintable(QStringLiteral("%1: %2 red pixels").arg(name).arg(redPixels)));
    }
    TestSupport::saveScreenshot(image, QStringLiteral("cut-editor-time-not-applied"));

    if (then == QLatin1String("leave")) {
        input_.click(child<QAbstractButton>(bar, QStringLiteral("btnEditCancel")));
        FormDialog *dialog = w.formDialog();
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(child<QWidget>(dialog, QStringLiteral("f_msLeave"))->isVisible());
        input_.click(child<QPushButton>(dialog, QStringLiteral("msLeave_btn_ok")));
        QTRY_COMPARE(bar->opMode(), OP_Play);
        verifyShowsSpan(w, QStringLiteral("00:10 ~ 01:00"));
        // back in the editor: the whole clip
        enterEditMode(w);
        verifyShowsSpan(w, QStringLiteral("00:00 ~ 01:00"));
        return;
    }
    QString span = QStringLiteral("00:10 ~ 01:00");
    if (then == QLatin1String("drag")) {
        // the start's handle, nearest to the middle, dragged from there to three quarters
        SliderStyle *slider = bar->editSlider();
        const int y = slider->height() / 2;
        input_.drag(slider, QPoint(slider->width() / 2, y), QPoint(slider->width() * 3 / 4, y));
        // at three quarters once the last move has arrived: the moves before end short of it
        QTRY_VERIFY(slider->lowerValue() >= slider->maximum() * 74 / 100);
        span = CutTime::rangeText(slider->lowerValue() / 100, slider->upperValue() / 100);
        verifyShowsSpan(w, span);
        QCOMPARE(span.right(5), QStringLiteral("01:00"));
    }
    clickEditorOk(w);
    verifyShowsSpan(w, span);
    double seconds = 0;
    exportFromOutputPage(w, &seconds);
    const auto range = CutTime::parseRangeText(span);
    QVERIFY2(qAbs(seconds - (range->endSec - range->startSec)) <= exportToleranceSec,
             qPrintable(QString::number(seconds)));
}

void TstKeyboard::cutEditorTimePassedOnTheWayNeverStays_data()
{
    // on the one-minute clip, in a language, the span typed as its start's seconds, the end's
    // minutes 00 and its seconds; then into one field the keys that pass a time that applies on
    // the way, the span that time gives, the keys that end on a time that cannot apply, what the
    // field then holds and how the typing stops (a key, or OK clicked at once)
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("spanTyped");
    QTest::addColumn<QString>("span");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QString>("passed");
    QTest::addColumn<QStringList>("rest");
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("stop");
    const QStringList selectAnd4{"Control_L+a", "4"};
    QTest::newRow("start seconds 45, after the end, then Tab")
        << int(LangEnglish) << QStringList{"10", "30"} << "00:10 ~ 00:30"
        << "editStartSec" << selectAnd4 << "00:04 ~ 00:30" << QStringList{"5"} << "45"
        << "Tab";
    QTest::newRow("end seconds 75, not a second, then Return")
        << int(LangEnglish) << QStringList{"05", "50"} << "00:05 ~ 00:50"
        << "editEndSec" << QStringList{"Control_L+a", "7"} << "00:05 ~ 00:07" << QStringList{"5"}
        << "75"
        << "Return";
    QTest::newRow("start seconds 45 backspaced to empty, then OK")
        << int(LangEnglish) << QStringList{"45", "50"} << "00:45 ~ 00:50"
        << "editStartSec" << QStringList{"End", "BackSpace"} << "00:04 ~ 00:50"
        << QStringList{"BackSpace"} << ""
        << "OK";
    // the texts of the editor and the dialog are the language's; the times are not
    QTest::newRow("Russian: start seconds 45, after the end, then OK")
        << int(LangRussian) << QStringList{"10", "30"} << "00:10 ~ 00:30"
        << "editStartSec" << selectAnd4 << "00:04 ~ 00:30" << QStringList{"5"} << "45"
        << "OK";
}

void TstKeyboard::cutEditorTimePassedOnTheWayNeverStays()
{
    QFETCH(int, language);
    QFETCH(QStringList, spanTyped);
    QFETCH(QString, span);
    QFETCH(QString, field);
    QFETCH(QStringList, first);
    QFETCH(QString, passed);
    QFETCH(QStringList, rest);
    QFETCH(QString, held);
    QFETCH(QString, stop);
    MainWindow w;
    const auto english = qScopeGuard([&w] { w.setLanguage(LangEnglish); });
    w.setLanguage(language);
    showWithClip(w, minuteClip_);
    enterEditMode(w);
    FormControl *bar = w.control();
    typeTimes(w, {"editStartSec", "editEndMin", "editEndSec"},
              {spanTyped.at(0), "00", spanTyped.at(1)});
    if (QTest::currentTestFailed())
        return;
    verifyShowsSpan(w, span);

    auto *edit = child<QLineEdit>(bar, field);
    input_.click(edit);
    QTRY_VERIFY(edit->hasFocus());
    pressKeys(first);
    // the time on the way applies while it stands
    auto *label = child<QLabel>(bar, QStringLiteral("labelEditTimeRange"));
    QTRY_COMPARE(label->text(), passed);
    pressKeys(rest);
    QTRY_COMPARE(edit->text(), held);
    // the span in force when the field was entered is back at once, the digits stay marked
    QTRY_COMPARE(label->text(), span);
    QVERIFY(edit->property("notApplied").toBool());
    const auto range = CutTime::parseRangeText(span);
    QVERIFY(range);
    QCOMPARE(bar->editSlider()->lowerValue() / 100, range->startSec);
    QCOMPARE(bar->editSlider()->upperValue() / 100, range->endSec);
    if (stop != QLatin1String("OK")) {
        QSignalSpy finished(edit, &QLineEdit::editingFinished);
        input_.chord({stop});
        QTRY_VERIFY(!finished.isEmpty());
        QCOMPARE(edit->text(), held);
        QVERIFY(edit->property("notApplied").toBool());
        QCOMPARE(label->text(), span);
    }
    clickEditorOk(w);
    verifyShowsSpan(w, span);
    double seconds = 0;
    exportFromOutputPage(w, &seconds);
    QVERIFY2(qAbs(seconds - (range->endSec - range->startSec)) <= exportToleranceSec,
             qPrintable(QString::number(seconds)));
}

void TstKeyboard::fileChooserNameFieldTakesTyping()
{
    MainWindow w;
    showWithClip(w);
    input_.click(w.formList()->addButton());
    QTRY_VERIFY(openChooser());
    FileDialog_C *chooser = openChooser();
    QVERIFY(QTest::qWaitForWindowActive(chooser));
    // blanks and the player's letters too
    typeInto(child<QLineEdit>(chooser, QStringLiteral("chooseFileName")),
             QStringLiteral("trip by night"));
    TestSupport::saveScreenshot(chooser, QStringLiteral("keyboard-chooser-typed"));
    input_.chord({"Escape"});
    QTRY_VERIFY(!openChooser());
    QCOMPARE(w.mainDashcam()->playStatus(), PausedState);
}

void TstKeyboard::outputPageTakesTyping()
{
    MainWindow w;
    openOutputPage(w);
    if (QTest::currentTestFailed())
        return;
    FormDialog *dialog = w.formDialog();
    typeInto(child<QLineEdit>(dialog, QStringLiteral("os_le")), QStringLiteral("clip b n"));
    input_.chord({"Escape"});
    QTRY_VERIFY(!dialog->isVisible());
}

// The question over the output page has the keys while it is shown: Escape and Return (Cancel is
// the default) answer Cancel, and the page keeps the name; its own Escape then closes it.
void TstKeyboard::replaceQuestionTakesEscapeAndReturnAsCancel()
{
    const QString existing = dir_.filePath(QStringLiteral("earlier cut.mov"));
    TestSupport::writeFile(existing, "an earlier export");
    MainWindow w;
    openOutputPage(w);
    if (QTest::currentTestFailed())
        return;
    FormDialog *dialog = w.formDialog();
    auto *line = child<QLineEdit>(dialog, QStringLiteral("os_le"));
    line->setText(existing);
    QSignalSpy sent(dialog, &FormDialog::settingFinished);
    for (const char *key : {"Escape", "Return"}) {
        input_.click(child<QPushButton>(dialog, QStringLiteral("os_btn_ok")));
        ReplaceQuestion *question = nullptr; // made when first asked
        QTRY_VERIFY((question = dialog->findChild<ReplaceQuestion *>()) && question->isVisible());
        // the window the keys go to (the platform may call it active a moment earlier)
        QTRY_COMPARE(QApplication::activeWindow(), question);
        input_.chord({QLatin1String(key)});
        QTRY_VERIFY2(!question->isVisible(), key);
        QVERIFY(dialog->isVisible());
        QVERIFY(child<QWidget>(dialog, QStringLiteral("f_os"))->isVisible());
        QCOMPARE(line->text(), existing);
        QCOMPARE(sent.count(), 0);
    }
    QCOMPARE(TestSupport::contentOf(existing), QByteArray("an earlier export"));
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    input_.chord({"Escape"});
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(sent.count(), 0);
}

// A running export's page stays through the window manager's close (Alt+F4, a title bar's close)
// and Escape, both delivered by the X server while ffmpeg cuts at real time, and a second export
// asked for meanwhile is not started; the first ends as always, with "Finished." and its file.
void TstKeyboard::processingPageStaysUntilItsExportEnds()
{
    // ffmpeg reads at real time; the cut waits until the test lets it go
    QVERIFY(ExportTestFiles::writeFfmpegStandIn(
        dir_.path(), "case \"$*\" in *map_metadata*) while [ ! -e go ]; do sleep 0.1; done;; esac\n"
                     "exec ffmpeg -re \"$@\"\n"));
    const auto removeStandIn = qScopeGuard([] {
        QFile::remove(QStringLiteral("FFmpeg/ffmpeg"));
        QFile::remove(QStringLiteral("go"));
    });
    MainWindow w;
    showWithClip(w, minuteClip_);
    enterEditMode(w);
    typeTimes(w, {"editEndMin", "editEndSec"}, {"0", "4"});
    clickEditorOk(w);
    FormDialog *dialog = w.formDialog();
    const QString output = dir_.filePath(QStringLiteral("closed while cut.mov"));
    child<QLineEdit>(dialog, QStringLiteral("os_le"))->setText(output);
    ExportEnd end(w);
    QSignalSpy cutting(w.exportRunner(), &FFmpeg_editor_p::started);
    input_.click(child<QPushButton>(dialog, QStringLiteral("os_btn_ok")));
    QTRY_COMPARE_WITH_TIMEOUT(cutting.count(), 1, exportTimeoutMs);
    const auto exporting = [&w] { return w.exportController()->isExporting(); };
    const EventCount closes(dialog->windowHandle(), QEvent::Close, exporting);
    const EventCount keys(dialog->windowHandle(), QEvent::KeyPress, exporting);
    input_.closeAsWindowManager(dialog);
    QTRY_COMPARE(closes.count, 1);
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    input_.chord({"Escape"});
    QTRY_COMPARE(keys.count, 1);
    QVERIFY(child<QWidget>(dialog, QStringLiteral("f_pv"))->isVisible());
    EditorOutputSetting_t second;
    second.outputPath = dir_.filePath(QStringLiteral("second.mov"));
    emit dialog->settingFinished(second); // no road of the user's leads here any more
    TestSupport::writeFile(QStringLiteral("go"), QByteArray());

    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 4.0) <= exportToleranceSec);
    QVERIFY(!QFile::exists(second.outputPath));
    input_.click(child<QPushButton>(dialog, QStringLiteral("pv_btn_ok")));
    QTRY_VERIFY(!dialog->isVisible());
}

void TstKeyboard::anotherWindowTypesWhileThePlayerPlays()
{
    MainWindow w;
    showWithClip(w);
    Dashcam *main = w.mainDashcam();
    main->play();
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, openTimeoutMs);

    // a window of its own, no child of the main window, as another program's window
    QWidget other;
    other.setWindowTitle(QStringLiteral("Notes"));
    auto *field = new QLineEdit(&other);
    (new QVBoxLayout(&other))->addWidget(field);
    other.resize(320, 80);
    other.move(w.geometry().center());
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    typeInto(field, QStringLiteral("b n 42"));
    QCOMPARE(main->playStatus(), PlayingState);
    QCOMPARE(main->getMediaPath(), clip_);
}

void TstKeyboard::playerKeysReachThePlayerWithNoFieldFocused_data()
{
    QTest::addColumn<bool>("mapClicked"); // else no widget has the focus
    QTest::newRow("no focus") << false;
    QTest::newRow("map clicked") << true;
}

void TstKeyboard::playerKeysReachThePlayerWithNoFieldFocused()
{
    QFETCH(bool, mapClicked);
    MainWindow w;
    showWithClip(w);
    if (mapClicked) {
        input_.click(w.formMap()->webView());
        QTRY_VERIFY(w.formMap()->webView()->isAncestorOf(QApplication::focusWidget()));
    } else if (QWidget *focus = QApplication::focusWidget()) {
        focus->clearFocus();
        QVERIFY(!QApplication::focusWidget());
    }
    Dashcam *main = w.mainDashcam();
    QCOMPARE(main->playStatus(), PausedState);
    const qint64 start = main->positionMs();
    input_.chord({"Right"});
    QTRY_VERIFY_WITH_TIMEOUT(main->positionMs() > start, 5000);
    const qint64 stepped = main->positionMs();
    input_.chord({"Left"});
    QTRY_VERIFY_WITH_TIMEOUT(main->positionMs() < stepped, 5000);
    input_.chord({"space"});
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 5000);
    input_.chord({"space"});
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PausedState, 5000);
}

void TstKeyboard::keysBAndNChooseTheFile_data()
{
    // typed after the three clips were opened one after the other: the last one's row is current
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("playing");   // the clip plays when they are typed
    QTest::addColumn<bool>("automatic"); // "Play Next File Automatically"
    QTest::addColumn<int>("row");        // the row that is open after them
    QTest::newRow("B back") << "b" << false << false << 1;
    QTest::newRow("B twice") << "bb" << false << false << 0;
    QTest::newRow("B at the top") << "bbb" << false << false << 0;
    QTest::newRow("N at the end") << "n" << false << false << 2;
    QTest::newRow("B twice, N forward") << "bbn" << false << false << 1;
    QTest::newRow("B while playing, automatic next") << "b" << true << true << 1;
    QTest::newRow("B twice, N while playing, automatic next") << "bbn" << true << true << 1;
}

void TstKeyboard::keysBAndNChooseTheFile()
{
    QFETCH(QString, typed);
    QFETCH(bool, playing);
    QFETCH(bool, automatic);
    QFETCH(int, row);
    gParameters[SettingKeys::automatically] = automatic ? QStringLiteral("1") : QStringLiteral("0");
    MainWindow w;
    showWithClip(w);
    Dashcam *main = w.mainDashcam();
    for (const QString &clip : clips_.mid(1)) {
        w.onOpenFile_L({QUrl::fromLocalFile(clip)});
        QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), clip, openTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(main->durationMs() > 0, openTimeoutMs);
    }
    QTRY_COMPARE(listedPaths(w.formList()), clips_);
    QCOMPARE(w.formList()->curSelectFile(), 2);
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    if (playing) {
        input_.chord({"space"});
        QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 5000);
    }
    input_.type(typed);
    QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), clips_.at(row), openTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(main->durationMs() > 0, openTimeoutMs);
    QCOMPARE(w.formList()->curSelectFile(), row);
    QCOMPARE(w.formList()->table()->item(row, 0)->text(), QStringLiteral("d"));
    // the chosen file waits at its start
    QTRY_COMPARE(main->playStatus(), PausedState);
    QCOMPARE(main->getMediaPath(), clips_.at(row));
}

void TstKeyboard::windowKeysSetTheWindowState_data()
{
    QTest::addColumn<int>("before"); // Qt::WindowState
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("after");
    const int normal = Qt::WindowNoState;
    const int full = Qt::WindowFullScreen;
    const int maximised = Qt::WindowMaximized;
    QTest::newRow("Alt+Return") << normal << QStringList{"Alt_L", "Return"} << full;
    QTest::newRow("Alt+Return in full screen") << full << QStringList{"Alt_L", "Return"} << normal;
    QTest::newRow("Alt+keypad Enter") << normal << QStringList{"Alt_L", "KP_Enter"} << full;
    QTest::newRow("Alt+keypad Enter in full screen")
        << full << QStringList{"Alt_L", "KP_Enter"} << normal;
    QTest::newRow("Escape in full screen") << full << QStringList{"Escape"} << normal;
    QTest::newRow("Escape maximised") << maximised << QStringList{"Escape"} << maximised;
    QTest::newRow("Escape") << normal << QStringList{"Escape"} << normal;
}

void TstKeyboard::windowKeysSetTheWindowState()
{
    QFETCH(int, before);
    QFETCH(QStringList, keys);
    QFETCH(int, after);
    MainWindow w;
    showWithClip(w);
    const auto state = [&w] {
        return int(w.windowState() &
                   (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized));
    };
    w.setWindowState(Qt::WindowStates(before));
    QTRY_COMPARE(state(), before);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QSignalSpy position(w.mainDashcam(), &Dashcam::positionChanged);
    input_.chord(keys);
    QTRY_COMPARE(state(), after);
    // a key that leaves the state as it is: the window is still active and takes the next key
    input_.chord({"Right"});
    QTRY_VERIFY_WITH_TIMEOUT(!position.isEmpty(), 5000);
    QCOMPARE(state(), after);
}

void TstKeyboard::ridePageKeepsItsKeys()
{
    using namespace RidePageTest;
    writeRide(dir_.filePath(QStringLiteral("Metadata")),
              dayOfThisMonth(2) + QStringLiteral("070000.TXT"), steadyRide(12));
    RemovableDrives::setRootsProvider([] { return QStringList(); }); // no camera card
    const auto restoreDrives = qScopeGuard([] { RemovableDrives::setRootsProvider({}); });
    MainWindow w;
    showWithClip(w);
    Dashcam *main = w.mainDashcam();
    const qint64 start = main->positionMs();
    w.triggerMenu(action(w, "actionCalendar"));
    FormPlaybak *page = w.ridePage();
    QTRY_VERIFY(page->isVisible());
    waitIdle(page);

    // Space on the calendar's month buttons turns the month
    CalendarView *calendar = page->calendar()->calendarView();
    const QDate thisMonth = QDate::currentDate().addDays(1 - QDate::currentDate().day());
    const auto shownMonth = [calendar] {
        return QDate(calendar->shownYear(), calendar->shownMonth(), 1);
    };
    const struct
    {
        const char *button;
        int monthsAfterClick;
        int monthsAfterSpace;
    } steps[] = {{"preMonthBtn", -1, -2}, {"nextMonthBtn", -1, 0}};
    for (const auto &step : steps) {
        auto *button = child<QAbstractButton>(page->calendar(), QLatin1String(step.button));
        input_.click(button);
        QTRY_COMPARE(shownMonth(), thisMonth.addMonths(step.monthsAfterClick));
        QTRY_VERIFY(button->hasFocus());
        input_.chord({"space"});
        QTRY_COMPARE(shownMonth(), thisMonth.addMonths(step.monthsAfterSpace));
    }

    // the arrows and Space reach the ride list
    pressDay(page->calendar(), 2);
    QTRY_VERIFY(!fileRows(page->fileList()).isEmpty());
    QWidget *rides = page->fileList()->listView();
    input_.click(rides);
    QTRY_VERIFY(rides->hasFocus());
    KeyRecorder recorder(page);
    input_.chord({"Left"});
    input_.chord({"Right"});
    input_.chord({"space"});
    QTRY_COMPARE(recorder.keys, QList<int>({Qt::Key_Left, Qt::Key_Right, Qt::Key_Space}));
    QCOMPARE(main->playStatus(), PausedState);
    QCOMPARE(main->positionMs(), start);

    // back in player mode the keys are the player's again
    w.triggerMenu(action(w, "actionPlayer"));
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    input_.chord({"space"});
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 5000);
    QCOMPARE(recorder.keys.size(), 3);
}

void TstKeyboard::otherWindowsKeepTheirKeys_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("export dialog") << "export";
    QTest::newRow("update wizard") << "update";
    QTest::newRow("video adjustment") << "adjustment";
}

void TstKeyboard::otherWindowsKeepTheirKeys()
{
    QFETCH(QString, window);
    MainWindow w;
    showWithClip(w);
    Dashcam *main = w.mainDashcam();
    QWidget *other = nullptr;
    QString buttonName;
    if (window == QLatin1String("export")) {
        enterEditMode(w);
        clickEditorOk(w);
        other = w.formDialog();
        buttonName = QStringLiteral("os_btn_cancel");
    } else if (window == QLatin1String("update")) {
        w.triggerMenu(action(w, "actionUpdate_Application"));
        other = shownWindow<FormUpdateApplication>();
        buttonName = QStringLiteral("btn_back"); // "Cancel"
    } else {
        action(w, "actionVideo_Adjustment")->trigger();
        other = shownWindow<FormVideoSetupWidget>();
        buttonName = QStringLiteral("checkVerticalFlip");
    }
    QVERIFY(other);
    QTRY_VERIFY(other->isVisible());
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other));
    QCOMPARE(main->playStatus(), PausedState);
    const qint64 position = main->positionMs();
    auto *button = child<QAbstractButton>(other, buttonName);
    QVERIFY(button);
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    input_.chord({"space"});
    QTRY_COMPARE(clicked.size(), 1);
    QCOMPARE(main->playStatus(), PausedState);
    QCOMPARE(main->positionMs(), position);
}

TALVEX_TEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"

// End to end: keys typed through the X server reach the text fields of the program and of other
// windows, and the player keys reach the player while the main window is active and no field has
// the focus. The main window never takes the display's keyboard.
#include "appglobals.h"
#include "dashcam.h"
#include "filedialog.h"
#include "formcontrol.h"
#include "formlist.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "sliderstyle.h"
#include "testsupport.h"
#include "xtestinput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

using namespace MainWindowTest;

constexpr int clipSec = 250; // 04:10: the cut editor's end fields read "04" and "10"
constexpr int openTimeoutMs = 20000;

template <typename T> T *child(QObject *parent, const QString &name)
{
    return parent->findChild<T *>(name);
}

// The visible file chooser, or null.
FileDialog_C *openChooser()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *chooser = qobject_cast<FileDialog_C *>(window); chooser && chooser->isVisible())
            return chooser;
    }
    return nullptr;
}

} // namespace

class TstKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cutEditorFieldsSetTheTypedSpan_data();
    void cutEditorFieldsSetTheTypedSpan();
    void fileChooserNameFieldTakesTyping();
    void anotherWindowTypesWhileThePlayerPlays();
    void playerKeysReachThePlayerWithNoFieldFocused();

private:
    // Shows w on the screen it runs on, makes it the active window and opens the clip (paused).
    void showWithClip(MainWindow &w);

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    XTestInput input_;
};

void TstKeyboard::initTestCase()
{
    QVERIFY(input_.isReady());
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file and clip.txt stay here
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip_, clipSec, QStringLiteral("160x120"), false, 5));
}

void TstKeyboard::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void TstKeyboard::init()
{
    gSupportPromptHidden = false;
}

void TstKeyboard::showWithClip(MainWindow &w)
{
    if (gDisplayMode != 0)
        w.onDisplayModeChange(); // one camera: the edit button opens the editor at once
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    w.move(screen.topLeft());
    QVERIFY(showWindow(w, screen.size() * 9 / 10));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.onOpenFile_L({QUrl::fromLocalFile(clip_)});
    QTRY_VERIFY_WITH_TIMEOUT(listedPaths(w.formList()).contains(clip_), openTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, openTimeoutMs);
    QTRY_VERIFY(w.control()->editSlider()->maximum() > 0);
}

void TstKeyboard::cutEditorFieldsSetTheTypedSpan_data()
{
    // field name -> typed text, in typing order; -1 leaves that end of the span where it was
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("lowerSec");
    QTest::addColumn<int>("upperSec");
    QTest::newRow("start 01:02") << QStringList{"editStartMin", "editStartSec"}
                                 << QStringList{"01", "02"} << 62 << -1;
    QTest::newRow("end minute 03")
        << QStringList{"editEndMin"} << QStringList{"03"} << -1 << 3 * 60 + 10;
    QTest::newRow("01:02 to 03") << QStringList{"editStartMin", "editStartSec", "editEndMin"}
                                 << QStringList{"01", "02", "03"} << 62 << 3 * 60 + 10;
    QTest::newRow("one digit") << QStringList{"editStartMin", "editStartSec"}
                               << QStringList{"2", "5"} << 125 << -1;
}

void TstKeyboard::cutEditorFieldsSetTheTypedSpan()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, typed);
    QFETCH(int, lowerSec);
    QFETCH(int, upperSec);
    MainWindow w;
    showWithClip(w);
    input_.click(child<QAbstractButton>(w.control(), QStringLiteral("btnEdit")));
    QTRY_COMPARE(w.control()->opMode(), OP_Edit);
    SliderStyle *span = w.control()->editSlider();
    const int lower = lowerSec < 0 ? span->lowerValue() : lowerSec * 100;
    const int upper = upperSec < 0 ? span->upperValue() : upperSec * 100;

    for (int i = 0; i < fields.size(); ++i) {
        auto *field = child<QLineEdit>(w.control(), fields.at(i));
        QVERIFY(field);
        input_.click(field);
        QTRY_VERIFY(field->hasFocus());
        input_.chord({"Control_L", "a"});
        input_.type(typed.at(i));
        QTRY_COMPARE(field->text(), typed.at(i));
        // the field, not the player, takes Left
        input_.chord({"Left"});
        QTRY_COMPARE(field->cursorPosition(), typed.at(i).size() - 1);
        input_.chord({"Return"});
    }
    QTRY_COMPARE(span->lowerValue(), lower);
    QTRY_COMPARE(span->upperValue(), upper);
    const auto *range = child<QLabel>(w.control(), QStringLiteral("labelEditTimeRange"));
    QCOMPARE(range->text(), QStringLiteral("%1:%2 ~ %3:%4")
                                .arg(lower / 6000, 2, 10, QLatin1Char('0'))
                                .arg(lower / 100 % 60, 2, 10, QLatin1Char('0'))
                                .arg(upper / 6000, 2, 10, QLatin1Char('0'))
                                .arg(upper / 100 % 60, 2, 10, QLatin1Char('0')));
    TestSupport::saveScreenshot(w.control(), QStringLiteral("keyboard-cut-editor-typed"));
}

void TstKeyboard::fileChooserNameFieldTakesTyping()
{
    MainWindow w;
    showWithClip(w);
    input_.click(w.formList()->addButton());
    QTRY_VERIFY(openChooser());
    FileDialog_C *chooser = openChooser();
    QVERIFY(QTest::qWaitForWindowActive(chooser));
    auto *name = child<QLineEdit>(chooser, QStringLiteral("chooseFileName"));
    input_.click(name);
    QTRY_VERIFY(name->hasFocus());
    // blanks and the player's letters too
    input_.type(QStringLiteral("trip by night"));
    QTRY_COMPARE(name->text(), QStringLiteral("trip by night"));
    TestSupport::saveScreenshot(chooser, QStringLiteral("keyboard-chooser-typed"));
    input_.chord({"Escape"});
    QTRY_VERIFY(!openChooser());
    QCOMPARE(w.mainDashcam()->playStatus(), PausedState);
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
    input_.click(field);
    QTRY_VERIFY(field->hasFocus());
    input_.type(QStringLiteral("b n 42"));
    QTRY_COMPARE(field->text(), QStringLiteral("b n 42"));
    QCOMPARE(main->playStatus(), PlayingState);
    QCOMPARE(main->getMediaPath(), clip_);
}

void TstKeyboard::playerKeysReachThePlayerWithNoFieldFocused()
{
    MainWindow w;
    showWithClip(w);
    QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));
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

TALVEX_TEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"

// Texts of the real main window fit at the screen the test runs on, in every language: the play
// list's rows, the play bar's speed menu and the ride-data panel, at the window's minimum size,
// its start-up size and the whole screen. CTest runs it once more per common screen size.
#include "appglobals.h"
#include "choosertest.h"
#include "edittexts.h"
#include "formcontrol.h"
#include "formcontrolsecond.h"
#include "formdialog.h"
#include "formfaq.h"
#include "formlist.h"
#include "formmap.h"
#include "formplaybackdata.h"
#include "formplaybak.h"
#include "listrows.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "removabledrives.h"
#include "settingkeys.h"
#include "sliderstyle.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWebEngineView>

using namespace ListRows;

namespace {
const char *const languageCodes[] = {"en", "de", "fr", "nl", "it", "es",
                                     "pt", "ru", "pl", "cs", "ro", "zh"};
const char *const frontName = "20261207101500_F.mp4";
const char *const rearName = "20261207101500_R.mp4";
constexpr int leastSliderPx = 120;
constexpr int captionPaddingPx = 10; // the chooser's header sections' left padding
constexpr int folderIconPx = 14;     // the output page's folder icon, 12..25 px in its button
constexpr int lightInkGrey = 160; // white text and icons, their smoothed edges too, on grey // both
                                  // handles apart with a span to see between them

// Pixels a view item needs beside its text: the style's text margins and the sheet's padding.
int itemMargins(const QWidget *view, int padding)
{
    const int textMargin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view);
    return 2 * (textMargin + 1) + padding;
}

// True when field shows its text whole: from the first to the last character inside its frame.
bool showsWholeText(QLineEdit *field)
{
    field->setCursorPosition(field->text().size());
    field->repaint(); // the line edit scrolls its text while it paints
    const QRect cursor = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int text = field->fontMetrics().horizontalAdvance(field->text());
    return cursor.x() - text >= 1 && cursor.right() < field->width() - 1;
}

// The rectangle a push button's style draws its text in.
QRect contentsOf(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = button->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
}

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}
} // namespace

class TstTextsFit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void listRowsShowWholeTexts_data() { languagesAndSizes(); }
    void listRowsShowWholeTexts();
    void speedMenuShowsWholeEntries_data() { languagesAndSizes(); }
    void speedMenuShowsWholeEntries();
    void instructionContentsShowWholeTexts_data() { languages(); }
    void instructionContentsShowWholeTexts();
    void fileChooserCaptionsShowWholeTexts_data() { languages(); }
    void fileChooserCaptionsShowWholeTexts();
    void cutEditorSliderKeepsRoom_data() { languagesAndSizes(); }
    void cutEditorSliderKeepsRoom();
    void folderButtonTextClearOfItsIcon_data() { languages(); }
    void folderButtonTextClearOfItsIcon();
    void ridePanelTextsStayInside_data() { languagesAndSizes(); }
    void ridePanelTextsStayInside();

private:
    void languages();
    void languagesAndSizes();
    // Sets the row's language.
    void applyLanguage();
    // Sets the row's language and window size and waits until the window has them.
    void applyRow();
    // Pictures of German and Russian at the start-up size, named by the screen.
    void screenshot(const QString &what);

    QTemporaryDir dir;
    QString oldCwd;
    std::unique_ptr<MainWindow> window;
    QSize startUpSize;
    QString savedAutomatically;
    QString savedChooserFolder;
};

void TstTextsFit::initTestCase()
{
    QVERIFY(dir.isValid());
    oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path()); // the settings file of the run goes here
    QVERIFY(TestSupport::makeClip(dir.filePath(QLatin1String(frontName)), 1.0,
                                  QStringLiteral("1920x1080"), false));
    QVERIFY(TestSupport::makeClip(dir.filePath(QLatin1String(rearName)), 1.0,
                                  QStringLiteral("1280x720"), false));
    RemovableDrives::setRootsProvider([] { return QStringList(); }); // no camera card
    savedAutomatically = gParameters.value(SettingKeys::automatically);
    savedChooserFolder = gFileDialogPath;
    gFileDialogPath = dir.path(); // the chooser lists the clips
    gParameters[SettingKeys::automatically] = QStringLiteral("0");

    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->releaseKeyboard();
    startUpSize = window->size();
    FormMap *map = window->formMap();
    if (!map->isPageLoaded()) { // the pictures show the map
        QSignalSpy loaded(map->webView(), &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(30000));
    }

    // the pair dropped on the list, as from a file manager
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath(QLatin1String(frontName)))});
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject *>(window->formList())->event(&drop);
    QTRY_COMPARE_WITH_TIMEOUT(window->formList()->rowCount(), 2, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!window->formList()->table()->item(1, ColResolution)->text().isEmpty(),
                             10000);
}

void TstTextsFit::cleanupTestCase()
{
    window.reset();
    RemovableDrives::setRootsProvider({});
    gParameters[SettingKeys::automatically] = savedAutomatically;
    gFileDialogPath = savedChooserFolder;
    gLanguage = LangEnglish;
    QDir::setCurrent(oldCwd);
}

void TstTextsFit::cleanup()
{
    // a window a failed row left open would be found by the next row
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top != window.get() && top->isVisible())
            top->close();
    }
}

void TstTextsFit::languages()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < LanguageCount; ++language)
        QTest::addRow("%s", languageCodes[language]) << language;
}

void TstTextsFit::languagesAndSizes()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("size");
    for (const char *size : {"minimum", "start-up", "screen"}) {
        for (int language = 0; language < LanguageCount; ++language)
            QTest::addRow("%s, %s", languageCodes[language], size) << language << size;
    }
}

void TstTextsFit::applyLanguage()
{
    QFETCH(int, language);
    if (gLanguage != language)
        window->setLanguage(language);
}

void TstTextsFit::applyRow()
{
    QFETCH(QString, size);
    applyLanguage();
    const QSize screen = window->screen()->availableGeometry().size();
    const QSize wanted = size == QLatin1String("minimum")    ? window->minimumSize()
                         : size == QLatin1String("start-up") ? startUpSize
                                                             : screen;
    window->resize(wanted);
    QTRY_COMPARE(window->size(), wanted.expandedTo(window->minimumSize()));
    QApplication::processEvents();
}

void TstTextsFit::screenshot(const QString &what)
{
    QFETCH(int, language);
    QFETCH(QString, size);
    if (size != QLatin1String("start-up") || (language != LangGerman && language != LangRussian))
        return;
    const QSize screen = window->screen()->geometry().size();
    TestSupport::saveScreenshot(
        window.get(), QStringLiteral("screen-%1-%2%3")
                          .arg(sizeText(screen), QLatin1String(languageCodes[language]), what));
}

void TstTextsFit::listRowsShowWholeTexts()
{
    QFETCH(QString, size);
    applyRow();
    QTableWidget *table = window->formList()->table();
    const int margins = itemMargins(table, 5); // the item sheet's left padding
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = ColName; column <= ColResolution; ++column) {
            const QTableWidgetItem *item = table->item(row, column);
            QVERIFY(item);
            const int text = QFontMetrics(item->font()).horizontalAdvance(item->text());
            const int width = table->columnWidth(column);
            // every text whole; a name at least in the start-up window
            if (column != ColName || size == QLatin1String("start-up"))
                QVERIFY2(width >= text + margins, qPrintable(QStringLiteral("%1: %2 px for %3 px")
                                                                 .arg(item->text())
                                                                 .arg(width)
                                                                 .arg(text + margins)));
        }
        // a name cut short is shown whole in its tooltip
        QCOMPARE(table->item(row, ColName)->toolTip(), table->item(row, ColName)->text());
    }
    // every column in view without scrolling
    QVERIFY(table->horizontalHeader()->length() <= table->viewport()->width());
    screenshot(QString());
}

void TstTextsFit::speedMenuShowsWholeEntries()
{
    applyRow();
    auto *speed = window->control()->findChild<QComboBox *>(QStringLiteral("comboSpeed"));
    QVERIFY(speed);
    QVERIFY(speed->isVisible());
    speed->showPopup();
    QAbstractItemView *view = speed->view();
    QTRY_VERIFY(view->isVisible());
    // every entry as wide as its delegate draws it whole
    for (int row = 0; row < speed->count(); ++row) {
        const int needed = view->sizeHintForIndex(view->model()->index(row, 0)).width();
        QVERIFY2(view->viewport()->width() >= needed,
                 qPrintable(QStringLiteral("%1: %2 px for %3 px")
                                .arg(speed->itemText(row))
                                .arg(view->viewport()->width())
                                .arg(needed)));
    }
    // the shown entry too
    const int shown = QFontMetrics(speed->font()).horizontalAdvance(speed->currentText());
    QVERIFY2(speed->contentsRect().width() >= shown,
             qPrintable(QStringLiteral("%1 px for %2 px").arg(speed->width()).arg(shown)));
    speed->hidePopup();
}

void TstTextsFit::cutEditorSliderKeepsRoom()
{
    // both cameras shown, their pair in the list, and the cut editor open
    if (gDisplayMode != 1)
        MainWindowTest::action(*window, "actionDual_View")->trigger();
    QTRY_VERIFY(window->findChild<FormControlSecond *>()->isVisible());
    FormControl *bar = window->control();
    if (bar->opMode() != OP_Edit)
        QTest::mouseClick(bar->findChild<QAbstractButton *>(QStringLiteral("btnEdit")),
                          Qt::LeftButton);
    QTRY_COMPARE(bar->opMode(), OP_Edit);
    applyRow();

    // the slider has room for both handles and a span between them, inside the window
    const SliderStyle *slider = bar->editSlider();
    QTRY_VERIFY2(slider->width() >= leastSliderPx,
                 qPrintable(QStringLiteral("%1 px").arg(slider->width())));
    const auto *page = bar->findChild<QWidget *>(QStringLiteral("pageEdit"));
    const auto *cancel = bar->findChild<QPushButton *>(QStringLiteral("btnEditCancel"));
    QVERIFY(cancel->geometry().right() < page->width());
    QVERIFY(bar->mapTo(window.get(), QPoint(bar->width(), 0)).x() <= window->width());

    // the texts that give way stay readable: whole, or cut short with the whole in the tooltip
    const std::pair<const char *, QString> labels[] = {
        {"labelCutTime", editModeText(EditText::CutTime)},
        {"labelEditTimeRange", bar->getEditTimeRangeLeftText()}};
    for (const auto &[name, whole] : labels) {
        const auto *label = bar->findChild<QLabel *>(QLatin1String(name));
        const int text = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(text <= label->contentsRect().width(),
                 qPrintable(QStringLiteral("%1: %2 px in %3 px")
                                .arg(label->text())
                                .arg(text)
                                .arg(label->contentsRect().width())));
        QVERIFY2(label->text() == whole ||
                     (label->text().endsWith(QChar(0x2026)) && label->toolTip() == whole),
                 qPrintable(label->text() + QStringLiteral(" for ") + whole));
    }
    for (const char *name : {"editStartMin", "editStartSec", "editEndMin", "editEndSec"}) {
        auto *field = bar->findChild<QLineEdit *>(QLatin1String(name));
        QVERIFY2(showsWholeText(field), name);
    }
    for (const QPushButton *button : bar->findChildren<QPushButton *>())
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
    screenshot(QStringLiteral("-cut"));
}

void TstTextsFit::instructionContentsShowWholeTexts()
{
    QFETCH(int, language);
    applyLanguage();
    MainWindowTest::action(*window, "actionInstruction")->trigger();
    QPointer<FormFAQ> instruction = window->instructionWindow();
    QVERIFY(instruction);
    QVERIFY(QTest::qWaitForWindowExposed(instruction));
    // each contents entry whole: every line inside its button, the lines one above the other
    for (const char *name : {"btn_1_1", "btn_1_2", "btn_1_3"}) {
        const auto *entry = instruction->findChild<QPushButton *>(QLatin1String(name));
        const QRect inside = contentsOf(entry);
        const QFontMetrics metrics = entry->fontMetrics();
        const QStringList lines = entry->text().split(QLatin1Char('\n'));
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= inside.width(),
                     qPrintable(QStringLiteral("%1: %2 px in %3 px")
                                    .arg(line)
                                    .arg(metrics.horizontalAdvance(line))
                                    .arg(inside.width())));
        QVERIFY2(lines.size() * metrics.height() <= inside.height(), qPrintable(entry->text()));
    }
    if (language == LangRussian)
        TestSupport::saveScreenshot(instruction, QStringLiteral("instruction-ru"));
    QTest::mouseClick(instruction->findChild<QPushButton *>(QStringLiteral("btn_close")),
                      Qt::LeftButton);
    QTRY_VERIFY(!instruction);
}

void TstTextsFit::fileChooserCaptionsShowWholeTexts()
{
    QFETCH(int, language);
    applyLanguage();
    QTest::mouseClick(window->formList()->addButton(), Qt::LeftButton);
    QTRY_VERIFY(ChooserTest::openChooser());
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(QTest::qWaitForWindowExposed(chooser));
    auto *captions = chooser->findChild<QTableWidget *>(QStringLiteral("headerTableWidget"));
    const QHeaderView *header = captions->horizontalHeader();
    // the strip that masks the header row's right end
    const QLabel *mask = nullptr;
    for (const QLabel *label : chooser->findChildren<QLabel *>()) {
        if (label->styleSheet().contains(QLatin1String("openfile_border_mask")))
            mask = label;
    }
    QVERIFY(mask);
    const int maskLeft =
        mask->mapToGlobal(QPoint(0, 0)).x() - header->viewport()->mapToGlobal(QPoint(0, 0)).x();
    // each caption whole, inside its section and clear of the mask
    for (int column = 0; column < header->count(); ++column) {
        const QString text = captions->horizontalHeaderItem(column)->text();
        const int left = header->sectionViewportPosition(column) + captionPaddingPx;
        const int right = left + header->fontMetrics().horizontalAdvance(text);
        const int sectionEnd =
            header->sectionViewportPosition(column) + header->sectionSize(column);
        QVERIFY2(right < sectionEnd && (mask->width() == 0 || right <= maskLeft),
                 qPrintable(QStringLiteral("%1: ends at %2, section at %3, mask from %4")
                                .arg(text)
                                .arg(right)
                                .arg(sectionEnd)
                                .arg(maskLeft)));
    }
    if (language == LangRussian)
        TestSupport::saveScreenshot(chooser, QStringLiteral("filedialog-ru-captions"));
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("cancel_btn")),
                      Qt::LeftButton);
    QTRY_VERIFY(!chooser);
}

void TstTextsFit::folderButtonTextClearOfItsIcon()
{
    QFETCH(int, language);
    applyLanguage();
    // the output page, through the cut editor's OK
    FormControl *bar = window->control();
    QCOMPARE(bar->opMode(), OP_Edit);
    QTest::mouseClick(bar->findChild<QPushButton *>(QStringLiteral("btnEditOk")), Qt::LeftButton);
    FormDialog *dialog = window->formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("f_os"))->isVisible());
    auto *button = dialog->findChild<QPushButton *>(QStringLiteral("os_btn_open"));
    // the white folder icon at the left, then at least a gap of the button's grey ground before
    // the white text
    const QImage picture = button->grab().toImage();
    const auto whiteIn = [&picture](int x) {
        // the middle third: the icon's and the text's rows, none of the rounded corners
        for (int y = picture.height() / 3; y < picture.height() * 2 / 3; ++y) {
            const QColor colour = picture.pixelColor(x, y);
            if (qGray(colour.rgb()) > lightInkGrey)
                return true;
        }
        return false;
    };
    int x = 0;
    while (x < picture.width() && !whiteIn(x))
        ++x;
    const int iconLeft = x;
    while (x < picture.width() && whiteIn(x))
        ++x;
    const int iconRight = x;
    while (x < picture.width() && !whiteIn(x))
        ++x;
    // an icon run wider than the icon is the icon and the text run together
    QVERIFY2(iconRight - iconLeft <= folderIconPx && x - iconRight >= 4 && x < picture.width(),
             qPrintable(QStringLiteral("%1: icon %2..%3, text from %4")
                            .arg(button->text())
                            .arg(iconLeft)
                            .arg(iconRight)
                            .arg(x)));
    // and the text whole inside the button
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    QVERIFY2(x + text <= picture.width(), qPrintable(button->text()));
    if (language == LangGerman)
        TestSupport::saveScreenshot(dialog, QStringLiteral("dialog-output-de-folder"));
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("os_btn_cancel")),
                      Qt::LeftButton);
    QTRY_VERIFY(!dialog->isVisible());
}

void TstTextsFit::ridePanelTextsStayInside()
{
    if (gMode != 1)
        MainWindowTest::action(*window, "actionCalendar")->trigger();
    applyRow();
    FormPlaybackData *panel = window->ridePage()->rideData();
    QTRY_VERIFY(panel->isVisible());
    QApplication::processEvents();
    // the duration inside its circle: its text no wider than the circle's inner part
    const QLabel *duration = panel->durationValueLabel();
    const auto *circle = panel->findChild<QLabel *>(QStringLiteral("durationBack"));
    QVERIFY(circle);
    const int durationText = QFontMetrics(duration->font()).horizontalAdvance(duration->text());
    QVERIFY2(durationText <= circle->width() * 4 / 5,
             qPrintable(QStringLiteral("%1: %2 px in a circle of %3 px")
                            .arg(duration->text())
                            .arg(durationText)
                            .arg(circle->width())));
    // the figures' titles whole and clear of the panel's border
    for (const char *name : {"speedAvgTitle", "speedMaxTitle", "altitudeMaxTitle",
                             "altitudeMinTitle", "altitudeRisingTitle", "altitudeDecreaseTitle"}) {
        const auto *title = panel->findChild<QLabel *>(QLatin1String(name));
        QVERIFY(title);
        const int text = QFontMetrics(title->font()).horizontalAdvance(title->text());
        const int right = title->mapTo(panel, QPoint(text, 0)).x();
        QVERIFY2(title->contentsRect().width() >= text && right <= panel->width() - 8,
                 qPrintable(QStringLiteral("%1: %2 px of text in %3 px, ends at %4 of %5")
                                .arg(title->text())
                                .arg(text)
                                .arg(title->contentsRect().width())
                                .arg(right)
                                .arg(panel->width())));
    }
    screenshot(QStringLiteral("-ridedata"));
}

TALVEX_TEST_MAIN(TstTextsFit)
#include "tst_textsfit.moc"

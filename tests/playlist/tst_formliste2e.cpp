// The play list in the real main window with the two camera players, on clips made by ffmpeg:
// dropped files become rows, a double-click plays both cameras, clips follow one another.
#include "appglobals.h"
#include "dashcam.h"
#include "formcontrol.h"
#include "formlist.h"
#include "listrows.h"
#include "mainwindow.h"
#include "settingkeys.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace ListRows;

class TstFormListE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void droppedPairBecomesRows();
    void doubleClickPlaysBothCameras();
    void marksFollowThePlayersAfterADropOfTwoPairs();
    void captionsAreReadableInEveryLanguage_data();
    void captionsAreReadableInEveryLanguage();
    void buttonTextsFitInEveryLanguage_data();
    void buttonTextsFitInEveryLanguage();
    void clipEndMovesToTheNextMainClip();
    void stopInsideClipStaysOnRow();
    void keysBAndNStepThroughTheList();
    void clearFileListMenuEmptiesTheList();
    void doubleClickOnGroupPlaysBothGroups();
    void screenshots_data();
    void screenshots();

private:
    QString clip(const QString &name) const { return dir.filePath(name); }
    void drop(const QStringList &names);
    void dropPairAndWait();
    void doubleClick(int row);
    QString text(int row, int column) const;

    QTemporaryDir dir;
    QString oldCwd;
    std::unique_ptr<MainWindow> window;
    FormList *list = nullptr;
    int savedDisplayMode = 1;
    int savedStyle = 0;
    QString savedAutomatically;
};

void TstFormListE2E::initTestCase()
{
    QVERIFY(dir.isValid());
    oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path()); // the settings file of the run goes here
    // the pair plays long enough for both cameras to start on a busy machine
    QVERIFY(TestSupport::makeClip(clip("20261207101500_F.mp4"), 6.0, QStringLiteral("640x360")));
    QVERIFY(TestSupport::makeClip(clip("20261207101500_R.mp4"), 6.0, QStringLiteral("320x240")));
    for (const char *name :
         {"20261207101600_F.mp4", "20261207101600_R.mp4", "20261207101700_F.mp4",
          "20261207101700_R.mp4", "20261207101800_F.mp4", "20261207101800_R.mp4"})
        QVERIFY(TestSupport::makeClip(clip(QString::fromLatin1(name)), 1.0,
                                      QStringLiteral("320x180"), false));
}

void TstFormListE2E::cleanupTestCase()
{
    QDir::setCurrent(oldCwd);
}

void TstFormListE2E::init()
{
    window = std::make_unique<MainWindow>();
    savedDisplayMode = gDisplayMode;
    savedStyle = gStyle;
    savedAutomatically = gParameters.value(SettingKeys::automatically);
    gDisplayMode = 1;
    gParameters[SettingKeys::automatically] = QStringLiteral("1");
    window->resize(1600, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    list = window->formList();
    QVERIFY(list);
    QVERIFY(list->isVisible());
}

void TstFormListE2E::cleanup()
{
    window.reset();
    list = nullptr;
    gDisplayMode = savedDisplayMode;
    gStyle = savedStyle;
    gParameters[SettingKeys::automatically] = savedAutomatically;
}

void TstFormListE2E::drop(const QStringList &names)
{
    QList<QUrl> urls;
    for (const QString &name : names)
        urls << QUrl::fromLocalFile(clip(name));
    QMimeData data;
    data.setUrls(urls);
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // delivered as the drag manager would, without a drag in progress
    static_cast<QObject *>(list)->event(&event);
}

void TstFormListE2E::dropPairAndWait()
{
    drop({"20261207101500_R.mp4", "20261207101500_F.mp4"});
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 2, 15000);
}

void TstFormListE2E::doubleClick(int row)
{
    QTableWidget *table = list->table();
    const QModelIndex index = table->model()->index(row, ColName);
    table->scrollTo(index);
    const QPoint at = table->visualRect(index).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

QString TstFormListE2E::text(int row, int column) const
{
    const QTableWidgetItem *item = list->table()->item(row, column);
    return item ? item->text() : QString();
}

void TstFormListE2E::droppedPairBecomesRows()
{
    drop({"20261207101500_F.mp4"}); // the rear file comes along as the partner
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 2, 15000);
    const QString today = QFileInfo(clip("20261207101500_F.mp4"))
                              .lastModified()
                              .toString(gDateFormat == 1   ? QStringLiteral("MM-dd-yyyy")
                                        : gDateFormat == 2 ? QStringLiteral("yyyy-MM-dd")
                                                           : QStringLiteral("dd-MM-yyyy"));
    const struct
    {
        const char *name;
        const char *resolution;
    } expected[] = {{"20261207101500_F.mp4", "640x360"}, {"20261207101500_R.mp4", "320x240"}};
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(text(row, ColName), QString::fromLatin1(expected[row].name));
        QCOMPARE(text(row, ColDate), today);
        QCOMPARE(text(row, ColSize), QStringLiteral("0MB"));
        QCOMPARE(text(row, ColDuration), QStringLiteral("00:00:06"));
        QCOMPARE(text(row, ColResolution), QString::fromLatin1(expected[row].resolution));
        QCOMPARE(text(row, ColPath), clip(QString::fromLatin1(expected[row].name)));
    }
    // the marks show what the cameras play: the front file in the main player, its partner in
    // the second
    QCOMPARE(window->mainDashcam()->getMediaPath(), clip("20261207101500_F.mp4"));
    QTRY_COMPARE_WITH_TIMEOUT(window->secondDashcam()->getMediaPath(), clip("20261207101500_R.mp4"),
                              10000);
    QTRY_COMPARE(text(0, ColMark), QStringLiteral("d"));
    QTRY_COMPARE(text(1, ColMark), QStringLiteral("e"));
}

void TstFormListE2E::marksFollowThePlayersAfterADropOfTwoPairs()
{
    drop({"20261207101600_F.mp4", "20261207101600_R.mp4", "20261207101700_F.mp4",
          "20261207101700_R.mp4"});
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 4, 15000);
    const QString mainPath = window->mainDashcam()->getMediaPath();
    QTRY_VERIFY_WITH_TIMEOUT(!window->secondDashcam()->getMediaPath().isEmpty(), 10000);
    const QString secondPath = window->secondDashcam()->getMediaPath();
    QCOMPARE(mainPath, clip("20261207101600_F.mp4"));
    QCOMPARE(secondPath, clip("20261207101600_R.mp4"));
    const auto marks = [this] {
        QStringList shown;
        for (int row = 0; row < list->rowCount(); ++row)
            shown << text(row, ColMark) + QLatin1Char(' ') +
                         QFileInfo(text(row, ColPath)).fileName();
        return shown;
    };
    QTRY_COMPARE(marks(), QStringList({"d 20261207101600_F.mp4", "e 20261207101600_R.mp4",
                                       " 20261207101700_F.mp4", " 20261207101700_R.mp4"}));
    QCOMPARE(list->curSelectFile(), 0);
    QCOMPARE(list->curSubSelectFile(), 1);

    // the next pair dropped plays, and only its rows are marked
    drop({"20261207101800_F.mp4", "20261207101800_R.mp4"});
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 6, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(window->secondDashcam()->getMediaPath(), clip("20261207101800_R.mp4"),
                              10000);
    QTRY_COMPARE(marks().mid(4), QStringList({"d 20261207101800_F.mp4", "e 20261207101800_R.mp4"}));
    for (int row = 0; row < 4; ++row)
        QCOMPARE(text(row, ColMark), QString());
}

void TstFormListE2E::captionsAreReadableInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < LanguageCount; ++language)
        QTest::addRow("language %d", language) << language;
}

void TstFormListE2E::captionsAreReadableInEveryLanguage()
{
    QFETCH(int, language);
    window->setLanguage(language);
    dropPairAndWait();
    QApplication::processEvents();
    auto *captions = list->findChild<QTableWidget *>(QStringLiteral("headerTableWidget"));
    QVERIFY(captions);
    const QHeaderView *header = captions->horizontalHeader();
    for (int column = 0; column < header->count(); ++column) {
        const QTableWidgetItem *item = captions->horizontalHeaderItem(column);
        // painted in the item's own font, or else the header's
        const QVariant itemFont = item->data(Qt::FontRole);
        const QFont font = itemFont.isValid() ? itemFont.value<QFont>() : header->font();
        const int text = QFontMetrics(font).horizontalAdvance(item->text());
        // the caption sheet's left padding, then the whole text
        QVERIFY2(header->sectionSize(column) >= 10 + text,
                 qPrintable(QStringLiteral("%1: %2 px for %3 px of text")
                                .arg(item->text())
                                .arg(header->sectionSize(column))
                                .arg(text)));
        // the list's columns stay under their captions
        if (column > 0)
            QCOMPARE(list->table()->columnWidth(column + 1), header->sectionSize(column));
    }
    // all of them in view, without scrolling
    QVERIFY2(header->length() <= captions->viewport()->width(),
             qPrintable(QStringLiteral("%1 px of captions in %2 px")
                            .arg(header->length())
                            .arg(captions->viewport()->width())));
    // the first row starts under the caption row, without a band between them
    const int captionsBottom = captions->mapTo(window.get(), QPoint(0, captions->height())).y();
    const QRect firstRow = list->table()->visualRect(list->table()->model()->index(0, ColName));
    const int rowTop = list->table()->viewport()->mapTo(window.get(), firstRow.topLeft()).y();
    QVERIFY2(
        rowTop - captionsBottom >= 0 && rowTop - captionsBottom <= 4,
        qPrintable(
            QStringLiteral("caption bottom %1, first row %2").arg(captionsBottom).arg(rowTop)));
    if (language == LangEnglish || language == LangPolish || language == LangChinese)
        TestSupport::saveScreenshot(list, QStringLiteral("formlist-captions-%1").arg(language));
    window->setLanguage(LangEnglish);
}

void TstFormListE2E::buttonTextsFitInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("minimumSize");
    for (int language = 0; language < LanguageCount; ++language) {
        QTest::addRow("language %d", language) << language << false;
        QTest::addRow("language %d, minimum size", language) << language << true;
    }
}

void TstFormListE2E::buttonTextsFitInEveryLanguage()
{
    QFETCH(int, language);
    QFETCH(bool, minimumSize);
    window->setLanguage(language);
    if (minimumSize)
        window->resize(window->minimumSize());
    QApplication::processEvents();
    QVector<QRect> taken;
    for (const char *name : {"btnAdd", "btnRemove", "btnGroup", "btnUngroup"}) {
        auto *button = list->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        // icon, gap and the whole text inside the button
        const int needed = button->iconSize().width() + 4 +
                           QFontMetrics(button->font()).horizontalAdvance(button->text());
        QVERIFY2(button->width() >= needed, qPrintable(QStringLiteral("%1: %2 px for %3 px")
                                                           .arg(button->text())
                                                           .arg(button->width())
                                                           .arg(needed)));
        QVERIFY(button->font().pixelSize() >= 9); // still readable
        const QRect area(button->mapTo(list, QPoint()), button->size());
        for (const QRect &other : taken)
            QVERIFY(!area.intersects(other));
        QVERIFY(list->rect().contains(area));
        taken << area;
    }
    window->setLanguage(LangEnglish);
}

void TstFormListE2E::doubleClickPlaysBothCameras()
{
    dropPairAndWait();
    Dashcam *main = window->mainDashcam();
    Dashcam *second = window->secondDashcam();
    doubleClick(0);
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
    QCOMPARE(main->getMediaPath(), clip("20261207101500_F.mp4"));
    QTRY_COMPARE_WITH_TIMEOUT(second->getMediaPath(), clip("20261207101500_R.mp4"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(second->playStatus(), PlayingState, 10000);
    QCOMPARE(text(0, ColMark), QStringLiteral("d"));
    QCOMPARE(text(1, ColMark), QStringLiteral("e"));
    QVERIFY(main->getVideoWidget()->isVisible());
    QVERIFY(second->getVideoWidget()->isVisible());
}

void TstFormListE2E::clipEndMovesToTheNextMainClip()
{
    drop({"20261207101500_F.mp4", "20261207101600_F.mp4"}); // with their rear partners
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 4, 15000);
    Dashcam *main = window->mainDashcam();
    doubleClick(list->findRowByPath(clip("20261207101500_F.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
    // the front clip ends: the next minute's front clip starts, not the rear clip of
    // the same minute
    QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), clip("20261207101600_F.mp4"), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
    const int next = list->findRowByPath(clip("20261207101600_F.mp4"));
    QCOMPARE(list->curSelectFile(), next);
    QCOMPARE(text(next, ColMark), QStringLiteral("d"));
    QTRY_COMPARE_WITH_TIMEOUT(window->secondDashcam()->getMediaPath(), clip("20261207101600_R.mp4"),
                              10000);
    // after the last front clip only its own partner follows: nothing more starts
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), StoppedState, 15000);
    QCOMPARE(main->getMediaPath(), clip("20261207101600_F.mp4"));
    QCOMPARE(list->curSelectFile(), next);
    // the selection moved with the play: Remove takes the new row alone
    QSet<int> selected;
    for (const QTableWidgetItem *item : list->table()->selectedItems())
        selected << item->row();
    QCOMPARE(selected, QSet<int>{next});
    list->findChild<QPushButton *>(QStringLiteral("btnRemove"))->click();
    QStringList left;
    for (int row = 0; row < list->rowCount(); ++row)
        left << text(row, ColPath);
    QCOMPARE(left.size(), 3);
    QVERIFY(!left.contains(clip("20261207101600_F.mp4")));
}

void TstFormListE2E::stopInsideClipStaysOnRow()
{
    dropPairAndWait();
    Dashcam *main = window->mainDashcam();
    doubleClick(0);
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
    emit window->control()->stop(); // the play bar's Stop well before the end
    QCOMPARE(main->playStatus(), StoppedState);
    QTest::qWait(500);
    QCOMPARE(main->getMediaPath(), clip("20261207101500_F.mp4"));
    QCOMPARE(list->curSelectFile(), 0);
}

void TstFormListE2E::keysBAndNStepThroughTheList()
{
    dropPairAndWait();
    Dashcam *main = window->mainDashcam();
    QApplication::setActiveWindow(window.get()); // the player keys act in the active window
    QTest::keyClick(window.get(), Qt::Key_B);
    QTRY_COMPARE_WITH_TIMEOUT(list->curSelectFile(), 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), clip("20261207101500_F.mp4"), 10000);
    QTest::keyClick(window.get(), Qt::Key_N);
    QCOMPARE(list->curSelectFile(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), clip("20261207101500_R.mp4"), 10000);
    QCOMPARE(text(1, ColMark), QStringLiteral("d"));
}

void TstFormListE2E::doubleClickOnGroupPlaysBothGroups()
{
    drop({"20261207101600_F.mp4", "20261207101700_F.mp4"}); // with their rear partners
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 4, 15000);
    list->table()->selectAll();
    list->findChild<QPushButton *>(QStringLiteral("btnGroup"))->click();
    QCOMPARE(list->rowCount(), 6); // Group1 front, Group2 rear
    QCOMPARE(text(4, ColResolution), QStringLiteral("Group1"));
    Dashcam *main = window->mainDashcam();
    Dashcam *second = window->secondDashcam();
    QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), QString(), 5000); // released by grouping
    // nothing of the released file stays: no picture, an empty play bar
    QVERIFY(!main->getVideoWidget()->isVisible());
    QCOMPARE(window->control()->findChild<QLabel *>(QStringLiteral("labelTime"))->text(),
             QStringLiteral("00:00 / 00:00"));
    doubleClick(4);
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
    QCOMPARE(main->getMediaPath(), clip("20261207101600_F.mp4")); // the group's first member
    QTRY_COMPARE_WITH_TIMEOUT(second->getMediaPath(), clip("20261207101600_R.mp4"), 10000);
    QVERIFY(qAbs(main->durationMs() - 2000) <= 100); // both members as one clip
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(second->durationMs() - 2000) <= 100, 10000);
    QCOMPARE(text(4, ColMark), QStringLiteral("d"));
    QCOMPARE(text(5, ColMark), QStringLiteral("e"));
}

void TstFormListE2E::clearFileListMenuEmptiesTheList()
{
    dropPairAndWait();
    Dashcam *main = window->mainDashcam();
    doubleClick(0);
    QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
    window->findChild<QAction *>(QStringLiteral("actionClear_File_List"))->trigger();
    QCOMPARE(list->rowCount(), 0);
    QCOMPARE(main->playStatus(), StoppedState);
    QCOMPARE(list->curSubSelectFile(), 0);
    QVERIFY(!list->subFileFound());
    // no clip of the emptied list is left in the players or on the play bar
    QCOMPARE(main->getMediaPath(), QString());
    QCOMPARE(window->secondDashcam()->getMediaPath(), QString());
    QTRY_VERIFY(!main->getVideoWidget()->isVisible());
    QVERIFY(!window->secondDashcam()->getVideoWidget()->isVisible());
    auto *time = window->control()->findChild<QLabel *>(QStringLiteral("labelTime"));
    QVERIFY(time);
    QCOMPARE(time->text(), QStringLiteral("00:00 / 00:00"));
}

void TstFormListE2E::screenshots_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("white") << 0;
    QTest::newRow("black") << 1;
}

void TstFormListE2E::screenshots()
{
    QFETCH(int, style);
    gParameters[SettingKeys::automatically] = QStringLiteral("0"); // the picture holds still
    window->setStyle(style);
    drop({"20261207101500_F.mp4", "20261207101600_F.mp4", "20261207101700_F.mp4",
          "20261207101800_F.mp4"}); // with their four rear partners
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 8, 20000);
    // one group row of two front clips
    const int first = list->findRowByPath(clip("20261207101600_F.mp4"));
    const int second = list->findRowByPath(clip("20261207101700_F.mp4"));
    QTableWidget *table = list->table();
    table->clearSelection();
    for (int row : {first, second})
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->findChild<QPushButton *>(QStringLiteral("btnGroup"))->click();
    QCOMPARE(list->rowCount(), 9);
    // the last pair plays on both cameras
    const int front = list->findRowByPath(clip("20261207101800_F.mp4"));
    doubleClick(front);
    QTRY_COMPARE_WITH_TIMEOUT(window->secondDashcam()->getMediaPath(), clip("20261207101800_R.mp4"),
                              10000);
    QTRY_VERIFY_WITH_TIMEOUT(window->mainDashcam()->positionMs() > 500, 10000);
    window->mainDashcam()->pause();
    QCOMPARE(text(front, ColMark), QStringLiteral("d"));
    QCOMPARE(list->currentSubFilePath(), clip("20261207101800_R.mp4"));
    QCOMPARE(text(list->curSubSelectFile(), ColMark), QStringLiteral("e"));
    table->scrollToBottom(); // the marks and the group row
    QTest::qWait(300);
    TestSupport::saveScreenshot(window.get(), QStringLiteral("mainwindow_list_style%1").arg(style));
}

TALVEX_TEST_MAIN(TstFormListE2E)
#include "tst_formliste2e.moc"

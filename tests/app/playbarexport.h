// The play bar's roads to an export in the real MainWindow: a file, a group, a front file with its
// rear partner or two such groups opened and played, edit mode, a span cut and the output page.
#pragma once

#include "appglobals.h"
#include "formcontrol.h"
#include "listrows.h"
#include "mainwindowtest.h"
#include "outputname.h"
#include "replacequestion.h"
#include "sliderstyle.h"
#include "videowidget.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace PlayBarExport {

using namespace MainWindowTest;

constexpr int exportTimeoutMs = 120000;

template <typename T> T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

// Opens path through the Add Video road and waits until the play bar knows its length.
inline void openFile(MainWindow &w, const QString &path)
{
    w.onOpenFile_L({QUrl::fromLocalFile(path)});
    QTRY_VERIFY_WITH_TIMEOUT(listedPaths(w.formList()).contains(path), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 20000);
    QTRY_VERIFY(w.control()->editSlider()->maximum() > 0);
}

inline void enterEditMode(MainWindow &w)
{
    auto *edit = child<QAbstractButton>(w.control(), "btnEdit");
    QVERIFY(edit);
    QTest::mouseClick(edit, Qt::LeftButton);
    FormDialog *dialog = w.formDialog();
    if (gDisplayMode == 1 && !w.formList()->checkSubGroupFile()) {
        // both cameras asked for, the file has no partner: the prompt that only the main video
        // is cut comes first, its OK opens the editor
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(child<QWidget>(dialog, "f_supportPrompt")->isVisible());
        QCOMPARE(child<QLabel>(dialog, "supportPrompt_comtent")->text(),
                 QStringLiteral("The Edit function only supports the main video."));
        QCOMPARE(w.opMode(), OP_Play);
        QTest::mouseClick(child<QPushButton>(dialog, "supportPrompt_okbtn"), Qt::LeftButton);
        QTRY_VERIFY(!dialog->isVisible());
    }
    QCOMPARE(w.opMode(), OP_Edit);
    QCOMPARE(w.control()->opMode(), OP_Edit);
}

// Edit mode (unless in it), a span of seconds from 1 s on (to 7 s unless said), OK, the output
// path on page 3, and page 3's OK; Replace when the output exists, which must ask exactly then.
inline void startCut(MainWindow &w, const QString &output, int seconds = 6)
{
    if (w.opMode() != OP_Edit)
        enterEditMode(w);
    w.control()->editSlider()->setSpan(100, 100 + seconds * 100); // in hundredths of a second
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(dialog, "f_os")->isVisible());
    child<QLineEdit>(dialog, "os_le")->setText(output);
    const bool exists = OutputName::namesAnEntry(output);
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
    auto *question = dialog->findChild<ReplaceQuestion *>();
    const bool refused = child<QLabel>(dialog, "os_la_error")->isVisible();
    const bool asked = question && question->isVisible();
    QCOMPARE(asked, exists && !refused);
    if (asked) {
        QCOMPARE(question->path(), output);
        QTest::mouseClick(child<QPushButton>(question, "replace_btn_ok"), Qt::LeftButton);
        QTRY_VERIFY(!question->isVisible());
    }
}

inline void doubleClickRow(MainWindow &w, int row)
{
    QTableWidget *table = w.formList()->table();
    const QPoint at = table->visualRect(table->model()->index(row, ListRows::ColName)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

// Opens files, groups those of one camera in the list and plays the group row.
inline void playGroup(MainWindow &w, const QStringList &files)
{
    QList<QUrl> urls;
    for (const QString &file : files)
        urls << QUrl::fromLocalFile(file);
    w.onOpenFile_L(urls);
    FormList *list = w.formList();
    const int n = files.size();
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), n, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!list->fileDuration(n - 1).isEmpty(), 20000);
    list->table()->selectAll();
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("btnGroup")), Qt::LeftButton);
    QCOMPARE(list->rowCount(), n + 1);
    QCOMPARE(list->table()->item(n, ListRows::ColResolution)->text(), QStringLiteral("Group1"));
    doubleClickRow(w, n);
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), files.first(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 20000);
    QVERIFY(list->isCurrentGroup());
}

// Opens a front file and its rear partner (pair) and plays them in dual view.
inline void playPair(MainWindow &w, const QStringList &pair)
{
    w.onOpenFile_L({QUrl::fromLocalFile(pair.at(0)), QUrl::fromLocalFile(pair.at(1))});
    QTRY_COMPARE_WITH_TIMEOUT(w.formList()->rowCount(), 2, 20000);
    doubleClickRow(w, 0);
    QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->getMediaPath(), pair.at(1), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.secondDashcam()->getVideoWidget()->isVisible(), 20000);
}

// Opens two front files of 4 s and their rear partners (files, the front ones first), groups them
// into a front group and its rear partner group and plays both in dual view.
inline void playPairedGroups(MainWindow &w, const QStringList &files)
{
    QList<QUrl> urls;
    for (const QString &file : files)
        urls << QUrl::fromLocalFile(file);
    w.onOpenFile_L(urls);
    FormList *list = w.formList();
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 4, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!list->fileDuration(3).isEmpty(), 20000);
    list->table()->selectAll();
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("btnGroup")), Qt::LeftButton);
    QCOMPARE(list->rowCount(), 6); // the front group, then the rear one
    doubleClickRow(w, 4);
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), files.at(0), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->getMediaPath(), files.at(2), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 8000) <= 200, 20000);
    QVERIFY(list->checkSubGroupFile());
    QCOMPARE(ExportController::splitGroup(list->currentSubFilePath()), files.mid(2));
}

} // namespace PlayBarExport

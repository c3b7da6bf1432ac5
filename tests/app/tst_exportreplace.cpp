// An export over an existing file from the real main window's play bar: the user is asked first,
// the file is replaced only after Replace, and a replaced file that the list shows gets its new
// figures there.
#include "exportchecks.h"
#include "exporttestfiles.h"
#include "exportwindowtest.h"
#include "playbarexport.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace ExportChecks;
using namespace PlayBarExport;

class TstExportReplace : public ExportWindowTest
{
    Q_OBJECT
public:
    TstExportReplace() : ExportWindowTest(Clip | GroupClips | PairedGroups | BigClips) {}

private slots:
    void existingOutputIsReplacedOnlyAfterReplace_data();
    void existingOutputIsReplacedOnlyAfterReplace();
    void replacedListedFileShowsItsNewFigures_data();
    void replacedListedFileShowsItsNewFigures();
};

void TstExportReplace::existingOutputIsReplacedOnlyAfterReplace_data()
{
    QTest::addColumn<QString>("road"); // what plays
    QTest::newRow("single cut") << "file";
    QTest::newRow("group join") << "group";
    QTest::newRow("group mix of both cameras") << "paired groups";
}

// An output that names an earlier file asks first. Cancel, Escape and Return run nothing, leave
// the file and its folder as they were and the page as the user typed it; Replace exports, and
// the user's files named as the export's pieces and concat list stay as they are.
void TstExportReplace::existingOutputIsReplacedOnlyAfterReplace()
{
    QFETCH(QString, road);
    const QString folder = dir_.filePath(QStringLiteral("replaced ") + road);
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    const QString output = QDir(folder).filePath(QStringLiteral("earlier export.mov"));
    TestSupport::writeFile(output, "an earlier export, the only copy of " + road.toUtf8());
    // files of the user's named as a group export's pieces and concat list
    for (const char *name : {"temp1_main_0.mov", "clip.txt"})
        TestSupport::writeFile(QDir(folder).filePath(name), "the user's own " + QByteArray(name));
    auto before = folderState(folder);

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != (road == "paired groups" ? 1 : 0))
        w.onDisplayModeChange();
    if (road == "group")
        playGroup(w, groupClips_);
    else if (road == "paired groups")
        playPairedGroups(w, pairedGroups_);
    else
        openFile(w, clip_);
    if (QTest::currentTestFailed())
        return;
    QSignalSpy started(w.exportRunner(), &FFmpeg_editor_p::started);
    FormDialog *dialog = w.formDialog();
    QSignalSpy single(dialog, &FormDialog::settingFinished);
    QSignalSpy group(dialog, &FormDialog::settingFinishedGroup);
    enterEditMode(w);
    if (QTest::currentTestFailed())
        return;
    w.control()->editSlider()->setSpan(100, 700);
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
    QTRY_VERIFY(child<QWidget>(dialog, "f_os")->isVisible());
    // as typed, with a doubled slash
    const QString typed =
        QString(output).replace(QStringLiteral("/earlier"), QStringLiteral("//earlier"));
    auto *line = child<QLineEdit>(dialog, "os_le");
    line->setText(typed);

    ReplaceQuestion *question = nullptr; // made when first asked
    for (const char *answer : {"Cancel", "Escape", "Return"}) {
        QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
        question = dialog->findChild<ReplaceQuestion *>();
        QVERIFY2(question && question->isVisible(), answer);
        QCOMPARE(question->path(), output);
        // the path, in lines where it is long, then the question
        QCOMPARE(child<QLabel>(question, "replace_tv")
                     ->text()
                     .section(QStringLiteral("\nThis file already exists."), 0, 0)
                     .remove(QLatin1Char('\n')),
                 output);
        if (qstrcmp(answer, "Cancel") == 0) {
            QVERIFY(QTest::qWaitForWindowExposed(question));
            if (road == "file")
                TestSupport::saveScreenshot(windowWithDialog(&w, {dialog, question}),
                                            QStringLiteral("export-replace-question"));
            QTest::mouseClick(child<QPushButton>(question, "replace_btn_cancel"), Qt::LeftButton);
        } else {
            QTest::keyClick(question,
                            qstrcmp(answer, "Escape") == 0 ? Qt::Key_Escape : Qt::Key_Return);
        }
        QTRY_VERIFY2(!question->isVisible(), answer);
        QCoreApplication::processEvents(); // whatever the answer queued has run
        QCOMPARE(started.count(), 0);
        QCOMPARE(single.count() + group.count(), 0);
        QVERIFY(!w.exportRunner()->isRunning());
        QVERIFY(dialog->isVisible());
        QVERIFY(child<QWidget>(dialog, "f_os")->isVisible());
        QCOMPARE(line->text(), typed);
        QCOMPARE(w.opMode(), OP_Edit);
        QCOMPARE(folderState(folder), before);
    }

    ExportEnd end(w);
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
    QVERIFY(question->isVisible());
    QTest::mouseClick(child<QPushButton>(question, "replace_btn_ok"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    QCOMPARE((road == "file" ? single : group).count(), 1);
    QVERIFY(started.count() > 0);
    QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 6.0) <= 0.15);
    auto after = folderState(folder);
    for (auto *state : {&before, &after})
        state->remove(QStringLiteral("earlier export.mov"));
    QCOMPARE(after, before);
    QTest::mouseClick(child<QPushButton>(dialog, "pv_btn_ok"), Qt::LeftButton);
}

void TstExportReplace::replacedListedFileShowsItsNewFigures_data()
{
    QTest::addColumn<bool>("grouped");
    QTest::newRow("a listed file") << false;
    QTest::newRow("a member of a listed group") << true;
}

// Another recording, listed and not being cut, replaced by an export: its row (and its group's)
// shows the new file's size, duration and resolution instead of the old ones.
void TstExportReplace::replacedListedFileShowsItsNewFigures()
{
    QFETCH(bool, grouped);
    const QString folder = dir_.filePath(QStringLiteral("listed card"));
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    // recordings of some MB and 3 s at 320x180
    const QStringList recordings{QDir(folder).filePath(QStringLiteral("20261207170000_F.mp4")),
                                 QDir(folder).filePath(QStringLiteral("20261207170300_F.mp4"))};
    for (int i = 0; i < recordings.size(); ++i)
        QVERIFY(QFile::copy(bigClips_.at(i), recordings.at(i)));
    const QString replaced = recordings.first();

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    FormList *list = w.formList();
    if (grouped)
        playGroup(w, recordings);
    else
        openFile(w, replaced);
    openFile(w, clip_); // the file cut: 8 s at 1280x720
    if (QTest::currentTestFailed())
        return;
    const auto row = [&] { return list->findRowByPath(replaced); };
    QTableWidget *table = list->table();
    const auto cellText = [&](int r, int column) { return table->item(r, column)->text(); };
    QCOMPARE(list->filePath(row()), replaced);
    const QString oldSize = cellText(row(), ListRows::ColSize);
    QCOMPARE(cellText(row(), ListRows::ColDuration), QStringLiteral("00:00:03"));
    QCOMPARE(cellText(row(), ListRows::ColResolution), QStringLiteral("320x180"));
    const int groupRow = grouped ? list->rowCount() - 2 : -1;
    if (grouped)
        QCOMPARE(cellText(groupRow, ListRows::ColDuration), QStringLiteral("00:00:06"));
    const int rows = list->rowCount();

    ExportEnd end(w);
    startCut(w, replaced); // asks, and the user says Replace
    if (QTest::currentTestFailed())
        return;
    // no file being cut: not refused
    QVERIFY(!child<QLabel>(w.formDialog(), "os_la_error")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
    QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
    const QString newSize = QStringLiteral("%1MB").arg(QFileInfo(replaced).size() / 1024 / 1024);
    QVERIFY(newSize != oldSize);
    QTRY_COMPARE_WITH_TIMEOUT(cellText(row(), ListRows::ColDuration), QStringLiteral("00:00:06"),
                              20000);
    QCOMPARE(cellText(row(), ListRows::ColSize), newSize);
    QCOMPARE(cellText(row(), ListRows::ColResolution), QStringLiteral("1280x720"));
    QCOMPARE(list->rowCount(), rows); // no second row of the file
    QCOMPARE(listedPaths(list).count(replaced), 1);
    if (grouped) {
        QCOMPARE(cellText(groupRow, ListRows::ColDuration), QStringLiteral("00:00:09"));
        QCOMPARE(cellText(groupRow, ListRows::ColDurations), QStringLiteral("00:00:06;00:00:03;"));
    }
    QTest::mouseClick(child<QPushButton>(w.formDialog(), "pv_btn_ok"), Qt::LeftButton);
}

TALVEX_TEST_MAIN(TstExportReplace)

#include "tst_exportreplace.moc"

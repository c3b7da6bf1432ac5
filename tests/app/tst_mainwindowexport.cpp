// End to end: the play bar's edit mode, a span, OK, the output-settings page, the export through
// ffmpeg, "Finished." and the exported file opened in the player and the list.
#include "appglobals.h"
#include "dashcam.h"
#include "ffmpeg_editor_p.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "listrows.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "sliderstyle.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

using namespace MainWindowTest;

constexpr int exportTimeoutMs = 120000;

// The main window with the dialog drawn where it stands over it.
QImage windowWithDialog(MainWindow *window, QWidget *dialog)
{
    QImage image = window->grab().toImage();
    QPainter painter(&image);
    painter.drawPixmap(dialog->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0)),
                       dialog->grab());
    return image;
}

template <typename T> T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

class TstMainWindowExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cutFromThePlayBarOpensTheExportedFile();
    void cutEditorShowsSpansPastOneHour();
    void groupCutFromThePlayBar();
    void failedExportSaysWhyAndKeepsTheOldFile_data();
    void failedExportSaysWhyAndKeepsTheOldFile();

private:
    // Opens path through the Add Video road and waits until the play bar knows its length.
    void openFile(MainWindow &w, const QString &path);
    void enterEditMode(MainWindow &w);
    // Edit mode, span 1 s to 7 s, OK, the output path on page 3, and page 3's OK.
    void startCut(MainWindow &w, const QString &output);

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    QString longClip_;
    QStringList groupClips_;
};

void TstMainWindowExport::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file, clip.txt and outputs stay here
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip_, 8, QStringLiteral("1280x720")));
    for (const char *name :
         {"20261207120000_F.mp4", "20261207120300_F.mp4", "20261207120600_F.mp4"}) {
        groupClips_ << dir_.filePath(QString::fromLatin1(name));
        QVERIFY(TestSupport::makeClip(groupClips_.last(), 3, QStringLiteral("640x360")));
    }
    longClip_ = dir_.filePath(QStringLiteral("20261207110000_F.mp4"));
    QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=64x36:r=1:d=3800", "-c:v",
                                    "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                    longClip_}));
}

void TstMainWindowExport::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void TstMainWindowExport::init()
{
    gDisplayMode = 0;
    gSupportPromptHidden = false;
}

void TstMainWindowExport::openFile(MainWindow &w, const QString &path)
{
    w.onOpenFile_L({QUrl::fromLocalFile(path)});
    QTRY_VERIFY_WITH_TIMEOUT(listedPaths(w.formList()).contains(path), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 20000);
    QTRY_VERIFY(w.control()->editSlider()->maximum() > 0);
}

void TstMainWindowExport::enterEditMode(MainWindow &w)
{
    auto *edit = child<QAbstractButton>(w.control(), "btnEdit");
    QVERIFY(edit);
    QTest::mouseClick(edit, Qt::LeftButton);
    FormDialog *dialog = w.formDialog();
    if (gDisplayMode == 1) {
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

void TstMainWindowExport::cutFromThePlayBarOpensTheExportedFile()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 1)
        w.onDisplayModeChange();
    openFile(w, clip_);
    enterEditMode(w);

    // span 1 s to 7 s (the slider counts hundredths)
    w.control()->editSlider()->setSpan(100, 700);
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("00:01 ~ 00:07"));
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);

    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(dialog, "f_os")->isVisible()); // page 3
    const QString output = dir_.filePath(QStringLiteral("out/exported.mov"));
    child<QLineEdit>(dialog, "os_le")->setText(output);

    // the processing page while ffmpeg works
    auto *progress = child<QLabel>(dialog, "pv_la_progress");
    bool grabbed = false;
    connect(w.exportRunner(), &FFmpeg_editor_p::progressChanged, this, [&](int value) {
        if (grabbed || value < 20 || value > 90)
            return;
        grabbed = true;
        QVERIFY(child<QWidget>(dialog, "f_pv")->isVisible());
        QCOMPARE(progress->text(), QStringLiteral("%1%").arg(value));
        const QImage shot = windowWithDialog(&w, dialog);
        const QRect page(dialog->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0)),
                         dialog->size());
        QVERIFY(TestSupport::colourCount(shot, page) > 10);
        TestSupport::saveScreenshot(shot, QStringLiteral("export-processing"));
    });
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);

    auto *message = child<QLabel>(dialog, "pv_la_msg");
    QTRY_COMPARE_WITH_TIMEOUT(message->text(), QStringLiteral("Finished."), exportTimeoutMs);
    QVERIFY(grabbed);
    QCOMPARE(progress->text(), QStringLiteral("100%"));
    QVERIFY(QFileInfo(output).size() > 0);

    const QImage finished = windowWithDialog(&w, dialog);
    // the full bar is drawn in its fill colour
    auto *bar = child<QWidget>(dialog, "pv_pd");
    const QPoint barMiddle = bar->mapTo(dialog, bar->rect().center()) +
                             dialog->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0));
    QCOMPARE(QColor(finished.pixel(barMiddle)), QColor(QStringLiteral("#353DF4")));
    TestSupport::saveScreenshot(finished, QStringLiteral("export-finished"));

    // 800 ms later the exported file plays and is listed, once
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), output, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(listedPaths(w.formList()).count(output), 1, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 6000) <= 100, 20000);

    // OK on the finished page: back to play mode
    QTest::mouseClick(child<QPushButton>(dialog, "pv_btn_ok"), Qt::LeftButton);
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(w.opMode(), OP_Play);
    QCOMPARE(w.control()->opMode(), OP_Play);
    QVERIFY(QDir(dir_.filePath("out"))
                .entryList({"temp*", ".*part*"}, QDir::Files | QDir::Hidden)
                .isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("clip.txt")));
}

void TstMainWindowExport::cutEditorShowsSpansPastOneHour()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    openFile(w, longClip_);
    enterEditMode(w);

    // 1 h 1 min to 1 h 2 min 5 s
    w.control()->editSlider()->setSpan(366000, 372500);
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("61:00 ~ 62:05"));
    auto *label = child<QLabel>(w.control(), "labelEditTimeRange");
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("61:00 ~ 62:05"));
    const QImage bar = w.control()->grab().toImage();
    QVERIFY(TestSupport::colourCount(bar, bar.rect().adjusted(0, 0, -1, -1)) > 10);
    TestSupport::saveScreenshot(&w, QStringLiteral("export-cut-editor-past-one-hour"));
}

// Three files grouped in the list and played as one: the cut spans all of them.
void TstMainWindowExport::groupCutFromThePlayBar()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    QList<QUrl> urls;
    for (const QString &clip : groupClips_)
        urls << QUrl::fromLocalFile(clip);
    w.onOpenFile_L(urls);
    FormList *list = w.formList();
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 3, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(list->fileDuration(2) == QStringLiteral("00:00:03"), 20000);
    list->table()->selectAll();
    list->findChild<QPushButton *>(QStringLiteral("btnGroup"))->click();
    QCOMPARE(list->rowCount(), 4);
    QCOMPARE(list->table()->item(3, ListRows::ColResolution)->text(), QStringLiteral("Group1"));
    QTableWidget *table = list->table();
    const QModelIndex index = table->model()->index(3, ListRows::ColName);
    const QPoint at = table->visualRect(index).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 9000) <= 200, 20000);
    QVERIFY(list->isCurrentGroup());

    // 00:01 to 00:07 over the three 3-second files
    const QString output = dir_.filePath(QStringLiteral("group out/joined.mov"));
    startCut(w, output);
    FormDialog *dialog = w.formDialog();
    QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(dialog, "pv_la_msg")->text(),
                              QStringLiteral("Finished."), exportTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), output, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 6000) <= 150, 20000);
    QVERIFY(QDir(dir_.filePath("group out")).entryList({"temp*"}, QDir::Files).isEmpty());
    QTest::mouseClick(child<QPushButton>(dialog, "pv_btn_ok"), Qt::LeftButton);
}

void TstMainWindowExport::startCut(MainWindow &w, const QString &output)
{
    enterEditMode(w);
    w.control()->editSlider()->setSpan(100, 700);
    QTest::mouseClick(child<QPushButton>(w.control(), "btnEditOk"), Qt::LeftButton);
    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(dialog, "f_os")->isVisible());
    child<QLineEdit>(dialog, "os_le")->setText(output);
    QTest::mouseClick(child<QPushButton>(dialog, "os_btn_ok"), Qt::LeftButton);
}

void TstMainWindowExport::failedExportSaysWhyAndKeepsTheOldFile_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    // the stand-in passes the probe on to ffmpeg and fails the cut, which names its output
    // after "-map_metadata 0"
    QTest::newRow("disk full")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'x.mov: No space left on device' >&2; "
                      "exit 1;; esac\nexec ffmpeg \"$@\"\n")
        << true << "f_pvErr"
        << "Insufficient disk space.\nPlease re-select the output/destination drive.";
    QTest::newRow("ffmpeg missing")
        << QByteArray("exit 0\n") << false << "f_pvErr"
        << "Unable to edit.\nffmpeg was not found. Please install ffmpeg or put it into the "
           "FFmpeg folder.";
    QTest::newRow("ffmpeg's own error")
        << QByteArray("case \"$*\" in *map_metadata*) echo 'Invalid argument' >&2; exit 1;; "
                      "esac\nexec ffmpeg \"$@\"\n")
        << true << "f_pvErr"
        << "Unable to edit.\nffmpeg reported:\nInvalid argument";
}

void TstMainWindowExport::failedExportSaysWhyAndKeepsTheOldFile()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, executable);
    QFETCH(QString, page);
    QFETCH(QString, text);
    QDir().mkpath(QStringLiteral("FFmpeg"));
    QFile standIn(QStringLiteral("FFmpeg/ffmpeg"));
    QVERIFY(standIn.open(QIODevice::WriteOnly | QIODevice::Truncate));
    standIn.write("#!/bin/sh\n" + script);
    standIn.close();
    if (executable)
        QVERIFY(standIn.setPermissions(standIn.permissions() | QFileDevice::ExeOwner));
    const QString output = dir_.filePath(QStringLiteral("kept.mov"));
    QFile::remove(output);
    QVERIFY(QFile::copy(clip_, output));
    QFile old(output);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    MainWindow w;
    QVERIFY(showWindow(w));
    if (gDisplayMode != 0)
        w.onDisplayModeChange();
    openFile(w, clip_);
    startCut(w, output);

    FormDialog *dialog = w.formDialog();
    QTRY_VERIFY_WITH_TIMEOUT(child<QWidget>(dialog, page.toLatin1().constData())->isVisible(),
                             exportTimeoutMs);
    QVERIFY(dialog->isVisible());
    QCOMPARE(child<QLabel>(dialog, "pvErr_la_msg")->text(), text);
    const QImage shot = windowWithDialog(&w, dialog);
    const QRect area(dialog->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0)),
                     dialog->size());
    QVERIFY(TestSupport::colourCount(shot, area) > 10);
    TestSupport::saveScreenshot(
        shot,
        QStringLiteral("export-failed-") +
            QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "-"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
    QVERIFY(QDir(dir_.path()).entryList({".*part*"}, QDir::Files | QDir::Hidden).isEmpty());
    QFile::remove(QStringLiteral("FFmpeg/ffmpeg"));
}

TALVEX_TEST_MAIN(TstMainWindowExport)
#include "tst_mainwindowexport.moc"

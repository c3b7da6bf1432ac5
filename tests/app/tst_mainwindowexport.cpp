// End to end: the play bar's edit mode, a span, OK, the output-settings page, the export through
// ffmpeg, "Finished." and the exported file opened in the player and the list.
#include "appglobals.h"
#include "dashcam.h"
#include "ffmpeg_editor_p.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "mainwindow.h"
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

constexpr int pathColumn = 6; // the list's hidden column with the file path
constexpr int exportTimeoutMs = 120000;

QStringList listedPaths(FormList *list)
{
    QStringList paths;
    const QTableWidget *table = list->table();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const QTableWidgetItem *item = table->item(row, pathColumn))
            paths << item->text();
    }
    return paths;
}

// The main window with the dialog drawn where it stands over it.
QImage windowWithDialog(MainWindow *window, QWidget *dialog)
{
    QImage image = window->grab().toImage();
    QPainter painter(&image);
    painter.drawPixmap(dialog->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0)),
                       dialog->grab());
    return image;
}

void saveImage(const QImage &image, const QString &name)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("TALVEX_SCREENSHOT_DIR"));
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    image.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

// Distinct colours inside rect: a drawn page has many, a blank one a few.
int colourCount(const QImage &image, const QRect &rect)
{
    QSet<QRgb> colours;
    for (int y = rect.top(); y <= rect.bottom(); y += 2) {
        for (int x = rect.left(); x <= rect.right(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    return colours.size();
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

private:
    // Opens path through the Add Video road and waits until the play bar knows its length.
    void openFile(MainWindow &w, const QString &path);
    void enterEditMode(MainWindow &w);

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    QString longClip_;
};

void TstMainWindowExport::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file, clip.txt and outputs stay here
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(TestSupport::makeClip(clip_, 8, QStringLiteral("1280x720")));
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
    QCOMPARE(w.opMode(), OP_Edit);
    QCOMPARE(w.control()->opMode(), OP_Edit);
}

void TstMainWindowExport::cutFromThePlayBarOpensTheExportedFile()
{
    MainWindow w;
    w.resize(1600, 860);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.releaseKeyboard();
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
        QVERIFY(colourCount(shot, page) > 10);
        saveImage(shot, QStringLiteral("export-processing"));
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
    saveImage(finished, QStringLiteral("export-finished"));

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
    w.resize(1600, 860);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.releaseKeyboard();
    openFile(w, longClip_);
    enterEditMode(w);

    // 1 h 1 min to 1 h 2 min 5 s
    w.control()->editSlider()->setSpan(366000, 372500);
    QCOMPARE(w.control()->getEditTimeRangeLeftText(), QStringLiteral("61:00 ~ 62:05"));
    auto *label = child<QLabel>(w.control(), "labelEditTimeRange");
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("61:00 ~ 62:05"));
    const QImage bar = w.control()->grab().toImage();
    QVERIFY(colourCount(bar, bar.rect().adjusted(0, 0, -1, -1)) > 10);
    saveImage(w.grab().toImage(), QStringLiteral("export-cut-editor-past-one-hour"));
}

TALVEX_TEST_MAIN(TstMainWindowExport)
#include "tst_mainwindowexport.moc"

// The file chooser on a folder of many links, half to folders and half to a clip, as an annexed
// video archive holds them: the time from the folder's arrow until its rows are in the tree, and
// from a click on it until its clips are in the table, the longest silence of the window
// meanwhile (a 5 ms timer's largest gap) and the peak of the process's threads. The anchor, in
// the same run: Qt's own listing of the folder (QDir::entryInfoList, a look at each link's target)
// on the GUI thread, as a plain file dialog lists it.
//   bench_chooserlinks [count...]      (default 1000 10000 40000)
#include "appglobals.h"
#include "benchsupport.h"
#include "choosertest.h"
#include "testsupport.h"
#include "threadpeak.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int targetFolders = 100;
constexpr int settleLimitMs = 120000;

void pressArrow(FileListView_C *tree, int row)
{
    const QModelIndex index = tree->model()->index(row, 0);
    tree->scrollTo(index);
    const QRect rect = tree->visualRect(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(rect.x() + tree->itemAt(row)->indent + 10, rect.center().y()));
}

bool spinUntil(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > settleLimitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// count links in base/links: even ones to one of the folders base/dirs/dNN, odd ones to a clip.
bool makeLinks(const QDir &base, int count)
{
    const QString clip = base.filePath(QStringLiteral("clip.mp4"));
    if (!TestSupport::makeClip(clip, 1.0) || !base.mkpath(QStringLiteral("links")))
        return false;
    for (int i = 0; i < targetFolders; ++i) {
        if (!base.mkpath(QStringLiteral("dirs/d%1/inner").arg(i)))
            return false;
    }
    for (int i = 0; i < count; ++i) {
        const QString target =
            i % 2 == 0 ? base.filePath(QStringLiteral("dirs/d%1").arg(i / 2 % targetFolders))
                       : clip;
        const QString name = QStringLiteral("links/link%1%2")
                                 .arg(i, 6, 10, QLatin1Char('0'))
                                 .arg(i % 2 == 0 ? QString() : QStringLiteral(".mp4"));
        if (!QFile::link(target, base.filePath(name)))
            return false;
    }
    return true;
}

void measure(int count)
{
    QTemporaryDir dir;
    const QDir base(dir.path());
    if (!makeLinks(base, count)) {
        std::printf("%6d links: the fixture could not be made\n", count);
        return;
    }
    const QString links = base.filePath(QStringLiteral("links"));

    QElapsedTimer anchorClock;
    anchorClock.start();
    const int anchorEntries =
        QDir(links)
            .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)
            .size();
    const qint64 anchorMs = std::max<qint64>(anchorClock.elapsed(), 1);

    gFileDialogPath = dir.path(); // the chooser opens on the folder holding the links
    auto *chooser = new FileDialog_C;
    chooser->setMode(FileDialog_C::OpenFiles);
    chooser->show();
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    spinUntil([&] { return !chooser->isReading() && chooser->selectedTreeRow() >= 0; });
    pressArrow(tree, chooser->selectedTreeRow());
    spinUntil([&] { return !chooser->isReading(); });
    const int before = threadCount();
    const int row = ChooserTest::treeRowNamed(tree, QStringLiteral("links"));
    if (row < 0) {
        std::printf("%6d links: the chooser shows no row for the folder\n", count);
        return;
    }
    const int rowsBefore = tree->count();

    ThreadPeak threads;
    BenchSupport::StallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    pressArrow(tree, row);
    const bool opened =
        spinUntil([&] { return !chooser->isReading() && tree->count() >= rowsBefore + count / 2; });
    const qint64 openMs = clock.restart();
    const QRect rect = tree->visualRect(tree->model()->index(row, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(rect.x() + tree->itemAt(row)->indent + 80, rect.center().y()));
    const bool listed =
        spinUntil([&] { return !chooser->isReading() && files->rowCount() >= count / 2; });
    const qint64 listMs = clock.elapsed();

    std::printf("%6d links: open %6lld ms (%s), list %6lld ms (%s), anchor %5lld ms for %d "
                "entries, ratio %.1f; longest silence %5lld ms; threads %d before, peak %d\n",
                count, static_cast<long long>(openMs), opened ? "all rows" : "NOT ALL",
                static_cast<long long>(listMs), listed ? "all clips" : "NOT ALL",
                static_cast<long long>(anchorMs), anchorEntries,
                double(openMs + listMs) / double(anchorMs),
                static_cast<long long>(stalls.maxGapMs()), before, threads.peak());
    std::fflush(stdout);
    delete chooser;
}

} // namespace

int main(int argc, char *argv[])
{
    TestSupport::prepareGuiEnvironment();
    QApplication app(argc, argv);
    TestSupport::prepareApplication();
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << QString::fromLocal8Bit(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {1000, 10000, 40000};
    for (int count : counts)
        measure(count);
    return 0;
}

// The real main window with a memory card whose driver has stopped, so that every look at the card
// waits: File > Add Video's chooser, Tools > Calendar and the firmware wizard's drive check go on
// without it, whether the card is mounted anywhere or offered as a removable drive, while a drive
// that answers still shows in each; the chooser's folders beside the card still open and list; and
// a firmware download onto the card ends without holding the window when the card stops taking
// its bytes. A freshly formatted card, empty, is a drive that answers.
#include "choosertest.h"
#include "driveprobe.h"
#include "fatcard.h"
#include "foldertreemodel.h"
#include "formupdatefirewareinterface.h"
#include "freezewatch.h"
#include "mainwindowtest.h"
#include "playbarexport.h"
#include "removabledrives.h"
#include "ridepagetest.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <atomic>

using namespace RidePageTest;
using MainWindowTest::action;

class TstDrivesNotAnswering : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowGoesOnWithoutTheCard_data();
    void windowGoesOnWithoutTheCard();
    void chooserGoesOnBesideTheCard_data();
    void chooserGoesOnBesideTheCard();
    void cardRowAnswersLateAndTheTableListsTheLastFolder();
    void folderReachedThroughALinkKnowsTheCardBelow();
    void emptyCardAnswers();
    void firmwareDownloadOntoACardThatStops_data();
    void firmwareDownloadOntoACardThatStops();

private:
    // Shown, and letting other windows have the keyboard.
    static bool showWindow(MainWindow &w)
    {
        const bool shown = MainWindowTest::showWindow(w);
        w.releaseKeyboard();
        return shown;
    }
    // File > Add Video's chooser, and its folder tree (null without a chooser).
    static FileListView_C *openAddVideo(MainWindow &w, QPointer<FileDialog_C> &chooser)
    {
        action(w, "actionAdd_Video")->trigger();
        chooser = ChooserTest::openChooser();
        return chooser ? chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"))
                       : nullptr;
    }
    // The firmware wizard after its Next, once its drive check has ended.
    static QPointer<FormUpdateFirewareInterface> checkDrivesInFirmwareWizard(MainWindow &w);

    TestHttpServer http_; // a version file and a firmware whose body stops half-way until released
    std::atomic<bool> releaseFirmware_{false};
    QTemporaryDir dir_; // the working folder
    QString oldCwd_;
    QString answering_; // a removable drive that answers, with a ride
    const QString ride_ = dayOfThisMonth(2) + QStringLiteral("070000.TXT");
};

void TstDrivesNotAnswering::initTestCase()
{
    oldCwd_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_.path()));
    answering_ = dir_.filePath(QStringLiteral("media/STICK/"));
    writeRide(answering_ + QStringLiteral("Metadata"), ride_, steadyRide(12));
    http_.server().Get("/version", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content(TestHttpServer::versionFile("UpdateFW", "FW", "X7", "V2.0",
                                                    http_.url(QStringLiteral("/firmware")),
                                                    QStringLiteral("FW_X7.bin")),
                        "text/plain");
    });
    http_.server().Get("/firmware", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(256 * 1024, "application/octet-stream",
                                 [this](size_t offset, size_t length, httplib::DataSink &sink) {
                                     if (offset > 0)
                                         TestHttpServer::stallUntil(releaseFirmware_);
                                     const std::string piece(std::min<size_t>(length, 65536), 'f');
                                     return sink.write(piece.data(), piece.size());
                                 });
    });
    QVERIFY(http_.start());
}

void TstDrivesNotAnswering::cleanupTestCase()
{
    releaseFirmware_ = true;
    http_.stop();
    QDir::setCurrent(oldCwd_);
}

void TstDrivesNotAnswering::windowGoesOnWithoutTheCard_data()
{
    QTest::addColumn<bool>("asRemovable"); // else the system's drives, the card not among them
    QTest::newRow("card mounted elsewhere") << false;
    QTest::newRow("card offered as a removable drive") << true;
}

void TstDrivesNotAnswering::windowGoesOnWithoutTheCard()
{
    QFETCH(bool, asRemovable);
    FATCARD_OR_SKIP(card);
    // rides of its own: had it answered, two cards would leave the copy undone
    writeRide(card.root() + QStringLiteral("/Metadata"), ride_, steadyRide(12));
    const QString stopped = card.root() + QLatin1Char('/');
    if (asRemovable)
        RemovableDrives::setRootsProvider([=] { return QStringList{stopped, answering_}; });
    const auto restore = qScopeGuard([this] {
        RemovableDrives::setRootsProvider({});
        QDir(dir_.filePath(QStringLiteral("Metadata"))).removeRecursively();
    });
    QVERIFY(card.stopDriver());
    FreezeWatch watch([&card] { card.resumeDriver(); });
    MainWindow w;
    QVERIFY(showWindow(w));

    // File > Add Video: home and "/" at once, then a drive that answers
    QPointer<FileDialog_C> chooser;
    FileListView_C *tree = openAddVideo(w, chooser);
    QVERIFY(tree);
    QVERIFY(ChooserTest::treeRowNamed(tree, QDir::homePath() + QLatin1Char('/'), 0) >= 0);
    QVERIFY(ChooserTest::treeRowNamed(tree, QStringLiteral("/"), 0) >= 0);
    if (asRemovable)
        QTRY_VERIFY_WITH_TIMEOUT(ChooserTest::treeRowNamed(tree, answering_, 0) >= 0, 10000);
    QCOMPARE(ChooserTest::treeRowNamed(tree, stopped), -1);
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("cancel_btn")),
                      Qt::LeftButton);
    QTRY_VERIFY(!chooser);

    // Tools > Calendar copies from the one card that answers; Tools > Player returns
    action(w, "actionCalendar")->trigger();
    QTRY_VERIFY(w.ridePage()->isVisible());
    waitIdle(w.ridePage());
    QCOMPARE(QFileInfo::exists(dir_.filePath(QStringLiteral("Metadata/") + ride_)), asRemovable);
    action(w, "actionPlayer")->trigger();
    QCOMPARE(gMode, 0);

    // the firmware wizard's drive check ends, with the drive that answers only
    QPointer<FormUpdateFirewareInterface> wizard = checkDrivesInFirmwareWizard(w);
    QVERIFY(wizard);
    if (asRemovable)
        QCOMPARE(wizard->deviceRecord().value(QStringLiteral("Disk")).toArray(),
                 QJsonArray{QDir::cleanPath(answering_)});
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_close")),
                      Qt::LeftButton);
    QTRY_VERIFY(!wizard);
    QVERIFY2(!watch.froze(), "the window stopped answering while the card did");
}

QPointer<FormUpdateFirewareInterface>
TstDrivesNotAnswering::checkDrivesInFirmwareWizard(MainWindow &w)
{
    action(w, "actionUpdate_Firmware")->trigger();
    QPointer<FormUpdateFirewareInterface> wizard =
        TestSupport::shownWindow<FormUpdateFirewareInterface>();
    if (!wizard)
        return wizard;
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_next")), Qt::LeftButton);
    // ended: a page of its own, or the record of one drive (which goes on to the version file)
    QTest::qWaitFor(
        [&wizard] {
            return wizard->state() != FormUpdateFirewareInterface::Checking ||
                   !wizard->deviceRecord().isEmpty();
        },
        10000);
    return wizard;
}

void TstDrivesNotAnswering::chooserGoesOnBesideTheCard_data()
{
    QTest::addColumn<bool>("outputFolder"); // the output page's folder button, else Add Video
    QTest::newRow("File > Add Video") << false;
    QTest::newRow("the output page's folder") << true;
}

// The chooser, last used on the card, opens on another folder; the tree opens down to the card's
// mount point, whose row (without an arrow) can be clicked, and the folder beside it lists its
// clip.
void TstDrivesNotAnswering::chooserGoesOnBesideTheCard()
{
    QFETCH(bool, outputFolder);
    FATCARD_OR_SKIP(card);
    QVERIFY(QDir().mkpath(card.root() + QStringLiteral("/DCIM")));
    const QString beside = QFileInfo(card.root()).path() + QStringLiteral("/clips");
    const QString clip = beside + QStringLiteral("/trip_F.mp4");
    QVERIFY(QDir().mkpath(beside));
    QVERIFY(TestSupport::makeClip(clip, 2.0));
    gFileDialogPath = card.root() + QStringLiteral("/DCIM");
    QVERIFY(card.stopDriver());
    FreezeWatch watch([&card] { card.resumeDriver(); });
    MainWindow w;
    QVERIFY(showWindow(w));

    if (outputFolder) {
        PlayBarExport::openFile(w, clip);
        PlayBarExport::enterEditMode(w);
        QTest::mouseClick(PlayBarExport::child<QPushButton>(w.control(), "btnEditOk"),
                          Qt::LeftButton);
        QTRY_VERIFY(w.formDialog()->isVisible());
        QTest::mouseClick(PlayBarExport::child<QPushButton>(w.formDialog(), "os_btn_open"),
                          Qt::LeftButton);
    } else {
        action(w, "actionAdd_Video")->trigger();
    }
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(chooser);
    QVERIFY(!chooser->currentFolder().startsWith(card.root()));
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    auto *path = chooser->findChild<QLabel *>(QStringLiteral("DirPath"));
    int row = ChooserTest::treeRowNamed(tree, QStringLiteral("/"), 0);
    const QStringList down = beside.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int level = 1; level < down.size(); ++level) {
        ChooserTest::clickTreeRow(tree, row, true);
        row = ChooserTest::treeRowNamed(tree, down.at(level - 1), level);
        QVERIFY2(row >= 0, qPrintable(down.at(level - 1)));
    }
    ChooserTest::clickTreeRow(tree, row, true);
    const int cardRow = ChooserTest::treeRowNamed(tree, QStringLiteral("card"), down.size());
    QVERIFY(cardRow >= 0);
    QCOMPARE(tree->itemAt(cardRow)->expanderImage, QString());
    ChooserTest::clickTreeRow(tree, cardRow, false);
    QCOMPARE(path->text(), card.root());
    ChooserTest::clickTreeRow(tree, ChooserTest::treeRowNamed(tree, QStringLiteral("clips")),
                              false);
    QCOMPARE(path->text(), beside);
    auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    if (!outputFolder) {
        QTRY_COMPARE(files->rowCount(), 1);
        QCOMPARE(files->item(0, 0)->text(), QFileInfo(clip).fileName());
    }
    // the card's late answers: its row, still shown, gets its arrow; its videos, no longer shown,
    // are dropped
    QVERIFY(card.resumeDriver());
    QTRY_VERIFY(!tree->itemAt(cardRow)->expanderImage.isEmpty());
    // asked anew once the late read ended, whose answer was queued before that
    const auto asked = [](const QString &) { return true; };
    QTRY_VERIFY(!DriveProbe::answering({card.root()}, asked).isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(path->text(), beside);
    QCOMPARE(files->rowCount(), outputFolder ? 0 : 1);
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("cancel_btn")),
                      Qt::LeftButton);
    QTRY_VERIFY(!chooser);
    QVERIFY2(!watch.froze(), "the window stopped answering while the card did");
}

// The card, a drive row of the chooser, stops: its row clicked and then opened counts as empty
// until the card answers again, and then gets its folders. Two of its folders clicked in turn
// while it hangs empty the table at once, and once it answers the table lists the folder clicked
// last only.
void TstDrivesNotAnswering::cardRowAnswersLateAndTheTableListsTheLastFolder()
{
    FATCARD_OR_SKIP(card);
    for (const char *folder : {"A", "B"}) {
        QVERIFY(QDir(card.root()).mkpath(QLatin1String(folder)));
        TestSupport::writeFile(card.root() + QStringLiteral("/%1/%1.mp4").arg(folder), "video");
    }
    const QString root = card.root() + QLatin1Char('/');
    RemovableDrives::setRootsProvider([root] { return QStringList{root}; });
    const auto restore = qScopeGuard([] { RemovableDrives::setRootsProvider({}); });
    FreezeWatch watch([&card] { card.resumeDriver(); });
    MainWindow w;
    QVERIFY(showWindow(w));
    QPointer<FileDialog_C> chooser;
    FileListView_C *tree = openAddVideo(w, chooser);
    QVERIFY(tree);
    const int cardRow = ChooserTest::treeRowNamed(tree, root, 0);
    QVERIFY(cardRow >= 0);

    QVERIFY(card.stopDriver());
    ChooserTest::clickTreeRow(tree, cardRow, false);
    ChooserTest::clickTreeRow(tree, cardRow, true);
    QCOMPARE(tree->itemAt(cardRow)->expanderImage, QString());
    QVERIFY(card.resumeDriver());
    QTRY_COMPARE(ChooserTest::treeRowNamed(tree, QStringLiteral("B"), 1), cardRow + 2);

    auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    QStringList shownUnderA; // every name the table showed while A was the folder shown
    connect(files->model(), &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex &changed) {
                if (changed.column() == 0 && chooser->currentFolder().endsWith(QLatin1String("/A")))
                    shownUnderA << changed.data().toString();
            });
    ChooserTest::clickTreeRow(tree, cardRow + 1, false);
    QTRY_COMPARE(files->rowCount(), 1);
    QVERIFY(card.stopDriver());
    for (int row : {cardRow + 2, cardRow + 1}) {
        ChooserTest::clickTreeRow(tree, row, false);
        QCOMPARE(files->rowCount(), 0);
    }
    shownUnderA.clear();
    QVERIFY(card.resumeDriver());
    QTRY_COMPARE(files->rowCount(), 1);
    // both late reads have ended once the card's folders are asked anew
    for (const char *folder : {"A", "B"})
        QTRY_VERIFY(
            !DriveProbe::answering({card.root() + QLatin1Char('/') + folder}, [](const QString &) {
                 return true;
             }).isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(shownUnderA, QStringList{QStringLiteral("A.mp4")});
    QCOMPARE(files->rowCount(), 1);
    chooser->close();
    QVERIFY2(!watch.froze(), "the window stopped answering while the card did");
}

// A folder reached through a link knows the card mounted below it: opening it asks nothing of
// the stopped card, and the folder beside the card is listed.
void TstDrivesNotAnswering::folderReachedThroughALinkKnowsTheCardBelow()
{
    FATCARD_OR_SKIP(card);
    const QString holder = QFileInfo(card.root()).path();
    QVERIFY(QDir(holder).mkpath(QStringLiteral("beside")));
    QTemporaryDir links;
    QVERIFY(QFile::link(holder, links.filePath(QStringLiteral("cards"))));
    gFileDialogPath = links.path();
    QVERIFY(card.stopDriver());
    FreezeWatch watch([&card] { card.resumeDriver(); });
    MainWindow w;
    QVERIFY(showWindow(w));
    QPointer<FileDialog_C> chooser;
    FileListView_C *tree = openAddVideo(w, chooser);
    QVERIFY(tree);
    ChooserTest::clickTreeRow(tree, chooser->selectedTreeRow(), true);
    ChooserTest::clickTreeRow(tree, ChooserTest::treeRowNamed(tree, QStringLiteral("cards")), true);
    QTRY_VERIFY(ChooserTest::treeRowNamed(tree, QStringLiteral("beside")) >= 0);
    const int cardRow = ChooserTest::treeRowNamed(tree, QStringLiteral("card"));
    QVERIFY(cardRow >= 0);
    QCOMPARE(tree->itemAt(cardRow)->expanderImage, QString());
    chooser->close();
    QVERIFY2(!watch.froze(), "the window stopped answering while the card did");
}

// A card with nothing on it lists nothing, not even ".", and still answers: the chooser shows it
// and the firmware wizard finds it.
void TstDrivesNotAnswering::emptyCardAnswers()
{
    FATCARD_OR_SKIP(card);
    const QString root = card.root() + QLatin1Char('/');
    RemovableDrives::setRootsProvider([root] { return QStringList{root}; });
    const auto restore = qScopeGuard([] { RemovableDrives::setRootsProvider({}); });
    MainWindow w;
    QVERIFY(showWindow(w));

    QPointer<FileDialog_C> chooser;
    FileListView_C *tree = openAddVideo(w, chooser);
    QVERIFY(tree);
    QVERIFY(ChooserTest::treeRowNamed(tree, root, 0) >= 0);
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("cancel_btn")),
                      Qt::LeftButton);
    QTRY_VERIFY(!chooser);

    QPointer<FormUpdateFirewareInterface> wizard = checkDrivesInFirmwareWizard(w);
    QVERIFY(wizard);
    QCOMPARE(wizard->deviceRecord().value(QStringLiteral("Disk")).toArray(),
             QJsonArray{card.root()});
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_close")),
                      Qt::LeftButton);
    QTRY_VERIFY(!wizard);
}

void TstDrivesNotAnswering::firmwareDownloadOntoACardThatStops_data()
{
    QTest::addColumn<bool>("closeAtOnce"); // else once the failure page shows
    QTest::newRow("failure page, then Close") << false;
    QTest::newRow("Close while the card hangs") << true;
}

// The firmware goes onto the camera's card, whose driver stops while the firmware's body is held
// back: the wizard shows its save failure within the card's bound (the body's window, shortened
// here), Close answers at once, and once the card answers again it holds its old firmware alone.
void TstDrivesNotAnswering::firmwareDownloadOntoACardThatStops()
{
    QFETCH(bool, closeAtOnce);
    FATCARD_OR_SKIP(card);
    TestSupport::writeFile(card.root() + QStringLiteral("/FW_X7.bin"), "firmware in use");
    const QMap<QString, QByteArray> onCard = TestSupport::entriesOf(card.root());
    const QString root = card.root() + QLatin1Char('/');
    RemovableDrives::setRootsProvider([=] { return QStringList{root}; });
    const UpdateConfig before = UpdateConfig::current();
    UpdateConfig config = before;
    config.firmwareVersionUrl = QUrl(http_.url(QStringLiteral("/version")));
    UpdateConfig::setCurrent(config);
    releaseFirmware_ = false;
    const auto restore = qScopeGuard([this, before] {
        releaseFirmware_ = true;
        RemovableDrives::setRootsProvider({});
        UpdateConfig::setCurrent(before);
    });
    FreezeWatch watch([&card] { card.resumeDriver(); });
    MainWindow w;
    QVERIFY(showWindow(w));

    action(w, "actionUpdate_Firmware")->trigger();
    QPointer<FormUpdateFirewareInterface> wizard =
        TestSupport::shownWindow<FormUpdateFirewareInterface>();
    QVERIFY(wizard);
    wizard->downloader()->setPaceBounds({NetworkLimits::headTimeoutMs, 3000});
    auto *next = wizard->findChild<QPushButton *>(QStringLiteral("btn_next"));
    QTest::mouseClick(next, Qt::LeftButton);
    QTRY_COMPARE(wizard->state(), int(FormUpdateFirewareInterface::Offer));
    QSignalSpy progress(wizard->downloader(), &FileDownload::downloadProgress);
    QTest::mouseClick(next, Qt::LeftButton);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
    QVERIFY(card.stopDriver());
    releaseFirmware_ = true;
    if (!closeAtOnce) {
        QTRY_COMPARE_WITH_TIMEOUT(wizard->findChild<QLabel *>(QStringLiteral("info_text"))->text(),
                                  QStringLiteral("Download failed, save file error:1."), 30000);
        QCOMPARE(wizard->state(), int(FormUpdateFirewareInterface::Failed));
    }
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_close")),
                      Qt::LeftButton);
    QTRY_VERIFY(!wizard);
    QVERIFY2(!watch.froze(), "the window stopped answering while the card did");
    QVERIFY(card.resumeDriver());
    QTRY_COMPARE(TestSupport::entriesOf(card.root()), onCard);
}

TALVEX_TEST_MAIN(TstDrivesNotAnswering)
#include "tst_drivesnotanswering.moc"

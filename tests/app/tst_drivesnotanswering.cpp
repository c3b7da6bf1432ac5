// The real main window with a memory card whose driver has stopped, so that every look at the card
// waits: File > Add Video's chooser, Tools > Calendar and the firmware wizard's drive check go on
// without it, whether the card is mounted anywhere or offered as a removable drive, while a drive
// that answers still shows in each; and a firmware download onto the card ends without holding
// the window when the card stops taking its bytes.
#include "fatcard.h"
#include "formupdatefirewareinterface.h"
#include "freezewatch.h"
#include "mainwindowtest.h"
#include "removabledrives.h"
#include "ridepagetest.h"
#include "testhttpserver.h"
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
    void firmwareDownloadOntoACardThatStops_data();
    void firmwareDownloadOntoACardThatStops();

private:
    // The firmware wizard the main window opened.
    static FormUpdateFirewareInterface *firmwareWizard();

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
        res.set_content(QStringLiteral(R"({"UpdateFW":[{"FW":"X7","Ver":"V2.0","Url":"%1",)"
                                       R"("Name":"FW_X7.bin"}]})")
                            .arg(http_.url(QStringLiteral("/firmware")))
                            .toStdString(),
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

FormUpdateFirewareInterface *TstDrivesNotAnswering::firmwareWizard()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<FormUpdateFirewareInterface *>(top))
            return found;
    }
    return nullptr;
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
    if (!FatCard::unavailableReason().isEmpty())
        QSKIP(qPrintable(FatCard::unavailableReason()));
    FatCard card;
    QVERIFY2(card.isMounted(), qPrintable(card.error()));
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
    QVERIFY(MainWindowTest::showWindow(w));
    w.releaseKeyboard();

    // File > Add Video: home and "/" at once, then a drive that answers
    action(w, "actionAdd_Video")->trigger();
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(chooser);
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
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
    action(w, "actionUpdate_Firmware")->trigger();
    QPointer<FormUpdateFirewareInterface> wizard = firmwareWizard();
    QVERIFY(wizard);
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_next")), Qt::LeftButton);
    // ended: a page of its own, or the record of one drive (which goes on to the version file)
    QTRY_VERIFY_WITH_TIMEOUT(wizard->state() != FormUpdateFirewareInterface::Checking ||
                                 !wizard->deviceRecord().isEmpty(),
                             10000);
    if (asRemovable)
        QCOMPARE(wizard->deviceRecord().value(QStringLiteral("Disk")).toArray(),
                 QJsonArray{QDir::cleanPath(answering_)});
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_close")),
                      Qt::LeftButton);
    QTRY_VERIFY(!wizard);
    QVERIFY2(!watch.froze(), "the window stopped answering while the card did");
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
    if (!FatCard::unavailableReason().isEmpty())
        QSKIP(qPrintable(FatCard::unavailableReason()));
    FatCard card;
    QVERIFY2(card.isMounted(), qPrintable(card.error()));
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
    QVERIFY(MainWindowTest::showWindow(w));
    w.releaseKeyboard();

    action(w, "actionUpdate_Firmware")->trigger();
    QPointer<FormUpdateFirewareInterface> wizard = firmwareWizard();
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

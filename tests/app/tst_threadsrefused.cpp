// The real main window when the system gives the program no more threads, as when another
// program of the same account has taken them all (its limit on processes reached): each road that
// starts one answers as it does for a drive that does not answer or a write that fails, and the
// program goes on. The pools keep their threads once started, so the chooser's case comes first:
// its questions are refused only while the process has never asked one.
#include "choosertest.h"
#include "formcalendarview.h"
#include "formmap.h"
#include "formplaybak.h"
#include "formupdatefirewareinterface.h"
#include "mainwindowtest.h"
#include "removabledrives.h"
#include "ridepagetest.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QMessageBox>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using MainWindowTest::action;

namespace {

// No new thread for this process while it lives: the limit on the account's processes is
// lowered to one. Root, whom no such limit binds, becomes a second account for that time (its
// saved user stays root, to come back).
class NoThreads
{
public:
    static constexpr uid_t secondAccount = 54321;

    NoThreads()
    {
        if (::getrlimit(RLIMIT_NPROC, &saved_) != 0)
            return;
        if (::geteuid() == 0) {
            if (::setresuid(secondAccount, secondAccount, 0) != 0)
                return;
            switched_ = true;
        }
        rlimit none = saved_;
        none.rlim_cur = 1;
        set_ = ::setrlimit(RLIMIT_NPROC, &none) == 0;
    }
    ~NoThreads()
    {
        ::setrlimit(RLIMIT_NPROC, &saved_);
        if (switched_ && ::setresuid(0, 0, 0) != 0)
            qFatal("cannot become root again");
    }
    bool isSet() const { return set_; }

private:
    rlimit saved_ = {};
    bool switched_ = false;
    bool set_ = false;
};

// The window shown, with its map page loaded: the web engine ends the program when it finds no
// thread for its own work, which a page still loading asks for.
bool showWindow(MainWindow &w)
{
    if (!MainWindowTest::showWindow(w))
        return false;
    w.releaseKeyboard();
    return QTest::qWaitFor([&w] { return w.formMap()->isPageLoaded(); }, 60000);
}

} // namespace

class TstThreadsRefused : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void chooserAnswersWithoutThreads();
    void rideCopySaysItCouldNotStart();
    void firmwareDownloadEndsOnTheSaveError();

private:
    TestHttpServer http_; // a version file and the firmware
    QTemporaryDir dir_;
    QString oldCwd_;
    QString card_; // a removable drive with a ride and room for the firmware
    const QString ride_ = RidePageTest::dayOfThisMonth(3) + QStringLiteral("080000.TXT");
};

void TstThreadsRefused::initTestCase()
{
    // the second account reads the test's files, writes onto its card and into the working
    // folder, where the settings file goes
    QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0755) == 0);
    card_ = dir_.filePath(QStringLiteral("CARD/"));
    RidePageTest::writeRide(card_ + QStringLiteral("Metadata"), ride_, RidePageTest::steadyRide(8));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("clips")));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("work")));
    for (const char *folder : {"CARD", "clips", "work"})
        QVERIFY(::chmod(QFile::encodeName(dir_.filePath(QLatin1String(folder))).constData(),
                        0777) == 0);
    oldCwd_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_.filePath(QStringLiteral("work"))));
    RemovableDrives::setRootsProvider([this] { return QStringList{card_}; });

    http_.server().Get("/version", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content(TestHttpServer::versionFile("UpdateFW", "FW", "X7", "V2.0",
                                                    http_.url(QStringLiteral("/firmware")),
                                                    QStringLiteral("FW_X7.bin")),
                        "text/plain");
    });
    http_.server().Get("/firmware", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(std::string(64 * 1024, 'f'), "application/octet-stream");
    });
    QVERIFY(http_.start());
    UpdateConfig config = UpdateConfig::current();
    config.firmwareVersionUrl = QUrl(http_.url(QStringLiteral("/version")));
    UpdateConfig::setCurrent(config);
}

void TstThreadsRefused::cleanupTestCase()
{
    RemovableDrives::setRootsProvider({});
    http_.stop();
    QDir::setCurrent(oldCwd_);
}

// File > Add Video: the drive, the start folder and an opened folder count as not answering; the
// chooser opens on its first row and shows the rows it needs no thread for.
void TstThreadsRefused::chooserAnswersWithoutThreads()
{
    gFileDialogPath = dir_.filePath(QStringLiteral("clips"));
    MainWindow w;
    QVERIFY(showWindow(w));
    NoThreads limit;
    QVERIFY(limit.isSet());
    action(w, "actionAdd_Video")->trigger();
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(chooser);
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    const int root = ChooserTest::treeRowNamed(tree, QStringLiteral("/"), 0);
    QVERIFY(root >= 0);
    QCOMPARE(ChooserTest::treeRowNamed(tree, card_, 0), -1);
    QCOMPARE(chooser->selectedTreeRow(), 0); // the remembered folder did not answer
    ChooserTest::clickTreeRow(tree, root, true);
    QCOMPARE(tree->itemAt(root)->expanderImage, QString()); // as an empty folder
    QVERIFY(!tree->itemAt(root + 1) || tree->itemAt(root + 1)->indent == 0);
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("cancel_btn")),
                      Qt::LeftButton);
    QTRY_VERIFY(!chooser);
}

// In the ride-data mode, without a card, the folder button's chooser picks the card's folder, and
// the copy that Select starts finds no thread: the window says so.
void TstThreadsRefused::rideCopySaysItCouldNotStart()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    RemovableDrives::setRootsProvider({});
    const auto restore = qScopeGuard(
        [this] { RemovableDrives::setRootsProvider([this] { return QStringList{card_}; }); });
    action(w, "actionCalendar")->trigger();
    QTRY_VERIFY(w.ridePage()->isVisible());
    RidePageTest::waitIdle(w.ridePage());
    RidePageTest::clickButton(w.ridePage()->calendar(), "selectedFolderBtn");
    RidePageTest::clickButton(w.formDialog(), "selectedMetadataFolder_btn_ok");
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(chooser);
    auto *tree = chooser->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
    int row = ChooserTest::treeRowNamed(tree, QStringLiteral("/"), 0);
    const QStringList down = QDir::cleanPath(card_).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int level = 1; level <= down.size(); ++level) {
        ChooserTest::clickTreeRow(tree, row, true);
        row = ChooserTest::treeRowNamed(tree, down.at(level - 1), level);
        QVERIFY2(row >= 0, qPrintable(down.at(level - 1)));
    }
    ChooserTest::clickTreeRow(tree, row, false);
    {
        // the copy is refused as Select starts it; the web engine, which ends the program when
        // it finds no thread for its own work, gets them back at once
        NoThreads limit;
        QVERIFY(limit.isSet());
        QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("open_btn")),
                          Qt::LeftButton);
    }
    // (the second account cannot replace the settings file that root wrote: a box says so too)
    const auto copyFailure = [&w]() -> QMessageBox * {
        for (QMessageBox *box : w.findChildren<QMessageBox *>()) {
            if (box->text().contains(QStringLiteral("no thread to spare for the copy")))
                return box;
        }
        return nullptr;
    };
    QTRY_VERIFY(copyFailure());
    copyFailure()->accept();
    action(w, "actionPlayer")->trigger();
}

// The firmware wizard's download finds no thread for its part file: the wizard shows its save
// error, and the card is as it was.
void TstThreadsRefused::firmwareDownloadEndsOnTheSaveError()
{
    MainWindow w;
    QVERIFY(showWindow(w));
    const QMap<QString, QByteArray> onCard = TestSupport::entriesOf(card_);
    action(w, "actionUpdate_Firmware")->trigger();
    QPointer<FormUpdateFirewareInterface> wizard =
        TestSupport::shownWindow<FormUpdateFirewareInterface>();
    QVERIFY(wizard);
    auto *next = wizard->findChild<QPushButton *>(QStringLiteral("btn_next"));
    QTest::mouseClick(next, Qt::LeftButton);
    QTRY_COMPARE(wizard->state(), int(FormUpdateFirewareInterface::Offer));
    {
        // the writer's thread is refused as Next starts the download
        NoThreads limit;
        QVERIFY(limit.isSet());
        QTest::mouseClick(next, Qt::LeftButton);
    }
    QTRY_COMPARE(wizard->findChild<QLabel *>(QStringLiteral("info_text"))->text(),
                 QStringLiteral("Download failed, save file error:1."));
    QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("btn_close")),
                      Qt::LeftButton);
    QTRY_VERIFY(!wizard);
    QCOMPARE(TestSupport::entriesOf(card_), onCard);
}

TALVEX_TEST_MAIN(TstThreadsRefused)
#include "tst_threadsrefused.moc"

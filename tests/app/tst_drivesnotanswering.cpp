// The real main window with a memory card whose driver has stopped, so that every look at the card
// waits: File > Add Video's chooser, Tools > Calendar and the firmware wizard's drive check go on
// without it, whether the card is mounted anywhere or offered as a removable drive, while a drive
// that answers still shows in each.
#include "fatcard.h"
#include "formupdatefirewareinterface.h"
#include "freezewatch.h"
#include "mainwindowtest.h"
#include "removabledrives.h"
#include "ridepagetest.h"

#include <QJsonArray>
#include <QTemporaryDir>

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

private:
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
}

void TstDrivesNotAnswering::cleanupTestCase()
{
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
    QPointer<FormUpdateFirewareInterface> wizard;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<FormUpdateFirewareInterface *>(top))
            wizard = found;
    }
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

TALVEX_TEST_MAIN(TstDrivesNotAnswering)
#include "tst_drivesnotanswering.moc"

// Root rows of the folder tree beyond home and "/": mounted removable volumes, found from the
// mount table and the block devices' removable flags, and asked within a bound.
#include "driveprobe.h"
#include "fatcard.h"
#include "removabledrives.h"
#include "testsupport.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <future>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
// A line of /proc/self/mountinfo that mounts source at mountPoint (escaped as the table does).
QByteArray mountLine(const char *mountPoint, const char *source)
{
    return QByteArray("36 25 8:17 / ") + mountPoint + " rw,nosuid shared:7 - vfat " + source +
           " rw\n";
}

// The deepest of path and the folders above it that the kernel calls the root of a mount, asked
// of the file system itself rather than of the mount table: "" where none is (a chroot whose root
// is no mount point), nothing where the kernel does not tell.
std::optional<QString> deepestMountRoot(QString path)
{
    for (;;) {
        struct statx about = {};
        if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_NO_AUTOMOUNT, STATX_INO,
                    &about) != 0 ||
            !(about.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
            return std::nullopt;
        if (about.stx_attributes & STATX_ATTR_MOUNT_ROOT)
            return path;
        if (path == QLatin1String("/"))
            return QString();
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        path = slash > 0 ? path.left(slash) : QStringLiteral("/");
    }
}
} // namespace

class TstFolderTreeRoots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void removableRoots_data();
    void removableRoots();
    void linkedDeviceNameIsResolved();
    void systemRootsEndInSlash();
    void systemMountTableHoldsTheTempFolderAndACard();
    void searchRootsComeFromTheProvider();
    void stuckDriveCountsAbsentAndIsNotAskedAgain();
    void folderReadAnswersLateAndIsNotRepeatedWhileStuck();
    void probeDeletedBeforeItsAnswersHearsNothing();

private:
    void writeFlag(const QString &disk, const QByteArray &value);

    QTemporaryDir sysBlock;
};

void TstFolderTreeRoots::writeFlag(const QString &disk, const QByteArray &value)
{
    QVERIFY(QDir(sysBlock.path()).mkpath(disk));
    QFile flag(sysBlock.filePath(disk + QStringLiteral("/removable")));
    QVERIFY(flag.open(QIODevice::WriteOnly));
    flag.write(value);
}

void TstFolderTreeRoots::initTestCase()
{
    QVERIFY(sysBlock.isValid());
    writeFlag(QStringLiteral("sdb"), "1\n");
    writeFlag(QStringLiteral("sdc"), "1\n");
    writeFlag(QStringLiteral("sdd"), "0\n");
    writeFlag(QStringLiteral("mmcblk0"), "1\n");
    writeFlag(QStringLiteral("nvme0n1"), "0\n");
    // a built-in SD reader: not flagged removable
    writeFlag(QStringLiteral("mmcblk1"), "0\n");
    // a USB disk that calls itself fixed: its sysfs entry links through a usb bus
    const QString usbDisk = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb2/2-1/block/sde");
    QVERIFY(QDir(sysBlock.path()).mkpath(usbDisk));
    QFile usbFlag(sysBlock.filePath(usbDisk + QStringLiteral("/removable")));
    QVERIFY(usbFlag.open(QIODevice::WriteOnly));
    usbFlag.write("0\n");
    usbFlag.close();
    QVERIFY(QFile::link(sysBlock.filePath(usbDisk), sysBlock.filePath(QStringLiteral("sde"))));
}

void TstFolderTreeRoots::removableRoots_data()
{
    QTest::addColumn<QByteArray>("table"); // as /proc/self/mountinfo holds it
    QTest::addColumn<QStringList>("roots");
    QTest::newRow("card partition under /media")
        << mountLine("/media/u/CARD", "/dev/sdb1") << QStringList{QStringLiteral("/media/u/CARD/")};
    QTest::newRow("whole disk under /run/media")
        << mountLine("/run/media/u/USB", "/dev/sdc")
        << QStringList{QStringLiteral("/run/media/u/USB/")};
    QTest::newRow("SD card reader under /mnt")
        << mountLine("/mnt/sd", "/dev/mmcblk0p1") << QStringList{QStringLiteral("/mnt/sd/")};
    QTest::newRow("built-in SD reader not flagged removable")
        << mountLine("/media/u/SD", "/dev/mmcblk1p1")
        << QStringList{QStringLiteral("/media/u/SD/")};
    QTest::newRow("USB disk flagged fixed") << mountLine("/media/u/USBHDD", "/dev/sde1")
                                            << QStringList{QStringLiteral("/media/u/USBHDD/")};
    QTest::newRow("fixed disk under /media")
        << mountLine("/media/u/DATA", "/dev/sdd1") << QStringList();
    QTest::newRow("fixed NVMe partition")
        << mountLine("/mnt/fast", "/dev/nvme0n1p2") << QStringList();
    QTest::newRow("removable disk mounted elsewhere")
        << mountLine("/home/u/stick", "/dev/sdb2") << QStringList();
    QTest::newRow("the mount parent itself") << mountLine("/media/", "/dev/sdb1") << QStringList();
    QTest::newRow("not a block device") << mountLine("/mnt/ram", "tmpfs") << QStringList();
    QTest::newRow("device without sysfs entry")
        << mountLine("/mnt/x", "/dev/sdz1") << QStringList();
    QTest::newRow("two cards, one listed twice, sorted")
        << mountLine("/media/u/ZCARD/", "/dev/sdc1") + mountLine("/media/u/ACARD", "/dev/sdb1") +
               mountLine("/media/u/ZCARD", "/dev/sdc1")
        << QStringList{QStringLiteral("/media/u/ACARD/"), QStringLiteral("/media/u/ZCARD/")};
    QTest::newRow("blank in the mount point") << mountLine("/media/u/MY\\040CARD", "/dev/sdb1")
                                              << QStringList{QStringLiteral("/media/u/MY CARD/")};
    QTest::newRow("no optional field")
        << QByteArray("36 25 8:17 / /media/u/CARD rw - vfat /dev/sdb1 rw\n")
        << QStringList{QStringLiteral("/media/u/CARD/")};
    QTest::newRow("two optional fields")
        << QByteArray("36 25 8:17 / /media/u/CARD rw shared:7 master:2 - vfat /dev/sdb1 rw\n")
        << QStringList{QStringLiteral("/media/u/CARD/")};
}

void TstFolderTreeRoots::removableRoots()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, roots);
    QCOMPARE(
        RemovableDrives::removableRoots(RemovableDrives::parseMountInfo(table), sysBlock.path()),
        roots);
}

void TstFolderTreeRoots::linkedDeviceNameIsResolved()
{
    // /dev/disk/by-label/... names are links to the device node
    QTemporaryDir dev;
    QVERIFY(dev.isValid());
    const QString node = dev.filePath(QStringLiteral("sdb1"));
    QFile nodeFile(node);
    QVERIFY(nodeFile.open(QIODevice::WriteOnly));
    const QString link = dev.filePath(QStringLiteral("CARD"));
    QVERIFY(QFile::link(node, link));
    QVERIFY(RemovableDrives::isRemovableDevice(link.toLocal8Bit(), sysBlock.path()));
    QVERIFY(RemovableDrives::isRemovableDevice("/dev/sdb1", sysBlock.path()));
    QVERIFY(!RemovableDrives::isRemovableDevice("/dev/sdd1", sysBlock.path()));
}

void TstFolderTreeRoots::systemRootsEndInSlash()
{
    for (const QString &root : RemovableDrives::mountedRemovableRoots()) {
        QVERIFY(root.endsWith(QLatin1Char('/')));
        QVERIFY(QFileInfo(root).isDir());
    }
}

void TstFolderTreeRoots::systemMountTableHoldsTheTempFolderAndACard()
{
    const auto mountPoints = [] {
        QStringList points;
        for (const RemovableDrives::MountedVolume &volume : RemovableDrives::mountedVolumes())
            points << volume.rootPath;
        return points;
    };
    // the deepest mount point above the temporary folder holds it: "/" on most systems, another
    // in a chroot with a folder of the host bound there; in a chroot whose root is no mount point
    // and whose temporary folder is one of its own folders, there is none, and the table lists
    // none
    const QString folder = QFileInfo(QDir::tempPath()).canonicalFilePath();
    QString holder;
    for (const QString &point : mountPoints()) {
        const bool above = point == QLatin1String("/") || folder == point ||
                           folder.startsWith(point + QLatin1Char('/'));
        if (above && point.size() > holder.size())
            holder = point;
    }
    const std::optional<QString> mountRoot = deepestMountRoot(folder);
    if (mountRoot ? mountRoot->isEmpty() : holder.isEmpty()) {
        qInfo("no mount lies above %s here (a chroot whose root is no mount point): only a "
              "mounted card is looked for in the mount table",
              qPrintable(folder));
    } else {
        struct stat inFolder = {};
        struct stat atHolder = {};
        QVERIFY2(!holder.isEmpty(),
                 qPrintable(QStringLiteral("the mount table lists no mount above %1, though %2 "
                                           "is the root of one")
                                .arg(folder, mountRoot.value_or(QString()))));
        QVERIFY2(::stat(QFile::encodeName(folder).constData(), &inFolder) == 0 &&
                     ::stat(QFile::encodeName(holder).constData(), &atHolder) == 0,
                 qPrintable(holder));
        QCOMPARE(inFolder.st_dev, atHolder.st_dev);
    }
    FATCARD_OR_SKIP(card);
    QVERIFY(mountPoints().contains(card.root()));
}

void TstFolderTreeRoots::searchRootsComeFromTheProvider()
{
    const QStringList fake{QStringLiteral("/tmp/a/"), QStringLiteral("/tmp/b/")};
    RemovableDrives::setRootsProvider([fake] { return fake; });
    QCOMPARE(RemovableDrives::removableRootsForSearch(), fake);
    RemovableDrives::setRootsProvider({});
    QCOMPARE(RemovableDrives::removableRootsForSearch(), RemovableDrives::mountedRemovableRoots());
}

// A drive whose answer does not come within the bound counts as absent, and is not asked again
// while its question still runs.
void TstFolderTreeRoots::stuckDriveCountsAbsentAndIsNotAskedAgain()
{
    constexpr int boundMs = 1000;
    const QStringList roots{QStringLiteral("/a/"), QStringLiteral("/stuck/")};
    std::promise<void> answer; // a promise that goes unkept releases its waiters too
    const std::shared_future<void> answered = answer.get_future().share();
    auto asked = std::make_shared<std::atomic_int>(0);
    const DriveProbe::Question question = [answered, asked](const QString &root) {
        if (root == QLatin1String("/stuck/")) {
            ++*asked;
            answered.wait_for(std::chrono::seconds(30)); // a broken bound fails, not hangs
        }
        return true;
    };
    for (int i = 0; i < 2; ++i)
        QCOMPARE(DriveProbe::answering(roots, question, boundMs), QStringList{roots.first()});
    QCOMPARE(asked->load(), 1);
    answer.set_value();
    QTRY_COMPARE(DriveProbe::answering(roots, question, boundMs), roots);
}

// A read that outlives its bound says so, then brings its value when it ends; meanwhile the folder
// is not read again: a read asked then says at once that it is not in time, and runs once the
// first has ended.
void TstFolderTreeRoots::folderReadAnswersLateAndIsNotRepeatedWhileStuck()
{
    constexpr int boundMs = 300;
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    auto reads = std::make_shared<std::atomic_int>(0);
    const DriveProbe::Read read = [released, reads](const QString &folder) {
        ++*reads;
        released.wait_for(std::chrono::seconds(30));
        return QVariant(folder.size());
    };
    DriveProbe probe;
    QSignalSpy values(&probe, &DriveProbe::folderRead);
    QSignalSpy notInTime(&probe, &DriveProbe::folderNotInTime);
    const QString folder = QStringLiteral("/hung/folder");
    probe.read(folder, read, boundMs);
    QVERIFY(probe.isReading());
    QTRY_COMPARE(notInTime.count(), 1);
    QVERIFY(!probe.isReading());
    probe.read(folder, read, boundMs);
    QTRY_COMPARE(notInTime.count(), 2);
    QCOMPARE(reads->load(), 1);

    release.set_value();
    QTRY_COMPARE(values.count(), 2);
    QCOMPARE(values.at(0), (QVariantList{folder, QVariant(int(folder.size()))}));
    QCOMPARE(values.at(1), values.at(0));
    QCOMPARE(reads->load(), 2);
    probe.read(folder, read, boundMs); // answered, so asked anew, and in time
    QTRY_COMPARE(values.count(), 3);
    QCOMPARE(notInTime.count(), 2);
    QCOMPARE(reads->load(), 3);
}

// Closing a chooser or quitting deletes probes whose questions still run: their answers, in time
// or late, reach nothing.
void TstFolderTreeRoots::probeDeletedBeforeItsAnswersHearsNothing()
{
    constexpr int boundMs = 200;
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    const DriveProbe::Question waitForRelease = [released](const QString &) {
        released.wait_for(std::chrono::seconds(30));
        return true;
    };
    const DriveProbe::Read readAfterRelease = [waitForRelease](const QString &folder) {
        return QVariant(waitForRelease(folder));
    };
    // one that lives, asked alike, tells when the deleted one would have heard
    DriveProbe living;
    QSignalSpy livingAnswers(&living, &DriveProbe::answered);
    QSignalSpy livingNotInTime(&living, &DriveProbe::folderNotInTime);
    QSignalSpy livingValues(&living, &DriveProbe::folderRead);
    auto *deleted = new DriveProbe;
    for (DriveProbe *probe : {&living, deleted}) {
        probe->ask({QStringLiteral("/a/")}, waitForRelease, boundMs);
        probe->read(QStringLiteral("/late"), readAfterRelease, boundMs);
    }
    delete deleted;
    QTRY_COMPARE(livingAnswers.count(), 1);
    QTRY_COMPARE(livingNotInTime.count(), 1);
    release.set_value();
    QTRY_COMPARE(livingValues.count(), 1);
    // the deleted probe's deliveries had their turn with the living one's, and a bound more
    QTest::qWait(2 * boundMs);
}

TALVEX_TEST_MAIN(TstFolderTreeRoots)
#include "tst_foldertreeroots.moc"

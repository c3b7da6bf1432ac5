// Root rows of the folder tree beyond home and "/": mounted removable volumes, found from the
// mount table and the block devices' removable flags, and asked within a bound.
#include "driveprobe.h"
#include "removabledrives.h"
#include "testsupport.h"

#include <QApplication>
#include <QTemporaryDir>

#include <atomic>
#include <future>
#include <mutex>

using RemovableDrives::MountedVolume;

Q_DECLARE_METATYPE(QVector<MountedVolume>)

class TstFolderTreeRoots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void removableRoots_data();
    void removableRoots();
    void linkedDeviceNameIsResolved();
    void systemRootsEndInSlash();
    void searchRootsComeFromTheProvider();
    void mountTableLines_data();
    void mountTableLines();
    void foldersAnswer_data();
    void foldersAnswer();
    void stuckDriveCountsAbsentAndIsNotAskedAgain();

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
    QTest::addColumn<QVector<MountedVolume>>("volumes");
    QTest::addColumn<QStringList>("roots");
    QTest::newRow("card partition under /media")
        << QVector<MountedVolume>{{QStringLiteral("/media/u/CARD"), "/dev/sdb1"}}
        << QStringList{QStringLiteral("/media/u/CARD/")};
    QTest::newRow("whole disk under /run/media")
        << QVector<MountedVolume>{{QStringLiteral("/run/media/u/USB"), "/dev/sdc"}}
        << QStringList{QStringLiteral("/run/media/u/USB/")};
    QTest::newRow("SD card reader under /mnt")
        << QVector<MountedVolume>{{QStringLiteral("/mnt/sd"), "/dev/mmcblk0p1"}}
        << QStringList{QStringLiteral("/mnt/sd/")};
    QTest::newRow("built-in SD reader not flagged removable")
        << QVector<MountedVolume>{{QStringLiteral("/media/u/SD"), "/dev/mmcblk1p1"}}
        << QStringList{QStringLiteral("/media/u/SD/")};
    QTest::newRow("USB disk flagged fixed")
        << QVector<MountedVolume>{{QStringLiteral("/media/u/USBHDD"), "/dev/sde1"}}
        << QStringList{QStringLiteral("/media/u/USBHDD/")};
    QTest::newRow("fixed disk under /media")
        << QVector<MountedVolume>{{QStringLiteral("/media/u/DATA"), "/dev/sdd1"}} << QStringList();
    QTest::newRow("fixed NVMe partition")
        << QVector<MountedVolume>{{QStringLiteral("/mnt/fast"), "/dev/nvme0n1p2"}} << QStringList();
    QTest::newRow("removable disk mounted elsewhere")
        << QVector<MountedVolume>{{QStringLiteral("/home/u/stick"), "/dev/sdb2"}} << QStringList();
    QTest::newRow("the mount parent itself")
        << QVector<MountedVolume>{{QStringLiteral("/media/"), "/dev/sdb1"}} << QStringList();
    QTest::newRow("not a block device")
        << QVector<MountedVolume>{{QStringLiteral("/mnt/ram"), "tmpfs"}} << QStringList();
    QTest::newRow("device without sysfs entry")
        << QVector<MountedVolume>{{QStringLiteral("/mnt/x"), "/dev/sdz1"}} << QStringList();
    QTest::newRow("two cards, one listed twice, sorted")
        << QVector<MountedVolume>{{QStringLiteral("/media/u/ZCARD/"), "/dev/sdc1"},
                                  {QStringLiteral("/media/u/ACARD"), "/dev/sdb1"},
                                  {QStringLiteral("/media/u/ZCARD"), "/dev/sdc1"}}
        << QStringList{QStringLiteral("/media/u/ACARD/"), QStringLiteral("/media/u/ZCARD/")};
}

void TstFolderTreeRoots::removableRoots()
{
    QFETCH(QVector<MountedVolume>, volumes);
    QFETCH(QStringList, roots);
    QCOMPARE(RemovableDrives::removableRoots(volumes, sysBlock.path()), roots);
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

void TstFolderTreeRoots::searchRootsComeFromTheProvider()
{
    const QStringList fake{QStringLiteral("/tmp/a/"), QStringLiteral("/tmp/b/")};
    RemovableDrives::setRootsProvider([fake] { return fake; });
    QCOMPARE(RemovableDrives::removableRootsForSearch(), fake);
    RemovableDrives::setRootsProvider({});
    QCOMPARE(RemovableDrives::removableRootsForSearch(), RemovableDrives::mountedRemovableRoots());
}

void TstFolderTreeRoots::mountTableLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("volume"); // mount point and source; empty: no volume
    QTest::newRow("card with an optional field")
        << QByteArray("36 25 8:17 / /media/u/CARD rw,nosuid shared:7 - vfat /dev/sdb1 rw")
        << QStringList{QStringLiteral("/media/u/CARD"), QStringLiteral("/dev/sdb1")};
    QTest::newRow("no optional field")
        << QByteArray("22 1 0:5 / /proc rw,nosuid - proc proc rw")
        << QStringList{QStringLiteral("/proc"), QStringLiteral("proc")};
    QTest::newRow("two optional fields, fuse source")
        << QByteArray("90 25 0:50 / /tmp/x/card rw shared:9 master:2 - fuse.fusefat fusefat rw")
        << QStringList{QStringLiteral("/tmp/x/card"), QStringLiteral("fusefat")};
    QTest::newRow("escaped blank, tab and backslash")
        << QByteArray("37 25 8:18 / /media/u/MY\\040CARD\\011A\\134B rw - exfat "
                      "/dev/disk/by-label/MY\\040CARD rw")
        << QStringList{QStringLiteral("/media/u/MY CARD\tA\\B"),
                       QStringLiteral("/dev/disk/by-label/MY CARD")};
    QTest::newRow("no separator") << QByteArray("37 25 8:18 / /media/u/CARD rw") << QStringList();
    QTest::newRow("nothing after the separator")
        << QByteArray("37 25 8:18 / /media/u/CARD rw - vfat") << QStringList();
}

void TstFolderTreeRoots::mountTableLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, volume);
    QStringList parsed;
    for (const MountedVolume &mounted : RemovableDrives::parseMountInfo(line + '\n'))
        parsed << mounted.rootPath << QString::fromLocal8Bit(mounted.device);
    QCOMPARE(parsed, volume);
}

void TstFolderTreeRoots::foldersAnswer_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("answers");
    QTest::newRow("folder") << "full" << true;
    QTest::newRow("empty folder") << "empty" << true;
    QTest::newRow("file") << "full/file" << false;
    QTest::newRow("missing") << "missing" << false;
}

void TstFolderTreeRoots::foldersAnswer()
{
    QFETCH(QString, relative);
    QFETCH(bool, answers);
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkpath(QStringLiteral("full/sub")));
    QVERIFY(QDir(base.path()).mkpath(QStringLiteral("empty")));
    QFile file(base.filePath(QStringLiteral("full/file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(DriveProbe::isFolder(base.filePath(relative)), answers);
}

// A drive whose answer does not come within the bound counts as absent, and is not asked again
// while its question still runs.
void TstFolderTreeRoots::stuckDriveCountsAbsentAndIsNotAskedAgain()
{
    constexpr int boundMs = 1000;
    const QStringList roots{QStringLiteral("/a/"), QStringLiteral("/stuck/"),
                            QStringLiteral("/b/")};
    struct Stuck
    {
        std::promise<void> answer;
        std::shared_future<void> answered = answer.get_future().share();
        std::once_flag once;
        std::atomic_int asked{0};
        void release()
        {
            std::call_once(once, [this] { answer.set_value(); });
        }
    };
    auto stuck = std::make_shared<Stuck>();
    const auto releaseStuck = qScopeGuard([stuck] { stuck->release(); });
    const DriveProbe::Question question = [stuck](const QString &root) {
        if (root != QLatin1String("/stuck/"))
            return true;
        ++stuck->asked;
        // a broken bound fails the test instead of hanging it
        stuck->answered.wait_for(std::chrono::seconds(30));
        return true;
    };
    const QStringList answering{QStringLiteral("/a/"), QStringLiteral("/b/")};
    QCOMPARE(DriveProbe::answering(roots, question, boundMs), answering);
    QCOMPARE(DriveProbe::answering(roots, question, boundMs), answering);
    QCOMPARE(stuck->asked.load(), 1);

    // answered at last: asked again
    stuck->release();
    QTRY_COMPARE(DriveProbe::answering(roots, question, boundMs), roots);
}

TALVEX_TEST_MAIN(TstFolderTreeRoots)
#include "tst_foldertreeroots.moc"

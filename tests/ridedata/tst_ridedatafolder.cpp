// The ride-data folder: ride-file names, the card search on removable roots and the adding-only
// copy, on temporary folders.
#include "driveprobe.h"
#include "exporttestfiles.h"
#include "heldride.h"
#include "ridecopyreport.h"
#include "ridedatafolder.h"
#include "riderecord.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <thread>

using namespace RideDataFolder;

namespace {

// Room of the small file system: one 40 KiB ride and part of a second.
constexpr qint64 fileSystemBytes = 64 * 1024;

} // namespace

class TstRideDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void rideFileNames_data();
    void rideFileNames();
    void listingPassesWhenOneNamePasses();
    void onlyRidesAreListedAndCopied_data();
    void onlyRidesAreListedAndCopied();
    void streamPastTheLimitIsNeitherCopiedNorKept();
    void cardSearch_data();
    void cardSearch();
    void copyAddsRideFilesOnly();
    void copyKeepsExistingFiles();
    void overwriteReplaces();
    void failedCopyLeavesNoPartialFile();
    void removedCardFailsTheRest();
    void copyIntoAFullFileSystemSaysTheDiskIsFull_data();
    void copyIntoAFullFileSystemSaysTheDiskIsFull();
    void copyLeavesOtherHiddenFilesAlone();
    void copyStoppedNowKeepsNothingMore();
    void copyErrors_data();
    void copyErrors();
    void failureMessage_data();
    void failureMessage();
    void namesOfDayKeepListingOrder();

private:
    static void write(const QString &path, const QByteArray &content);
    static QByteArray read(const QString &path);
};

void TstRideDataFolder::write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TstRideDataFolder::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TstRideDataFolder::rideFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ride");
    QTest::newRow("date and time") << "20240501083000.TXT" << true;
    QTest::newRow("14 digits, underscore, digit") << "20240501083000_1.TXT" << true;
    QTest::newRow("13 digits") << "2024050108300.TXT" << false;
    QTest::newRow("lower-case suffix") << "20240501083000.txt" << false;
    QTest::newRow("suffix too far") << "20240501083000_abcdefghijklmnop.TXT" << false;
    QTest::newRow("letters in the date") << "2024O501083000.TXT" << false;
    QTest::newRow("empty") << "" << false;
    // the suffix ends in ".TXT" and has at most 17 characters
    QTest::newRow("suffix after .TXT") << "20261210120000.TXT.bak" << false;
    QTest::newRow("letter after .TXT") << "20261210120000.TXTX" << false;
    QTest::newRow("17-character suffix") << "20240501083000_abcdefghijkl.TXT" << true;
    QTest::newRow("18-character suffix") << "20240501083000_abcdefghijklm.TXT" << false;
    // a good date with time characters that are no decimal number
    QTest::newRow("words after the date") << "20240501_notes.TXT" << false;
    QTest::newRow("letters as the time") << "20240501ABCDEF.TXT" << false;
    QTest::newRow("hexadecimal digit in the time") << "2024050108300A.TXT" << false;
}

void TstRideDataFolder::rideFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, ride);
    QCOMPARE(isRideFileName(name), ride);
}

void TstRideDataFolder::listingPassesWhenOneNamePasses()
{
    QVERIFY(!hasRideFile({}));
    QVERIFY(!hasRideFile({QStringLiteral("notes.txt"), QStringLiteral("20240501083000.txt")}));
    QVERIFY(hasRideFile({QStringLiteral("notes.txt"), QStringLiteral("20240501083000.TXT")}));
}

void TstRideDataFolder::onlyRidesAreListedAndCopied_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("ride"); // listed and copied
    QTest::newRow("ride") << "20240501083000.TXT" << qint64(29) << true;
    QTest::newRow("one byte: read, but no whole record")
        << "20240501083000.TXT" << qint64(1) << true;
    QTest::newRow("empty") << "20240501083000.TXT" << qint64(0) << false;
    // the reader's limit of 16 MiB
    QTest::newRow("exactly 16 MiB") << "20240501083000.TXT" << qint64(16 * 1024 * 1024) << true;
    QTest::newRow("one byte above 16 MiB")
        << "20240501083000.TXT" << qint64(16 * 1024 * 1024 + 1) << false;
    QTest::newRow("ride's name with a suffix after it")
        << "20240501083000.TXT.bak" << qint64(29) << false;
    QTest::newRow("no ride's name") << "notes.txt" << qint64(29) << false;
}

void TstRideDataFolder::onlyRidesAreListedAndCopied()
{
    QFETCH(QString, name);
    QFETCH(qint64, bytes);
    QFETCH(bool, ride);
    QTemporaryDir folder;
    QTemporaryDir target;
    write(folder.filePath(QStringLiteral("20240430070000.TXT")), "ride");
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(bytes)); // sparse: no 16 MiB written
    file.close();
    QStringList expected{QStringLiteral("20240430070000.TXT")};
    if (ride)
        expected << name;
    QCOMPARE(listRides(folder.path()), expected);
    // the card copy takes what the page lists
    const CopyResult result = copyFolder(folder.path(), target.path(), false);
    QVERIFY(result.ok());
    QCOMPARE(result.copied, expected);
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             expected);
    QCOMPARE(QFileInfo(target.filePath(name)).size(), ride ? bytes : qint64(0));
}

// A card entry that is a stream (a link, named as a ride, to a named pipe) tells no size: fed far
// past the reader's 16 MiB it is read no further than one byte past them, and nothing of it is
// kept, neither all of it nor a ride cut short.
void TstRideDataFolder::streamPastTheLimitIsNeitherCopiedNorKept()
{
    QTemporaryDir card;
    QTemporaryDir target;
    const QString folder = card.filePath(QStringLiteral("Metadata"));
    QVERIFY(QDir().mkpath(folder));
    const qint64 fed = 3 * RideFormat::maxFileBytes;
    HeldRide stream(folder, QStringLiteral("20240501083000.TXT"), QByteArray(int(fed), 'r'));
    QVERIFY(stream.isValid());
    stream.release();
    const CopyResult result = copyFolder(folder, target.path(), false);
    QVERIFY(result.ok());
    QCOMPARE(result.copied, QStringList());
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QTRY_VERIFY(stream.isReleased()); // the copy closed the pipe
    // what the copy read, and at most what the pipe's and the reader's buffers held (far less
    // than a MiB)
    QVERIFY2(stream.written() > RideFormat::maxFileBytes &&
                 stream.written() <= RideFormat::maxFileBytes + 1024 * 1024,
             qPrintable(QString::number(stream.written())));
}

void TstRideDataFolder::cardSearch_data()
{
    QTest::addColumn<QStringList>("folders"); // one entry per root: its top-level folder
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("foundRoot"); // -1: none
    QTest::newRow("no card") << QStringList() << 0 << -1;
    QTest::newRow("one card") << QStringList{QStringLiteral("Metadata")} << 1 << 0;
    QTest::newRow("lower-case folder") << QStringList{QStringLiteral("metadata")} << 0 << -1;
    QTest::newRow("card without ride data")
        << QStringList{QStringLiteral("DCIM"), QStringLiteral("Metadata")} << 1 << 1;
    QTest::newRow("two cards: the last wins")
        << QStringList{QStringLiteral("Metadata"), QStringLiteral("Metadata")} << 2 << 1;
}

void TstRideDataFolder::cardSearch()
{
    QFETCH(QStringList, folders);
    QFETCH(int, count);
    QFETCH(int, foundRoot);
    QTemporaryDir base;
    QStringList roots;
    for (int i = 0; i < folders.size(); ++i) {
        const QString root = base.filePath(QStringLiteral("card%1").arg(i));
        QVERIFY(QDir().mkpath(root + QLatin1Char('/') + folders[i]));
        roots << root + QLatin1Char('/');
    }
    roots << base.filePath(QStringLiteral("unreadable")); // a root that cannot be entered
    // as the page asks: each root off the calling thread
    const CardSearch search = cardSearchOf(DriveProbe::answering(roots, &holdsCardFolder));
    QCOMPARE(search.count, count);
    QCOMPARE(search.found, foundRoot < 0
                               ? QString()
                               : QDir(roots[foundRoot]).filePath(QStringLiteral("Metadata")));
}

void TstRideDataFolder::copyAddsRideFilesOnly()
{
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501083000.TXT")), "ride");
    write(source.filePath(QStringLiteral("readme")), "not a ride");
    write(source.filePath(QStringLiteral("20240501101500_F.mp4")), "a dated video");
    QVERIFY(QDir(source.path()).mkpath(QStringLiteral("sub")));
    write(source.filePath(QStringLiteral("sub/20240502083000.TXT")), "not copied");
    const CopyResult result = copyFolder(source.path(), target.path(), false);
    QVERIFY(result.ok());
    QCOMPARE(result.copied, QStringList{QStringLiteral("20240501083000.TXT")});
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             result.copied);
    QCOMPARE(read(target.filePath(QStringLiteral("20240501083000.TXT"))), QByteArray("ride"));
}

void TstRideDataFolder::copyKeepsExistingFiles()
{
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501083000.TXT")), "card version");
    write(target.filePath(QStringLiteral("20240501083000.TXT")), "folder version");
    const CopyResult result = copyFolder(source.path(), target.path(), false);
    QVERIFY(result.ok());
    QCOMPARE(result.kept, QStringList{QStringLiteral("20240501083000.TXT")});
    QCOMPARE(read(target.filePath(QStringLiteral("20240501083000.TXT"))),
             QByteArray("folder version"));
}

void TstRideDataFolder::overwriteReplaces()
{
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501083000.TXT")), "new");
    write(target.filePath(QStringLiteral("20240501083000.TXT")), "old");
    QVERIFY(copyFolder(source.path(), target.path(), true).ok());
    QCOMPARE(read(target.filePath(QStringLiteral("20240501083000.TXT"))), QByteArray("new"));
}

void TstRideDataFolder::failedCopyLeavesNoPartialFile()
{
    // a listed ride that cannot be read, as from a card pulled during the copy
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501070000.TXT")), "good");
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"),
                        source.filePath(QStringLiteral("20240501083000.TXT"))));
    const CopyResult result = copyFiles(
        source.path(), {QStringLiteral("20240501070000.TXT"), QStringLiteral("20240501083000.TXT")},
        target.path(), false);
    QVERIFY(!result.ok());
    QCOMPARE(result.failed.size(), 1);
    QCOMPARE(result.failed[0].name, QStringLiteral("20240501083000.TXT"));
    QCOMPARE(result.failed[0].error, CopyError::Unreadable);
    QCOMPARE(result.copied, QStringList{QStringLiteral("20240501070000.TXT")});
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("20240501070000.TXT")});
}

void TstRideDataFolder::removedCardFailsTheRest()
{
    // the card's listing was taken, then the card was pulled
    QTemporaryDir card;
    QTemporaryDir target;
    const QString source = card.filePath(QStringLiteral("Metadata"));
    QVERIFY(QDir().mkpath(source));
    QStringList names;
    for (int i = 0; i < 12; ++i) {
        names << QStringLiteral("202405") +
                     QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')) +
                     QStringLiteral("070000.TXT");
        write(source + QLatin1Char('/') + names.last(), "ride");
    }
    QVERIFY(QDir(source).removeRecursively());
    const CopyResult result = copyFiles(source, names, target.path(), false);
    QCOMPARE(result.failed.size(), names.size());
    for (const CopyFailure &failure : result.failed)
        QCOMPARE(failure.error, CopyError::CardRemoved);
    QVERIFY(QDir(target.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());
}

void TstRideDataFolder::copyIntoAFullFileSystemSaysTheDiskIsFull_data()
{
    QTest::addColumn<qint64>("fillerBytes"); // taken from the file system's room before the copy
    QTest::addColumn<QStringList>("copied");
    QTest::newRow("room for one ride") << qint64(0) << QStringList{"20240501070000.TXT"};
    QTest::newRow("no byte free") << fileSystemBytes << QStringList();
}

void TstRideDataFolder::copyIntoAFullFileSystemSaysTheDiskIsFull()
{
    QFETCH(qint64, fillerBytes);
    QFETCH(QStringList, copied);
    QTemporaryDir base;
    const QString target = base.filePath(QStringLiteral("Metadata"));
    QVERIFY(QDir().mkpath(target));
    const ExportTestFiles::TmpfsMount fileSystem(target,
                                                 QStringLiteral("size=%1").arg(fileSystemBytes));
    if (!fileSystem.isMounted())
        QSKIP(qPrintable(fileSystem.problem() + QStringLiteral(": the disk-full copy is not run")));
    if (fillerBytes > 0) {
        QFile filler(target + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        filler.write(QByteArray(int(fillerBytes), 'f'));
    }
    QTemporaryDir card;
    const QStringList names{QStringLiteral("20240501070000.TXT"),
                            QStringLiteral("20240502070000.TXT"),
                            QStringLiteral("20240503070000.TXT")};
    for (const QString &name : names) // 40 KiB each: the second finds room for part of it
        write(card.filePath(name), QByteArray(40 * 1024, 'Q'));

    const CopyResult result = copyFolder(card.path(), target, false);
    QCOMPARE(result.copied, copied);
    QCOMPARE(result.failed.size(), names.size() - copied.size());
    for (const CopyFailure &failure : result.failed)
        QCOMPARE(failure.error, CopyError::DiskFull);
    const QString message = RideCopyReport::failureText(result.failed);
    QVERIFY2(message.contains(QStringLiteral("The disk is full")), qPrintable(message));
    // no partial ride and no part file left behind
    QStringList left = QDir(target).entryList(QDir::Files | QDir::Hidden);
    left.removeOne(QStringLiteral("filler"));
    QCOMPARE(left, copied);
}

void TstRideDataFolder::copyLeavesOtherHiddenFilesAlone()
{
    // a user's file named as a part file of the copy could once be
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501083000.TXT")), "ride");
    const QString own = target.filePath(QStringLiteral(".20240501083000.TXT.part"));
    write(own, "the user's");
    QVERIFY(copyFolder(source.path(), target.path(), false).ok());
    QCOMPARE(read(target.filePath(QStringLiteral("20240501083000.TXT"))), QByteArray("ride"));
    QCOMPARE(read(own), QByteArray("the user's"));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{QStringLiteral(".20240501083000.TXT.part"),
                          QStringLiteral("20240501083000.TXT")}));
}

// A copy stopped now (the ride-data folder is about to be emptied) keeps nothing more: not the
// file it was reading, whose part file it had begun, nor the files after it.
void TstRideDataFolder::copyStoppedNowKeepsNothingMore()
{
    QTemporaryDir card;
    QTemporaryDir target;
    const QString folder = card.filePath(QStringLiteral("Metadata"));
    QVERIFY(QDir().mkpath(folder));
    HeldRide held(folder, QStringLiteral("20240501083000.TXT"), "ride");
    QVERIFY(held.isValid());
    write(folder + QStringLiteral("/20240501090000.TXT"), "ride");
    CopyStop stop;
    CopyResult result;
    std::thread copy([&] { result = copyFolder(folder, target.path(), false, &stop); });
    QVERIFY(held.waitUntilOpened(std::chrono::seconds(30)));
    QTRY_COMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // its part
    stop.now();
    held.release();
    copy.join();
    QVERIFY(result.ok());
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TstRideDataFolder::copyErrors_data()
{
    QTest::addColumn<bool>("readSide");
    QTest::addColumn<bool>("sourceFolderExists");
    QTest::addColumn<bool>("noRoom");
    QTest::addColumn<int>("error");
    QTest::newRow("card pulled while reading")
        << true << false << false << int(CopyError::CardRemoved);
    QTest::newRow("card pulled while writing")
        << false << false << true << int(CopyError::CardRemoved);
    QTest::newRow("bad file on the card") << true << true << false << int(CopyError::Unreadable);
    QTest::newRow("no space left") << false << true << true << int(CopyError::DiskFull);
    QTest::newRow("folder not writable") << false << true << false << int(CopyError::Unwritable);
}

void TstRideDataFolder::copyErrors()
{
    QFETCH(bool, readSide);
    QFETCH(bool, sourceFolderExists);
    QFETCH(bool, noRoom);
    QFETCH(int, error);
    QCOMPARE(int(copyError(readSide, sourceFolderExists, noRoom)), error);
}

void TstRideDataFolder::failureMessage_data()
{
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("full");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("nothing failed") << 0 << 0 << 0 << QStringList();
    QTest::newRow("one unreadable file")
        << 0 << 0 << 1
        << QStringList{"1 file could not be copied from the camera card.",
                       "A file on the card could not be read (1 file).", "u0.TXT."};
    QTest::newRow("card pulled, thousands of files")
        << 3950 << 0 << 8
        << QStringList{"3958 files could not be copied from the camera card.",
                       "The camera card was removed during the copy (3950 files).",
                       "A file on the card could not be read (8 files).",
                       "r0.TXT, r1.TXT, r2.TXT, r3.TXT, r4.TXT and 3953 more."};
    QTest::newRow("exactly as many as are named")
        << 0 << 0 << 5
        << QStringList{"5 files could not be copied from the camera card.",
                       "A file on the card could not be read (5 files).",
                       "u0.TXT, u1.TXT, u2.TXT, u3.TXT, u4.TXT."};
    QTest::newRow("disk full") << 0 << 2 << 0
                               << QStringList{"2 files could not be copied from the camera card.",
                                              "The disk is full (2 files).", "f0.TXT, f1.TXT."};
}

void TstRideDataFolder::failureMessage()
{
    QFETCH(int, removed);
    QFETCH(int, full);
    QFETCH(int, unreadable);
    QFETCH(QStringList, lines);
    QVector<CopyFailure> failed;
    const auto add = [&failed](int count, const char *prefix, CopyError error) {
        for (int i = 0; i < count; ++i)
            failed.append({QLatin1String(prefix) + QString::number(i) + ".TXT", error});
    };
    add(removed, "r", CopyError::CardRemoved);
    add(full, "f", CopyError::DiskFull);
    add(unreadable, "u", CopyError::Unreadable);
    const QString text = RideCopyReport::failureText(failed);
    QCOMPARE(text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')), lines);
}

void TstRideDataFolder::namesOfDayKeepListingOrder()
{
    const QStringList listing{
        QStringLiteral("20240501070000.TXT"), QStringLiteral("20240501101500_F.mp4"),
        QStringLiteral("20240502070000.TXT"), QStringLiteral("20240501183000.TXT")};
    QCOMPARE(namesOfDay(listing, QStringLiteral("20240501")),
             (QStringList{listing[0], listing[3]}));
    QCOMPARE(RideDataFolder::rideFileNames(listing),
             (QStringList{listing[0], listing[2], listing[3]}));
    QVERIFY(namesOfDay(listing, QStringLiteral("20240503")).isEmpty());
}

TALVEX_TEST_MAIN(TstRideDataFolder)
#include "tst_ridedatafolder.moc"

// The ride-data folder: ride-file names, the card search on removable roots and the adding-only
// copy, on temporary folders.
#include "ridedatafolder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace RideDataFolder;

class TstRideDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void rideFileNames_data();
    void rideFileNames();
    void listingPassesWhenOneNamePasses();
    void cardSearch_data();
    void cardSearch();
    void copyAddsFilesOnly();
    void copyKeepsExistingFiles();
    void overwriteReplaces();
    void failedCopyLeavesNoPartialFile();
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
    const CardSearch search = findCardFolders(roots);
    QCOMPARE(search.count, count);
    QCOMPARE(search.found, foundRoot < 0
                               ? QString()
                               : QDir(roots[foundRoot]).filePath(QStringLiteral("Metadata")));
}

void TstRideDataFolder::copyAddsFilesOnly()
{
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501083000.TXT")), "ride");
    write(source.filePath(QStringLiteral("readme")), "any name is copied");
    QVERIFY(QDir(source.path()).mkpath(QStringLiteral("sub")));
    write(source.filePath(QStringLiteral("sub/20240502083000.TXT")), "not copied");
    const CopyResult result = copyFolder(source.path(), target.path(), false);
    QVERIFY(result.ok());
    QCOMPARE(result.copied,
             (QStringList{QStringLiteral("20240501083000.TXT"), QStringLiteral("readme")}));
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
    write(source.filePath(QStringLiteral("a.TXT")), "new");
    write(target.filePath(QStringLiteral("a.TXT")), "old");
    QVERIFY(copyFolder(source.path(), target.path(), true).ok());
    QCOMPARE(read(target.filePath(QStringLiteral("a.TXT"))), QByteArray("new"));
}

void TstRideDataFolder::failedCopyLeavesNoPartialFile()
{
    // a file that cannot be read, as from a card pulled during the copy
    QTemporaryDir source;
    QTemporaryDir target;
    write(source.filePath(QStringLiteral("20240501070000.TXT")), "good");
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"),
                        source.filePath(QStringLiteral("20240501083000.TXT"))));
    const CopyResult result = copyFolder(source.path(), target.path(), false);
    QVERIFY(!result.ok());
    QCOMPARE(result.failed, QStringList{QStringLiteral("20240501083000.TXT")});
    QCOMPARE(result.copied, QStringList{QStringLiteral("20240501070000.TXT")});
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("20240501070000.TXT")});
}

void TstRideDataFolder::namesOfDayKeepListingOrder()
{
    const QStringList listing{QStringLiteral("20240501070000.TXT"),
                              QStringLiteral("20240502070000.TXT"),
                              QStringLiteral("20240501183000.TXT")};
    QCOMPARE(namesOfDay(listing, QStringLiteral("20240501")),
             (QStringList{listing[0], listing[2]}));
    QVERIFY(namesOfDay(listing, QStringLiteral("20240503")).isEmpty());
}

TALVEX_TEST_MAIN(TstRideDataFolder)
#include "tst_ridedatafolder.moc"

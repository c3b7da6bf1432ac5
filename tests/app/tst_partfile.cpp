#include "partfile.h"
#include "testsupport.h"
#include "workfolder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>

using TestSupport::entriesOf;

namespace {
constexpr int lockTimeoutMs = 10000;
// as mkdtemp makes a folder
constexpr QFileDevice::Permissions privateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
}

class TstPartFile : public QObject
{
    Q_OBJECT
private slots:
    // A part never touches another entry of the folder, whether it ends committed or discarded,
    // and a committed part replaces the target with its bytes.
    void touchesNothingElse_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::newRow("committed") << true;
        QTest::newRow("discarded") << false;
    }
    void touchesNothingElse()
    {
        QFETCH(bool, commit);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("fw.bin"));
        const QString other = dir.filePath(QStringLiteral("other.txt"));
        TestSupport::writeFile(other, "another file");
        TestSupport::writeFile(dir.filePath(QStringLiteral("fw.bin.part")), "the user's own part");
        QVERIFY(QFile::link(other, dir.filePath(QStringLiteral(".fw.part.bin"))));
        TestSupport::writeFile(target, "old content");
        QMap<QString, QByteArray> before = entriesOf(dir.path());

        {
            PartFile part(target);
            QVERIFY2(part.create(), qPrintable(part.errorString()));
            QVERIFY(!before.contains(QFileInfo(part.path()).fileName()));
            QVERIFY(QFileInfo(part.path()).fileName().endsWith(QLatin1String(".bin")));
            QCOMPARE(part.file().write("new content"), qint64(11));
            if (commit) {
                QVERIFY2(part.commit(), qPrintable(part.errorString()));
                before[QStringLiteral("fw.bin")] = "new content";
            }
        } // an uncommitted part goes with its owner
        QCOMPARE(entriesOf(dir.path()), before);
    }

    // A part whose name someone else took over before the commit is not put in place: the target
    // and the file the new entry links to stay as they were, and so does the new entry.
    void replacedPartIsNotCommitted()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("fw.bin"));
        const QString other = dir.filePath(QStringLiteral("other.txt"));
        TestSupport::writeFile(target, "old content");
        TestSupport::writeFile(other, "another file");
        PartFile part(target);
        QVERIFY(part.create());
        QCOMPARE(part.file().write("new content"), qint64(11));
        QVERIFY(QFile::rename(part.path(), dir.filePath(QStringLiteral("taken away"))));
        QVERIFY(QFile::link(other, part.path()));
        const QMap<QString, QByteArray> before = entriesOf(dir.path());
        QVERIFY(!part.commit());
        QVERIFY(part.wasChangedByOthers());
        part.discard();
        QCOMPARE(entriesOf(dir.path()), before);
    }

    void twoPartsOfOneTargetHaveTwoNames()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("cut.mov"));
        PartFile first(target);
        PartFile second(target);
        QVERIFY(first.create());
        QVERIFY(second.create());
        QVERIFY(first.path() != second.path());
        first.discard();
        QVERIFY(QFile::exists(second.path()));
    }

    void failuresSayWhy()
    {
        QTemporaryDir dir;
        PartFile missingFolder(dir.filePath(QStringLiteral("no such folder/fw.bin")));
        QVERIFY(!missingFolder.create());
        QVERIFY(missingFolder.errorString().contains(QLatin1String("No such file")));

        // a target that is a folder: the part is written, the rename refused, the part removed
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken")));
        PartFile overFolder(dir.filePath(QStringLiteral("taken")));
        QVERIFY(overFolder.create());
        QVERIFY(!overFolder.commit());
        QVERIFY(!overFolder.errorString().isEmpty());
        QVERIFY(!QFile::exists(overFolder.path()));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken"))).isDir());
    }

    // An export's sweep of its output folder leaves a leftover while another process holds its
    // lock and removes it once that process is gone; this process's live part (its file closed,
    // as for ffmpeg) and work folder and the user's look-alikes stay.
    void leftoverGoesOnceNoProcessHoldsIt_data()
    {
        QTest::addColumn<QString>("leftover"); // made in the folder
        QTest::addColumn<QString>("lockFile"); // the file whose lock keeps it
        QTest::newRow("part file") << ".cut.k3x9q0ab.part.mov"
                                   << ".cut.k3x9q0ab.part.mov";
        QTest::newRow("work folder") << ".export-Ab3xYz"
                                     << ".export-Ab3xYz/export.lock";
    }
    void leftoverGoesOnceNoProcessHoldsIt()
    {
        QFETCH(QString, leftover);
        QFETCH(QString, lockFile);
        QTemporaryDir dir;
        const QDir folder(dir.path());
        // look-alikes: a file, a link of a part's name, a link to a free lock, no lock file
        TestSupport::writeFile(folder.filePath(".cut.part.mov"), "the user's own part");
        QVERIFY(QFile::link(folder.filePath(".cut.part.mov"),
                            folder.filePath(".cut.abcd1234.part.mov")));
        QVERIFY(folder.mkpath("kept"));
        TestSupport::writeFile(folder.filePath("kept/export.lock"), QByteArray());
        QVERIFY(QFile::link(folder.filePath("kept"), folder.filePath(".export-Link01")));
        QVERIFY(folder.mkpath(".export-NoLock"));
        PartFile live(folder.filePath("live.mov"));
        QVERIFY(live.create());
        live.file().close();
        const WorkFolder own(dir.path());
        QVERIFY(own.isValid());
        const QMap<QString, QByteArray> kept = entriesOf(dir.path(), true);

        if (leftover != lockFile) {
            QVERIFY(folder.mkpath(leftover));
            QVERIFY(QFile::setPermissions(folder.filePath(leftover), privateFolder));
            TestSupport::writeFile(folder.filePath(leftover + "/temp1_main_0.mov"), "a piece");
        }
        TestSupport::writeFile(folder.filePath(lockFile), QByteArray());
        QProcess holder;
        holder.start("sh", {"-c", "exec 9<\"$0\" && flock -n 9 && echo held && exec sleep 600",
                            folder.filePath(lockFile)});
        QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), lockTimeoutMs);
        const QMap<QString, QByteArray> held = entriesOf(dir.path(), true);
        const Descriptor folderFd(::open(QFile::encodeName(dir.path()).constData(), O_PATH));
        WorkFolder::removeLeftovers(folderFd.fd());
        QCOMPARE(entriesOf(dir.path(), true), held);

        holder.kill();
        QVERIFY(holder.waitForFinished(lockTimeoutMs));
        WorkFolder::removeLeftovers(folderFd.fd());
        QCOMPARE(entriesOf(dir.path(), true), kept);
    }
};

QTEST_GUILESS_MAIN(TstPartFile)
#include "tst_partfile.moc"

#include "partfile.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::entriesOf;

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
};

QTEST_GUILESS_MAIN(TstPartFile)
#include "tst_partfile.moc"

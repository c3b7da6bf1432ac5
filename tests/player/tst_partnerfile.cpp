// The partner-file rule on names and on real files in temporary folders.
#include "partnerfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstPartnerFile : public QObject
{
    Q_OBJECT
private slots:
    void candidatesFollowTheCameraTag_data();
    void candidatesFollowTheCameraTag();
    void existingPartnerIsFound_data();
    void existingPartnerIsFound();
    void urlsKeepUnusualCharacters();

private:
    QString touch(const QString &relative);

    QTemporaryDir dir;
};

QString TstPartnerFile::touch(const QString &relative)
{
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    return path;
}

void TstPartnerFile::candidatesFollowTheCameraTag_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("candidates");
    QTest::newRow("front") << "0001_F.MP4" << QStringList{"0001_R.MP4"};
    QTest::newRow("front lower case") << "0001_f.mp4" << QStringList{"0001_r.mp4"};
    QTest::newRow("rear: front, then left")
        << "0001_R.MP4" << QStringList{"0001_F.MP4", "0001_L.MP4"};
    QTest::newRow("rear lower case") << "0001_r.mp4" << QStringList{"0001_f.mp4", "0001_l.mp4"};
    QTest::newRow("left") << "0001_L.MP4" << QStringList{"0001_R.MP4"};
    QTest::newRow("left lower case") << "0001_l.mp4" << QStringList{"0001_r.mp4"};
    QTest::newRow("tag needs a dot") << "0001_FRONT.MP4" << QStringList();
    QTest::newRow("no tag") << "clip.mp4" << QStringList();
    QTest::newRow("every occurrence replaced") << "A_F_F.MP4" << QStringList{"A_R_R.MP4"};
    QTest::newRow("front test comes first") << "x_R_F.MP4" << QStringList{"x_R_R.MP4"};
    QTest::newRow("case matters") << "0001_f.MP4" << QStringList{"0001_r.MP4"};
}

void TstPartnerFile::candidatesFollowTheCameraTag()
{
    QFETCH(QString, name);
    QFETCH(QStringList, candidates);
    QCOMPARE(partnerNameCandidates(name), candidates);
}

void TstPartnerFile::existingPartnerIsFound_data()
{
    QTest::addColumn<QStringList>("files"); // the first is the file asked about
    QTest::addColumn<QString>("partner");   // relative; empty: none
    QTest::newRow("front and rear")
        << QStringList{"a/0001_F.MP4", "a/0001_R.MP4"} << "a/0001_R.MP4";
    QTest::newRow("rear and front")
        << QStringList{"b/0001_R.MP4", "b/0001_F.MP4"} << "b/0001_F.MP4";
    QTest::newRow("rear and left only")
        << QStringList{"c/0001_R.MP4", "c/0001_L.MP4"} << "c/0001_L.MP4";
    QTest::newRow("rear prefers front")
        << QStringList{"d/0001_R.MP4", "d/0001_L.MP4", "d/0001_F.MP4"} << "d/0001_F.MP4";
    QTest::newRow("alone") << QStringList{"e/0001_F.MP4"} << QString();
    QTest::newRow("lower case never finds upper case")
        << QStringList{"f/0001_f.mp4", "f/0001_R.mp4"} << QString();
    QTest::newRow("folder with a tag is left alone")
        << QStringList{"My_Files/0001_F.MP4", "My_Files/0001_R.MP4"} << "My_Files/0001_R.MP4";
    QTest::newRow("folder looking like a tagged file")
        << QStringList{"Trip_F.old/0001_R.MP4", "Trip_F.old/0001_F.MP4"} << "Trip_F.old/0001_F.MP4";
    QTest::newRow("untagged file in such a folder")
        << QStringList{"Trip_F.new/0001.MP4", "Trip_R.new/0001.MP4"} << QString();
    QTest::newRow("a folder named like the partner is no partner")
        << QStringList{"g/0001_F.MP4", "g/0001_R.MP4/x"} << QString();
}

void TstPartnerFile::existingPartnerIsFound()
{
    QFETCH(QStringList, files);
    QFETCH(QString, partner);
    for (const QString &file : files)
        QVERIFY(!touch(file).isEmpty());
    const QString expected = partner.isEmpty() ? QString() : dir.filePath(partner);
    QCOMPARE(partnerFilePath(dir.filePath(files.first())), expected);
    const QUrl url = partnerFileUrl(QUrl::fromLocalFile(dir.filePath(files.first())));
    QCOMPARE(url, expected.isEmpty() ? QUrl() : QUrl::fromLocalFile(expected));
}

void TstPartnerFile::urlsKeepUnusualCharacters()
{
    const QString front = touch("h #1%/Fahrt ä_F.mp4");
    const QString rear = touch("h #1%/Fahrt ä_R.mp4");
    QVERIFY(!front.isEmpty() && !rear.isEmpty());
    QCOMPARE(partnerFileUrl(QUrl::fromLocalFile(front)).toLocalFile(), rear);
    QCOMPARE(partnerFileUrl(QUrl(QStringLiteral("http://127.0.0.1/0001_F.mp4"))), QUrl());
    QCOMPARE(partnerFilePath(QString()), QString());
}

TALVEX_TEST_MAIN(TstPartnerFile)
#include "tst_partnerfile.moc"

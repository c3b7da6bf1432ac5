// Output names: time, counter and the joining of folder and name.
#include "outputname.h"

#include "testsupport.h"

#include <QTemporaryDir>

class TstOutputName : public QObject
{
    Q_OBJECT
private slots:
    void nameHasTimeCounterAndSuffix_data();
    void nameHasTimeCounterAndSuffix();
    void folderAndNameJoinWithOneSlash_data();
    void folderAndNameJoinWithOneSlash();
    void defaultFolderIsEditVideoBesideTheProgram();
    void defaultFolderFallsBackToTheVideoFolder_data();
    void defaultFolderFallsBackToTheVideoFolder();
    void targetIsCheckedAndItsFolderMade_data();
    void targetIsCheckedAndItsFolderMade();
    void targetSaysWhetherItReplacesAnEntry_data();
    void targetSaysWhetherItReplacesAnEntry();
    void unusedPathSkipsTakenNames();

private:
    QTemporaryDir base;
};

void TstOutputName::nameHasTimeCounterAndSuffix_data()
{
    QTest::addColumn<quint32>("counter");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 1u << "20240305140709_EditVideo_001.mov";
    QTest::newRow("second") << 2u << "20240305140709_EditVideo_002.mov";
    QTest::newRow("thousandth") << 1000u << "20240305140709_EditVideo_1000.mov";
}

void TstOutputName::nameHasTimeCounterAndSuffix()
{
    QFETCH(quint32, counter);
    const QDateTime time(QDate(2024, 3, 5), QTime(14, 7, 9));
    QTEST(OutputName::fileName(time, counter), "name");
}

void TstOutputName::folderAndNameJoinWithOneSlash_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("no separator") << "/media/clips"
                                  << "/media/clips/a.mov";
    QTest::newRow("slash") << "/media/clips/"
                           << "/media/clips/a.mov";
    QTest::newRow("backslash") << "D:\\clips\\"
                               << "D:\\clips\\a.mov";
    QTest::newRow("double slash") << "D://clips"
                                  << "D:/clips/a.mov";
}

void TstOutputName::folderAndNameJoinWithOneSlash()
{
    QFETCH(QString, folder);
    QTEST(OutputName::join(folder, QStringLiteral("a.mov")), "path");
}

void TstOutputName::defaultFolderIsEditVideoBesideTheProgram()
{
    QCOMPARE(OutputName::defaultFolder(QStringLiteral("/opt/talvex")),
             QStringLiteral("/opt/talvex/EditVideo/"));
    QCOMPARE(OutputName::defaultFolder(QStringLiteral("/")), QStringLiteral("/EditVideo/"));
}

void TstOutputName::defaultFolderFallsBackToTheVideoFolder_data()
{
    // paths relative to the temporary folder; "file" is a plain file, so nothing can go below it
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QString>("moviesDir");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("beside the program") << "app"
                                        << "Videos"
                                        << "app/EditVideo/";
    QTest::newRow("program folder unusable") << "file/app"
                                             << "Videos"
                                             << "Videos/EditVideo/";
    QTest::newRow("both unusable") << "file/app"
                                   << "file/Videos"
                                   << "file/app/EditVideo/";
    QTest::newRow("no video folder") << "file/app" << QString() << "file/app/EditVideo/";
}

void TstOutputName::defaultFolderFallsBackToTheVideoFolder()
{
    QFETCH(QString, appDir);
    QFETCH(QString, moviesDir);
    QFETCH(QString, chosen);
    QVERIFY(base.isValid());
    QFile plain(base.filePath(QStringLiteral("file")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    const QString root = base.path() + QLatin1Char('/');
    const QString folder = OutputName::prepareDefaultFolder(
        root + appDir, moviesDir.isEmpty() ? QString() : root + moviesDir);
    QCOMPARE(folder, root + chosen);
    QCOMPARE(QFileInfo(folder).isDir(), !chosen.startsWith(QLatin1String("file/")));
}

void TstOutputName::targetIsCheckedAndItsFolderMade_data()
{
    // "<t>" stands for the temporary folder, which holds the folder "sub" and the file "file"
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("problem");
    const int none = int(OutputName::Problem::None);
    const int noName = int(OutputName::Problem::NoFileName);
    const int notCreated = int(OutputName::Problem::FolderNotCreated);
    QTest::newRow("existing folder") << "<t>/a.mov"
                                     << "<t>/a.mov" << none;
    QTest::newRow("new folders") << "<t>/new/deeper/a.mov"
                                 << "<t>/new/deeper/a.mov" << none;
    QTest::newRow("doubled slashes") << "<t>//x///a.mov"
                                     << "<t>/x/a.mov" << none;
    QTest::newRow("blanks around") << "  <t>/y/a b.mov  "
                                   << "<t>/y/a b.mov" << none;
    QTest::newRow("empty") << ""
                           << "" << noName;
    QTest::newRow("folder only") << "<t>/z/"
                                 << "<t>/z/" << noName;
    QTest::newRow("blank name") << "<t>/z/   "
                                << "<t>/z/" << noName;
    QTest::newRow("names a folder") << "<t>/sub"
                                    << "<t>/sub" << noName;
    QTest::newRow("below a file") << "<t>/file/z/a.mov"
                                  << "<t>/file/z/a.mov" << notCreated;
}

void TstOutputName::targetIsCheckedAndItsFolderMade()
{
    QFETCH(QString, line);
    QFETCH(QString, path);
    QVERIFY(base.isValid());
    QVERIFY(QDir(base.path()).mkpath(QStringLiteral("sub")));
    QFile plain(base.filePath(QStringLiteral("file")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    const QString t = QStringLiteral("<t>");
    const OutputName::Target target = OutputName::prepareTarget(line.replace(t, base.path()));
    QCOMPARE(target.path, path.replace(t, base.path()));
    QTEST(int(target.problem), "problem");
    if (target.problem == OutputName::Problem::None)
        QVERIFY(QFileInfo(QFileInfo(target.path).path()).isDir());
    else
        QVERIFY(!QFileInfo::exists(base.filePath(QStringLiteral("z")))); // refused: nothing made
}

void TstOutputName::targetSaysWhetherItReplacesAnEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("a file") << "file.mov" << true;
    QTest::newRow("a link to a file") << "link.mov" << true;
    QTest::newRow("a broken link") << "broken.mov" << true;
    QTest::newRow("no entry") << "new.mov" << false;
}

void TstOutputName::targetSaysWhetherItReplacesAnEntry()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TestSupport::writeFile(dir.filePath(QStringLiteral("file.mov")), "old");
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("file.mov")),
                        dir.filePath(QStringLiteral("link.mov"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.mov")),
                        dir.filePath(QStringLiteral("broken.mov"))));
    const OutputName::Target target = OutputName::prepareTarget(dir.filePath(name));
    QCOMPARE(int(target.problem), int(OutputName::Problem::None));
    QTEST(target.exists, "exists");
    QCOMPARE(OutputName::namesAnEntry(dir.filePath(name)), target.exists);
}

void TstOutputName::unusedPathSkipsTakenNames()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDateTime time(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString first = dir.filePath(QStringLiteral("20240305140709_EditVideo_001.mov"));
    QCOMPARE(OutputName::unusedPath(dir.path(), time, 1), first);
    // a file, a folder and a broken link each take their name
    TestSupport::writeFile(first, "an earlier export");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("20240305140709_EditVideo_002.mov")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                        dir.filePath(QStringLiteral("20240305140709_EditVideo_003.mov"))));
    QCOMPARE(OutputName::unusedPath(dir.path() + QLatin1Char('/'), time, 1),
             dir.filePath(QStringLiteral("20240305140709_EditVideo_004.mov")));
    // a later counter starts from itself
    QCOMPARE(OutputName::unusedPath(dir.path(), time, 7),
             dir.filePath(QStringLiteral("20240305140709_EditVideo_007.mov")));
}

TALVEX_TEST_MAIN(TstOutputName)
#include "tst_outputname.moc"

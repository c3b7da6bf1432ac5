// Output names: time, counter and the joining of folder and name.
#include "outputname.h"

#include "testsupport.h"

class TstOutputName : public QObject
{
    Q_OBJECT
private slots:
    void nameHasTimeCounterAndSuffix_data();
    void nameHasTimeCounterAndSuffix();
    void folderAndNameJoinWithOneSlash_data();
    void folderAndNameJoinWithOneSlash();
    void defaultFolderIsEditVideoBesideTheProgram();
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

TALVEX_TEST_MAIN(TstOutputName)
#include "tst_outputname.moc"

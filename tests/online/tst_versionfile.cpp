// Version files as the wizards read them, and the names a download may be stored under.
#include "jsoninfo.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QApplication>

using VersionFile::Kind;

class TstVersionFile : public QObject
{
    Q_OBJECT
private slots:
    void parsesTheChosenEntry_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QStringList>("record"); // product, version, url, name
        const int fw = int(Kind::Firmware);
        const int app = int(Kind::Application);
        const QByteArray both =
            R"({"UpdateFW":[{"FW":"x7","Ver":"lower","Url":"u0","Name":"n0"},)"
            R"({"FW":"X7","Ver":"V2.0","Url":"https://h/fw","Name":"fw.bin"},)"
            R"({"FW":"X7","Ver":"second","Url":"u2","Name":"n2"}],)"
            R"("UpdateApplication":[{"app":"Talvex player","Ver":"mixed"},)"
            R"({"app":"The TALVEX VIDEO PLAYER","Ver":"V1.7","Url":"https://h/app","Name":"a.exe"}]})";
        QTest::newRow("object, first X7")
            << both << fw << true << QStringList{"X7", "V2.0", "https://h/fw", "fw.bin"};
        QTest::newRow("object, capital brand word inside")
            << both << app << true
            << QStringList{"The TALVEX VIDEO PLAYER", "V1.7", "https://h/app", "a.exe"};
        QTest::newRow("array uses element 0 only")
            << QByteArray(R"([{"UpdateFW":[]},{"UpdateFW":[{"FW":"X7","Ver":"1"}]}])") << fw << true
            << QStringList{"", "", "", ""};
        QTest::newRow("array element 0") << QByteArray("[" + both + "]") << fw << true
                                         << QStringList{"X7", "V2.0", "https://h/fw", "fw.bin"};
        QTest::newRow("empty array")
            << QByteArray("[]") << fw << true << QStringList{"", "", "", ""};
        QTest::newRow("missing members read empty")
            << QByteArray(R"({"UpdateFW":[{"FW":"X7","Ver":7}]})") << fw << true
            << QStringList{"X7", "", "", ""};
        QTest::newRow("no matching entry") << QByteArray(R"({"UpdateFW":[{"FW":"X8"}]})") << fw
                                           << true << QStringList{"", "", "", ""};
        QTest::newRow("not JSON") << QByteArray("<html>404</html>") << fw << false << QStringList();
        QTest::newRow("a bare number") << QByteArray("42") << app << false << QStringList();
    }
    void parsesTheChosenEntry()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, kind);
        QFETCH(bool, parsed);
        QFETCH(QStringList, record);
        const std::optional<JsonInfo_t> info = VersionFile::parseUpdateJson(json, Kind(kind));
        QCOMPARE(info.has_value(), parsed);
        if (parsed)
            QCOMPARE((QStringList{info->product, info->version, info->url, info->name}), record);
    }

    void bareFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bare");
        QTest::newRow("firmware") << "FW_X7.bin" << true;
        QTest::newRow("blank inside") << "TALVEX VIDEO PLAYER.exe" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("slash") << "../../etc/passwd" << false;
        QTest::newRow("absolute") << "/tmp/fw.bin" << false;
        QTest::newRow("backslash") << "..\\fw.bin" << false;
        QTest::newRow("drive") << "c:fw.bin" << false;
        QTest::newRow("dots inside") << "fw..bin" << false;
    }
    void bareFileNames()
    {
        QFETCH(QString, name);
        QTEST(VersionFile::isBareFileName(name), "bare");
    }

    void bundledConfigurationHoldsPlaceholdersOnly()
    {
        const UpdateConfig &config = UpdateConfig::current();
        for (const QUrl &url :
             {config.firmwareVersionUrl, config.applicationVersionUrl, config.cloudDownloadUrl}) {
            QVERIFY(url.isValid());
            QVERIFY2(url.host().endsWith(QLatin1String(".invalid")), qPrintable(url.toString()));
        }
        QCOMPARE(config.cloudFolder, QStringLiteral("/Windows Update/"));
    }
};

TALVEX_TEST_MAIN(TstVersionFile)
#include "tst_versionfile.moc"

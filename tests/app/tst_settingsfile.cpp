#include "settingkeys.h"
#include "settingsfile.h"
#include "testsupport.h"

#include <QApplication>
#include <QTemporaryDir>

class TstSettingsFile : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QMap<QString, QString> factory_;

    QString writeInfo(const QByteArray &content)
    {
        const QString path = dir_.filePath(QStringLiteral("info.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        factory_ = SettingsFile::loadFactory(QStringLiteral(":/excel/Parameter_TALVEX.txt"));
    }

    void factoryFileHoldsEveryStoredKeyInRange()
    {
        for (const SettingsFile::StoredKey &key : SettingsFile::storedKeys())
            QVERIFY2(SettingsFile::isValid(key, factory_.value(key.key)), qPrintable(key.key));
    }

    void savedChoicesReadBack()
    {
        QMap<QString, QString> table = factory_;
        table[SettingKeys::style] = QStringLiteral("1");
        table[SettingKeys::language] = QStringLiteral("11");
        table[SettingKeys::locationSecond] = QStringLiteral("3");
        table[SettingKeys::date] = QStringLiteral("2");
        const QString path = dir_.filePath(QStringLiteral("roundtrip.txt"));
        QVERIFY(SettingsFile::save(path, table));
        QCOMPARE(SettingsFile::load(path, factory_), table);
    }

    void badFilesGiveFactoryValuePerBadKey_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("keptKey");
        QTest::addColumn<QString>("keptValue");
        QTest::newRow("empty") << QByteArray() << QString() << QString();
        QTest::newRow("garbled") << QByteArray("\xff\xfe\x00garbage==\n=\n\x01\x02", 17)
                                 << QString() << QString();
        QTest::newRow("truncated")
            << QByteArray("Style=1\nLanguage=") << SettingKeys::style << QStringLiteral("1");
        QTest::newRow("out of range")
            << QByteArray("Style=7\nDate=-1\nDashcamLocationSecond=8\nMaps=1\n")
            << SettingKeys::maps << QStringLiteral("1");
        QTest::newRow("not numbers") << QByteArray("Style=white\nSpeed Unit=1.5\nDate=2\n")
                                     << SettingKeys::date << QStringLiteral("2");
    }

    void badFilesGiveFactoryValuePerBadKey()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, keptKey);
        QFETCH(QString, keptValue);
        const QMap<QString, QString> table = SettingsFile::load(writeInfo(content), factory_);
        for (const SettingsFile::StoredKey &key : SettingsFile::storedKeys()) {
            const QString expected = key.key == keptKey ? keptValue : factory_.value(key.key);
            QCOMPARE(table.value(key.key), expected);
        }
    }

    // Each key's smallest and largest value is kept, one more is refused.
    void boundsOfEveryKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("max");
        QTest::newRow("Style") << SettingKeys::style << 1;
        QTest::newRow("Language") << SettingKeys::language << 11;
        QTest::newRow("Speed Unit") << SettingKeys::speedUnit << 1;
        QTest::newRow("Date") << SettingKeys::date << 2;
        QTest::newRow("Maps") << SettingKeys::maps << 1;
        QTest::newRow("Mode") << SettingKeys::mode << 1;
        QTest::newRow("Automatically") << SettingKeys::automatically << 1;
        QTest::newRow("DisplayMode") << SettingKeys::displayMode << 1;
        QTest::newRow("DashcamLocationSecond") << SettingKeys::locationSecond << 7;
        QTest::newRow("VerticalFlip") << SettingKeys::verticalFlip << 1;
        QTest::newRow("SubVerticalFlip") << SettingKeys::subVerticalFlip << 1;
    }
    void boundsOfEveryKey()
    {
        QFETCH(QString, key);
        QFETCH(int, max);
        QCOMPARE(SettingsFile::storedKeys().size(), 11);
        const QMap<QString, QString> factory{{key, QStringLiteral("factory")}};
        const auto stored = [&](int value) {
            const QByteArray line = (key + QLatin1Char('=') + QString::number(value)).toUtf8();
            return SettingsFile::load(writeInfo(line), factory).value(key);
        };
        QCOMPARE(stored(max), QString::number(max));
        QCOMPARE(stored(0), QStringLiteral("0"));
        QCOMPARE(stored(max + 1), QStringLiteral("factory"));
        QCOMPARE(stored(-1), QStringLiteral("factory"));
    }

    void blanksAndCommentsAreTolerated()
    {
        const QByteArray text = "# Style=1\n  Speed Unit =  0  \r\n\tDate\t=\t2\n#Language=3\n";
        const QMap<QString, QString> table = SettingsFile::load(writeInfo(text), factory_);
        QCOMPARE(table.value(SettingKeys::speedUnit), QStringLiteral("0"));
        QCOMPARE(table.value(SettingKeys::date), QStringLiteral("2"));
        QCOMPARE(table.value(SettingKeys::style), factory_.value(SettingKeys::style));
        QCOMPARE(table.value(SettingKeys::language), factory_.value(SettingKeys::language));
        QCOMPARE(SettingsFile::parse("# Style=1\n#Date=2\n"), (QMap<QString, QString>()));
    }

    // Only stored keys that the table holds are written, in their fixed order.
    void saveWritesPresentStoredKeysOnly()
    {
        QMap<QString, QString> table;
        table.insert(SettingKeys::date, QStringLiteral("1"));
        table.insert(SettingKeys::style, QStringLiteral("0"));
        table.insert(QStringLiteral("NotStored"), QStringLiteral("5"));
        QCOMPARE(SettingsFile::serialize(table), QByteArray("Style=0\nDate=1\n"));
    }

    void missingFileGivesFactoryTable()
    {
        QCOMPARE(SettingsFile::load(dir_.filePath(QStringLiteral("absent.txt")), factory_),
                 factory_);
    }

    void unwritableFileReportsFailure()
    {
        QVERIFY(
            !SettingsFile::save(dir_.filePath(QStringLiteral("no/such/dir/info.txt")), factory_));
    }
};

TALVEX_TEST_MAIN(TstSettingsFile)
#include "tst_settingsfile.moc"

#include "settingsfile.h"
#include "settingkeys.h"
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
        QTest::newRow("garbled") << QByteArray("\xff\xfe\x00garbage==\n=\n\x01\x02", 17) << QString()
                                 << QString();
        QTest::newRow("truncated") << QByteArray("Style=1\nLanguage=") << SettingKeys::style
                                   << QStringLiteral("1");
        QTest::newRow("out of range") << QByteArray("Style=7\nDate=-1\nDashcamLocationSecond=8\nMaps=1\n")
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

    void missingFileGivesFactoryTable()
    {
        QCOMPARE(SettingsFile::load(dir_.filePath(QStringLiteral("absent.txt")), factory_), factory_);
    }

    void unwritableFileReportsFailure()
    {
        QVERIFY(!SettingsFile::save(dir_.filePath(QStringLiteral("no/such/dir/info.txt")), factory_));
    }
};

TALVEX_TEST_MAIN(TstSettingsFile)
#include "tst_settingsfile.moc"

// libFuzzer entry: any bytes, read as the settings file "info.txt".
#include "settingsfile.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QMap<QString, QString> factoryTable()
{
    QMap<QString, QString> table;
    for (const SettingsFile::StoredKey &key : SettingsFile::storedKeys())
        table.insert(key.key, QString::number(key.min));
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path =
        QDir::temp().filePath(QStringLiteral("fuzz_settings_%1.txt").arg(getpid()));
    static const QMap<QString, QString> factory = factoryTable();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(bytes) == bytes.size());
    }
    // Every stored key comes out with a value in its range, whatever the file holds.
    const QMap<QString, QString> table = SettingsFile::load(path, factory);
    check(table.keys() == factory.keys());
    for (const SettingsFile::StoredKey &key : SettingsFile::storedKeys())
        check(SettingsFile::isValid(key, table.value(key.key)));
    // What is written reads back the same.
    check(SettingsFile::save(path, table));
    check(SettingsFile::load(path, factory) == table);
    const QMap<QString, QString> parsed = SettingsFile::parse(bytes);
    check(SettingsFile::parse(SettingsFile::serialize(parsed)).size() <= parsed.size());
    return 0;
}

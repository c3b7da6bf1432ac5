#include "settingsfile.h"

#include "settingkeys.h"

#include <QFile>
#include <QSaveFile>

const QVector<SettingsFile::StoredKey> &SettingsFile::storedKeys()
{
    static const QVector<StoredKey> keys = {
        {SettingKeys::style, 0, 1},
        {SettingKeys::language, 0, 11},
        {SettingKeys::speedUnit, 0, 1},
        {SettingKeys::date, 0, 2},
        {SettingKeys::maps, 0, 1},
        {SettingKeys::mode, 0, 1},
        {SettingKeys::automatically, 0, 1},
        {SettingKeys::displayMode, 0, 1},
        {SettingKeys::locationSecond, 0, 7},
        {SettingKeys::verticalFlip, 0, 1},
        {SettingKeys::subVerticalFlip, 0, 1},
    };
    return keys;
}

QMap<QString, QString> SettingsFile::parse(const QByteArray &text)
{
    QMap<QString, QString> table;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        table.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return table;
}

QByteArray SettingsFile::serialize(const QMap<QString, QString> &table)
{
    QByteArray out;
    for (const StoredKey &stored : storedKeys()) {
        if (table.contains(stored.key))
            out += (stored.key + QLatin1Char('=') + table.value(stored.key) + QLatin1Char('\n')).toUtf8();
    }
    return out;
}

bool SettingsFile::isValid(const StoredKey &key, const QString &value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && number >= key.min && number <= key.max;
}

QMap<QString, QString> SettingsFile::load(const QString &path, const QMap<QString, QString> &factory)
{
    QMap<QString, QString> table = factory;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QMap<QString, QString> stored = parse(file.read(64 * 1024));
    for (const StoredKey &key : storedKeys()) {
        const auto it = stored.constFind(key.key);
        if (it != stored.constEnd() && isValid(key, it.value()))
            table.insert(key.key, QString::number(it.value().toInt()));
    }
    return table;
}

QMap<QString, QString> SettingsFile::loadFactory(const QString &resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

bool SettingsFile::save(const QString &path, const QMap<QString, QString> &table)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize(table));
    return file.commit();
}

// Reads and writes the settings file "info.txt": one "key=value" line per stored setting.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

class SettingsFile
{
public:
    struct StoredKey
    {
        QString key;
        int min;
        int max;
    };

    // The settings kept in the file, each with its valid range.
    static const QVector<StoredKey> &storedKeys();

    static QMap<QString, QString> parse(const QByteArray &text);
    static QByteArray serialize(const QMap<QString, QString> &table);

    // The factory table with every stored key that the file holds in range laid over it.
    // A missing, unreadable or garbled file leaves the factory values.
    static QMap<QString, QString> load(const QString &path, const QMap<QString, QString> &factory);

    // The factory table of a parameter file in the resource bundle.
    static QMap<QString, QString> loadFactory(const QString &resourcePath);

    // Writes the stored keys of table atomically; false when the file cannot be written.
    static bool save(const QString &path, const QMap<QString, QString> &table);

    static bool isValid(const StoredKey &key, const QString &value);
};

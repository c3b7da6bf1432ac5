#include "appsettings.h"

#include "appglobals.h"
#include "settingsfile.h"

#include <QDebug>
#include <QDir>

namespace AppSettings {

QString infoFilePath()
{
    return QDir::current().filePath(QStringLiteral("info.txt"));
}

QString factoryFilePath()
{
    return QStringLiteral(":/excel/Parameter_TALVEX.txt");
}

void load()
{
    gParameters = SettingsFile::load(infoFilePath(), SettingsFile::loadFactory(factoryFilePath()));
}

static bool save()
{
    const bool ok = SettingsFile::save(infoFilePath(), gParameters);
    if (!ok)
        qWarning() << "cannot write settings file" << infoFilePath();
    return ok;
}

bool set(const QString &key, int value)
{
    gParameters.insert(key, QString::number(value));
    return save();
}

bool restoreFactory()
{
    gParameters = SettingsFile::loadFactory(factoryFilePath());
    return save();
}

} // namespace AppSettings

#include "updateconfig.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

UpdateConfig &configInUse()
{
    static UpdateConfig config = [] {
        QFile file(QStringLiteral(":/excel/UpdateConfig.json"));
        return file.open(QIODevice::ReadOnly) ? UpdateConfig::fromJson(file.readAll())
                                              : UpdateConfig();
    }();
    return config;
}

} // namespace

UpdateConfig UpdateConfig::fromJson(const QByteArray &json)
{
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    UpdateConfig config;
    config.firmwareVersionUrl = QUrl(root.value(QStringLiteral("firmwareVersionUrl")).toString());
    config.applicationVersionUrl =
        QUrl(root.value(QStringLiteral("applicationVersionUrl")).toString());
    config.cloudDownloadUrl = QUrl(root.value(QStringLiteral("cloudDownloadUrl")).toString());
    config.cloudFolder = root.value(QStringLiteral("cloudFolder")).toString();
    config.cloudToken = root.value(QStringLiteral("cloudToken")).toString().toUtf8();
    const qint64 maxBytes = qint64(root.value(QStringLiteral("publishedFileMaxBytes")).toDouble());
    if (maxBytes > 0)
        config.publishedFileMaxBytes = maxBytes;
    return config;
}

const UpdateConfig &UpdateConfig::current()
{
    return configInUse();
}

void UpdateConfig::setCurrent(const UpdateConfig &config)
{
    configInUse() = config;
}

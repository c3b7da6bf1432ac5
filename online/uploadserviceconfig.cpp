#include "uploadserviceconfig.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

bool UploadServiceConfig::isValid() const
{
    return authUrl.isValid() && !authUrl.isEmpty() && tokenUrl.isValid() && !tokenUrl.isEmpty() &&
           uploadUrl.isValid() && !uploadUrl.isEmpty() && !clientId.isEmpty();
}

bool UploadServiceConfig::isPlaceholder() const
{
    for (const QUrl &url : {authUrl, tokenUrl, uploadUrl}) {
        const QString host = url.host().toLower();
        if (host == QLatin1String("invalid") || host.endsWith(QLatin1String(".invalid")))
            return true;
    }
    return false;
}

UploadServiceConfig UploadServiceConfig::fromJson(const QByteArray &json, QString *error)
{
    UploadServiceConfig config;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        if (error)
            *error = parseError.errorString();
        return config;
    }
    const QJsonObject installed = document.object().value(QStringLiteral("installed")).toObject();
    config.authUrl = QUrl(installed.value(QStringLiteral("auth_uri")).toString());
    config.tokenUrl = QUrl(installed.value(QStringLiteral("token_uri")).toString());
    config.clientId = installed.value(QStringLiteral("client_id")).toString();
    config.clientSecret = installed.value(QStringLiteral("client_secret")).toString();
    const QJsonObject service = document.object().value(QStringLiteral("service")).toObject();
    config.scope = service.value(QStringLiteral("scope")).toString();
    config.uploadUrl = QUrl(service.value(QStringLiteral("upload_uri")).toString());
    const int port = service.value(QStringLiteral("redirect_port")).toInt(config.redirectPort);
    if (port >= 0 && port <= 65535)
        config.redirectPort = quint16(port);
    if (error)
        *error = config.isValid() ? QString() : QStringLiteral("incomplete service record");
    return config;
}

UploadServiceConfig UploadServiceConfig::bundled()
{
    QFile file(QStringLiteral(":/excel/UploadService.json"));
    if (!file.open(QIODevice::ReadOnly))
        return UploadServiceConfig();
    return fromJson(file.readAll());
}

namespace {
UploadServiceConfig &configInUse()
{
    static UploadServiceConfig config = UploadServiceConfig::bundled();
    return config;
}
} // namespace

const UploadServiceConfig &UploadServiceConfig::current()
{
    return configInUse();
}

void UploadServiceConfig::setCurrent(const UploadServiceConfig &config)
{
    configInUse() = config;
}

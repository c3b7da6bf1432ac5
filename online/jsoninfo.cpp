#include "jsoninfo.h"

#include "replyrules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace VersionFile {

namespace {

bool matches(const QJsonObject &entry, Kind kind)
{
    if (kind == Kind::Firmware)
        return entry.value(QStringLiteral("FW")).toString() == QLatin1String("X7");
    return entry.value(QStringLiteral("app")).toString().contains(QLatin1String("TALVEX"));
}

} // namespace

std::optional<JsonInfo_t> parseUpdateJson(const QByteArray &bytes, Kind kind)
{
    const QJsonDocument document = QJsonDocument::fromJson(QString::fromUtf8(bytes).toUtf8());
    QJsonObject root;
    if (document.isArray())
        root = document.array().at(0).toObject();
    else if (document.isObject())
        root = document.object();
    else
        return std::nullopt;

    const QString member =
        kind == Kind::Firmware ? QStringLiteral("UpdateFW") : QStringLiteral("UpdateApplication");
    const QString productKey =
        kind == Kind::Firmware ? QStringLiteral("FW") : QStringLiteral("app");
    JsonInfo_t info;
    for (const QJsonValue &value : root.value(member).toArray()) {
        const QJsonObject entry = value.toObject();
        if (!matches(entry, kind))
            continue;
        info.product = entry.value(productKey).toString();
        info.version = entry.value(QStringLiteral("Ver")).toString();
        info.url = entry.value(QStringLiteral("Url")).toString();
        info.name = entry.value(QStringLiteral("Name")).toString();
        break;
    }
    return info;
}

bool isBareFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && !name.contains(QLatin1String("..")) &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QLatin1Char(':'));
}

bool isSafeLink(const QString &url)
{
    const QUrl link(url);
    if (link.scheme() == QLatin1String("https"))
        return !link.host().isEmpty();
    return link.scheme() == QLatin1String("http") && ReplyRules::isLoopbackHost(link.host());
}

} // namespace VersionFile

#include "uploadrequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>

namespace UploadRequest {

QByteArray jsonStringContents(const QByteArray &utf8)
{
    // ["..."] in compact form: strip the brackets and the quotes
    const QByteArray array =
        QJsonDocument(QJsonArray{QString::fromUtf8(utf8)}).toJson(QJsonDocument::Compact);
    return array.mid(2, array.size() - 4);
}

QByteArray metadataJson(const QByteArray &title, const QByteArray &description,
                        const QByteArray &privacyStatus)
{
    return QByteArrayLiteral("{\"kind\": \"youtube#video\",\"snippet\": {\"title\": \"") +
           jsonStringContents(title) + QByteArrayLiteral("\",\"description\": \"") +
           jsonStringContents(description) +
           QByteArrayLiteral("\",\"tags\": [\"youtube-cors-upload\"],\"categoryId\": \"22\"},"
                             "\"status\": {\"privacyStatus\": \"") +
           jsonStringContents(privacyStatus) + QByteArrayLiteral("\"}}");
}

QUrl browserUrl(const QUrl &url)
{
    QUrl copy(url);
    QUrlQuery query(copy.query(QUrl::FullyEncoded));
    query.addQueryItem(QStringLiteral("prompt"), QStringLiteral("consent"));
    query.addQueryItem(QStringLiteral("access_type"), QStringLiteral("offline"));
    copy.setQuery(query);
    return copy;
}

QByteArray authorizationHeader(const QString &token)
{
    return QStringLiteral("Bearer %1").arg(token).toLatin1();
}

} // namespace UploadRequest

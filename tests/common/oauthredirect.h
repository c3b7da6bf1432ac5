// Plays an OAuth2 service's redirect into the client's loopback listener, as the browser would.
#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QUrl>
#include <QUrlQuery>

namespace OAuthRedirect {

// Sends the redirect named by browserUrl's "redirect_uri" with rawCodeQuery and the state;
// the listener's HTTP status, or 0 when nobody listens.
inline int play(const QUrl &browserUrl, const QByteArray &rawCodeQuery)
{
    const QUrlQuery query(browserUrl);
    QUrl redirect(query.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
    const QByteArray state =
        QUrl::toPercentEncoding(query.queryItemValue(QStringLiteral("state"), QUrl::FullyDecoded));
    redirect.setQuery(QString::fromLatin1(rawCodeQuery + "&state=" + state), QUrl::StrictMode);
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(redirect));
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(10000);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    delete reply;
    return status;
}

} // namespace OAuthRedirect

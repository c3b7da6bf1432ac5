#include "replyrules.h"

#include <QHostAddress>

namespace ReplyRules {

QNetworkReply::NetworkError statusError(int status)
{
    switch (status) {
    case 400:
        return QNetworkReply::ProtocolInvalidOperationError;
    case 401:
        return QNetworkReply::AuthenticationRequiredError;
    case 403:
        return QNetworkReply::ContentAccessDenied;
    case 404:
        return QNetworkReply::ContentNotFoundError;
    case 405:
        return QNetworkReply::ContentOperationNotPermittedError;
    case 409:
        return QNetworkReply::ContentConflictError;
    case 410:
        return QNetworkReply::ContentGoneError;
    case 500:
        return QNetworkReply::InternalServerError;
    case 501:
        return QNetworkReply::OperationNotImplementedError;
    case 503:
        return QNetworkReply::ServiceUnavailableError;
    default:
        return status > 500 ? QNetworkReply::UnknownServerError
                            : QNetworkReply::UnknownContentError;
    }
}

QNetworkReply::NetworkError curlError(CURLcode result)
{
    switch (result) {
    case CURLE_COULDNT_CONNECT:
        return QNetworkReply::ConnectionRefusedError;
    case CURLE_COULDNT_RESOLVE_HOST:
        return QNetworkReply::HostNotFoundError;
    case CURLE_OPERATION_TIMEDOUT:
        return QNetworkReply::TimeoutError;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
        return QNetworkReply::SslHandshakeFailedError;
    case CURLE_PARTIAL_FILE: // a body that ends short: connection closed
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return QNetworkReply::RemoteHostClosedError;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_OUT_OF_MEMORY: // curl 7.88 says so of a head line past its 100 KiB
        return QNetworkReply::ProtocolFailure;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

bool isLoopbackHost(const QString &host)
{
    return QHostAddress(host).isLoopback();
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    const auto port = [](const QUrl &url) {
        return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
    };
    return a.scheme() == b.scheme() && a.host() == b.host() && port(a) == port(b);
}

bool isRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QNetworkReply::NetworkError redirectRefusal(QNetworkRequest::RedirectPolicy policy,
                                            const QUrl &from, const QUrl &to, int redirectsLeft)
{
    const QString scheme = to.scheme();
    if (!to.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QNetworkReply::ProtocolUnknownError;
    if (redirectsLeft <= 0)
        return QNetworkReply::TooManyRedirectsError;
    if ((policy == QNetworkRequest::SameOriginRedirectPolicy && !sameOrigin(from, to)) ||
        (from.scheme() == QLatin1String("https") && scheme == QLatin1String("http")) ||
        (scheme == QLatin1String("http") && !isLoopbackHost(to.host())))
        return QNetworkReply::InsecureRedirectError;
    return QNetworkReply::NoError;
}

} // namespace ReplyRules

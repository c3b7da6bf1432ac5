// The rules a libcurl-carried reply answers by as Qt's HTTP reply does: Qt's error codes for HTTP
// statuses and curl's results, where plain HTTP may go, and which redirects may be followed.
#pragma once

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <curl/curl.h>

namespace ReplyRules {

// Qt's code for an HTTP error status (400 and above).
QNetworkReply::NetworkError statusError(int status);
// Qt's code for how curl ended a transfer (not CURLE_OK).
QNetworkReply::NetworkError curlError(CURLcode result);

// True for the addresses 127.0.0.0/8 and ::1: the hosts plain HTTP may go to (a name, even
// "localhost", is not resolved here and is no such host).
bool isLoopbackHost(const QString &host);
// Same scheme, host and port.
bool sameOrigin(const QUrl &a, const QUrl &b);
// 301, 302, 303, 307 and 308: the statuses a redirect policy may follow.
bool isRedirectStatus(int status);

// NoError when a redirect from `from` to `to` may be followed under policy with
// redirectsLeft more hops allowed; otherwise Qt's code for the refusal: ProtocolUnknownError for
// a target that is no HTTP(S) address, TooManyRedirectsError, InsecureRedirectError for a target
// of another origin under SameOrigin, HTTPS to HTTP, or plain HTTP off this machine.
QNetworkReply::NetworkError redirectRefusal(QNetworkRequest::RedirectPolicy policy,
                                            const QUrl &from, const QUrl &to, int redirectsLeft);

} // namespace ReplyRules

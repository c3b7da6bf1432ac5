#include "curlaccessmanager.h"

#include "curlmulti.h"
#include "curlreply.h"

CurlAccessManager::CurlAccessManager(QObject *parent)
    : QNetworkAccessManager(parent), multi_(CurlMulti::forThisThread())
{
}

CurlAccessManager::~CurlAccessManager() = default;

QNetworkReply *CurlAccessManager::createRequest(Operation op, const QNetworkRequest &request,
                                                QIODevice *outgoingData)
{
    CurlReply::Policy policy;
    policy.transferTimeoutMs =
        request.transferTimeout() > 0 ? request.transferTimeout() : transferTimeout();
    const QVariant redirects = request.attribute(QNetworkRequest::RedirectPolicyAttribute);
    policy.redirects = redirects.isValid()
                           ? static_cast<QNetworkRequest::RedirectPolicy>(redirects.toInt())
                           : redirectPolicy();
    return new CurlReply(multi_, op, request, outgoingData, policy, this);
}

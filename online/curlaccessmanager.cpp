#include "curlaccessmanager.h"

#include "curlreply.h"
#include "curlworker.h"

CurlAccessManager::CurlAccessManager(QObject *parent)
    : QNetworkAccessManager(parent), worker_(CurlWorker::shared())
{
}

CurlAccessManager::~CurlAccessManager() = default;

QNetworkReply *CurlAccessManager::createRequest(Operation op, const QNetworkRequest &request,
                                                QIODevice *outgoingData)
{
    CurlReply::Policy policy;
    policy.transferTimeoutMs =
        request.transferTimeout() > 0 ? request.transferTimeout() : transferTimeout();
    policy.pace = pace_;
    const QVariant redirects = request.attribute(QNetworkRequest::RedirectPolicyAttribute);
    policy.redirects = redirects.isValid()
                           ? static_cast<QNetworkRequest::RedirectPolicy>(redirects.toInt())
                           : redirectPolicy();
    return new CurlReply(worker_, op, request, outgoingData, policy, this);
}

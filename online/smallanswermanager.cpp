#include "smallanswermanager.h"

#include "answerguard.h"

SmallAnswerManager::SmallAnswerManager(QObject *parent) : CurlAccessManager(parent)
{
    setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    setTransferTimeout(NetworkLimits::transferTimeoutMs);
}

QNetworkReply *SmallAnswerManager::createRequest(Operation op, const QNetworkRequest &request,
                                                 QIODevice *outgoingData)
{
    QNetworkReply *reply = CurlAccessManager::createRequest(op, request, outgoingData);
    AnswerGuard::guard(reply, AnswerGuard::smallAnswer(answerDeadlineMs_));
    return reply;
}

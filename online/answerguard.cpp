#include "answerguard.h"

#include "networklimits.h"

AnswerGuard::Limits AnswerGuard::smallAnswer(int deadlineMs)
{
    // room beyond the limit, so that a larger answer shows: the reply pauses only once its read
    // buffer is full
    return {2 * NetworkLimits::smallAnswerMaxBytes, NetworkLimits::smallAnswerMaxBytes, deadlineMs};
}

void AnswerGuard::guard(QNetworkReply *reply, const Limits &limits)
{
    new AnswerGuard(reply, limits);
}

QNetworkReply::NetworkError AnswerGuard::endOf(const QNetworkReply *reply)
{
    const auto *guard = reply->findChild<AnswerGuard *>(QString(), Qt::FindDirectChildrenOnly);
    return guard ? guard->end_ : QNetworkReply::NoError;
}

AnswerGuard::AnswerGuard(QNetworkReply *reply, const Limits &limits)
    : QObject(reply), reply_(reply), limits_(limits)
{
    if (limits_.readBufferBytes > 0)
        reply->setReadBufferSize(limits_.readBufferBytes);
    if (limits_.unreadMaxBytes > 0)
        connect(reply, &QNetworkReply::readyRead, this, &AnswerGuard::onReadyRead);
    if (limits_.deadlineMs > 0) {
        deadline_.setSingleShot(true);
        deadline_.setInterval(limits_.deadlineMs);
        connect(&deadline_, &QTimer::timeout, this, [this] { stop(QNetworkReply::TimeoutError); });
        connect(reply, &QNetworkReply::uploadProgress, this, &AnswerGuard::onUploadProgress);
        deadline_.start();
    }
}

void AnswerGuard::onReadyRead()
{
    if (reply_->bytesAvailable() > limits_.unreadMaxBytes)
        stop(QNetworkReply::UnknownContentError);
}

void AnswerGuard::onUploadProgress(qint64 sent, qint64 total)
{
    // the answer's time counts from the end of the request body: a large upload may take long
    if (total > 0 && sent < total)
        deadline_.stop();
    else if (total > 0 && end_ == QNetworkReply::NoError)
        deadline_.start();
}

void AnswerGuard::stop(QNetworkReply::NetworkError why)
{
    if (end_ != QNetworkReply::NoError || !reply_->isRunning())
        return;
    end_ = why;
    deadline_.stop();
    reply_->abort();
}

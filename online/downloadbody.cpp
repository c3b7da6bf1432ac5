#include "downloadbody.h"

#include "answerguard.h"
#include "curlreply.h"
#include "replyrules.h"

#include <QNetworkRequest>

#include <limits>

DownloadBody::DownloadBody(qint64 maxBytes, const QString &targetPath, QObject *parent)
    : QObject(parent), maxBytes_(maxBytes), target_(targetPath)
{
}

DownloadBody::~DownloadBody()
{
    // a transfer still running leaves nothing (its part goes with part_); an ended one was
    // settled by onFinished()
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

bool DownloadBody::open()
{
    if (target_.isEmpty())
        return true;
    part_ = std::make_unique<PartFile>(target_);
    return part_->create();
}

void DownloadBody::attach(QNetworkReply *reply, int deadlineMs)
{
    reply_ = reply;
    AnswerGuard::guard(reply, {NetworkLimits::streamReadBufferBytes, 0, deadlineMs});
    connect(reply, &QNetworkReply::metaDataChanged, this, &DownloadBody::onMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &DownloadBody::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &DownloadBody::onFinished);
}

void DownloadBody::cancel()
{
    stop(End::Failed, QNetworkReply::OperationCanceledError);
}

bool DownloadBody::answerIsFile() const
{
    return status_ == 200;
}

void DownloadBody::onMetaData()
{
    if (!reply_)
        return;
    status_ = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!answerIsFile()) {
        // nothing of its body is wanted: an error status keeps its code
        stop(End::Failed, status_ >= 400 ? ReplyRules::statusError(status_)
                                         : QNetworkReply::UnknownContentError);
        return;
    }
    bool known = false;
    const qint64 length = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    announced_ = known ? length : -1;
    if (announced_ > maxBytes_)
        stop(End::Failed, QNetworkReply::UnknownContentError);
}

void DownloadBody::onReadyRead()
{
    if (!reply_ || stopped_)
        return;
    const qint64 available =
        qMin<qint64>(reply_->bytesAvailable(), std::numeric_limits<int>::max());
    received_ += available;
    if (received_ > maxBytes_) {
        stop(End::Failed, QNetworkReply::UnknownContentError);
        return;
    }
    if (!part_)
        data_ += reply_->read(available);
    else if (pass(&part_->file(), available) != available)
        stop(End::WriteFailed, QNetworkReply::NoError);
}

qint64 DownloadBody::pass(QIODevice *to, qint64 count)
{
    // the program's replies hand their bytes over without a copy through chunk_
    if (auto *curl = qobject_cast<CurlReply *>(reply_.data()))
        return curl->readInto(to, count);
    // one buffer for every read: a new one per read would make the heap grow and shrink
    chunk_.resize(int(count));
    const qint64 read = qMax<qint64>(reply_->read(chunk_.data(), count), 0);
    return to->write(chunk_.constData(), read);
}

void DownloadBody::stop(End end, QNetworkReply::NetworkError error)
{
    if (stopped_ || !reply_)
        return;
    stopped_ = true;
    end_ = end;
    error_ = error;
    reply_->abort(); // finished() follows at once
}

void DownloadBody::onFinished()
{
    QNetworkReply *reply = reply_;
    if (!reply)
        return;
    if (!stopped_ && reply->bytesAvailable() > 0)
        onReadyRead();
    if (!stopped_) {
        QNetworkReply::NetworkError error = reply->error();
        if (error == QNetworkReply::OperationCanceledError)
            error = QNetworkReply::TimeoutError; // not cancelled here: idle or past its deadline
        else if (error == QNetworkReply::NoError && !answerIsFile())
            error = QNetworkReply::UnknownContentError; // no head of a file came
        else if (error == QNetworkReply::NoError && announced_ >= 0 && received_ != announced_)
            error = QNetworkReply::RemoteHostClosedError; // bytes missing
        end_ = error == QNetworkReply::NoError ? End::Complete : End::Failed;
        error_ = error;
    }
    if (part_) {
        part_->file().close();
        if (end_ == End::Complete && part_->file().error() != QFileDevice::NoError)
            end_ = End::WriteFailed;
    }
    if (end_ != End::Complete) {
        data_.clear();
        part_.reset(); // removes it
    }
    reply_ = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    emit ended();
}

#include "downloadbody.h"

#include "answerguard.h"
#include "replyrules.h"

#include <QNetworkRequest>

#include <limits>

DownloadBody::DownloadBody(qint64 maxBytes, const QString &targetPath, int writeStallMs,
                           QObject *parent)
    : QObject(parent), maxBytes_(maxBytes)
{
    if (targetPath.isEmpty())
        return;
    writer_ = std::make_unique<PartWriter>(targetPath, writeStallMs);
    connect(writer_.get(), &PartWriter::created, this, &DownloadBody::opened);
    connect(writer_.get(), &PartWriter::drained, this, &DownloadBody::onReadyRead);
    connect(writer_.get(), &PartWriter::closed, this, &DownloadBody::finish);
    connect(writer_.get(), &PartWriter::removed, this, &DownloadBody::finish);
    connect(writer_.get(), &PartWriter::failed, this, &DownloadBody::onWriterFailed);
}

DownloadBody::~DownloadBody()
{
    // the writer goes after this: it removes a part not yet settled on its own thread
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void DownloadBody::open()
{
    if (writer_)
        writer_->create();
}

void DownloadBody::attach(QNetworkReply *reply, int deadlineMs)
{
    phase_ = Phase::Receiving;
    reply_ = reply;
    AnswerGuard::guard(reply, {NetworkLimits::streamReadBufferBytes, 0, deadlineMs});
    connect(reply, &QNetworkReply::metaDataChanged, this, &DownloadBody::onMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &DownloadBody::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &DownloadBody::onFinished);
}

void DownloadBody::cancel()
{
    if (phase_ != Phase::Opening) {
        stop(End::Failed, QNetworkReply::OperationCanceledError);
        return;
    }
    end_ = End::Failed;
    error_ = QNetworkReply::OperationCanceledError;
    settle();
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
    // a writer behind holds the rest in the reply, whose transfer pauses once its buffer is full
    if (!writer_ || !writer_->isFull())
        take();
}

void DownloadBody::take()
{
    if (!reply_ || stopped_)
        return;
    const qint64 available =
        qMin<qint64>(reply_->bytesAvailable(), std::numeric_limits<int>::max());
    if (available <= 0)
        return;
    received_ += available;
    if (received_ > maxBytes_) {
        stop(End::Failed, QNetworkReply::UnknownContentError);
        return;
    }
    if (writer_)
        writer_->write(reply_->read(available));
    else
        data_ += reply_->read(available);
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
    // the reply waited for the writer: an idle timeout then is the drive's fault, not the peer's
    const bool heldForDrive = writer_ && writer_->isFull();
    if (!stopped_ && reply->bytesAvailable() > 0)
        take(); // the rest, however far behind the writer is
    if (!stopped_) {
        QNetworkReply::NetworkError error = reply->error();
        if (error == QNetworkReply::OperationCanceledError)
            error = QNetworkReply::TimeoutError; // not cancelled here: idle or past its deadline
        else if (error == QNetworkReply::NoError && !answerIsFile())
            error = QNetworkReply::UnknownContentError; // no head of a file came
        else if (error == QNetworkReply::NoError && announced_ >= 0 && received_ != announced_)
            error = QNetworkReply::RemoteHostClosedError; // bytes missing
        end_ = error == QNetworkReply::NoError ? End::Complete : End::Failed;
        if (error == QNetworkReply::TimeoutError && heldForDrive)
            end_ = End::WriteFailed;
        error_ = error;
    }
    reply_ = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    settle();
}

void DownloadBody::settle()
{
    phase_ = Phase::Settling;
    if (end_ != End::Complete)
        data_.clear();
    if (!writer_ || writer_->hasFailed())
        finish();
    else if (end_ == End::Complete)
        writer_->close();
    else
        writer_->abandon();
}

void DownloadBody::onWriterFailed()
{
    switch (phase_) {
    case Phase::Opening:
        end_ = End::WriteFailed;
        error_ = QNetworkReply::NoError;
        break;
    case Phase::Receiving:
        stop(End::WriteFailed, QNetworkReply::NoError); // onFinished() settles
        return;
    case Phase::Settling:
        if (end_ == End::Complete)
            end_ = End::WriteFailed; // the close failed or did not end
        break;
    case Phase::Ended:
        return;
    }
    finish();
}

void DownloadBody::finish()
{
    if (phase_ == Phase::Ended)
        return;
    phase_ = Phase::Ended;
    emit ended();
}

#include "downloadbody.h"

#include <QNetworkRequest>

#include <cstdio>

namespace {
// Qt reads ahead at most this much while a slot writes the body out.
constexpr qint64 readBufferBytes = 1024 * 1024;
} // namespace

DownloadBody::DownloadBody(qint64 maxBytes, const QString &targetPath, QObject *parent)
    : QObject(parent), maxBytes_(maxBytes), toFile_(!targetPath.isEmpty())
{
    if (toFile_)
        part_.setFileName(targetPath + QStringLiteral(".part"));
}

DownloadBody::~DownloadBody()
{
    // a transfer still running leaves nothing; an ended one was settled by onFinished()
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
        part_.close();
        if (toFile_)
            part_.remove();
    }
}

bool DownloadBody::open()
{
    // unbuffered: a full disk shows at the write that hits it
    return !toFile_ ||
           part_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void DownloadBody::attach(QNetworkReply *reply)
{
    reply_ = reply;
    reply->setReadBufferSize(readBufferBytes);
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
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status <= 299;
}

void DownloadBody::onMetaData()
{
    if (!reply_ || !answerIsFile())
        return;
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
    const QByteArray bytes = reply_->readAll();
    received_ += bytes.size();
    if (received_ > maxBytes_) {
        stop(End::Failed, QNetworkReply::UnknownContentError);
        return;
    }
    if (!answerIsFile())
        return; // an error page: read and dropped
    if (!toFile_)
        data_ += bytes;
    else if (part_.write(bytes) != bytes.size())
        stop(End::WriteFailed, QNetworkReply::NoError);
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
            error = QNetworkReply::TimeoutError; // not cancelled here: the transfer timed out
        else if (error == QNetworkReply::NoError && !answerIsFile())
            error = QNetworkReply::UnknownContentError; // an answer that is no file
        else if (error == QNetworkReply::NoError && announced_ >= 0 && received_ != announced_)
            error = QNetworkReply::RemoteHostClosedError; // bytes missing
        end_ = error == QNetworkReply::NoError ? End::Complete : End::Failed;
        error_ = error;
    }
    part_.close();
    if (end_ == End::Complete && toFile_ && part_.error() != QFileDevice::NoError)
        end_ = End::WriteFailed;
    if (end_ != End::Complete) {
        data_.clear();
        if (toFile_)
            part_.remove();
    }
    reply_ = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    emit ended();
}

bool DownloadBody::replace(const QString &part, const QString &target)
{
    return std::rename(QFile::encodeName(part).constData(),
                       QFile::encodeName(target).constData()) == 0;
}

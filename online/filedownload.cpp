#include "filedownload.h"

#include "jsoninfo.h"
#include "updateconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QNetworkRequest>

namespace {

bool sameContents(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 chunk = 1024 * 1024;
    while (!first.atEnd()) {
        if (first.read(chunk) != second.read(chunk))
            return false;
    }
    return true;
}

} // namespace

FileDownload::FileDownload(QObject *parent) : QObject(parent)
{
    // Redirects are followed, but never from HTTPS to HTTP.
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    manager_.setTransferTimeout(NetworkLimits::transferTimeoutMs);
}

FileDownload::~FileDownload()
{
    // before the manager takes the reply with it: a running transfer leaves no part file
    delete body_.data();
}

void FileDownload::setTransferTimeout(int ms)
{
    manager_.setTransferTimeout(ms);
}

void FileDownload::setPaceBounds(const NetworkLimits::PaceBounds &bounds)
{
    manager_.setPaceBounds(bounds);
}

void FileDownload::startDownload(const QUrl &url, const QString &name, const QString &folder)
{
    {
        QMutexLocker lock(&mutex_);
        fileName_ = name;
    }
    if (body_) {
        body_->cancel();
        return;
    }
    const bool toFile = !folder.isEmpty();
    auto *body = new DownloadBody(toFile ? UpdateConfig::current().publishedFileMaxBytes
                                         : NetworkLimits::smallAnswerMaxBytes,
                                  toFile ? folder + QLatin1Char('/') + name : QString(), this);
    if ((toFile && !VersionFile::isBareFileName(name)) || !body->open()) {
        delete body;
        // queued: the caller disables its buttons after this returns
        QMetaObject::invokeMethod(
            this, [this] { emit saveFileFailed(1); }, Qt::QueuedConnection);
        return;
    }
    body_ = body;
    QNetworkReply *reply = manager_.get(QNetworkRequest(url));
    connect(reply, &QNetworkReply::downloadProgress, this, &FileDownload::downloadProgress);
    connect(body, &DownloadBody::ended, this, &FileDownload::onBodyEnded);
    // a published file may come slowly over a slow line; the version file is small
    body->attach(reply, toFile ? 0 : answerDeadlineMs_);
}

void FileDownload::abort()
{
    if (body_)
        body_->cancel();
}

QByteArray FileDownload::downloadedData() const
{
    QMutexLocker lock(&mutex_);
    return data_;
}

QString FileDownload::fileName() const
{
    QMutexLocker lock(&mutex_);
    return fileName_;
}

void FileDownload::onBodyEnded()
{
    DownloadBody *body = body_;
    body_ = nullptr;
    body->deleteLater();
    refusedStatus_ = body->refusedStatus();
    switch (body->end()) {
    case DownloadBody::End::Complete: {
        std::unique_ptr<PartFile> unsaved; // an earlier download nobody saved: removed
        {
            QMutexLocker lock(&mutex_);
            data_ = body->data();
            unsaved = std::exchange(readyPart_, body->takePart());
            readySize_ = body->size();
        }
        emit downloaded();
        break;
    }
    case DownloadBody::End::WriteFailed:
        emit saveFileFailed(1);
        break;
    case DownloadBody::End::Failed:
        emit downloadError(body->error());
        break;
    }
}

QString FileDownload::freeTarget(const QString &folder, const QString &name, const QString &part)
{
    const QString target = folder + QLatin1Char('/') + name;
    if (!QFileInfo::exists(target) || sameContents(target, part))
        return target;
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate =
            QStringLiteral("%1/%2 (%3)%4").arg(folder, info.completeBaseName()).arg(n).arg(suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool FileDownload::saveFile(const QString &folder, Existing existing)
{
    std::unique_ptr<PartFile> part; // removed unless committed
    QString name;
    qint64 size = 0;
    {
        QMutexLocker lock(&mutex_);
        part = std::move(readyPart_);
        size = readySize_;
        name = fileName_;
    }
    if (!part || name.isEmpty()) {
        emit saveFileFailed(1);
        return false;
    }
    const QString target = existing == Existing::Replace ? folder + QLatin1Char('/') + name
                                                         : freeTarget(folder, name, part->path());
    // the part's folder is the one it was downloaded into: the name goes in there
    if (!part->commitAs(QFileInfo(target).fileName())) {
        emit saveFileFailed(1);
        return false;
    }
    emit saveFileCompleted(target, name, int(size / 1024));
    return true;
}

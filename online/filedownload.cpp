#include "filedownload.h"

#include "descriptor.h"
#include "jsoninfo.h"
#include "partfile.h"
#include "updateconfig.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QNetworkRequest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr qint64 copyChunkBytes = 1024 * 1024;

bool hasEntry(int folderFd, const QString &name)
{
    struct stat entry = {};
    return ::fstatat(folderFd, QFile::encodeName(name).constData(), &entry, AT_SYMLINK_NOFOLLOW) ==
           0;
}

// The file name in the folder open at folderFd (never through a link) holds the bytes of the
// file open at contentFd.
bool sameContents(int folderFd, const QString &name, int contentFd)
{
    const Descriptor named(::openat(folderFd, QFile::encodeName(name).constData(),
                                    O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    QFile first;
    QFile second;
    if (!named.isValid() || !first.open(named.fd(), QIODevice::ReadOnly) ||
        !second.open(contentFd, QIODevice::ReadOnly) || first.size() != second.size() ||
        !second.seek(0))
        return false;
    while (!first.atEnd()) {
        if (first.read(copyChunkBytes) != second.read(copyChunkBytes))
            return false;
    }
    return true;
}

// Copies the part into a part file of the folder open at folderFd (named folderPath), which is
// then renamed to name there; the source part is left to its owner.
bool copyInto(PartFile &part, int folderFd, const QString &folderPath, const QString &name)
{
    const Descriptor source(part.reopen(O_RDONLY));
    QFile from;
    PartFile copy(folderFd, folderPath, name);
    if (!source.isValid() || !from.open(source.fd(), QIODevice::ReadOnly) || !copy.create())
        return false;
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(copyChunkBytes);
        if (chunk.isEmpty() || copy.file().write(chunk) != chunk.size())
            return false;
    }
    return copy.commit();
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

QString FileDownload::freeName(int folderFd, const QString &name, int contentFd)
{
    if (!hasEntry(folderFd, name) || sameContents(folderFd, name, contentFd))
        return name;
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate =
            QStringLiteral("%1 (%2)%3").arg(info.completeBaseName()).arg(n).arg(suffix);
        if (!hasEntry(folderFd, candidate))
            return candidate;
    }
}

bool FileDownload::saveFile(const QString &folder, Existing existing)
{
    std::unique_ptr<PartFile> part; // removed unless it went into place
    QString name;
    qint64 size = 0;
    {
        QMutexLocker lock(&mutex_);
        part = std::move(readyPart_);
        size = readySize_;
        name = fileName_;
    }
    // the folder asked for, looked up once: the name is chosen and the file put there through it
    const Descriptor target(
        ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!part || name.isEmpty() || !target.isValid()) {
        emit saveFileFailed(1);
        return false;
    }
    QString chosen = name;
    if (existing == Existing::KeepIfDifferent) {
        const Descriptor content(part->reopen(O_RDONLY));
        chosen = freeName(target.fd(), name, content.fd());
    }
    const bool saved = part->commitInto(target.fd(), chosen) ||
                       (errno == EXDEV && copyInto(*part, target.fd(), folder, chosen));
    if (!saved) {
        emit saveFileFailed(1);
        return false;
    }
    emit saveFileCompleted(folder + QLatin1Char('/') + chosen, name, int(size / 1024));
    return true;
}

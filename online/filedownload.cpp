#include "filedownload.h"

#include "descriptor.h"
#include "jsoninfo.h"
#include "partfile.h"
#include "updateconfig.h"
#include "workerpool.h"

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
    connect(&save_, &QFutureWatcher<Saved>::finished, this, [this] {
        // no thread for the save: it failed, and the part went with the task
        report(WorkerPool::resultOr(save_.future(), Saved()));
    });
}

FileDownload::~FileDownload()
{
    // before the manager takes the reply with it: a running transfer's part goes on its writer's
    // thread
    delete body_.data();
}

void FileDownload::setTransferTimeout(int ms)
{
    manager_.setTransferTimeout(ms);
}

void FileDownload::setPaceBounds(const NetworkLimits::PaceBounds &bounds)
{
    manager_.setPaceBounds(bounds);
    // a drive that takes no bytes holds the download up as a peer that sends none would
    writeStallMs_ = bounds.bodyWindowMs;
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
    if (toFile && !VersionFile::isBareFileName(name)) {
        // queued: the caller disables its buttons after this returns
        QMetaObject::invokeMethod(
            this, [this] { emit saveFileFailed(1); }, Qt::QueuedConnection);
        return;
    }
    auto *body = new DownloadBody(
        toFile ? UpdateConfig::current().publishedFileMaxBytes : NetworkLimits::smallAnswerMaxBytes,
        toFile ? folder + QLatin1Char('/') + name : QString(), writeStallMs_, this);
    body_ = body;
    connect(body, &DownloadBody::ended, this, &FileDownload::onBodyEnded);
    if (!toFile) {
        request(body, url, answerDeadlineMs_);
        return;
    }
    // sent once the part file is there: one that cannot be made ends the body as WriteFailed;
    // a published file may come slowly over a slow line, so no deadline
    connect(body, &DownloadBody::opened, this, [this, body, url] { request(body, url, 0); });
    body->open();
}

void FileDownload::request(DownloadBody *body, const QUrl &url, int deadlineMs)
{
    QNetworkReply *reply = manager_.get(QNetworkRequest(url));
    connect(reply, &QNetworkReply::downloadProgress, this, &FileDownload::downloadProgress);
    body->attach(reply, deadlineMs);
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
        ReadyPart unsaved; // an earlier download nobody saved: removed
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

ReadyPart FileDownload::takeReady(QString &name, qint64 &size)
{
    QMutexLocker lock(&mutex_);
    name = fileName_;
    size = readySize_;
    return std::move(readyPart_);
}

bool FileDownload::saveFile(const QString &folder, Existing existing)
{
    QString name;
    qint64 size = 0;
    const ReadyPart part = takeReady(name, size);
    return report(save(part.get(), folder, name, size, existing));
}

void FileDownload::saveInBackground(const QString &folder, Existing existing)
{
    QString name;
    qint64 size = 0;
    // the task owns the part: it may outlive this object on a drive that stopped answering
    const std::shared_ptr<PartFile> part = takeReady(name, size);
    save_.setFuture(
        WorkerPool::drives().run([=] { return save(part.get(), folder, name, size, existing); }));
}

bool FileDownload::report(const Saved &saved)
{
    if (saved.path.isEmpty()) {
        emit saveFileFailed(1);
        return false;
    }
    emit saveFileCompleted(saved.path, saved.name, saved.sizeKiB);
    return true;
}

FileDownload::Saved FileDownload::save(PartFile *part, const QString &folder, const QString &name,
                                       qint64 size, Existing existing)
{
    // the folder asked for, looked up once: the name is chosen and the file put there through it
    const Descriptor target(
        ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!part || name.isEmpty() || !target.isValid()) {
        if (part)
            part->discard();
        return {};
    }
    QString chosen = name;
    if (existing == Existing::KeepIfDifferent) {
        const Descriptor content(part->reopen(O_RDONLY));
        chosen = freeName(target.fd(), name, content.fd());
    }
    const bool saved = part->commitInto(target.fd(), chosen) ||
                       (errno == EXDEV && copyInto(*part, target.fd(), folder, chosen));
    part->discard(); // the source of a copy, or a part that did not go into place
    if (!saved)
        return {};
    return {folder + QLatin1Char('/') + chosen, name, int(size / 1024)};
}

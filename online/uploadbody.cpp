#include "uploadbody.h"

#include <QNetworkRequest>
#include <QRandomGenerator>

#include <sys/stat.h>

#include <cstring>

namespace {

QByteArray partStart(const QByteArray &boundary, const QByteArray &contentType)
{
    return "--" + boundary + "\r\nContent-Type: " + contentType + "\r\n\r\n";
}

} // namespace

UploadBody::UploadBody(const QString &path, const QByteArray &metadata, const QByteArray &boundary,
                       QObject *parent)
    : QIODevice(parent), file_(path), boundary_(boundary),
      head_(partStart(boundary, "application/json") + metadata + "\r\n" +
            partStart(boundary, "video/*")),
      tail_("\r\n--" + boundary + "--\r\n")
{
}

QByteArray UploadBody::newBoundary()
{
    quint32 random[6];
    QRandomGenerator::global()->fillRange(random);
    return "boundary_.oOo._" +
           QByteArray(reinterpret_cast<const char *>(random), sizeof random).toBase64();
}

bool UploadBody::open(OpenMode mode)
{
    if ((mode & ReadWrite) != ReadOnly) {
        setErrorString(QStringLiteral("The upload body can only be read"));
        return false;
    }
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        setErrorString(file_.errorString());
        return false;
    }
    opened_ = stamp();
    if (opened_.size < 0) {
        setErrorString(QStringLiteral("Cannot read the size of %1").arg(file_.fileName()));
        file_.close();
        return false;
    }
    announced_ = head_.size() + opened_.size + tail_.size();
    // no read-ahead: every byte is read when the transfer asks for it
    return QIODevice::open(ReadOnly | Unbuffered);
}

void UploadBody::close()
{
    file_.close();
    QIODevice::close();
}

void UploadBody::describe(QNetworkRequest &request) const
{
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArray("multipart/mixed; boundary=\"" + boundary_ + '"'));
    request.setRawHeader("MIME-Version", "1.0");
}

UploadBody::Stamp UploadBody::stamp() const
{
    struct stat status;
    if (fstat(file_.handle(), &status) != 0)
        return Stamp();
    return Stamp{qint64(status.st_size),
                 qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

qint64 UploadBody::fail()
{
    changed_ = true;
    setErrorString(QStringLiteral("%1 changed while it was uploaded").arg(file_.fileName()));
    return -1;
}

bool UploadBody::readFile(char *data, qint64 offset, qint64 maxSize)
{
    if (stamp() != opened_)
        return false;
    if (file_.pos() != offset && !file_.seek(offset))
        return false;
    // a regular file gives fewer bytes only at its end: it has been cut since the look above
    return file_.read(data, maxSize) == maxSize;
}

qint64 UploadBody::readData(char *data, qint64 maxSize)
{
    const qint64 at = pos();
    const qint64 fileEnd = head_.size() + opened_.size;
    qint64 done = 0;
    while (done < maxSize && at + done < announced_) {
        const qint64 offset = at + done;
        qint64 count;
        if (offset < head_.size()) {
            count = qMin(maxSize - done, head_.size() - offset);
            memcpy(data + done, head_.constData() + offset, size_t(count));
        } else if (offset < fileEnd) {
            count = qMin(maxSize - done, fileEnd - offset);
            if (!readFile(data + done, offset - head_.size(), count))
                return fail();
        } else {
            // the whole file has gone out: it must still be the file announced, not one that
            // has grown or been rewritten since its last read
            if (stamp() != opened_)
                return fail();
            count = qMin(maxSize - done, announced_ - offset);
            memcpy(data + done, tail_.constData() + (offset - fileEnd), size_t(count));
        }
        done += count;
    }
    return done;
}

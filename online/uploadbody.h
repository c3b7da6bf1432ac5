// The multipart body of one video upload, read straight from the video file: the metadata part,
// the file part and the closing boundary, exactly the length it announced when it was opened.
// Another program may rewrite the file meanwhile: a read fails once the file no longer matches
// what was announced (its size or modification time changed, or it gives fewer bytes). Read on
// the thread of the reply that sends it.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

class QNetworkRequest;

class UploadBody : public QIODevice
{
public:
    // metadata: the body of the JSON part; boundary: without its leading dashes.
    UploadBody(const QString &path, const QByteArray &metadata,
               const QByteArray &boundary = newBoundary(), QObject *parent = nullptr);

    // A fresh boundary: "boundary_.oOo._" and 24 random bytes in Base64, as Qt's own multipart
    // bodies have it.
    static QByteArray newBoundary();

    // ReadOnly only: opens the file and takes its size and modification time, which fix the
    // announced length. False, with the file's error, when it cannot be opened.
    bool open(OpenMode mode) override;
    void close() override;
    // The announced length, whatever the file does later.
    qint64 size() const override { return announced_; }
    bool isSequential() const override { return false; }
    // The request headers that describe this body: its content type with the boundary, and
    // MIME-Version.
    void describe(QNetworkRequest &request) const;
    // A read has found the file changed since open().
    bool fileChanged() const { return changed_; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    // The file's size and modification time, from its open handle.
    struct Stamp
    {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator!=(const Stamp &other) const
        {
            return size != other.size || modifiedNs != other.modifiedNs;
        }
    };
    Stamp stamp() const;
    // Reads up to maxSize file bytes from offset; false once the file has changed.
    bool readFile(char *data, qint64 offset, qint64 maxSize);
    qint64 fail();

    QFile file_;
    const QByteArray boundary_;
    QByteArray head_; // the metadata part and the header of the file part
    QByteArray tail_; // the file part's end and the closing boundary
    Stamp opened_;    // the file as it was at open()
    qint64 announced_ = 0;
    bool changed_ = false;
};

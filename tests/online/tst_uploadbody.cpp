// The upload body read from a real file: byte for byte the multipart body Qt builds, and a read
// that fails once another program has changed the file.
#include "changingfile.h"
#include "testsupport.h"
#include "uploadbody.h"
#include "uploadrequest.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>

#include <memory>

// What a request carries as Qt's network access manager hands it on: its headers and all of its
// body, read to the end. The request itself goes nowhere.
class CapturingManager : public QNetworkAccessManager
{
public:
    QNetworkRequest request;
    QByteArray body;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &req,
                                 QIODevice *outgoing) override
    {
        request = req;
        body = outgoing->readAll();
        return QNetworkAccessManager::createRequest(op, QNetworkRequest(QUrl("nowhere:")), nullptr);
    }
};

class TstUploadBody : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;

    static QByteArray pattern(qint64 size)
    {
        QByteArray bytes(int(size), Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 13) ^ (i >> 8));
        return bytes;
    }

    // A file of bytes whose modification time lies an hour back, so that any write moves it.
    QString writeVideo(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(name);
        ChangingFile::writeAged(path, bytes);
        return path;
    }

    // Reads body to its end in pieces of at most piece bytes; stops at the first failed read.
    static QByteArray readInPieces(QIODevice &body, qint64 piece, bool *failed = nullptr)
    {
        QByteArray all;
        QByteArray buffer(int(piece), '\0');
        for (;;) {
            const qint64 got = body.read(buffer.data(), piece);
            if (failed)
                *failed = got < 0;
            if (got <= 0)
                return all;
            all.append(buffer.constData(), int(got));
        }
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // For a file that stays as it is, the body and its headers are those of Qt's multipart body
    // of the same parts, byte for byte, however it is read, and again after a reset.
    void sameRequestAsQtMultipart_data()
    {
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<qint64>("piece");
        QTest::newRow("empty file, whole") << qint64(0) << qint64(1 << 20);
        QTest::newRow("one byte, byte by byte") << qint64(1) << qint64(1);
        QTest::newRow("3 MiB + 17, 7-byte reads") << qint64(3 * 1024 * 1024 + 17) << qint64(7);
        QTest::newRow("3 MiB + 17, upload buffer reads")
            << qint64(3 * 1024 * 1024 + 17) << qint64(1024 * 1024);
    }
    void sameRequestAsQtMultipart()
    {
        QFETCH(qint64, fileSize);
        QFETCH(qint64, piece);
        const QString path = writeVideo(QStringLiteral("same.mp4"), pattern(fileSize));
        const QByteArray metadata = UploadRequest::metadataJson("My \"trip\"", "", "Private");
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1/upload")));
        request.setRawHeader("Authorization", "Bearer t");

        // the body as Qt builds it
        CapturingManager qt;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QHttpMultiPart multiPart(QHttpMultiPart::MixedType);
        QHttpPart json;
        json.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        json.setBody(metadata);
        multiPart.append(json);
        QHttpPart video;
        video.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("video/*"));
        video.setBodyDevice(&file);
        multiPart.append(video);
        std::unique_ptr<QNetworkReply>(qt.post(request, &multiPart));

        // ours, with the same boundary
        UploadBody body(path, metadata, multiPart.boundary());
        QVERIFY(body.open(QIODevice::ReadOnly));
        QCOMPARE(body.size(), qint64(qt.body.size()));
        QNetworkRequest ours(request);
        body.describe(ours);
        QCOMPARE(ours.rawHeaderList(), qt.request.rawHeaderList());
        for (const QByteArray &name : ours.rawHeaderList())
            QCOMPARE(ours.rawHeader(name), qt.request.rawHeader(name));
        QCOMPARE(readInPieces(body, piece), qt.body);
        QVERIFY(body.reset());
        QCOMPARE(readInPieces(body, piece), qt.body);
        QVERIFY(!body.fileChanged());

        // a fresh boundary has the form of Qt's own
        const QByteArray fresh = UploadBody::newBoundary();
        QCOMPARE(fresh.size(), multiPart.boundary().size());
        QCOMPARE(fresh.left(15), multiPart.boundary().left(15));
        QVERIFY(fresh != UploadBody::newBoundary());
    }

    // A file that changes after part of it was read fails the next read and every later one;
    // the body keeps the length it announced and never gives more.
    void changedFileFailsTheRead_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<qint64>("readFirst"); // file bytes read before the change
        const qint64 size = 1024 * 1024;
        QTest::newRow("cut to 0 bytes") << int(ChangingFile::TruncateTo) << qint64(0) << size / 4;
        QTest::newRow("cut behind the read position") << int(ChangingFile::TruncateTo) << size / 8 << size / 4;
        QTest::newRow("cut ahead of the read position") << int(ChangingFile::TruncateTo) << size / 2 << size / 4;
        QTest::newRow("grown") << int(ChangingFile::Append) << qint64(4096) << size / 4;
        QTest::newRow("grown once the whole file was read") << int(ChangingFile::Append) << qint64(1) << size;
        QTest::newRow("rewritten in place") << int(ChangingFile::RewriteAt) << size / 2 << size / 4;
        QTest::newRow("rewritten where it was read") << int(ChangingFile::RewriteAt) << qint64(0) << size / 4;
        QTest::newRow("modification time moved") << int(ChangingFile::TouchOnly) << qint64(0) << size / 4;
    }
    void changedFileFailsTheRead()
    {
        QFETCH(int, how);
        QFETCH(qint64, amount);
        QFETCH(qint64, readFirst);
        const qint64 fileSize = 1024 * 1024;
        const QString path = writeVideo(QStringLiteral("changing.mp4"), pattern(fileSize));
        const QByteArray boundary = UploadBody::newBoundary();
        UploadBody body(path, UploadRequest::metadataJson("t", "", "Public"), boundary);
        QVERIFY(body.open(QIODevice::ReadOnly));
        const qint64 announced = body.size();
        const qint64 tail = QByteArray("\r\n--" + boundary + "--\r\n").size();
        const qint64 head = announced - fileSize - tail;
        QCOMPARE(body.read(head + readFirst).size(), int(head + readFirst));

        ChangingFile::change(path, ChangingFile::Change(how), amount);
        bool failed = false;
        const QByteArray rest = readInPieces(body, 64 * 1024, &failed);
        QVERIFY(failed);
        QVERIFY(body.fileChanged());
        QVERIFY(rest.isEmpty());
        QCOMPARE(body.size(), announced);
        char byte;
        QCOMPARE(body.read(&byte, 1), qint64(-1));
    }

    // A file that gives fewer bytes than its size said fails the read at that point. A file of
    // the kernel's does so without changing: its size is a page, its content a line.
    void fileGivingFewerBytesFailsTheRead()
    {
        const QString path = QStringLiteral("/sys/devices/system/cpu/online");
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly) || probe.size() <= probe.readAll().size())
            QSKIP("no sysfs file whose size says more than it holds");
        UploadBody body(path, UploadRequest::metadataJson("t", "", "Public"));
        QVERIFY(body.open(QIODevice::ReadOnly));
        bool failed = false;
        const QByteArray all = readInPieces(body, 1024 * 1024, &failed);
        QVERIFY(failed);
        QVERIFY(body.fileChanged());
        QVERIFY(all.size() < body.size());
    }
};

TALVEX_TEST_MAIN(TstUploadBody)
#include "tst_uploadbody.moc"

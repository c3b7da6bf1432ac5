// The libcurl-carried manager and reply as their callers use them, against real servers on
// 127.0.0.1: backpressure, Qt's codes for error statuses, the redirect rules, abort(), large
// request bodies, the bounds in time against a slow peer.
#include "curlaccessmanager.h"
#include "hostileanswers.h"
#include "networklimits.h"
#include "peakmemory.h"
#include "rawhttpserver.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QSignalSpy>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// A request body read as from a pipe when sequential: its size is not known beforehand.
class BodyDevice : public QIODevice
{
public:
    BodyDevice(const QByteArray &bytes, bool sequential) : bytes_(bytes), sequential_(sequential)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return sequential_; }
    qint64 size() const override { return bytes_.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, bytes_.size() - at_);
        memcpy(data, bytes_.constData() + at_, size_t(count));
        at_ += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const QByteArray bytes_;
    const bool sequential_;
    qint64 at_ = 0;
};

} // namespace

class TstCurlAccessManager : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    RawHttpServer raw;
    RawHttpServer paced; // answers of a slow peer
    std::atomic<bool> releaseStalls{false};

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QNetworkReply::NetworkError>();
        qRegisterMetaType<QNetworkReply *>();
        httplib::Server &s = http.server();
        s.Get(R"(/status/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            res.status = std::stoi(req.matches[1]);
            res.set_content("error page", "text/html");
        });
        const auto echo = [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(req.method + ":" + req.body, "text/plain");
        };
        s.Get("/echo", echo);
        s.Get("/empty", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("", "text/plain");
        });
        s.Get("/encodings", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content("[" + req.get_header_value("Accept-Encoding") + "]", "text/plain");
        });
        s.Post("/echo", echo);
        s.Post("/see-other", [](const httplib::Request &, httplib::Response &res) {
            res.set_redirect("/echo", 303);
        });
        s.Post("/temporary", [](const httplib::Request &, httplib::Response &res) {
            res.set_redirect("/echo", 307);
        });
        s.Get("/loop", [](const httplib::Request &, httplib::Response &res) {
            res.set_redirect("/loop", 302);
        });
        // reads the request body at 4 MiB/s, answers with its size
        s.Post("/slow-reader", [](const httplib::Request &, httplib::Response &res,
                                  const httplib::ContentReader &content) {
            qint64 size = 0;
            QElapsedTimer clock;
            clock.start();
            content([&](const char *, size_t length) {
                size += qint64(length);
                const qint64 dueMs = size * 1000 / (4 * 1024 * 1024);
                if (dueMs > clock.elapsed())
                    std::this_thread::sleep_for(std::chrono::milliseconds(dueMs - clock.elapsed()));
                return true;
            });
            res.set_content(std::to_string(size), "text/plain");
        });
        // reads nothing of the request body
        s.Post("/no-reader", [this](const httplib::Request &, httplib::Response &res,
                                    const httplib::ContentReader &) {
            TestHttpServer::stallUntil(releaseStalls);
            res.set_content("late", "text/plain");
        });
        QVERIFY(http.start());
        raw.setAnswer(HostileAnswers::endlessChunk('z'));
        QVERIFY(raw.start());
        QVERIFY(paced.start());
    }
    void cleanupTestCase()
    {
        releaseStalls = true;
        http.stop();
    }
    void init() { releaseStalls = false; }
    void cleanup()
    {
        releaseStalls = true;
        raw.release();
        paced.release();
    }

    // A reader that takes nothing holds the transfer at its read buffer (plus one read of
    // curl's); once it reads, the transfer goes on.
    void unreadBodyPausesTheTransfer_data()
    {
        QTest::addColumn<qint64>("readBuffer");
        QTest::newRow("default") << qint64(0);
        QTest::newRow("64 KiB") << qint64(64 * 1024);
        QTest::newRow("4 MiB") << qint64(4 * 1024 * 1024);
    }
    void unreadBodyPausesTheTransfer()
    {
        QFETCH(qint64, readBuffer);
        const qint64 limit = readBuffer > 0 ? readBuffer : NetworkLimits::streamReadBufferBytes;
        CurlAccessManager manager;
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(raw.url()))));
        reply->setReadBufferSize(readBuffer);
        QTRY_VERIFY(reply->bytesAvailable() >= limit);
        QTest::qWait(300); // a transfer not paused would go on at loopback speed
        QVERIFY2(reply->bytesAvailable() <= limit + NetworkLimits::curlBufferBytes,
                 qPrintable(QString::number(reply->bytesAvailable())));
        qint64 read = 0;
        while (read < 4 * limit + 1024 * 1024) {
            QTRY_VERIFY(reply->bytesAvailable() > 0);
            read += reply->readAll().size();
        }
        QVERIFY(reply->isRunning());
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
    }

    // An error status ends with Qt's code for it, after the body, which stays readable.
    void errorStatusKeepsItsBody_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("code");
        QTest::newRow("400") << 400 << int(QNetworkReply::ProtocolInvalidOperationError);
        QTest::newRow("401") << 401 << int(QNetworkReply::AuthenticationRequiredError);
        QTest::newRow("403") << 403 << int(QNetworkReply::ContentAccessDenied);
        QTest::newRow("404") << 404 << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("405") << 405 << int(QNetworkReply::ContentOperationNotPermittedError);
        QTest::newRow("409") << 409 << int(QNetworkReply::ContentConflictError);
        QTest::newRow("410") << 410 << int(QNetworkReply::ContentGoneError);
        QTest::newRow("429") << 429 << int(QNetworkReply::UnknownContentError);
        QTest::newRow("500") << 500 << int(QNetworkReply::InternalServerError);
        QTest::newRow("501") << 501 << int(QNetworkReply::OperationNotImplementedError);
        QTest::newRow("502") << 502 << int(QNetworkReply::UnknownServerError);
        QTest::newRow("503") << 503 << int(QNetworkReply::ServiceUnavailableError);
    }
    void errorStatusKeepsItsBody()
    {
        QFETCH(int, status);
        QFETCH(int, code);
        CurlAccessManager manager;
        QSignalSpy managerFinished(&manager, &QNetworkAccessManager::finished);
        std::unique_ptr<QNetworkReply> reply(
            manager.get(QNetworkRequest(QUrl(http.url(QStringLiteral("/status/%1").arg(status))))));
        QSignalSpy errors(reply.get(), &QNetworkReply::errorOccurred);
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(int(errors.at(0).at(0).value<QNetworkReply::NetworkError>()), code);
        QCOMPARE(int(reply->error()), code);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
        QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toString(),
                 QStringLiteral("text/html"));
        QCOMPARE(reply->readAll(), QByteArray("error page"));
        QCOMPARE(managerFinished.count(), 1);
    }

    // Redirects as Qt follows them: a 303 after POST goes on as GET without the body, a 307 sends
    // the body again, a loop ends after the allowed hops, the manual policy hands the redirect
    // over.
    void redirectsFollowThePolicy_data()
    {
        QTest::addColumn<bool>("post");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("policy");
        QTest::addColumn<int>("error");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("hops");
        const int noLessSafe = QNetworkRequest::NoLessSafeRedirectPolicy;
        QTest::newRow("303 after POST") << true << "/see-other" << noLessSafe
                                        << int(QNetworkReply::NoError) << QByteArray("GET:") << 1;
        QTest::newRow("307 after POST")
            << true << "/temporary" << noLessSafe << int(QNetworkReply::NoError)
            << QByteArray("POST:payload") << 1;
        QTest::newRow("loop") << false << "/loop" << noLessSafe
                              << int(QNetworkReply::TooManyRedirectsError) << QByteArray() << 3;
        QTest::newRow("manual") << true << "/see-other"
                                << int(QNetworkRequest::ManualRedirectPolicy)
                                << int(QNetworkReply::NoError) << QByteArray() << 0;
    }
    void redirectsFollowThePolicy()
    {
        QFETCH(bool, post);
        QFETCH(QString, path);
        QFETCH(int, policy);
        QFETCH(int, error);
        QFETCH(QByteArray, body);
        QFETCH(int, hops);
        CurlAccessManager manager;
        manager.setRedirectPolicy(QNetworkRequest::RedirectPolicy(policy));
        QNetworkRequest request(QUrl(http.url(path)));
        request.setMaximumRedirectsAllowed(3);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain"));
        std::unique_ptr<QNetworkReply> reply(post ? manager.post(request, QByteArray("payload"))
                                                  : manager.get(request));
        QSignalSpy redirected(reply.get(), &QNetworkReply::redirected);
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(int(reply->error()), error);
        QCOMPARE(redirected.count(), hops);
        if (policy == QNetworkRequest::ManualRedirectPolicy) {
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 303);
            QCOMPARE(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl(),
                     QUrl(QStringLiteral("/echo")));
        } else if (error == QNetworkReply::NoError) {
            QCOMPARE(reply->readAll(), body);
            QCOMPARE(reply->url(), QUrl(http.url(QStringLiteral("/echo"))));
            QCOMPARE(reply->operation(), body.startsWith("GET")
                                             ? QNetworkAccessManager::GetOperation
                                             : QNetworkAccessManager::PostOperation);
        }
    }

    // An answer without a body reads as empty, before and after its end, and takes the next
    // transfer's body as any other.
    void emptyBodyReadsEmpty()
    {
        CurlAccessManager manager;
        for (int i = 0; i < 3; ++i) {
            std::unique_ptr<QNetworkReply> reply(
                manager.get(QNetworkRequest(QUrl(http.url(QStringLiteral("/empty"))))));
            QCOMPARE(reply->readAll(), QByteArray());
            QSignalSpy finished(reply.get(), &QNetworkReply::finished);
            QVERIFY(finished.wait(5000));
            QCOMPARE(reply->error(), QNetworkReply::NoError);
            QCOMPARE(reply->readAll(), QByteArray());
            char byte = 0;
            QCOMPARE(reply->read(&byte, 1), qint64(-1));
        }
        std::unique_ptr<QNetworkReply> reply(
            manager.get(QNetworkRequest(QUrl(http.url(QStringLiteral("/echo"))))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(reply->readAll(), QByteArray("GET:"));
    }

    // No encoding is asked for, even when the request names one: an encoded answer is refused.
    void asksForNoEncoding()
    {
        CurlAccessManager manager;
        QNetworkRequest request(QUrl(http.url(QStringLiteral("/encodings"))));
        request.setRawHeader("Accept-Encoding", "gzip, deflate");
        std::unique_ptr<QNetworkReply> reply(manager.get(request));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), QByteArray("[]"));
    }

    // abort() ends the reply before it returns: the cancellation, then finished(), nothing
    // left to read; later signals never come, and the transfer stops.
    void abortEndsAtOnce()
    {
        CurlAccessManager manager;
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(raw.url()))));
        QTRY_VERIFY(reply->bytesAvailable() > 0);
        QCOMPARE(raw.openConnections(), 1);
        QSignalSpy errors(reply.get(), &QNetworkReply::errorOccurred);
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QSignalSpy readyRead(reply.get(), &QNetworkReply::readyRead);
        reply->abort();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::OperationCanceledError);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(reply->bytesAvailable(), qint64(0));
        QTest::qWait(200);
        QCOMPARE(readyRead.count(), 0);
        QCOMPARE(finished.count(), 1);
        QTRY_COMPARE(raw.openConnections(), 0);
    }

    // A body larger than the upload buffer goes out whole as curl takes it, also when a 307 has
    // it sent again; the upload progress ends at its size.
    void largeBodyIsSentWhole_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("direct") << "/echo";
        QTest::newRow("after a 307") << "/temporary";
    }
    void largeBodyIsSentWhole()
    {
        QFETCH(QString, path);
        QByteArray payload(5 * 1024 * 1024 + 123, '\0');
        for (int i = 0; i < payload.size(); ++i)
            payload[i] = char(i % 251);
        CurlAccessManager manager;
        manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkRequest request(QUrl(http.url(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QStringLiteral("application/octet-stream"));
        std::unique_ptr<QNetworkReply> reply(manager.post(request, payload));
        QByteArray answer;
        connect(reply.get(), &QNetworkReply::readyRead, this,
                [&answer, &reply] { answer += reply->readAll(); });
        QSignalSpy uploaded(reply.get(), &QNetworkReply::uploadProgress);
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(20000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QVERIFY(answer == "POST:" + payload);
        QVERIFY(!uploaded.isEmpty());
        QCOMPARE(uploaded.last().at(0).toLongLong(), qint64(payload.size()));
        QCOMPARE(uploaded.last().at(1).toLongLong(), qint64(payload.size()));
    }

    // What the manager does not carry ends in an error reply, from the event loop, before
    // anything is sent: another scheme, another operation, a header that would split in two.
    void unsupportedRequestsFail_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("put");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("error");
        QTest::newRow("ftp") << "ftp://127.0.0.1/file" << false << QByteArray()
                             << int(QNetworkReply::ProtocolUnknownError);
        QTest::newRow("PUT") << "" << true << QByteArray()
                             << int(QNetworkReply::ProtocolUnknownError);
        QTest::newRow("line break in a header")
            << "" << false << QByteArray("Bearer x\r\nX-Injected: 1")
            << int(QNetworkReply::ProtocolInvalidOperationError);
    }
    void unsupportedRequestsFail()
    {
        QFETCH(QString, url);
        QFETCH(bool, put);
        QFETCH(QByteArray, header);
        QFETCH(int, error);
        CurlAccessManager manager;
        QNetworkRequest request(QUrl(url.isEmpty() ? http.url(QStringLiteral("/echo")) : url));
        if (!header.isEmpty())
            request.setRawHeader("Authorization", header);
        std::unique_ptr<QNetworkReply> reply(put ? manager.put(request, QByteArray("x"))
                                                 : manager.get(request));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(int(reply->error()), error);
    }

    // A slow peer whose head lines or body bytes keep within the idle timeout ends with
    // TimeoutError at the head's or the body's bound; interim answers do not stop the head's
    // clock, which runs from the end of the request body, of a known size or not.
    void slowPeerEndsAsTimeout_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<QString>("body"); // "": GET; "known", "unknown": POST of that size
        const QList<HostileAnswers::Hostile> slowPeers =
            HostileAnswers::slowPeers(HostileAnswers::shortSecondMs);
        for (const QString &body : {QString(), QStringLiteral("known")}) {
            for (const HostileAnswers::Hostile &slow : slowPeers)
                QTest::addRow("%s, %s", body.isEmpty() ? "GET" : "POST", slow.name)
                    << slow.answer << body;
        }
        QTest::addRow("POST of unknown size, %s", slowPeers.at(2).name)
            << slowPeers.at(2).answer << "unknown";
    }
    void slowPeerEndsAsTimeout()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(QString, body);
        paced.setAnswer(answer);
        CurlAccessManager manager;
        HostileAnswers::shortenBounds(manager, HostileAnswers::shortSecondMs);
        QNetworkRequest request{QUrl(paced.url())};
        // a sequential device without a Content-Length goes out chunked
        BodyDevice outgoing(QByteArray(body == QLatin1String("known") ? 1024 * 1024 : 10, 'b'),
                            body == QLatin1String("unknown"));
        std::unique_ptr<QNetworkReply> reply(body.isEmpty() ? manager.get(request)
                                                            : manager.post(request, &outgoing));
        QSignalSpy errors(reply.get(), &QNetworkReply::errorOccurred);
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(20000));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::TimeoutError);
        QCOMPARE(reply->error(), QNetworkReply::TimeoutError);
        QCOMPARE(reply->bytesAvailable(), qint64(0));
        QTRY_COMPARE(paced.openConnections(), 0);
    }

    // A body that comes slowly but brings its bytes in every window arrives whole.
    void movingBodyArrivesWhole()
    {
        RawHttpServer::Answer answer =
            HostileAnswers::answer(HostileAnswers::okHead("Content-Length: 10240\r\n"),
                                   RawHttpServer::Endless::Repeat, QByteArray(1024, 'm'));
        answer.intervalMs = 100;
        paced.setAnswer(answer);
        CurlAccessManager manager;
        manager.setTransferTimeout(1000);
        manager.setPaceBounds({1000, 300});
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(paced.url()))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(20000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), QByteArray(10240, 'm'));
    }

    // A transfer paused because its reader leaves the read buffer full is no slow peer: it goes
    // on once the reader reads, however long that took.
    void readerPauseIsNoSlowPeer()
    {
        CurlAccessManager manager;
        manager.setPaceBounds({1000, 300});
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(raw.url()))));
        QSignalSpy errors(reply.get(), &QNetworkReply::errorOccurred);
        QTRY_VERIFY(reply->bytesAvailable() >= NetworkLimits::streamReadBufferBytes);
        QTest::qWait(1000); // past several windows of the body's clock
        qint64 read = 0;
        while (read < 4 * NetworkLimits::streamReadBufferBytes) {
            QTRY_VERIFY(reply->bytesAvailable() > 0 || !reply->isRunning());
            QVERIFY(reply->isRunning());
            read += reply->readAll().size();
        }
        QCOMPARE(errors.count(), 0);
    }

    // A request body that the server reads slowly but steadily goes out whole, however long it
    // takes: neither the head's nor the body's clock runs while it goes out (the head's runs
    // from its end), and the idle timeout sees it move.
    void slowUploadSucceeds()
    {
        const QByteArray payload(24 * 1024 * 1024, 'u'); // about 6 s at the server's pace
        CurlAccessManager manager;
        manager.setTransferTimeout(1000);
        manager.setPaceBounds({3000, 300});
        QNetworkRequest request(QUrl(http.url(QStringLiteral("/slow-reader"))));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QStringLiteral("application/octet-stream"));
        std::unique_ptr<QNetworkReply> reply(manager.post(request, payload));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(60000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), QByteArray::number(payload.size()));
    }

    // An upload that the server stops reading ends by the idle timeout (which aborts, as Qt's),
    // not by the head's clock: the request is not out.
    void unreadUploadEndsByTheIdleTimeout()
    {
        CurlAccessManager manager;
        manager.setTransferTimeout(1000);
        manager.setPaceBounds({300, 300});
        QNetworkRequest request(QUrl(http.url(QStringLiteral("/no-reader"))));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QStringLiteral("application/octet-stream"));
        std::unique_ptr<QNetworkReply> reply(
            manager.post(request, QByteArray(32 * 1024 * 1024, 'n')));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(20000));
        QCOMPARE(reply->error(), QNetworkReply::OperationCanceledError);
    }
};

TALVEX_TEST_MAIN(TstCurlAccessManager)
#include "tst_curlaccessmanager.moc"

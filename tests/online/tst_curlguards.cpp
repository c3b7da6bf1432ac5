// The HTTP layer's guards as its callers meet them, against real servers on 127.0.0.1: verified
// HTTPS, no proxy from the environment, the idle rule, the upload buffer, error pages, origins,
// redirects and the framing rules of the answers that reach a reply.
#include "curlaccessmanager.h"
#include "dropbox.h"
#include "filedownload.h"
#include "framinganswers.h"
#include "pacedserver.h"
#include "peakmemory.h"
#include "rawhttpserver.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QNetworkReply>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr qint64 mib = 1024 * 1024;
// What the echo answers: "<method>|<Content-Type>|<body>".
void echo(const httplib::Request &req, httplib::Response &res)
{
    res.set_content(req.method + "|" + req.get_header_value("Content-Type") + "|" + req.body,
                    "text/plain");
}

// A port on 127.0.0.1 where nothing listens.
quint16 deadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort(); // closed with probe
}

} // namespace

class TstCurlGuards : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    TestHttpServer otherPort; // 127.0.0.1 too: the same host on another port
    TestHttpServer otherHost; // 127.0.0.2
    std::unique_ptr<TestHttpServer> https;
    RawHttpServer raw;
    PacedServer paced;
    QTemporaryDir dir;
    QString oldCwd;
    const QSslConfiguration defaultTls = QSslConfiguration::defaultConfiguration();
    std::atomic<int> otherPortRequests{0};
    std::atomic<qint64> slowlyRead{0};

    // Waits until reply has finished; false when it has not within waitMs.
    static bool ended(QNetworkReply *reply, int waitMs = 10000)
    {
        return reply->isFinished() || QSignalSpy(reply, &QNetworkReply::finished).wait(waitMs);
    }
    // The files left in the working folder.
    static QStringList filesHere() { return QDir().entryList(QDir::Files | QDir::Hidden); }

    void trustTheTestCertificate()
    {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QVERIFY(tls.addCaCertificates(dir.filePath(QStringLiteral("server.crt"))));
        QSslConfiguration::setDefaultConfiguration(tls);
    }

    static void setCloudUrl(const QString &url)
    {
        UpdateConfig config = UpdateConfig::current();
        config.cloudDownloadUrl = QUrl(url);
        config.cloudFolder = QStringLiteral("/Windows Update/");
        config.cloudToken = "TEST_TOKEN_0123";
        UpdateConfig::setCurrent(config);
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QNetworkReply::NetworkError>();
        QVERIFY(dir.isValid());
        oldCwd = QDir::currentPath();
        // the cloud downloader stores its files in the working folder
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("work"))));
        QDir::setCurrent(dir.filePath(QStringLiteral("work")));
        httplib::Server &s = http.server();
        s.Get("/echo", echo);
        s.Post("/echo", echo);
        // a redirect of the given status to /echo, both to GET and to POST
        const auto moved = [](const httplib::Request &req, httplib::Response &res) {
            res.status = std::stoi(req.matches[1]);
            res.set_header("Location", "/echo");
            res.set_content("moved", "text/plain");
        };
        s.Get(R"(/moved/(\d+))", moved);
        s.Post(R"(/moved/(\d+))", moved);
        s.Get("/two-locations", [](const httplib::Request &, httplib::Response &res) {
            res.status = 302;
            res.set_header("Location", "/first");
            res.set_header("Location", "/echo");
        });
        // a redirect to the address of the query's "to"
        s.Get("/redirect", [](const httplib::Request &req, httplib::Response &res) {
            res.set_redirect(req.get_param_value("to"), 302);
        });
        const auto authorization = [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(req.get_header_value("Authorization"), "text/plain");
        };
        s.Get("/authorization", authorization);
        const auto missing = [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content(std::string(3 * mib, 'p'), "text/html");
        };
        s.Get("/missing", missing);
        s.Post("/missing", missing);
        s.Post("/to-other-port", [this](const httplib::Request &, httplib::Response &res) {
            res.set_redirect(otherPort.url(QStringLiteral("/authorization")).toStdString(), 307);
        });
        // takes a request body of any size at about 32 MiB/s
        s.Post("/slow-reader", [this](const httplib::Request &, httplib::Response &res,
                                      const httplib::ContentReader &content) {
            qint64 read = 0;
            content([&read](const char *, size_t length) {
                const qint64 before = read;
                read += qint64(length);
                if (read / (32 * 1024) != before / (32 * 1024))
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                return true;
            });
            slowlyRead = read;
            res.set_content("read", "text/plain");
        });
        QVERIFY(http.start());
        const auto counted = [this, authorization](const httplib::Request &req,
                                                   httplib::Response &res) {
            ++otherPortRequests;
            authorization(req, res);
        };
        otherPort.server().Get("/authorization", counted);
        otherPort.server().Post("/authorization", counted);
        QVERIFY(otherPort.start());
        otherHost.server().Get("/authorization", authorization);
        QVERIFY(otherHost.start("127.0.0.2"));

        const QString certificate = dir.filePath(QStringLiteral("server.crt"));
        const QString key = dir.filePath(QStringLiteral("server.key"));
        QVERIFY(TestHttpServer::writeSelfSignedCertificate(certificate, key)); // names 127.0.0.1
        https = std::make_unique<TestHttpServer>(certificate, key);
        https->server().Get("/echo", echo);
        QVERIFY(https->start());
        QVERIFY(raw.start());
        QVERIFY(paced.start());
    }
    void cleanupTestCase()
    {
        http.stop();
        otherPort.stop();
        otherHost.stop();
        https->stop();
        QDir::setCurrent(oldCwd);
    }
    void cleanup()
    {
        raw.release();
        QSslConfiguration::setDefaultConfiguration(defaultTls);
    }

    // A certificate the program trusts is refused for a host it does not name.
    void httpsNeedsTheHostsName_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("error");
        QTest::newRow("127.0.0.1, named") << "127.0.0.1" << int(QNetworkReply::NoError);
        QTest::newRow("localhost, not named")
            << "localhost" << int(QNetworkReply::SslHandshakeFailedError);
    }
    void httpsNeedsTheHostsName()
    {
        QFETCH(QString, host);
        QFETCH(int, error);
        trustTheTestCertificate();
        QUrl url(https->url(QStringLiteral("/echo")));
        url.setHost(host);
        CurlAccessManager manager;
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url)));
        QVERIFY(ended(reply.get()));
        QCOMPARE(int(reply->error()), error);
        QCOMPARE(reply->readAll(),
                 error == QNetworkReply::NoError ? QByteArray("GET||") : QByteArray());
    }

    // Proxy variables of the environment that point at a dead port change nothing.
    void proxyVariablesAreIgnored_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::newRow("http") << false;
        QTest::newRow("https") << true;
    }
    void proxyVariablesAreIgnored()
    {
        QFETCH(bool, tls);
        const QByteArray proxy = "http://127.0.0.1:" + QByteArray::number(deadPort());
        const QList<QByteArray> set{"http_proxy", "https_proxy", "ALL_PROXY"};
        const QList<QByteArray> unset{"no_proxy", "NO_PROXY"};
        QMap<QByteArray, QByteArray> saved;
        for (const QByteArray &name : set + unset)
            saved.insert(name, qgetenv(name.constData()));
        const auto restore = qScopeGuard([&] {
            for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
                if (it.value().isNull())
                    qunsetenv(it.key().constData());
                else
                    qputenv(it.key().constData(), it.value());
            }
        });
        for (const QByteArray &name : set)
            qputenv(name.constData(), proxy);
        for (const QByteArray &name : unset)
            qunsetenv(name.constData());
        if (tls)
            trustTheTestCertificate();
        CurlAccessManager manager;
        std::unique_ptr<QNetworkReply> reply(
            manager.get(QNetworkRequest(QUrl((tls ? https->url("/echo") : http.url("/echo"))))));
        QVERIFY(ended(reply.get()));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), QByteArray("GET||"));
    }

    // A port where nothing listens refuses the connection.
    void refusedConnection()
    {
        CurlAccessManager manager;
        std::unique_ptr<QNetworkReply> reply(manager.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(deadPort())))));
        QVERIFY(ended(reply.get()));
        QCOMPARE(reply->error(), QNetworkReply::ConnectionRefusedError);
    }

    // Every head line and body byte restarts the idle rule: with a 1 s idle timeout, a peer that
    // sends a little every few hundred milliseconds for seconds is waited for, one that pauses
    // for 2 s is not.
    void idleRuleRestartsOnProgress_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("error");
        QByteArrayList bytes{"HTTP/1.1 200 OK\r\nContent-Length: 15\r\n\r\n"};
        for (const char c : QByteArray("fifteen bytes!!"))
            bytes << QByteArray(1, c);
        QByteArrayList lines{"HTTP/1.1 200 OK\r\n"};
        for (int i = 0; i < 10; ++i)
            lines << "X-Line: " + QByteArray::number(i) + "\r\n";
        lines << "Content-Length: 15\r\n\r\nfifteen bytes!!";
        QTest::newRow("a body byte every 200 ms for 3 s")
            << bytes << 200 << int(QNetworkReply::NoError);
        QTest::newRow("a head line every 300 ms for 3 s")
            << lines << 300 << int(QNetworkReply::NoError);
        QTest::newRow("a body byte after 2 s")
            << bytes.mid(0, 2) << 2000 << int(QNetworkReply::OperationCanceledError);
    }
    void idleRuleRestartsOnProgress()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(int, intervalMs);
        QFETCH(int, error);
        paced.setAnswer(pieces, intervalMs);
        CurlAccessManager manager;
        manager.setTransferTimeout(1000);
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(paced.url()))));
        QVERIFY(ended(reply.get(), 20000));
        QCOMPARE(int(reply->error()), error);
        if (error == QNetworkReply::NoError)
            QCOMPARE(reply->readAll(), QByteArray("fifteen bytes!!"));
    }

    // A 64 MiB upload to a server that reads slowly holds the program to its upload buffer:
    // sent bytes are dropped, and no more is read ahead.
    void slowlyReadUploadStaysBounded()
    {
        QFile body(dir.filePath(QStringLiteral("upload.bin")));
        QVERIFY(body.open(QIODevice::ReadWrite));
        QVERIFY(body.resize(64 * mib)); // sparse: neither written nor cached
        QVERIFY(body.seek(0));
        CurlAccessManager manager;
        QNetworkRequest request(QUrl(http.url(QStringLiteral("/slow-reader"))));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QStringLiteral("application/octet-stream"));
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        std::unique_ptr<QNetworkReply> reply(manager.post(request, &body));
        QSignalSpy uploaded(reply.get(), &QNetworkReply::uploadProgress);
        QVERIFY(ended(reply.get(), 120000));
        qInfo("peak memory growth %lld KiB", growth.bytes() / 1024);
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(qint64(slowlyRead), 64 * mib);
        QVERIFY(!uploaded.isEmpty());
        QCOMPARE(uploaded.last().at(0).toLongLong(), 64 * mib);
        QVERIFY2(growth.below(8 * mib), qPrintable(QString::number(growth.bytes())));
    }

    // An error page of 3 MiB: the download ends at once as the status's error, named, not as an
    // idle one.
    void errorPageEndsAsItsStatus_data()
    {
        QTest::addColumn<bool>("cloud");
        QTest::newRow("published file") << false;
        QTest::newRow("cloud file") << true;
    }
    void errorPageEndsAsItsStatus()
    {
        QFETCH(bool, cloud);
        constexpr int idleMs = 5000;
        if (cloud) {
            setCloudUrl(http.url(QStringLiteral("/missing")));
            Dropbox dropbox;
            dropbox.setTransferTimeout(idleMs);
            QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
            dropbox.startBatch({QStringLiteral("FW_X7.bin")});
            QVERIFY(finished.wait(4 * idleMs));
            QCOMPARE(finished.at(0).at(0).toBool(), false);
            QCOMPARE(finished.at(0).at(1).toString(),
                     QStringLiteral("FW_X7.bin: network error %1, HTTP status 404")
                         .arg(int(QNetworkReply::ContentNotFoundError)));
            QCOMPARE(filesHere(), QStringList());
            return;
        }
        FileDownload download;
        download.setTransferTimeout(idleMs);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        download.startDownload(QUrl(http.url(QStringLiteral("/missing"))),
                               QStringLiteral("FW_X7.bin"), QDir::currentPath());
        QVERIFY(failed.wait(4 * idleMs));
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::ContentNotFoundError);
        QCOMPARE(filesHere(), QStringList());
    }

    // An origin is scheme, host and port: the cloud downloader, which follows redirects within
    // its origin only, refuses one to another port of its host, which hears nothing.
    void cloudRedirectToAnotherPortIsRefused()
    {
        otherPortRequests = 0;
        setCloudUrl(http.url(QStringLiteral("/to-other-port")));
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({QStringLiteral("FW_X7.bin")});
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(finished.at(0).at(1).toString(),
                 QStringLiteral("FW_X7.bin: network error %1")
                     .arg(int(QNetworkReply::InsecureRedirectError)));
        QCOMPARE(int(otherPortRequests), 0);
        QCOMPARE(filesHere(), QStringList());
    }

    // A reply whose policy follows a redirect to another origin leaves its Authorization behind;
    // within the origin it keeps it.
    void redirectKeepsAuthorizationInItsOrigin_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QByteArray>("authorization");
        QTest::newRow("same origin")
            << http.url(QStringLiteral("/authorization")) << QByteArray("Bearer secret");
        QTest::newRow("another port")
            << otherPort.url(QStringLiteral("/authorization")) << QByteArray();
        QTest::newRow("another host")
            << otherHost.url(QStringLiteral("/authorization")) << QByteArray();
    }
    void redirectKeepsAuthorizationInItsOrigin()
    {
        QFETCH(QString, to);
        QFETCH(QByteArray, authorization);
        CurlAccessManager manager;
        manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        QUrl url(http.url(QStringLiteral("/redirect")));
        url.setQuery(QStringLiteral("to=") + QString::fromLatin1(QUrl::toPercentEncoding(to)));
        QNetworkRequest request(url);
        request.setRawHeader("Authorization", "Bearer secret");
        std::unique_ptr<QNetworkReply> reply(manager.get(request));
        QVERIFY(ended(reply.get()));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->url(), QUrl(to));
        QCOMPARE(reply->readAll(), authorization);
    }

    // Redirect statuses under each policy: 301, 302, 303, 307 and 308 are followed where the
    // policy allows; after POST, 307 and 308 send the method and body again, the others go on as
    // GET without the body and its Content-Type. Of two Location fields the last one counts.
    void redirectStatusesFollowThePolicy_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("post");
        QTest::addColumn<int>("policy");
        QTest::addColumn<QByteArray>("answer"); // of the last hop
        const int noLessSafe = QNetworkRequest::NoLessSafeRedirectPolicy;
        const int sameOrigin = QNetworkRequest::SameOriginRedirectPolicy;
        const int manual = QNetworkRequest::ManualRedirectPolicy;
        const QByteArray got = "GET||";
        const QByteArray posted = "POST|text/plain|payload";
        for (const int status : {301, 302, 303, 307, 308})
            QTest::addRow("%d, GET", status)
                << QStringLiteral("/moved/%1").arg(status) << false << noLessSafe << got;
        QTest::newRow("301, POST") << "/moved/301" << true << noLessSafe << got;
        QTest::newRow("302, POST") << "/moved/302" << true << noLessSafe << got;
        QTest::newRow("303, POST") << "/moved/303" << true << noLessSafe << got;
        QTest::newRow("307, POST") << "/moved/307" << true << noLessSafe << posted;
        QTest::newRow("308, POST") << "/moved/308" << true << noLessSafe << posted;
        QTest::newRow("308, POST, same origin") << "/moved/308" << true << sameOrigin << posted;
        QTest::newRow("301, GET, manual") << "/moved/301" << false << manual << QByteArray("moved");
        QTest::newRow("308, POST, manual") << "/moved/308" << true << manual << QByteArray("moved");
        QTest::newRow("two Location fields") << "/two-locations" << false << noLessSafe << got;
    }
    void redirectStatusesFollowThePolicy()
    {
        QFETCH(QString, path);
        QFETCH(bool, post);
        QFETCH(int, policy);
        QFETCH(QByteArray, answer);
        CurlAccessManager manager;
        manager.setRedirectPolicy(QNetworkRequest::RedirectPolicy(policy));
        QNetworkRequest request(QUrl(http.url(path)));
        if (post)
            request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain"));
        std::unique_ptr<QNetworkReply> reply(post ? manager.post(request, QByteArray("payload"))
                                                  : manager.get(request));
        QSignalSpy redirected(reply.get(), &QNetworkReply::redirected);
        QVERIFY(ended(reply.get()));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), answer);
        const bool followed = policy != QNetworkRequest::ManualRedirectPolicy;
        QCOMPARE(redirected.count(), followed ? 1 : 0);
        QCOMPARE(reply->url(), QUrl(http.url(followed ? QStringLiteral("/echo") : path)));
        if (!followed)
            QCOMPARE(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl(),
                     QUrl(QStringLiteral("/echo")));
    }

    // Each framing rule holds for the answer that reaches a reply: a broken one ends as
    // ProtocolFailure (an endless trailer within 15 s), without a crash; an interim answer's
    // fields never show, and the last Location is the redirect target.
    void framingRulesHoldForTheReply_data()
    {
        QTest::addColumn<int>("rule");
        const QList<FramingAnswers::Rule> rules = FramingAnswers::all();
        for (int i = 0; i < rules.size(); ++i)
            QTest::addRow("%s", rules.at(i).name) << i;
    }
    void framingRulesHoldForTheReply()
    {
        QFETCH(int, rule);
        const FramingAnswers::Rule r = FramingAnswers::all().at(rule);
        raw.setAnswer(r.answer);
        CurlAccessManager manager;
        manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(raw.url()))));
        QVERIFY(ended(reply.get(), 15000));
        if (r.refused) {
            QCOMPARE(reply->error(), QNetworkReply::ProtocolFailure);
            return;
        }
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), r.status);
        QCOMPARE(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl(),
                 QUrl::fromEncoded(r.location));
        QCOMPARE(reply->readAll(), r.body);
        QVERIFY(!reply->hasRawHeader(FramingAnswers::interimField));
        QVERIFY(!reply->hasRawHeader("Link"));
    }
};

TALVEX_TEST_MAIN(TstCurlGuards)
#include "tst_curlguards.moc"

#include "browsercatcher.h"
#include "changingfile.h"
#include "formshare.h"
#include "hostileanswers.h"
#include "oauthredirect.h"
#include "peakmemory.h"
#include "rawhttpserver.h"
#include "slowuploadserver.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "uploadrequest.h"
#include "uploadservicetest.h"
#include "youtubepromptdialog.h"
#include "youtubewrapper.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <atomic>
#include <mutex>

// What the test server saw; written on the server's thread.
struct Seen
{
    std::mutex mutex;
    QByteArray tokenBody;
    int tokenRequests = 0;
    QByteArray uploadContentType;
    QByteArray uploadAuthorization;
    QByteArray uploadBody;
    QByteArray uploadQuery;
    int uploads = 0;
};

class TstYoutubeWrapper : public QObject
{
    Q_OBJECT
private:
    TestHttpServer server_;
    RawHttpServer raw_;     // the hostile service
    SlowUploadServer slow_; // a service that holds the body while the test changes the file
    Seen seen_;
    std::atomic<int> uploadStatus_{200}; // 0: never answers
    std::atomic<int> tokenAnswer_{0};    // a TokenAnswer
    std::atomic<bool> releaseStalls_{false};
    std::atomic<int> hostileAnswer_{0}; // a HostileAnswer to the token request or the upload
    TestHttpServer otherHost_;          // 127.0.0.2: another host, where redirects point
    QList<QByteArray> otherHostAuthorizations_; // under seen_.mutex

    enum TokenAnswer
    {
        TokenGranted,
        TokenServerError,
        TokenTruncated,
        TokenWithoutAccessToken,
        TokenNever,
        TokenHostile
    };
    enum HostileAnswer
    {
        NotHostile,
        Endless,
        Trickling,
        MovedAway302,
        MovedAway307
    };

    // Answers res the hostile way; false when hostileAnswer_ asks for none.
    bool answerHostile(httplib::Response &res)
    {
        switch (hostileAnswer_) {
        case Endless:
            TestHttpServer::answerEndlessly(res, releaseStalls_);
            return true;
        case Trickling:
            TestHttpServer::answerTrickling(res, releaseStalls_);
            return true;
        case MovedAway302:
        case MovedAway307:
            res.status = hostileAnswer_ == MovedAway302 ? 302 : 307;
            res.set_header("Location", otherHost_.url(QStringLiteral("/moved")).toStdString());
            return true;
        default:
            return false;
        }
    }

    BrowserCatcher browser_;
    QTemporaryDir dir_;
    QString video_;
    QByteArray videoBytes_;

    UploadServiceConfig config() const
    {
        return UploadServiceTest::localConfig(
            server_, QStringLiteral("/upload/youtube/v3/videos?part=snippet,status"));
    }

    // Starts client's sign-in; true once it has sent the browser to the service.
    bool startSignIn(YoutubeWrapper &client)
    {
        browser_.opened.clear();
        client.authorize();
        return QTest::qWaitFor([this] { return browser_.opened.size() == 1; });
    }

    // Plays the browser's redirect into a sign-in that client has started and waits up to waitMs
    // for it to end, failed or granted; false when the redirect found no listener or nothing
    // ended.
    bool signInEnds(const QSignalSpy &failed, const QSignalSpy &granted, int waitMs,
                    const PeakMemory::Growth &growth)
    {
        QElapsedTimer clock;
        clock.start();
        if (OAuthRedirect::play(browser_.opened.first(), "code=abc") != 200)
            return false;
        const bool ended =
            QTest::qWaitFor([&] { return failed.size() + granted.size() > 0; }, waitMs);
        qInfo("sign-in ended after %lld ms, peak memory growth %lld MiB", clock.elapsed(),
              growth.bytes() / (1024 * 1024));
        return ended;
    }

    // Signs client in through the test server; the grant arrives as authenticated().
    void signIn(YoutubeWrapper &client)
    {
        QSignalSpy granted(&client, &UploadClient::authenticated);
        QVERIFY(startSignIn(client));
        QCOMPARE(OAuthRedirect::play(browser_.opened.first(), "code=4%2F0Ab-c%2Bd"), 200);
        QVERIFY(granted.wait(10000) || granted.size() == 1);
        QCOMPARE(granted.size(), 1);
    }

    // The upload that failed ends with that one error of code and no success; the client is
    // free for the next upload.
    static void expectOneUploadError(const YoutubeWrapper &client, const QSignalSpy &failed,
                                     const QSignalSpy &finished, int code)
    {
        QTest::qWait(50); // a second answer would arrive by now
        QCOMPARE(failed.size(), 1);
        QCOMPARE(int(failed.first().first().value<QNetworkReply::NetworkError>()), code);
        QCOMPARE(finished.size(), 0);
        QTRY_VERIFY(!client.isUploading());
    }

    // The bounds of client against a slow peer whose second lasts secondMs: the idle timeout and
    // the head's and the body's bounds shortened alike, the answer's deadline kept at its 60 s,
    // beyond the wait, so that those bounds alone end the answer. With secondMs 0: the idle
    // timeout far beyond every framing row's wait, the program's own pace bounds.
    static void shortenBounds(YoutubeWrapper &client, int secondMs)
    {
        if (secondMs == 0) {
            client.setTransferTimeout(120000);
            return;
        }
        HostileAnswers::shortenBounds(client, secondMs);
    }

    static QList<QByteArray> multipartParts(const QByteArray &contentType, const QByteArray &body)
    {
        const int at = contentType.indexOf("boundary=");
        QByteArray boundary = contentType.mid(at + 9);
        if (boundary.startsWith('"'))
            boundary = boundary.mid(1, boundary.size() - 2);
        const QByteArray delimiter = "--" + boundary;
        QList<QByteArray> parts;
        int from = body.indexOf(delimiter);
        while (from >= 0) {
            from += delimiter.size();
            if (body.mid(from, 2) == "--")
                break;
            from += 2; // CRLF
            const int next = body.indexOf("\r\n" + delimiter, from);
            if (next < 0)
                break;
            parts << body.mid(from, next - from);
            from = next + 2;
        }
        return parts;
    }

    // The share dialog on video, shown, then on its road to the uploading page.
    void uploadThroughShareDialog(FormShare &dialog, const QString &video)
    {
        dialog.setLanguageFont();
        dialog.setStyle(0);
        dialog.onCurrentVideoPath(video);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        UploadServiceTest::signInAndUpload(dialog, browser_);
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QNetworkReply::NetworkError>();
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser_, "open");
        QVERIFY(dir_.isValid());
        video_ = dir_.filePath(QStringLiteral("clip one.mp4"));
        videoBytes_.resize(3 * 1024 * 1024 + 17);
        for (int i = 0; i < videoBytes_.size(); ++i)
            videoBytes_[i] = char((i * 7) ^ (i >> 9));
        QFile file(video_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(videoBytes_);
        file.close();

        server_.server().Post(
            "/token", [this](const httplib::Request &req, httplib::Response &res) {
                int n;
                {
                    std::lock_guard<std::mutex> lock(seen_.mutex);
                    seen_.tokenBody = QByteArray::fromStdString(req.body);
                    n = ++seen_.tokenRequests;
                }
                switch (tokenAnswer_) {
                case TokenServerError:
                    res.status = 500;
                    res.set_content("{\"error\":\"internal\"}", "application/json");
                    return;
                case TokenTruncated:
                    res.set_content("{\"access_token\":\"tok", "application/json");
                    return;
                case TokenWithoutAccessToken:
                    res.set_content("{\"token_type\":\"Bearer\",\"expires_in\":3600}",
                                    "application/json");
                    return;
                case TokenNever:
                    TestHttpServer::stallUntil(releaseStalls_);
                    return;
                case TokenHostile:
                    answerHostile(res);
                    return;
                default:
                    break;
                }
                res.set_content("{\"access_token\":\"token-" + std::to_string(n) +
                                    "\",\"token_type\":\"Bearer\",\"expires_in\":3600}",
                                "application/json");
            });
        server_.server().Post("/upload/youtube/v3/videos", [this](const httplib::Request &req,
                                                                  httplib::Response &res) {
            {
                std::lock_guard<std::mutex> lock(seen_.mutex);
                seen_.uploadContentType =
                    QByteArray::fromStdString(req.get_header_value("Content-Type"));
                seen_.uploadAuthorization =
                    QByteArray::fromStdString(req.get_header_value("Authorization"));
                seen_.uploadBody = QByteArray::fromStdString(req.body);
                seen_.uploadQuery = QByteArray::fromStdString(req.get_param_value("part"));
                ++seen_.uploads;
            }
            if (uploadStatus_ == 0) {
                TestHttpServer::stallUntil(releaseStalls_);
                return;
            }
            if (answerHostile(res))
                return;
            res.status = uploadStatus_;
            res.set_content("{\"id\":\"v1\"}", "application/json");
        });
        const auto other = [this](const httplib::Request &req, httplib::Response &res) {
            {
                std::lock_guard<std::mutex> lock(seen_.mutex);
                otherHostAuthorizations_
                    << QByteArray::fromStdString(req.get_header_value("Authorization"));
            }
            res.set_content("{\"id\":\"elsewhere\"}", "application/json");
        };
        otherHost_.server().Get(".*", other);
        otherHost_.server().Post(".*", other);
        QVERIFY(otherHost_.start("127.0.0.2"));
        QVERIFY(server_.start());
        QVERIFY(raw_.start());
        QVERIFY(slow_.start());
    }

    void cleanupTestCase()
    {
        releaseStalls_ = true;
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        server_.stop();
    }

    void init()
    {
        uploadStatus_ = 200;
        tokenAnswer_ = TokenGranted;
        hostileAnswer_ = NotHostile;
        releaseStalls_ = false;
        slow_.reset();
        std::lock_guard<std::mutex> lock(seen_.mutex);
        otherHostAuthorizations_.clear();
    }
    void cleanup()
    {
        releaseStalls_ = true;
        raw_.release();
        slow_.release();
    }

    void metadataIsEscapedJson_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::newRow("plain") << QByteArray("12/31/2024 - Dashcam - TALVEX VIDEO PLAYER");
        QTest::newRow("quote and backslash") << QByteArray("a \"b\" c\\d");
        QTest::newRow("control characters") << QByteArray("line\nnext\ttab");
        QTest::newRow("non-ASCII") << QByteArray("Fahrt \xc3\xbc"
                                                 "ber Land");
    }
    void metadataIsEscapedJson()
    {
        QFETCH(QByteArray, title);
        const QByteArray json = UploadRequest::metadataJson(title, "d\"x", "Unlisted");
        QJsonParseError error;
        const QJsonObject root = QJsonDocument::fromJson(json, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(root.value("kind").toString(), QStringLiteral("youtube#video"));
        const QJsonObject snippet = root.value("snippet").toObject();
        QCOMPARE(snippet.value("title").toString(), QString::fromUtf8(title));
        QCOMPARE(snippet.value("description").toString(), QStringLiteral("d\"x"));
        QCOMPARE(snippet.value("categoryId").toString(), QStringLiteral("22"));
        QCOMPARE(snippet.value("tags").toVariant().toStringList(),
                 QStringList{QStringLiteral("youtube-cors-upload")});
        QCOMPARE(root.value("status").toObject().value("privacyStatus").toString(),
                 QStringLiteral("Unlisted"));
    }

    void bundledConfigHasPlaceholders()
    {
        const UploadServiceConfig c = UploadServiceConfig::bundled();
        QVERIFY(c.isValid());
        QCOMPARE(c.redirectPort, quint16(10011));
        QCOMPARE(c.authUrl.path(), QStringLiteral("/o/oauth2/auth"));
        QCOMPARE(c.tokenUrl.path(), QStringLiteral("/token"));
        QCOMPARE(c.uploadUrl.path(), QStringLiteral("/upload/youtube/v3/videos"));
        QVERIFY(
            c.clientId.startsWith(QStringLiteral("418207736591-tq8wzn3kd6hrvy2mxp5jc9bfg4lsa7ue")));
        QVERIFY(c.scope.endsWith(QStringLiteral("/auth/youtube.upload")));
        // no address of a real service is bundled
        QVERIFY(c.isPlaceholder());
        for (const QUrl &url : {c.authUrl, c.tokenUrl, c.uploadUrl})
            QVERIFY2(url.host().endsWith(QLatin1String(".invalid")), qPrintable(url.host()));
        QVERIFY(!config().isPlaceholder());
    }

    void placeholderServiceOpensNoBrowser()
    {
        UploadServiceConfig c = config();
        c.tokenUrl = QUrl(QStringLiteral("https://oauth2.example.invalid/token"));
        YoutubeWrapper client;
        client.setConfig(c);
        client.init();
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        browser_.opened.clear();
        client.authorize();
        QCOMPARE(failed.size(), 1);
        QTest::qWait(100);
        QCOMPARE(browser_.opened.size(), 0);
    }

    // A token request that gives no token fails the sign-in, once, and grants nothing.
    void failedTokenRequestFailsTheSignIn_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("500") << int(TokenServerError);
        QTest::newRow("truncated JSON") << int(TokenTruncated);
        QTest::newRow("no access token") << int(TokenWithoutAccessToken);
        QTest::newRow("never answers") << int(TokenNever);
    }
    void failedTokenRequestFailsTheSignIn()
    {
        QFETCH(int, answer);
        tokenAnswer_ = answer;
        YoutubeWrapper client;
        client.setConfig(config());
        client.setTransferTimeout(300);
        client.init();
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        QSignalSpy granted(&client, &UploadClient::authenticated);
        QVERIFY(startSignIn(client));
        QCOMPARE(OAuthRedirect::play(browser_.opened.first(), "code=abc"), 200);
        QVERIFY(failed.wait(10000) || failed.size() == 1);
        QTest::qWait(100);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(granted.size(), 0);
        QVERIFY(!client.hasToken());
    }

    // A sign-in nobody completes fails after its time; one given up fails nothing. Either way
    // the listener is gone and a late redirect grants nothing.
    void unfinishedSignInEnds_data()
    {
        QTest::addColumn<bool>("givenUp");
        QTest::newRow("time runs out") << false;
        QTest::newRow("given up") << true;
    }
    void unfinishedSignInEnds()
    {
        QFETCH(bool, givenUp);
        YoutubeWrapper client;
        client.setConfig(config());
        client.setSignInTimeout(300);
        client.init();
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        QSignalSpy granted(&client, &UploadClient::authenticated);
        QVERIFY(startSignIn(client));
        if (givenUp) {
            client.cancelAuthorization();
            QTest::qWait(600);
            QCOMPARE(failed.size(), 0);
        } else {
            QVERIFY(failed.wait(10000));
            QCOMPARE(failed.size(), 1);
        }
        QCOMPARE(OAuthRedirect::play(browser_.opened.first(), "code=late"), 0); // nobody listens
        QTest::qWait(100);
        QCOMPARE(granted.size(), 0);
        QCOMPARE(failed.size(), givenUp ? 0 : 1);
    }

    // The browser gets the flow's address with the two extra items; the redirect reaches the
    // listener; the token request carries the code decoded once and the client record.
    void signInThroughBrowserAndListener()
    {
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        signIn(client);

        const QUrl browserUrl = browser_.opened.first();
        QCOMPARE(browserUrl.path(), QStringLiteral("/o/oauth2/auth"));
        const QList<QPair<QString, QString>> items = QUrlQuery(browserUrl).queryItems();
        QVERIFY(items.size() >= 2);
        QCOMPARE(items.at(items.size() - 2),
                 qMakePair(QStringLiteral("prompt"), QStringLiteral("consent")));
        QCOMPARE(items.last(), qMakePair(QStringLiteral("access_type"), QStringLiteral("offline")));
        const QUrlQuery query(browserUrl);
        QCOMPARE(query.queryItemValue("client_id"), config().clientId);
        QCOMPARE(query.queryItemValue("response_type"), QStringLiteral("code"));
        QCOMPARE(query.queryItemValue("scope", QUrl::FullyDecoded), config().scope);
        const QUrl redirect(query.queryItemValue("redirect_uri", QUrl::FullyDecoded));
        QCOMPARE(redirect.host(), QStringLiteral("127.0.0.1"));

        std::lock_guard<std::mutex> lock(seen_.mutex);
        const QUrlQuery token(QString::fromLatin1(seen_.tokenBody));
        QCOMPARE(token.queryItemValue("grant_type"), QStringLiteral("authorization_code"));
        QCOMPARE(token.queryItemValue("code", QUrl::FullyDecoded), QStringLiteral("4/0Ab-c+d"));
        QCOMPARE(token.queryItemValue("client_id", QUrl::FullyDecoded), config().clientId);
        QCOMPARE(token.queryItemValue("client_secret", QUrl::FullyDecoded), config().clientSecret);
        QCOMPARE(QUrl(token.queryItemValue("redirect_uri", QUrl::FullyDecoded)).port(),
                 redirect.port());
        QVERIFY(client.hasToken());
    }

    void listenerOnLoopbackOnly()
    {
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        QVERIFY(startSignIn(client));
        const QUrl redirect(
            QUrlQuery(browser_.opened.first()).queryItemValue("redirect_uri", QUrl::FullyDecoded));
        QCOMPARE(redirect.host(), QStringLiteral("127.0.0.1"));
        QTcpServer probe;
        QVERIFY(!probe.listen(QHostAddress::LocalHost, quint16(redirect.port())));
        browser_.opened.clear();
        // this machine's own non-loopback address finds no listener on that port
        QHostAddress own;
        for (const QHostAddress &a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
                own = a;
        if (own.isNull())
            QSKIP("no non-loopback address on this machine");
        QTcpSocket socket;
        socket.connectToHost(own, quint16(redirect.port()));
        QVERIFY(!socket.waitForConnected(3000));
    }

    void busyListenerPortFailsSignIn()
    {
        QTcpServer occupant;
        QVERIFY(occupant.listen(QHostAddress::LocalHost));
        UploadServiceConfig c = config();
        c.redirectPort = occupant.serverPort();
        YoutubeWrapper client;
        client.setConfig(c);
        client.init();
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        QSignalSpy granted(&client, &UploadClient::authenticated);
        browser_.opened.clear();
        client.authorize();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(granted.size(), 0);
        QCOMPARE(browser_.opened.size(), 0);
    }

    void secondSignInOpensBrowserOnceAndGrantsAgain()
    {
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        signIn(client);
        signIn(client);
    }

    // The multipart body holds the metadata part and the file, byte for byte; progress only
    // grows and ends at the total.
    void uploadSendsMultipartWithProgress()
    {
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        signIn(client);
        int uploadsBefore;
        {
            std::lock_guard<std::mutex> lock(seen_.mutex);
            uploadsBefore = seen_.uploads;
        }
        QSignalSpy progress(&client, &UploadClient::uploadProgressChanged);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        client.startUploadingVideo(video_, "My \"trip\"", "", "Private");
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(failed.size(), 0);
        QVERIFY(!client.isUploading());

        qint64 last = -1;
        qint64 total = 0;
        for (const QList<QVariant> &args : progress) {
            if (args.at(1).toLongLong() <= 0)
                continue; // the closing (0, 0) of a finished upload
            QVERIFY(args.at(0).toLongLong() >= last);
            last = args.at(0).toLongLong();
            if (args.at(1).toLongLong() > 0)
                total = args.at(1).toLongLong();
        }
        QVERIFY(total > videoBytes_.size());
        QCOMPARE(last, total);

        std::lock_guard<std::mutex> lock(seen_.mutex);
        QCOMPARE(seen_.uploads, uploadsBefore + 1);
        QCOMPARE(seen_.uploadQuery, QByteArray("snippet,status"));
        QVERIFY(seen_.uploadAuthorization.startsWith("Bearer token-"));
        QVERIFY(seen_.uploadContentType.startsWith("multipart/mixed"));
        QCOMPARE(qint64(seen_.uploadBody.size()), total);
        const QList<QByteArray> parts = multipartParts(seen_.uploadContentType, seen_.uploadBody);
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts.at(0), "Content-Type: application/json\r\n\r\n" +
                                  UploadRequest::metadataJson("My \"trip\"", "", "Private"));
        QCOMPARE(parts.at(1), QByteArray("Content-Type: video/*\r\n\r\n") + videoBytes_);
    }

    // A refused upload gives one error and no success; the next upload of the same client works.
    void errorAnswerThenSecondUploadSucceeds_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("code");
        QTest::newRow("401") << 401 << int(QNetworkReply::AuthenticationRequiredError);
        QTest::newRow("500") << 500 << int(QNetworkReply::InternalServerError);
        QTest::newRow("302 without follow") << 302 << int(QNetworkReply::UnknownContentError);
    }
    void errorAnswerThenSecondUploadSucceeds()
    {
        QFETCH(int, status);
        QFETCH(int, code);
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        signIn(client);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        uploadStatus_ = status;
        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(failed.wait(20000));
        expectOneUploadError(client, failed, finished, code);
        if (QTest::currentTestFailed())
            return;

        uploadStatus_ = 201;
        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(failed.size(), 1);
    }

    void silentServerTimesTheUploadOut()
    {
        YoutubeWrapper client;
        client.setConfig(config());
        client.setTransferTimeout(300);
        client.init();
        signIn(client);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        uploadStatus_ = 0;
        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(failed.wait(20000));
        expectOneUploadError(client, failed, finished, QNetworkReply::TimeoutError);
    }

    void cancelGivesNeitherSuccessNorError()
    {
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        signIn(client);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        client.cancelUpload(); // nothing runs: nothing happens
        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(client.isUploading());
        client.cancelUpload();
        QVERIFY(!client.isUploading());
        QTest::qWait(200);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(failed.size(), 0);
        client.cancelUpload();

        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(finished.wait(20000));
        QCOMPARE(failed.size(), 0);
    }

    // The share dialog's whole road with its own client: choose, sign in, upload, done.
    void shareDialogUploadsThroughTheService()
    {
        FormShare dialog;
        dialog.youtubeWrapper().setConfig(config());
        uploadThroughShareDialog(dialog, video_);
        if (QTest::currentTestFailed())
            return;
        auto *percent = dialog.findChild<QLabel *>(QStringLiteral("s3_la_progress"));
        QTRY_COMPARE_WITH_TIMEOUT(percent->text(), QStringLiteral("100%"), 20000);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("s3_la_number"))->text(),
                 QStringLiteral("3MB / 3MB"));
        QVERIFY(!dialog.errorDialog());
        std::lock_guard<std::mutex> lock(seen_.mutex);
        QVERIFY(
            seen_.uploadBody.contains("- Dashcam - TALVEX VIDEO PLAYER\",\"description\": \"\""));
        QVERIFY(seen_.uploadBody.contains("\"privacyStatus\": \"Public\""));
    }

    // Another program changes the video while the share dialog uploads it, with the service
    // holding the body meanwhile: the upload ends on the error dialog, which says that the file
    // changed, and the service gets no byte past the length the request announced. Left alone,
    // the same video goes through to the end with its progress.
    void shareDialogUploadOfAChangingVideo_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<qint64>("amount");
        const qint64 mb = 1024 * 1024;
        QTest::newRow("unchanged") << int(ChangingFile::Unchanged) << qint64(0);
        QTest::newRow("truncated to 0 bytes") << int(ChangingFile::TruncateTo) << qint64(0);
        QTest::newRow("truncated to 5 MB") << int(ChangingFile::TruncateTo) << 5 * mb;
        QTest::newRow("truncated to 20 MB") << int(ChangingFile::TruncateTo) << 20 * mb;
        QTest::newRow("grown by 1 MB") << int(ChangingFile::Append) << mb;
        QTest::newRow("rewritten in place") << int(ChangingFile::RewriteAt) << 24 * mb;
    }
    void shareDialogUploadOfAChangingVideo()
    {
        QFETCH(int, how);
        QFETCH(qint64, amount);
        const qint64 size = 25 * 1024 * 1024;
        const QString video = dir_.filePath(QStringLiteral("long drive.mp4"));
        ChangingFile::writeAged(video, size);
        if (QTest::currentTestFailed())
            return;
        UploadServiceConfig c = config();
        c.uploadUrl =
            QUrl(slow_.url(QStringLiteral("/upload/youtube/v3/videos?part=snippet,status")));
        FormShare dialog;
        dialog.youtubeWrapper().setConfig(c);
        QSignalSpy changed(&dialog.youtubeWrapper(), &UploadClient::videoFileChanged);
        QSignalSpy failed(&dialog.youtubeWrapper(), &UploadClient::networkErrorOccur);
        QSignalSpy finished(&dialog.youtubeWrapper(), &UploadClient::uploadFinished);
        uploadThroughShareDialog(dialog, video);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(slow_.holding(), 10000);

        ChangingFile::change(video, ChangingFile::Change(how), amount);
        slow_.release();
        if (QTest::currentTestFailed())
            return;
        auto *percent = dialog.findChild<QLabel *>(QStringLiteral("s3_la_progress"));
        if (how == ChangingFile::Unchanged) {
            QTRY_COMPARE_WITH_TIMEOUT(percent->text(), QStringLiteral("100%"), 20000);
            QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("s3_la_number"))->text(),
                     QStringLiteral("25MB / 25MB"));
            QCOMPARE(finished.size(), 1);
            QVERIFY(slow_.answered());
            QTRY_VERIFY(slow_.done());
            QCOMPARE(slow_.received(), slow_.announced());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(dialog.errorDialog(), 20000);
            QPointer<FormDialog> error = dialog.errorDialog();
            const QString text =
                error->findChild<QLabel *>(QStringLiteral("networkError_tv"))->text();
            QVERIFY2(text.startsWith(QStringLiteral(
                         "Upload failed: the video file changed while it was uploaded.\n")),
                     qPrintable(text));
            QTRY_VERIFY(slow_.done());
            qInfo("the service received %lld of %lld bytes", slow_.received(), slow_.announced());
            QVERIFY(!slow_.answered());
            QVERIFY(slow_.received() <= slow_.announced());
            QCOMPARE(changed.size(), 1);
            QCOMPARE(finished.size(), 0);
            QVERIFY(percent->text() != QStringLiteral("100%"));
            // its OK returns to the first page, from where the user may try again
            QTest::mouseClick(
                error->findChild<QPushButton *>(QStringLiteral("networkError_btn_ok")),
                Qt::LeftButton);
            QCOMPARE(dialog.page(), 1);
            QTRY_VERIFY(!error);
        }
        QCOMPARE(failed.size(), 0);
        QVERIFY(slow_.announced() > size);
        QVERIFY(!dialog.youtubeWrapper().isUploading());
    }

    // The consent prompt: agreeing signals and closes; a link goes to the system browser.
    void consentPromptAgreesAndOpensLinks()
    {
        YoutubePromptDialog prompt;
        prompt.show();
        QSignalSpy agreed(&prompt, &YoutubePromptDialog::agress_singnal);
        browser_.opened.clear();
        QVERIFY(QMetaObject::invokeMethod(&prompt, "openURL2",
                                          Q_ARG(QString, server_.url(QStringLiteral("/terms")))));
        QCOMPARE(browser_.opened, QList<QUrl>{QUrl(server_.url(QStringLiteral("/terms")))});
        QVERIFY(QMetaObject::invokeMethod(&prompt, "onPressedCannotMove"));
        QVERIFY(prompt.cannotMove());
        QVERIFY(QMetaObject::invokeMethod(&prompt, "onAgreeEvent"));
        QCOMPARE(agreed.size(), 1);
        QVERIFY(!prompt.isVisible());
    }

    void uploadThatCannotStartIsReported_data()
    {
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::newRow("no token") << false << QStringLiteral("clip one.mp4")
                                  << int(QNetworkReply::AuthenticationRequiredError);
        QTest::newRow("missing file")
            << true << QStringLiteral("gone.mp4") << int(QNetworkReply::ContentNotFoundError);
    }
    void uploadThatCannotStartIsReported()
    {
        QFETCH(bool, signedIn);
        QFETCH(QString, file);
        QFETCH(int, code);
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        if (signedIn)
            signIn(client);
        int uploadsBefore;
        {
            std::lock_guard<std::mutex> lock(seen_.mutex);
            uploadsBefore = seen_.uploads;
        }
        QSignalSpy started(&client, &UploadClient::uploadStarted);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        client.startUploadingVideo(dir_.filePath(file), "t", "", "Public");
        QCOMPARE(failed.size(), 1);
        QCOMPARE(int(failed.first().first().value<QNetworkReply::NetworkError>()), code);
        QCOMPARE(started.size(), 0);
        QVERIFY(!client.isUploading());
        QTest::qWait(50);
        std::lock_guard<std::mutex> lock(seen_.mutex);
        QCOMPARE(seen_.uploads, uploadsBefore);
    }

    // A token answer without end, or one that trickles a byte a second, fails the sign-in in
    // time, with memory bounded: the answer is held to its size and its deadline.
    void hostileTokenAnswerFailsTheSignIn_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("endless") << int(Endless);
        QTest::newRow("one byte a second") << int(Trickling);
        QTest::newRow("redirect to another host") << int(MovedAway307);
    }
    void hostileTokenAnswerFailsTheSignIn()
    {
        QFETCH(int, answer);
        tokenAnswer_ = TokenHostile;
        hostileAnswer_ = answer;
        YoutubeWrapper client;
        client.setConfig(config());
        if (answer == Trickling)
            client.setAnswerDeadline(2000); // an endless answer ends at its size, long before
        client.init();
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        QSignalSpy granted(&client, &UploadClient::authenticated);
        QVERIFY(startSignIn(client));
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QVERIFY(signInEnds(failed, granted, 20000, growth));
        QVERIFY2(growth.below(128 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QTest::qWait(100);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(granted.size(), 0);
        QVERIFY(!client.hasToken());
        std::lock_guard<std::mutex> lock(seen_.mutex);
        QCOMPARE(otherHostAuthorizations_, QList<QByteArray>());
    }

    // An upload answer without end, or one that trickles a byte a second once the video is
    // sent, ends the upload as a network error in time, with memory bounded.
    void hostileUploadAnswerFailsTheUpload_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("code");
        QTest::newRow("endless") << int(Endless) << int(QNetworkReply::UnknownContentError);
        QTest::newRow("one byte a second") << int(Trickling) << int(QNetworkReply::TimeoutError);
    }
    void hostileUploadAnswerFailsTheUpload()
    {
        QFETCH(int, answer);
        QFETCH(int, code);
        YoutubeWrapper client;
        client.setConfig(config());
        if (answer == Trickling)
            client.setAnswerDeadline(2000); // an endless answer ends at its size, long before
        client.init();
        signIn(client);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        hostileAnswer_ = answer;
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QElapsedTimer clock;
        clock.start();
        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(failed.wait(20000));
        qInfo("upload failed after %lld ms, peak memory growth %lld MiB", clock.elapsed(),
              growth.bytes() / (1024 * 1024));
        QVERIFY2(growth.below(128 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        expectOneUploadError(client, failed, finished, code);
    }

    // Every hostile token answer fails the sign-in, with memory bounded; a head or chunk line
    // without end within 15 s, the idle timeout set far beyond that. So does a slow peer, whose
    // head lines or body bytes keep within the idle timeout, by the head's or the body's bound
    // (shortened here), and an answer that is no grant by its status (204, 206, another 2xx), the
    // token in it or not. Well-formed framing of every kind grants the token.
    void tokenAnswerFraming_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<int>("secondMs"); // a slow peer's second; 0: the idle timeout far away
        for (const HostileAnswers::Hostile &h : HostileAnswers::all())
            QTest::newRow(h.name) << h.answer << false << (h.headFlood ? 15000 : 60000) << 0;
        for (const HostileAnswers::Hostile &slow :
             HostileAnswers::slowPeers(HostileAnswers::shortSecondMs))
            QTest::newRow(slow.name)
                << slow.answer << false << 20000 << HostileAnswers::shortSecondMs;
        const QByteArray token = R"({"access_token":"framed","token_type":"Bearer"})";
        for (const HostileAnswers::NoFile &noFile :
             HostileAnswers::noFiles(token, "application/json"))
            QTest::newRow(noFile.name) << noFile.answer << false << 10000 << 0;
        for (const HostileAnswers::WellFormed &w : HostileAnswers::wellFormed(token, false)) {
            RawHttpServer::Answer json = w.answer;
            json.bytes.replace("HTTP/1.1 200 OK\r\n",
                               "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n");
            QTest::addRow("well-formed, %s", w.name) << json << true << 10000 << 0;
        }
    }
    void tokenAnswerFraming()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(bool, granted);
        QFETCH(int, waitMs);
        QFETCH(int, secondMs);
        raw_.setAnswer(answer);
        UploadServiceConfig c = config();
        c.tokenUrl = QUrl(raw_.url(QStringLiteral("/token")));
        YoutubeWrapper client;
        client.setConfig(c);
        shortenBounds(client, secondMs);
        client.init();
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        QSignalSpy grants(&client, &UploadClient::authenticated);
        QVERIFY(startSignIn(client));
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QVERIFY(signInEnds(failed, grants, waitMs, growth));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QTest::qWait(50);
        QCOMPARE(grants.size(), granted ? 1 : 0);
        QCOMPARE(failed.size(), granted ? 0 : 1);
        QCOMPARE(client.hasToken(), granted);
    }

    // Every hostile upload answer fails the upload once with the reply's code, with memory
    // bounded; so does a slow peer (TimeoutError, by the head's or the body's bound, shortened
    // here) and an answer that is no stored video by its status, the service's JSON in it or not
    // (204, 206, 203: UnknownContentError). Well-formed framing of every kind ends it as done.
    void uploadAnswerFraming_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<int>("secondMs"); // a slow peer's second; 0: the idle timeout far away
        for (const HostileAnswers::Hostile &h : HostileAnswers::all())
            QTest::newRow(h.name) << h.answer << int(h.error) << (h.headFlood ? 15000 : 60000) << 0;
        for (const HostileAnswers::Hostile &slow :
             HostileAnswers::slowPeers(HostileAnswers::shortSecondMs))
            QTest::newRow(slow.name)
                << slow.answer << int(slow.error) << 20000 << HostileAnswers::shortSecondMs;
        const QByteArray done = R"({"id":"v1"})";
        for (const HostileAnswers::NoFile &noFile :
             HostileAnswers::noFiles(done, "application/json"))
            QTest::newRow(noFile.name)
                << noFile.answer << int(QNetworkReply::UnknownContentError) << 10000 << 0;
        for (const HostileAnswers::WellFormed &w : HostileAnswers::wellFormed(done, true))
            QTest::addRow("well-formed, %s", w.name) << w.answer << 0 << 20000 << 0;
    }
    void uploadAnswerFraming()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(int, code);
        QFETCH(int, waitMs);
        QFETCH(int, secondMs);
        raw_.setAnswer(answer);
        UploadServiceConfig c = config();
        c.uploadUrl =
            QUrl(raw_.url(QStringLiteral("/upload/youtube/v3/videos?part=snippet,status")));
        YoutubeWrapper client;
        client.setConfig(c);
        shortenBounds(client, secondMs);
        client.init();
        signIn(client);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QElapsedTimer clock;
        clock.start();
        client.startUploadingVideo(video_, "t", "", "Public");
        QTRY_VERIFY_WITH_TIMEOUT(failed.size() + finished.size() > 0, waitMs);
        qInfo("ended after %lld ms, peak memory growth %lld MiB", clock.elapsed(),
              growth.bytes() / (1024 * 1024));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        if (code == 0) {
            QTest::qWait(50);
            QCOMPARE(finished.size(), 1);
            QCOMPARE(failed.size(), 0);
            return;
        }
        expectOneUploadError(client, failed, finished, code);
    }

    // The upload's bearer token goes to the service's origin only: a redirect to another host
    // fails the upload, and that host never hears of the token.
    void uploadRedirectKeepsTheTokenAtItsOrigin_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("302") << int(MovedAway302);
        QTest::newRow("307") << int(MovedAway307);
    }
    void uploadRedirectKeepsTheTokenAtItsOrigin()
    {
        QFETCH(int, answer);
        YoutubeWrapper client;
        client.setConfig(config());
        client.init();
        signIn(client);
        QSignalSpy finished(&client, &UploadClient::uploadFinished);
        QSignalSpy failed(&client, &UploadClient::networkErrorOccur);
        hostileAnswer_ = answer;
        client.startUploadingVideo(video_, "t", "", "Public");
        QVERIFY(failed.wait(20000));
        expectOneUploadError(client, failed, finished, QNetworkReply::UnknownContentError);
        QTest::qWait(150); // a request the redirect sent elsewhere would have arrived
        std::lock_guard<std::mutex> lock(seen_.mutex);
        QCOMPARE(otherHostAuthorizations_, QList<QByteArray>());
    }

    // Consent refused in the browser comes back as an OAuth error: the sign-in fails at once, not
    // at its timer, asks for no token, and a later redirect finds nobody.
    void refusedConsentFailsTheSignInAtOnce_data()
    {
        QTest::addColumn<QByteArray>("redirectQuery");
        QTest::newRow("access_denied") << QByteArray("error=access_denied");
        QTest::newRow("with a description")
            << QByteArray("error=access_denied&error_description=The%20user%20refused");
    }
    void refusedConsentFailsTheSignInAtOnce()
    {
        QFETCH(QByteArray, redirectQuery);
        YoutubeWrapper client;
        client.setConfig(config());
        client.init(); // the sign-in timer keeps its 5 minutes
        QSignalSpy failed(&client, &UploadClient::authorizationFailed);
        QSignalSpy granted(&client, &UploadClient::authenticated);
        int tokenRequestsBefore;
        {
            std::lock_guard<std::mutex> lock(seen_.mutex);
            tokenRequestsBefore = seen_.tokenRequests;
        }
        QVERIFY(startSignIn(client));
        QCOMPARE(OAuthRedirect::play(browser_.opened.first(), redirectQuery), 200);
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(OAuthRedirect::play(browser_.opened.first(), "code=late"), 0); // nobody listens
        QTest::qWait(100);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(granted.size(), 0);
        QVERIFY(!client.hasToken());
        std::lock_guard<std::mutex> lock(seen_.mutex);
        QCOMPARE(seen_.tokenRequests, tokenRequestsBefore);
    }
};

TALVEX_TEST_MAIN(TstYoutubeWrapper)
#include "tst_youtubewrapper.moc"

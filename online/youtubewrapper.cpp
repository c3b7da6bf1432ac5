#include "youtubewrapper.h"

#include "answerguard.h"
#include "onlinelog.h"
#include "uploadbody.h"
#include "uploadrequest.h"

#include <QDebug>
#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QOAuthHttpServerReplyHandler>

namespace {

// The sign-in's listener, whose token answers grant only as a 200: Qt's handler takes a token
// from any answer without an error, a 203 or a 206 included.
class TokenReplyHandler : public QOAuthHttpServerReplyHandler
{
public:
    using QOAuthHttpServerReplyHandler::QOAuthHttpServerReplyHandler;

    void networkReplyFinished(QNetworkReply *reply) override
    {
        // left unread, the answer gives no grant and so fails the sign-in (onFlowReplyFinished)
        if (reply->error() == QNetworkReply::NoError &&
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
            return;
        QOAuthHttpServerReplyHandler::networkReplyFinished(reply);
    }
};

} // namespace

YoutubeWrapper::YoutubeWrapper(QObject *parent)
    : UploadClient(parent), config_(UploadServiceConfig::current())
{
    flow.setNetworkAccessManager(&manager_);
    signInTimer_.setSingleShot(true);
    signInTimer_.setInterval(signInTimeoutMs);
}

YoutubeWrapper::~YoutubeWrapper()
{
    // a running reply would go on reading the body: stop it before the members go
    if (currentReply) {
        currentReply->disconnect(this);
        currentReply->abort();
        releaseUpload();
    }
}

void YoutubeWrapper::init()
{
    currentReply = nullptr;
    // One authenticated() per grant: the first grant changes the status, a later one only the
    // token (the status stays Granted).
    connect(&flow, &QAbstractOAuth::statusChanged, this, [this](QAbstractOAuth::Status status) {
        if (status == QAbstractOAuth::Status::Granted)
            endSignIn(true);
    });
    connect(&flow, &QAbstractOAuth::tokenChanged, this, [this](const QString &token) {
        if (!token.isEmpty() && flow.status() == QAbstractOAuth::Status::Granted)
            endSignIn(true);
    });
    connect(&flow, &QAbstractOAuth2::error, this, [this] { endSignIn(false); });
    connect(&manager_, &QNetworkAccessManager::finished, this,
            &YoutubeWrapper::onFlowReplyFinished);
    connect(&signInTimer_, &QTimer::timeout, this, [this] { endSignIn(false); });
    connect(&flow, &QAbstractOAuth::authorizeWithBrowser, this, &YoutubeWrapper::onLoad);
    // Qt 5.15's listener hands the code on still percent-encoded and the flow encodes it again:
    // decode that layer so that the token request carries the code as the service sent it.
    flow.setModifyParametersFunction([](QAbstractOAuth::Stage stage, QVariantMap *parameters) {
        if (stage != QAbstractOAuth::Stage::RequestingAccessToken)
            return;
        const QString key = QStringLiteral("code");
        const QByteArray sent = parameters->value(key).toByteArray();
        const QByteArray received = QUrl::fromPercentEncoding(sent).toUtf8();
        parameters->insert(key, QUrl::toPercentEncoding(QUrl::fromPercentEncoding(received)));
    });
}

bool YoutubeWrapper::startListener()
{
    if (replyHandler && replyHandler->isListening() &&
        (config_.redirectPort == 0 || replyHandler->port() == config_.redirectPort))
        return true;
    flow.setReplyHandler(nullptr);
    replyHandler.reset();
    // loopback only: the redirect comes from the browser on this machine
    std::unique_ptr<QOAuthHttpServerReplyHandler> handler =
        std::make_unique<TokenReplyHandler>(QHostAddress::LocalHost, config_.redirectPort);
    if (!handler->isListening()) {
        qWarning() << "YoutubeWrapper: sign-in listener cannot listen on 127.0.0.1 port"
                   << config_.redirectPort;
        return false;
    }
    replyHandler = std::move(handler);
    return true;
}

void YoutubeWrapper::stopListener()
{
    flow.setReplyHandler(nullptr);
    // closed, not deleted: an OAuth error in the redirect ends the sign-in from inside the
    // listener, which then still answers the browser
    if (replyHandler)
        replyHandler->close();
}

void YoutubeWrapper::endSignIn(bool granted)
{
    if (!awaitingGrant)
        return;
    if (!granted) {
        cancelAuthorization(); // a late redirect finds nobody
        emit authorizationFailed();
        return;
    }
    awaitingGrant = false;
    signInTimer_.stop();
    emit authenticated();
}

void YoutubeWrapper::cancelAuthorization()
{
    awaitingGrant = false;
    signInTimer_.stop();
    stopListener();
}

void YoutubeWrapper::onFlowReplyFinished(QNetworkReply *reply)
{
    if (!awaitingGrant || reply->request().url() != config_.tokenUrl)
        return;
    // The flow reads the answer after this; one that gave no token leaves the sign-in waiting
    // (the flow reports no failure of its own): it has failed, unless a new one began since.
    const quint64 attempt = signInAttempt;
    QTimer::singleShot(0, this, [this, attempt] {
        if (attempt == signInAttempt)
            endSignIn(false);
    });
}

void YoutubeWrapper::authorize()
{
    flow.setScope(config_.scope);
    flow.setAuthorizationUrl(config_.authUrl);
    flow.setAccessTokenUrl(config_.tokenUrl);
    flow.setClientIdentifier(config_.clientId);
    flow.setClientIdentifierSharedKey(config_.clientSecret);
    awaitingGrant = false;
    signInTimer_.stop();
    ++signInAttempt;
    // a placeholder address would send the browser nowhere
    if (config_.isPlaceholder() || !startListener()) {
        emit authorizationFailed();
        return;
    }
    flow.setReplyHandler(replyHandler.get());
    awaitingGrant = true;
    signInTimer_.start();
    flow.grant();
}

void YoutubeWrapper::onLoad(QUrl url)
{
    QDesktopServices::openUrl(UploadRequest::browserUrl(url));
}

void YoutubeWrapper::startUploadingVideo(const QString &path, const QByteArray &title,
                                         const QByteArray &description,
                                         const QByteArray &privacyStatus)
{
    cancelUpload();
    uploadCancelled = false;
    if (flow.token().isEmpty()) {
        emit networkErrorOccur(QNetworkReply::AuthenticationRequiredError);
        return;
    }
    // the body belongs to the reply, which may read from it until it is gone
    auto upload = std::make_unique<UploadBody>(
        path, UploadRequest::metadataJson(title, description, privacyStatus));
    if (!upload->open(QIODevice::ReadOnly)) {
        qCDebug(lcOnline) << "YoutubeWrapper::startUploadingVideo"
                          << " wasn't able to open video file\n";
        emit networkErrorOccur(QNetworkReply::ContentNotFoundError);
        return;
    }

    QNetworkRequest request(config_.uploadUrl);
    request.setRawHeader("Authorization", UploadRequest::authorizationHeader(flow.token()));
    upload->describe(request);
    QNetworkReply *reply = flow.networkAccessManager()->post(request, upload.get());
    body = upload.release();
    body->setParent(reply);
    currentReply = reply;
    errorReported = false;
    // error notifications come before finished()
    connect(reply, &QNetworkReply::errorOccurred, this, &YoutubeWrapper::replyerror);
    connect(reply, &QNetworkReply::finished, this, &YoutubeWrapper::onUploadFinished);
    connect(reply, &QNetworkReply::uploadProgress, this, &UploadClient::uploadProgressChanged);
    emit uploadStarted();
}

void YoutubeWrapper::replyerror(QNetworkReply::NetworkError code)
{
    if (code == QNetworkReply::NoError || code == QNetworkReply::OperationCanceledError)
        return;
    if (errorReported || !currentReply || sender() != currentReply)
        return;
    reportUploadError(code);
    // not from inside the reply's own error notification; finished() may come first
    QMetaObject::invokeMethod(currentReply, &QNetworkReply::abort, Qt::QueuedConnection);
}

void YoutubeWrapper::onUploadFinished()
{
    QNetworkReply *reply = currentReply;
    if (!reply || sender() != reply)
        return;
    if (!errorReported && reply->error() == QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // the service answers an upload it stored with 200 (or 201 Created); a 204, a 206 or
        // another 2xx says no such thing
        if (status == 200 || status == 201) {
            emit uploadFinished();
        } else {
            // an answer that is neither an error nor a success (a redirect, a 204, say)
            reportUploadError(QNetworkReply::UnknownContentError);
        }
    } else if (!errorReported && !uploadCancelled &&
               reply->error() == QNetworkReply::OperationCanceledError) {
        // aborted by the transfer timeout or the answer's bounds, not by cancelUpload()
        const QNetworkReply::NetworkError bound = AnswerGuard::endOf(reply);
        reportUploadError(bound != QNetworkReply::NoError ? bound : QNetworkReply::TimeoutError);
    }
    if (reply == currentReply)
        releaseUpload();
}

void YoutubeWrapper::reportUploadError(QNetworkReply::NetworkError code)
{
    errorReported = true;
    // a body that stopped because the file changed ends the transfer as an error of its own
    if (body && body->fileChanged())
        emit videoFileChanged();
    else
        emit networkErrorOccur(code);
}

void YoutubeWrapper::releaseUpload()
{
    if (body)
        body->close();
    if (currentReply) {
        currentReply->disconnect(this);
        currentReply->deleteLater(); // takes the body with it
    }
    currentReply = nullptr;
    body = nullptr;
    errorReported = false;
}

void YoutubeWrapper::cancelUpload()
{
    if (currentReply) {
        uploadCancelled = true;
        currentReply->abort(); // finished() follows at once and releases the upload
    }
}

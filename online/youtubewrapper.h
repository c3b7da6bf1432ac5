// Upload client of the video-sharing service: OAuth2 sign-in through the system browser and a
// loopback listener on 127.0.0.1, then one multipart upload per request. GUI thread only.
// The access token lives in memory only and is never written or logged.
#pragma once

#include "smallanswermanager.h"
#include "uploadclient.h"
#include "uploadserviceconfig.h"

#include <QOAuth2AuthorizationCodeFlow>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>

class QOAuthHttpServerReplyHandler;
class UploadBody;

class YoutubeWrapper : public UploadClient
{
    Q_OBJECT
public:
    explicit YoutubeWrapper(QObject *parent = nullptr);
    ~YoutubeWrapper() override;

    // A sign-in not completed in the browser within this time fails.
    static constexpr int signInTimeoutMs = 5 * 60 * 1000;

    // Addresses and client record; UploadServiceConfig::current() until set. Before authorize().
    void setConfig(const UploadServiceConfig &config) { config_ = config; }
    const UploadServiceConfig &config() const { return config_; }

    // One-time wiring; called once right after construction.
    void init();
    // Fails at once, opening no browser, when the configuration holds placeholders.
    void authorize() override;
    void cancelAuthorization() override;
    // Milliseconds without a byte after which the token request or the upload fails.
    void setTransferTimeout(int ms) { manager_.setTransferTimeout(ms); }
    // Milliseconds the token answer, or the upload answer once the video is sent, may take.
    void setAnswerDeadline(int ms) { manager_.setAnswerDeadline(ms); }
    // The head's and the body's bounds in time (NetworkLimits::PaceBounds) of the token requests
    // and the upload.
    void setPaceBounds(const NetworkLimits::PaceBounds &bounds) { manager_.setPaceBounds(bounds); }
    // Milliseconds the sign-in may take in the browser.
    void setSignInTimeout(int ms) { signInTimer_.setInterval(ms); }
    void startUploadingVideo(const QString &path, const QByteArray &title,
                             const QByteArray &description,
                             const QByteArray &privacyStatus) override;
    bool isUploading() const { return !currentReply.isNull(); }
    bool hasToken() const { return !flow.token().isEmpty(); }

public slots:
    void cancelUpload() override;

private slots:
    // The system-browser route of the sign-in page.
    void onLoad(QUrl url);
    void onUploadFinished();
    void replyerror(QNetworkReply::NetworkError code);

private:
    bool startListener();
    void stopListener();
    // The end of a running sign-in: authenticated() or authorizationFailed(), once.
    void endSignIn(bool granted);
    // A finished request of the flow: a token request that gave no grant fails the sign-in.
    void onFlowReplyFinished(QNetworkReply *reply);
    // networkErrorOccur(code), or videoFileChanged() when the body found the file changed.
    void reportUploadError(QNetworkReply::NetworkError code);
    void releaseUpload();

    UploadServiceConfig config_;
    SmallAnswerManager manager_; // the token requests and the upload; outlives the flow
    QOAuth2AuthorizationCodeFlow flow;
    QTimer signInTimer_;
    // created by authorize(), bound to 127.0.0.1 only; closed, not deleted, when a sign-in ends
    std::unique_ptr<QOAuthHttpServerReplyHandler> replyHandler;
    QPointer<QNetworkReply> currentReply; // the running upload; null between uploads
    QPointer<UploadBody> body;            // read by currentReply, which owns it
    bool errorReported = false;           // currentReply's failure already reported
    bool awaitingGrant = false;           // authorize() ran and no grant or failure came yet
    bool uploadCancelled = false;         // cancelUpload() aborted currentReply
    quint64 signInAttempt = 0;            // counts authorize() calls
};

// Upload client of the video-sharing service: OAuth2 sign-in through the system browser and a
// loopback listener on 127.0.0.1, then one multipart upload per request. GUI thread only.
// The access token lives in memory only and is never written or logged.
#pragma once

#include "uploadclient.h"
#include "uploadserviceconfig.h"

#include <QFile>
#include <QOAuth2AuthorizationCodeFlow>
#include <QPointer>
#include <QUrl>

#include <memory>

class QHttpMultiPart;
class QOAuthHttpServerReplyHandler;

class YoutubeWrapper : public UploadClient
{
    Q_OBJECT
public:
    explicit YoutubeWrapper(QObject *parent = nullptr);
    ~YoutubeWrapper() override;

    // Addresses and client record; the bundled placeholders until set. Before authorize().
    void setConfig(const UploadServiceConfig &config) { config_ = config; }
    const UploadServiceConfig &config() const { return config_; }

    // One-time wiring; called once right after construction.
    void init();
    void authorize() override;
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
    void releaseUpload();

    UploadServiceConfig config_;
    QOAuth2AuthorizationCodeFlow flow;
    // created by authorize(): bound to 127.0.0.1 only
    std::unique_ptr<QOAuthHttpServerReplyHandler> replyHandler;
    QPointer<QNetworkReply> currentReply; // the running upload; null between uploads
    QPointer<QFile> videoFile;            // opened for the running upload; owned by multiPart
    QHttpMultiPart *multiPart = nullptr;  // body of currentReply, released with it
    bool errorReported = false;           // networkErrorOccur already sent for currentReply
    bool awaitingGrant = false;           // authorize() ran and no grant or failure came yet
};

// What the share dialog needs of an upload client: sign-in, one upload at a time, cancel.
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>

class UploadClient : public QObject
{
    Q_OBJECT
public:
    explicit UploadClient(QObject *parent = nullptr) : QObject(parent) {}

    // Starts the sign-in; authenticated() once the service grants access, authorizationFailed()
    // when it cannot go on or is not completed in time.
    virtual void authorize() = 0;
    // Gives up a running sign-in: no signal follows, a late grant is ignored.
    virtual void cancelAuthorization() = 0;
    // Posts path with its metadata; progress, then uploadFinished() or networkErrorOccur().
    virtual void startUploadingVideo(const QString &path, const QByteArray &title,
                                     const QByteArray &description,
                                     const QByteArray &privacyStatus) = 0;

public slots:
    // Aborts the running upload; no signal follows. Nothing when none runs.
    virtual void cancelUpload() = 0;

signals:
    void authenticated();
    // The sign-in cannot go on: the loopback listener did not start, the service is not set up,
    // the token request failed or timed out, or the sign-in was not completed in time.
    void authorizationFailed();
    void uploadStarted();
    // Only after a 200 or 201 answer (the service stored the video).
    void uploadFinished();
    void uploadProgressChanged(qint64 bytesSent, qint64 bytesTotal);
    // Once per failed upload, unless videoFileChanged() reports it: a network error (TimeoutError
    // for an answer past its deadline, UnknownContentError for one past its size,
    // ProtocolFailure for a success answer that came before the whole video was sent), an answer
    // other than 200 or 201, no token (AuthenticationRequiredError) or a video file that cannot
    // be opened (ContentNotFoundError).
    void networkErrorOccur(QNetworkReply::NetworkError error);
    // Once per upload that failed because the video file changed while it was sent (its size or
    // modification time, or it gave fewer bytes than it had): nothing past the length the
    // request announced was sent.
    void videoFileChanged();
};

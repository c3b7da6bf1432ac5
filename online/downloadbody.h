// One download's body, bounded: kept in memory or streamed into "<target>.part", and how the
// transfer ended. Shared by the update wizards' downloader and the cloud-drive downloader.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

namespace NetworkLimits {
// A transfer that receives and sends nothing for this long ends with TimeoutError.
constexpr int transferTimeoutMs = 30000;
// The version file is a few lines of JSON.
constexpr qint64 versionFileMaxBytes = 256 * 1024;
} // namespace NetworkLimits

class DownloadBody : public QObject
{
    Q_OBJECT
public:
    enum class End
    {
        Complete,   // a 2xx answer with every announced byte, all of it kept
        Failed,     // network error, timeout, error answer, too large or cancelled: see error()
        WriteFailed // the part file refused bytes (a full disk, say); nothing is kept
    };

    // maxBytes: the most the body may hold. targetPath empty keeps the body in memory.
    DownloadBody(qint64 maxBytes, const QString &targetPath, QObject *parent = nullptr);
    ~DownloadBody() override;

    // Creates the part file (memory bodies need none); false when it cannot be written.
    bool open();
    // Follows reply until it finishes; then ended() is emitted once.
    void attach(QNetworkReply *reply);
    // Aborts the transfer; it ends as Failed with OperationCanceledError.
    void cancel();

    End end() const { return end_; }
    QNetworkReply::NetworkError error() const { return error_; }
    QByteArray data() const { return data_; }
    qint64 size() const { return received_; }
    QString partPath() const { return part_.fileName(); }

    // Renames part over target in one step (rename(2)); an existing target is replaced.
    static bool replace(const QString &part, const QString &target);

signals:
    void ended();

private:
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void stop(End end, QNetworkReply::NetworkError error);
    bool answerIsFile() const;

    QPointer<QNetworkReply> reply_;
    const qint64 maxBytes_;
    const bool toFile_;
    QFile part_;
    QByteArray data_;
    qint64 received_ = 0;
    qint64 announced_ = -1;
    bool stopped_ = false; // aborted here: end_ and error_ are already set
    End end_ = End::Failed;
    QNetworkReply::NetworkError error_ = QNetworkReply::NoError;
};

// Downloads a queue of update files from a folder of the cloud drive into the working folder,
// one after the other, reporting per-file progress and the files still to come.
#pragma once

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QStringList>

#include <memory>

class Dropbox : public QObject
{
    Q_OBJECT
public:
    explicit Dropbox(QObject *parent = nullptr);

    // Sets up a batch of names and fetches the first one.
    void startBatch(const QStringList &names);
    // Fetches the first name of names into the working folder.
    void downloadFile(QStringList names);

    // The file a name is stored as in the working folder ("Zq Player.exe" is stored aside).
    static QString targetPath(const QString &name);
    // The "Dropbox-API-Arg" header value naming the file in the cloud folder.
    static QByteArray apiArgument(const QString &folder, const QString &name);

signals:
    void onDownloadProgressSignal(qlonglong d1, qlonglong d2);
    void onDownloadCount(signed char count, signed char total);
    void hasUpdateData(QString version);
    void updateComplete();

private slots:
    void onReadyRead();
    void replyFinished(QNetworkReply *reply);
    void onDownloadProgress(qlonglong d1, qlonglong d2);

private:
    QNetworkAccessManager manager_;
    QNetworkReply *reply_ = nullptr;
    signed char total_ = 0;
    // Written as "<target>.part" and renamed over the target once the whole file arrived.
    std::unique_ptr<QFile> file_;
    QString target_;
    bool writeFailed_ = false;
    QStringList queue_;
};

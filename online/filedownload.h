// One download at a time into memory, and the step that writes it into a folder: the version
// file and the published file of the update wizards.
#pragma once

#include <QByteArray>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QUrl>

class FileDownload : public QObject
{
    Q_OBJECT
public:
    explicit FileDownload(QObject *parent = nullptr);

    // Stores name; starts a GET of url when idle, or aborts the running request (which ends
    // with downloadError(OperationCanceledError)) and sends nothing.
    void startDownload(const QUrl &url, const QString &name);
    void abort();
    QByteArray downloadedData() const;
    QString fileName() const;

    // Writes the downloaded bytes to folder + "/" + fileName() atomically; any thread. The
    // result is also reported by saveFileCompleted or saveFileFailed(1).
    bool saveFile(const QString &folder);

signals:
    // The request ended with a 2xx answer; its body is downloadedData().
    void downloaded();
    // The request failed or was answered with another status; nothing was kept.
    void downloadError(QNetworkReply::NetworkError error);
    void downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);
    void saveFileFailed(int errorCode);
    // filesize in KiB, remainder dropped
    void saveFileCompleted(QString path, QString name, int filesize);

private slots:
    void fileDownloaded(QNetworkReply *pReply);

private:
    QNetworkAccessManager manager_;
    QNetworkReply *reply_ = nullptr;
    bool busy_ = false;
    mutable QMutex mutex_; // guards data_ and fileName_, which saveFile reads on a pool worker
    QByteArray data_;
    QString fileName_;
};

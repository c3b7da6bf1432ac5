#include "filedownload.h"

#include <QMutexLocker>
#include <QNetworkRequest>
#include <QSaveFile>

FileDownload::FileDownload(QObject *parent) : QObject(parent)
{
    // Redirects are followed, but never from HTTPS to HTTP.
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    connect(&manager_, &QNetworkAccessManager::finished, this, &FileDownload::fileDownloaded);
}

void FileDownload::startDownload(const QUrl &url, const QString &name)
{
    {
        QMutexLocker lock(&mutex_);
        fileName_ = name;
    }
    if (busy_) {
        reply_->abort();
        return;
    }
    reply_ = manager_.get(QNetworkRequest(url));
    connect(reply_, &QNetworkReply::downloadProgress, this, &FileDownload::downloadProgress);
    busy_ = true;
}

void FileDownload::abort()
{
    if (busy_)
        reply_->abort();
}

QByteArray FileDownload::downloadedData() const
{
    QMutexLocker lock(&mutex_);
    return data_;
}

QString FileDownload::fileName() const
{
    QMutexLocker lock(&mutex_);
    return fileName_;
}

void FileDownload::fileDownloaded(QNetworkReply *pReply)
{
    busy_ = false;
    reply_ = nullptr;
    pReply->deleteLater();
    QNetworkReply::NetworkError error = pReply->error();
    const int status = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (error == QNetworkReply::NoError && (status < 200 || status > 299))
        error = QNetworkReply::UnknownContentError; // an answer that is no file
    if (error != QNetworkReply::NoError) {
        emit downloadError(error);
        return;
    }
    {
        QMutexLocker lock(&mutex_);
        data_ = pReply->readAll();
    }
    emit downloaded();
}

bool FileDownload::saveFile(const QString &folder)
{
    QByteArray data;
    QString name;
    {
        QMutexLocker lock(&mutex_);
        data = data_;
        name = fileName_;
    }
    const QString path = folder + QLatin1Char('/') + name;
    // Written beside the target and renamed over it only when every byte is on disk.
    QSaveFile file(path);
    const bool saved = !name.isEmpty() && file.open(QIODevice::WriteOnly) &&
                       file.write(data) == data.size() && file.commit();
    if (!saved) {
        emit saveFileFailed(1);
        return false;
    }
    emit saveFileCompleted(path, name, int(data.size() / 1024));
    return true;
}

#include "dropbox.h"

#include "updateconfig.h"

#include <QDir>
#include <QNetworkRequest>

#include <cstdio>

Dropbox::Dropbox(QObject *parent) : QObject(parent)
{
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    connect(&manager_, &QNetworkAccessManager::finished, this, &Dropbox::replyFinished);
}

QString Dropbox::targetPath(const QString &name)
{
    const QString stored =
        name.contains(QLatin1String("Zq Player.exe")) ? QStringLiteral("Zq Player_temp.exe") : name;
    return QDir::currentPath() + QLatin1Char('/') + stored;
}

QByteArray Dropbox::apiArgument(const QString &folder, const QString &name)
{
    return (QLatin1Char('{') + QString(43, QLatin1Char(' ')) + QStringLiteral("\"path\": \"") +
            folder + name + QLatin1Char('"') + QString(39, QLatin1Char(' ')) + QLatin1Char('}'))
        .toUtf8();
}

void Dropbox::startBatch(const QStringList &names)
{
    queue_ = names;
    total_ = static_cast<signed char>(names.size());
    downloadFile(queue_);
}

void Dropbox::downloadFile(QStringList names)
{
    if (names.isEmpty())
        return;
    const UpdateConfig &config = UpdateConfig::current();
    target_ = targetPath(names.first());
    file_ = std::make_unique<QFile>(target_ + QStringLiteral(".part"));
    writeFailed_ = !file_->open(QIODevice::WriteOnly | QIODevice::Truncate);

    QNetworkRequest request(config.cloudDownloadUrl);
    request.setRawHeader("Authorization", "Bearer " + config.cloudToken);
    request.setRawHeader("Dropbox-API-Arg", apiArgument(config.cloudFolder, names.first()));
    reply_ = manager_.post(request, QByteArray());
    connect(reply_, &QNetworkReply::downloadProgress, this, &Dropbox::onDownloadProgress);
    connect(reply_, &QNetworkReply::readyRead, this, &Dropbox::onReadyRead);
    if (!queue_.isEmpty())
        queue_.removeFirst();
}

void Dropbox::onReadyRead()
{
    const QByteArray bytes = reply_->readAll();
    if (!writeFailed_)
        writeFailed_ = file_->write(bytes) != bytes.size();
}

void Dropbox::onDownloadProgress(qlonglong d1, qlonglong d2)
{
    emit onDownloadProgressSignal(d1, d2);
}

void Dropbox::replyFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    reply_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool whole = reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299 &&
                       !writeFailed_ && file_->flush();
    file_->close();
    if (!whole || (QFile::exists(target_) && !QFile::remove(target_)) || !file_->rename(target_)) {
        // A broken transfer ends the batch and leaves nothing behind.
        file_->remove();
        return;
    }
    emit onDownloadCount(static_cast<signed char>(queue_.size()), total_);
    if (!queue_.isEmpty())
        downloadFile(queue_);
    else
        emit updateComplete();
}

#include "dropbox.h"

#include "jsoninfo.h"
#include "updateconfig.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>

Dropbox::Dropbox(QObject *parent) : QObject(parent)
{
    // the bearer token goes to the cloud drive's origin only
    manager_.setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    manager_.setTransferTimeout(NetworkLimits::transferTimeoutMs);
}

Dropbox::~Dropbox()
{
    // before the manager takes the reply with it: a running transfer's part goes on its writer's
    // thread
    delete body_.data();
}

void Dropbox::setTransferTimeout(int ms)
{
    manager_.setTransferTimeout(ms);
}

void Dropbox::setPaceBounds(const NetworkLimits::PaceBounds &bounds)
{
    manager_.setPaceBounds(bounds);
    writeStallMs_ = bounds.bodyWindowMs;
}

QString Dropbox::targetPath(const QString &name)
{
    const QString stored =
        name.contains(QLatin1String("Zq Player.exe")) ? QStringLiteral("Zq Player_temp.exe") : name;
    return QDir::currentPath() + QLatin1Char('/') + stored;
}

QByteArray Dropbox::apiArgument(const QString &folder, const QString &name)
{
    const QJsonObject argument{{QStringLiteral("path"), folder + name}};
    const QString json = QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact));
    // a header carries ASCII only: the rest as JSON escapes (UTF-16 units, as JSON counts them)
    QString ascii;
    for (const QChar c : json) {
        if (c.unicode() < 0x7f)
            ascii += c;
        else
            ascii += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return ascii.toLatin1();
}

void Dropbox::startBatch(const QStringList &names)
{
    if (body_)
        return; // the running batch keeps its queue and total
    queue_ = names;
    total_ = static_cast<signed char>(names.size());
    downloadFile(queue_);
}

void Dropbox::downloadFile(QStringList names)
{
    if (names.isEmpty() || body_)
        return;
    name_ = names.first();
    if (!queue_.isEmpty())
        queue_.removeFirst();
    if (!VersionFile::isBareFileName(name_)) {
        fail(QStringLiteral("%1: not a bare file name").arg(name_));
        return;
    }
    const UpdateConfig config = UpdateConfig::current();
    target_ = targetPath(name_);
    auto *body = new DownloadBody(config.publishedFileMaxBytes, target_, writeStallMs_, this);
    body_ = body;
    connect(body, &DownloadBody::ended, this, &Dropbox::onBodyEnded);
    // sent once the part file is there: one that cannot be made ends the body as WriteFailed
    connect(body, &DownloadBody::opened, this, [this, body, config] { request(body, config); });
    body->open();
}

void Dropbox::request(DownloadBody *body, const UpdateConfig &config)
{
    QNetworkRequest request(config.cloudDownloadUrl);
    request.setRawHeader("Authorization", "Bearer " + config.cloudToken);
    request.setRawHeader("Dropbox-API-Arg", apiArgument(config.cloudFolder, name_));
    QNetworkReply *reply = manager_.post(request, QByteArray());
    connect(reply, &QNetworkReply::downloadProgress, this, &Dropbox::onDownloadProgress);
    body->attach(reply);
}

void Dropbox::onDownloadProgress(qlonglong d1, qlonglong d2)
{
    emit onDownloadProgressSignal(d1, d2);
}

void Dropbox::onBodyEnded()
{
    DownloadBody *body = body_;
    body_ = nullptr;
    body->deleteLater();
    if (body->end() == DownloadBody::End::WriteFailed) {
        fail(QStringLiteral("%1: cannot write beside %2").arg(name_, target_));
        return;
    }
    if (body->end() == DownloadBody::End::Failed) {
        const int status = body->refusedStatus();
        fail(QStringLiteral("%1: network error %2").arg(name_).arg(int(body->error())) +
             (status != 0 ? QStringLiteral(", HTTP status %1").arg(status) : QString()));
        return;
    }
    const ReadyPart part = body->takePart();
    if (!part->commit()) {
        fail(QStringLiteral("%1: cannot replace %2").arg(name_, target_));
        return;
    }
    emit onDownloadCount(static_cast<signed char>(queue_.size()), total_);
    if (!queue_.isEmpty()) {
        downloadFile(queue_);
        return;
    }
    emit updateComplete();
    emit batchFinished(true, QString());
}

void Dropbox::fail(const QString &error)
{
    queue_.clear();
    emit batchFinished(false, error);
}

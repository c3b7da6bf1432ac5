#include "curlreply.h"

#include "curlhop.h"
#include "curlworker.h"
#include "networklimits.h"
#include "replyrules.h"

#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>

#include <cstring>

namespace {

QByteArray pemOf(const QList<QSslCertificate> &certificates)
{
    QByteArray pem;
    for (const QSslCertificate &certificate : certificates)
        pem += certificate.toPem();
    return pem;
}

} // namespace

CurlReply::CurlReply(std::shared_ptr<CurlWorker> worker, QNetworkAccessManager::Operation op,
                     const QNetworkRequest &request, QIODevice *outgoing, const Policy &policy,
                     QObject *parent)
    : QNetworkReply(parent), worker_(std::move(worker)), policy_(policy), hop_(request),
      outgoing_(outgoing), bodyRate_(NetworkLimits::bodyRateMinBytes, policy.pace.bodyWindowMs)
{
    setRequest(request);
    setOperation(op);
    setUrl(request.url());
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &CurlReply::abort); // Qt's transfer timeout
    clock_.start();
    // never early: the bounds are the peer's
    for (QTimer *clock : {&headClock_, &bodyClock_}) {
        clock->setSingleShot(true);
        clock->setTimerType(Qt::PreciseTimer);
    }
    connect(&headClock_, &QTimer::timeout, this, &CurlReply::onHeadLate);
    connect(&bodyClock_, &QTimer::timeout, this, &CurlReply::onBodySlow);
    if (op != QNetworkAccessManager::GetOperation && op != QNetworkAccessManager::PostOperation) {
        conclude(ProtocolUnknownError, QStringLiteral("Operation not supported"));
        return;
    }
    if (url().scheme() == QLatin1String("http") && !ReplyRules::isLoopbackHost(url().host())) {
        conclude(ProtocolUnknownError, QStringLiteral("Plain HTTP goes to this machine only"));
        return;
    }
    startTransfer();
}

CurlReply::~CurlReply()
{
    stopTransfer();
}

qint64 CurlReply::bufferLimit() const
{
    return readBufferSize() > 0 ? readBufferSize() : NetworkLimits::streamReadBufferBytes;
}

void CurlReply::startTransfer()
{
    headClock_.stop();
    bodyClock_.stop();
    const QString scheme = url().scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        conclude(ProtocolUnknownError, QStringLiteral("Protocol \"%1\" is unknown").arg(scheme));
        return;
    }
    CurlHop::Request request;
    // curl sets Host and Content-Length; no encoding is asked for
    for (const QByteArray &name : hop_.rawHeaderList()) {
        const QByteArray field = name + ": " + hop_.rawHeader(name);
        // a line break in a header would start a header of its own (a token, say, that carries one)
        if (field.contains('\r') || field.contains('\n') || field.contains('\0')) {
            conclude(ProtocolInvalidOperationError,
                     QStringLiteral("Header %1 holds a line break").arg(QString::fromLatin1(name)));
            return;
        }
        const QByteArray key = name.toLower();
        if (key != "accept-encoding" && key != "content-length" && key != "host")
            request.headers.append(field);
    }
    request.url = url().toEncoded();
    request.extraCas = pemOf(hop_.sslConfiguration().caCertificates());
    request.followRedirects = policy_.redirects != QNetworkRequest::ManualRedirectPolicy;
    state_ = std::make_shared<TransferState>(bufferLimit());
    // the worker's call: only a queued look at the state
    state_->setWake(
        [this] { QMetaObject::invokeMethod(this, &CurlReply::onWake, Qt::QueuedConnection); });
    if (operation() == QNetworkAccessManager::PostOperation) {
        request.post = true;
        bool known = true;
        request.postSize =
            !outgoing_ ? 0
            : outgoing_->isSequential()
                ? hop_.header(QNetworkRequest::ContentLengthHeader).toLongLong(&known)
                : outgoing_->size() - outgoing_->pos();
        if (!known)
            request.postSize = -1; // sent chunked
        outgoingLeft_ = request.postSize;
        feedUpload(); // the worker's first read finds the start of the body
    }
    worker_->start(std::make_unique<CurlHop>(request, state_));
    if (policy_.transferTimeoutMs > 0)
        idle_.start(policy_.transferTimeoutMs);
    // a request without a body is out at once: the head's clock runs from here
    requestSent_ = false;
    keepPace(!request.post || request.postSize == 0, false);
}

void CurlReply::stopTransfer()
{
    if (!state_)
        return;
    state_->detach();
    worker_->poke(state_);
}

void CurlReply::feedUpload()
{
    const qint64 room = state_->uploadRoom();
    if (room <= 0)
        return;
    const qint64 want = outgoingLeft_ < 0 ? room : qMin(room, outgoingLeft_);
    qint64 got = 0;
    if (outgoing_ && want > 0) {
        uploadChunk_.resize(int(want));
        got = outgoing_->read(uploadChunk_.data(), want);
    }
    if (got > 0 && outgoingLeft_ > 0)
        outgoingLeft_ -= got;
    // a device that gives nothing more has ended; one of a known size once that much is read
    const bool end = got == 0 || outgoingLeft_ == 0;
    if (state_->putUpload(uploadChunk_.constData(), qMax<qint64>(got, 0), end, got < 0))
        worker_->poke(state_);
}

void CurlReply::onWake()
{
    // a reply that has ended (timed out, say) takes no more news of its stopped transfer
    if (isFinished() || ended_ || !state_)
        return;
    TransferState::Update update = state_->take();
    if (update.progressed && policy_.transferTimeoutMs > 0 && !update.ended)
        idle_.start(policy_.transferTimeoutMs);
    if (update.headArrived)
        takeHead(update.head);
    received_ = update.received;
    bytesPending_ = bytesPending_ || update.bytesArrived;
    if (update.uploadMoved) {
        sent_ = update.sent;
        sendTotal_ = update.sendTotal;
        uploadPending_ = true;
    }
    if (update.uploadWanted)
        feedUpload();
    if (update.ended)
        hopEnded(update.end);
    else
        keepPace(update.requestSent, update.headArrived);
    deliver();
}

void CurlReply::keepPace(bool requestSent, bool headArrived)
{
    const bool sentNow = requestSent && !requestSent_;
    requestSent_ = requestSent_ || requestSent;
    if (!requestSent_)
        return; // the idle timeout watches the request body going out
    const qint64 now = clock_.elapsed();
    if (status_ == 0) { // no final head yet: interim answers do not stop the clock
        if (sentNow && policy_.pace.headMs > 0)
            headClock_.start(policy_.pace.headMs);
        return;
    }
    headClock_.stop();
    if (policy_.pace.bodyWindowMs <= 0)
        return;
    // the body counts from its head, or from the end of a request answered before it was out
    if (sentNow || headArrived)
        bodyRate_.start(now, headArrived ? 0 : received_);
    bodyRate_.arrived(now, received_);
    bodyClock_.start(int(qMax<qint64>(bodyRate_.deadlineMs() - now, 0)));
}

void CurlReply::onHeadLate()
{
    timeOut(QStringLiteral("No whole answer head within %1 ms of the request")
                .arg(policy_.pace.headMs));
}

void CurlReply::onBodySlow()
{
    if (state_->unread() >= bufferLimit()) {
        // paused while the reader leaves its buffer full: the peer is not to blame
        bodyRate_.start(clock_.elapsed(), received_);
        bodyClock_.start(policy_.pace.bodyWindowMs);
        return;
    }
    timeOut(QStringLiteral("Fewer than %1 body bytes in %2 ms")
                .arg(NetworkLimits::bodyRateMinBytes)
                .arg(policy_.pace.bodyWindowMs));
}

void CurlReply::timeOut(const QString &why)
{
    stopTransfer();
    bytesPending_ = false; // the unread body went with the transfer
    conclude(TimeoutError, why);
}

void CurlReply::stopClocks()
{
    idle_.stop();
    headClock_.stop();
    bodyClock_.stop();
}

void CurlReply::takeHead(const HttpFraming::Head &head)
{
    status_ = head.status();
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, status_);
    setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, QString::fromLatin1(head.reason()));
    if (!head.location().isEmpty())
        setAttribute(QNetworkRequest::RedirectionTargetAttribute,
                     QUrl::fromEncoded(head.location()));
    for (const auto &[name, value] : head.fields()) {
        QByteArray joined = rawHeader(name);
        if (!joined.isEmpty())
            joined += name.compare("set-cookie", Qt::CaseInsensitive) == 0 ? "\n" : ", ";
        setRawHeader(name, joined + value);
    }
    announced_ = head.contentLength();
    metaDataPending_ = true;
}

qint64 CurlReply::bytesAvailable() const
{
    return (state_ ? state_->unread() : 0) + QNetworkReply::bytesAvailable();
}

qint64 CurlReply::readData(char *data, qint64 maxSize)
{
    // the transfer was paused and the reader makes room: the worker resumes it
    const qint64 count = state_ ? state_->read(maxSize, [this] { worker_->poke(state_); },
                                               [&data](const char *bytes, qint64 size) {
                                                   memcpy(data, bytes, std::size_t(size));
                                                   data += size;
                                               })
                                : 0;
    return count == 0 && isFinished() ? -1 : count;
}

qint64 CurlReply::readInto(QIODevice *device, qint64 maxSize)
{
    if (!state_)
        return 0;
    qint64 written = 0;
    bool refused = false;
    state_->read(maxSize, [this] { worker_->poke(state_); },
                 [&](const char *bytes, qint64 size) {
                     refused = refused || (device && device->write(bytes, size) != size);
                     written += refused ? 0 : size;
                 });
    return written;
}

void CurlReply::setReadBufferSize(qint64 size)
{
    QNetworkReply::setReadBufferSize(size);
    if (state_ && state_->setReadLimit(bufferLimit()))
        worker_->poke(state_);
}

void CurlReply::hopEnded(const TransferState::End &end)
{
    if (!end.redirect.isEmpty()) {
        const QUrl target = url().resolved(QUrl::fromEncoded(end.redirect));
        const NetworkError refusal = ReplyRules::redirectRefusal(policy_.redirects, url(), target,
                                                                 hop_.maximumRedirectsAllowed());
        if (refusal == NoError)
            followRedirect(target, end.redirectStatus);
        else
            conclude(refusal, QStringLiteral("Redirect to %1 refused").arg(target.toString()));
    } else if (end.error != NoError) {
        conclude(end.error, end.text);
    } else if (status_ >= 400) {
        conclude(ReplyRules::statusError(status_),
                 QStringLiteral("Error transferring %1 - server replied: %2")
                     .arg(url().toString(),
                          attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    } else {
        conclude(NoError, QString());
    }
}

void CurlReply::followRedirect(const QUrl &target, int status)
{
    stopTransfer();
    // a redirect after POST goes on as GET without a body, except 307 and 308
    if (operation() == QNetworkAccessManager::PostOperation && status != 307 && status != 308) {
        setOperation(QNetworkAccessManager::GetOperation);
        outgoing_ = nullptr;
        hop_.setHeader(QNetworkRequest::ContentTypeHeader, QVariant());
    } else if (outgoing_ && !outgoing_->reset()) {
        conclude(ContentReSendError, QStringLiteral("Cannot send the body again"));
        return;
    }
    // a credential stays with its origin
    if (!ReplyRules::sameOrigin(url(), target))
        hop_.setRawHeader("Authorization", QByteArray());
    hop_.setMaximumRedirectsAllowed(hop_.maximumRedirectsAllowed() - 1);
    hop_.setUrl(target);
    setUrl(target);
    sent_ = 0;
    sendTotal_ = 0;
    redirectedPending_ = true;
    startTransfer();
}

void CurlReply::conclude(NetworkError error, const QString &message)
{
    ended_ = true;
    end_ = error;
    endText_ = message;
    // delivered from the event loop when not by onWake() (a reply refused before it started)
    QMetaObject::invokeMethod(this, &CurlReply::deliver, Qt::QueuedConnection);
}

void CurlReply::deliver()
{
    if (isFinished())
        return;
    const QPointer<CurlReply> self(this);
    const auto gone = [&self] { return !self || self->isFinished(); };
    if (redirectedPending_) {
        redirectedPending_ = false;
        emit redirected(url());
        if (gone())
            return;
    }
    if (metaDataPending_) {
        metaDataPending_ = false;
        emit metaDataChanged();
        if (gone())
            return;
    }
    if (uploadPending_) {
        uploadPending_ = false;
        emit uploadProgress(sent_, sendTotal_);
        if (gone())
            return;
    }
    if (bytesPending_) {
        bytesPending_ = false;
        emit readyRead();
        if (gone())
            return;
        emit downloadProgress(received_, announced_);
        if (gone())
            return;
    }
    if (ended_)
        finish();
}

void CurlReply::finish()
{
    const QPointer<CurlReply> self(this);
    stopClocks();
    if (end_ != NoError) {
        setError(end_, endText_);
        emit errorOccurred(end_);
        if (!self || isFinished())
            return;
    }
    if (announced_ < 0 && received_ > 0) {
        emit downloadProgress(received_, received_);
        if (!self || isFinished())
            return;
    }
    setFinished(true);
    emit readChannelFinished();
    if (self)
        emit finished();
}

void CurlReply::abort()
{
    if (isFinished())
        return;
    stopTransfer();
    stopClocks();
    QNetworkReply::close();
    setError(OperationCanceledError, QStringLiteral("Operation canceled"));
    const QPointer<CurlReply> self(this);
    emit errorOccurred(OperationCanceledError);
    if (!self || isFinished())
        return;
    setFinished(true);
    emit finished();
}

void CurlReply::close()
{
    if (isFinished())
        QNetworkReply::close();
    else
        abort();
}

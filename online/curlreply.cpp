#include "curlreply.h"

#include "curlmulti.h"
#include "networklimits.h"
#include "replyrules.h"

#include <QSslCertificate>
#include <QSslConfiguration>

namespace {

QByteArray pemOf(const QList<QSslCertificate> &certificates)
{
    QByteArray pem;
    for (const QSslCertificate &certificate : certificates)
        pem += certificate.toPem();
    return pem;
}

} // namespace

CurlReply::CurlReply(std::shared_ptr<CurlMulti> multi, QNetworkAccessManager::Operation op,
                     const QNetworkRequest &request, QIODevice *outgoing, const Policy &policy,
                     QObject *parent)
    : QNetworkReply(parent), multi_(std::move(multi)), policy_(policy), op_(op), hop_(request),
      outgoing_(outgoing)
{
    setRequest(request);
    setOperation(op);
    setUrl(request.url());
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &CurlReply::abort); // Qt's transfer timeout
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
    const QString scheme = url().scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        conclude(ProtocolUnknownError, QStringLiteral("Protocol \"%1\" is unknown").arg(scheme));
        return;
    }
    // a line break in a header would start a header of its own (a token, say, that carries one)
    for (const QByteArray &name : hop_.rawHeaderList()) {
        const QByteArray field = name + hop_.rawHeader(name);
        if (field.contains('\r') || field.contains('\n') || field.contains('\0')) {
            conclude(ProtocolInvalidOperationError,
                     QStringLiteral("Header %1 holds a line break").arg(QString::fromLatin1(name)));
            return;
        }
    }
    easy_ = makeEasy();
    if (!easy_ || !multi_->add(this, easy_)) {
        stopTransfer();
        conclude(UnknownNetworkError, QStringLiteral("Cannot start the transfer"));
        return;
    }
    if (policy_.transferTimeoutMs > 0)
        idle_.start(policy_.transferTimeoutMs);
}

CURL *CurlReply::makeEasy()
{
    CURL *easy = curl_easy_init();
    if (!easy)
        return nullptr;
    curl_easy_setopt(easy, CURLOPT_URL, url().toEncoded().constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_PROXY, ""); // none from the environment
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L); // followRedirect() does, by the policy
    // the raw body reaches takeBody(): the chunks are decoded there, nothing is inflated
    curl_easy_setopt(easy, CURLOPT_HTTP_TRANSFER_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, curlError_);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, long(NetworkLimits::curlBufferBytes));
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlReply::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlReply::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CurlReply::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    // certificates the application trusts beyond the system's store (whose folder curl keeps)
    const QByteArray extraCas = pemOf(hop_.sslConfiguration().caCertificates());
    if (!extraCas.isEmpty()) {
        curl_blob blob{const_cast<char *>(extraCas.constData()), size_t(extraCas.size()),
                       CURL_BLOB_COPY};
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
    // curl sets Host and Content-Length; no encoding is asked for; no 100-continue round trip
    curl_slist_free_all(headers_);
    headers_ = curl_slist_append(nullptr, "Expect:");
    for (const QByteArray &name : hop_.rawHeaderList()) {
        const QByteArray key = name.toLower();
        if (key == "accept-encoding" || key == "content-length" || key == "host")
            continue;
        headers_ = curl_slist_append(headers_, (name + ": " + hop_.rawHeader(name)).constData());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers_);
    if (op_ == QNetworkAccessManager::PostOperation) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_READFUNCTION, &CurlReply::onRead);
        curl_easy_setopt(easy, CURLOPT_READDATA, this);
        qint64 size = 0;
        if (outgoing_) {
            bool known = true;
            size = outgoing_->isSequential()
                       ? hop_.header(QNetworkRequest::ContentLengthHeader).toLongLong(&known)
                       : outgoing_->size() - outgoing_->pos();
            if (!known)
                size = -1; // sent chunked
        }
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(size));
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    return easy;
}

void CurlReply::stopTransfer()
{
    if (easy_) {
        multi_->remove(easy_);
        curl_easy_cleanup(easy_);
        easy_ = nullptr;
    }
    curl_slist_free_all(headers_);
    headers_ = nullptr;
    paused_ = false;
}

size_t CurlReply::onHeader(char *line, size_t, size_t size, void *self)
{
    return static_cast<CurlReply *>(self)->takeHeaderLine(line, size) ? size : 0;
}

size_t CurlReply::onWrite(char *data, size_t, size_t size, void *self)
{
    return static_cast<CurlReply *>(self)->takeBody(data, size);
}

size_t CurlReply::onRead(char *buffer, size_t, size_t size, void *self)
{
    auto *reply = static_cast<CurlReply *>(self);
    if (!reply->outgoing_)
        return 0;
    const qint64 got = reply->outgoing_->read(buffer, qint64(size));
    return got < 0 ? size_t(CURL_READFUNC_ABORT) : size_t(got);
}

int CurlReply::onProgress(void *self, curl_off_t, curl_off_t, curl_off_t sendTotal, curl_off_t sent)
{
    auto *reply = static_cast<CurlReply *>(self);
    if (sent != reply->sent_ || sendTotal != reply->sendTotal_) {
        reply->progressed_ = reply->progressed_ || sent != reply->sent_;
        reply->sent_ = sent;
        reply->sendTotal_ = sendTotal;
        reply->uploadPending_ = true;
    }
    return 0;
}

bool CurlReply::takeHeaderLine(const char *line, size_t size)
{
    progressed_ = true;
    if (!head_.addLine(line, qsizetype(size))) {
        refusal_ = ProtocolFailure;
        refusalText_ = head_.error();
        return false;
    }
    return !head_.complete() || takeHead();
}

bool CurlReply::takeHead()
{
    QByteArray location;
    for (const auto &[name, value] : head_.fields()) {
        if (name.compare("location", Qt::CaseInsensitive) == 0)
            location = value;
    }
    const int status = head_.status();
    if (ReplyRules::isRedirectStatus(status) && !location.isEmpty() &&
        policy_.redirects != QNetworkRequest::ManualRedirectPolicy) {
        // the transfer ends here, its body unread; transferDone() follows the redirect
        const QUrl target = url().resolved(QUrl::fromEncoded(location));
        refusal_ = ReplyRules::redirectRefusal(policy_.redirects, url(), target,
                                               hop_.maximumRedirectsAllowed());
        if (refusal_ == NoError)
            redirectTarget_ = target;
        else
            refusalText_ = QStringLiteral("Redirect to %1 refused").arg(target.toString());
        return false;
    }
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, status);
    setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, QString::fromLatin1(head_.reason()));
    if (!location.isEmpty())
        setAttribute(QNetworkRequest::RedirectionTargetAttribute, QUrl::fromEncoded(location));
    for (const auto &[name, value] : head_.fields()) {
        QByteArray joined = rawHeader(name);
        if (!joined.isEmpty())
            joined += name.compare("set-cookie", Qt::CaseInsensitive) == 0 ? "\n" : ", ";
        setRawHeader(name, joined + value);
    }
    announced_ = head_.contentLength();
    metaDataPending_ = true;
    return true;
}

size_t CurlReply::takeBody(const char *data, size_t size)
{
    progressed_ = true;
    // into the last piece while it has room, else into a spare one (decoded bytes are never more)
    if (pieces_.empty() || pieces_.back().capacity() - pieces_.back().size() < qsizetype(size)) {
        QByteArray piece;
        if (!spare_.empty() && spare_.back().capacity() >= qsizetype(size)) {
            piece = std::move(spare_.back());
            spare_.pop_back();
            piece.resize(0); // keeps the reserved room
        } else {
            piece.reserve(int(qMax<size_t>(NetworkLimits::curlBufferBytes, size)));
        }
        pieces_.push_back(std::move(piece));
    }
    QByteArray &piece = pieces_.back();
    const qsizetype before = piece.size();
    if (head_.chunked()) {
        if (!chunks_.feed(data, qsizetype(size), piece)) {
            refusal_ = ProtocolFailure;
            refusalText_ = chunks_.error();
            return 0;
        }
    } else {
        piece.append(data, int(size));
    }
    const qsizetype added = piece.size() - before;
    received_ += added;
    unread_ += added;
    bytesPending_ = bytesPending_ || added > 0;
    if (unread_ >= bufferLimit() && !paused_) {
        // no more reads until the reader has taken bytes: resume() unpauses
        paused_ = true;
        curl_easy_pause(easy_, CURLPAUSE_RECV);
    }
    return size;
}

qint64 CurlReply::bytesAvailable() const
{
    return unread() + QNetworkReply::bytesAvailable();
}

qint64 CurlReply::readData(char *data, qint64 maxSize)
{
    if (unread_ == 0)
        return isFinished() ? -1 : 0;
    const qint64 count = qMin(maxSize, unread_);
    for (qint64 done = 0; done < count;) {
        QByteArray &front = pieces_.front();
        const qint64 take = qMin(count - done, qint64(front.size() - frontRead_));
        memcpy(data + done, front.constData() + frontRead_, size_t(take));
        done += take;
        frontRead_ += take;
        if (frontRead_ < front.size())
            continue;
        frontRead_ = 0;
        if (pieces_.size() == 1) {
            front.resize(0); // keeps its room for the next bytes
        } else {
            // up to a full read buffer's worth kept for the next bytes
            if (qint64(spare_.size()) * NetworkLimits::curlBufferBytes <= bufferLimit())
                spare_.push_back(std::move(front));
            pieces_.pop_front();
        }
    }
    unread_ -= count;
    if (paused_ && !resumeQueued_ && unread() < bufferLimit()) {
        // not from here: unpausing may hand bytes over at once
        resumeQueued_ = true;
        QMetaObject::invokeMethod(this, &CurlReply::resume, Qt::QueuedConnection);
    }
    return count;
}

void CurlReply::setReadBufferSize(qint64 size)
{
    QNetworkReply::setReadBufferSize(size);
    if (paused_ && !resumeQueued_ && unread() < bufferLimit()) {
        resumeQueued_ = true;
        QMetaObject::invokeMethod(this, &CurlReply::resume, Qt::QueuedConnection);
    }
}

void CurlReply::resume()
{
    resumeQueued_ = false;
    if (!easy_ || !paused_ || unread() >= bufferLimit())
        return;
    paused_ = false;
    const CURLcode result = curl_easy_pause(easy_, CURLPAUSE_CONT);
    if (result != CURLE_OK) {
        stopTransfer();
        transferDone(result);
    }
    deliver();
}

void CurlReply::transferDone(CURLcode result)
{
    stopTransfer();
    if (refusal_ == NoError && !redirectTarget_.isEmpty()) {
        followRedirect();
        return;
    }
    if (refusal_ != NoError)
        conclude(refusal_, refusalText_);
    else if (result != CURLE_OK)
        conclude(ReplyRules::curlError(result), QString::fromUtf8(curlError_));
    else if (head_.chunked() && !chunks_.finished())
        conclude(RemoteHostClosedError, QStringLiteral("Chunked body ended early"));
    else if (head_.status() >= 400)
        conclude(ReplyRules::statusError(head_.status()),
                 QStringLiteral("Error transferring %1 - server replied: %2")
                     .arg(url().toString(), QString::fromLatin1(head_.reason())));
    else
        conclude(NoError, QString());
}

void CurlReply::followRedirect()
{
    const QUrl target = redirectTarget_;
    const int status = head_.status();
    redirectTarget_.clear();
    // a redirect after POST goes on as GET without a body, except 307 and 308
    if (op_ == QNetworkAccessManager::PostOperation && status != 307 && status != 308) {
        op_ = QNetworkAccessManager::GetOperation;
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
    head_ = HttpFraming::Head();
    chunks_ = HttpFraming::ChunkDecoder();
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
    // delivered from the event loop when not by CurlMulti (a reply refused before it started)
    QMetaObject::invokeMethod(this, &CurlReply::deliver, Qt::QueuedConnection);
}

void CurlReply::deliver()
{
    if (isFinished())
        return;
    const QPointer<CurlReply> self(this);
    const auto gone = [&self] { return !self || self->isFinished(); };
    if (progressed_) {
        progressed_ = false;
        if (policy_.transferTimeoutMs > 0 && !ended_)
            idle_.start(policy_.transferTimeoutMs);
    }
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
    idle_.stop();
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
    idle_.stop();
    pieces_.clear();
    frontRead_ = 0;
    unread_ = 0;
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

#include "curlhop.h"

#include "networklimits.h"
#include "replyrules.h"
#include "transferstate.h"

#include <cstring>

CurlHop::CurlHop(const Request &request, std::shared_ptr<TransferState> state)
    : request_(request), state_(std::move(state))
{
}

CurlHop::~CurlHop()
{
    if (easy_) {
        if (multi_)
            curl_multi_remove_handle(multi_, easy_);
        curl_easy_cleanup(easy_);
    }
    curl_slist_free_all(headers_);
}

CurlHop *CurlHop::of(CURL *easy)
{
    char *self = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, &self);
    return reinterpret_cast<CurlHop *>(self);
}

bool CurlHop::start(CURLM *multi)
{
    easy_ = curl_easy_init();
    if (easy_) {
        setUp();
        if (curl_multi_add_handle(multi, easy_) == CURLM_OK) {
            multi_ = multi;
            return true;
        }
    }
    refuse(QStringLiteral("Cannot start the transfer"));
    return false;
}

void CurlHop::refuse(const QString &why)
{
    TransferState::End end;
    end.error = QNetworkReply::UnknownNetworkError;
    end.text = why;
    state_->end(end);
}

void CurlHop::setUp()
{
    CURL *easy = easy_;
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_URL, request_.url.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_PROXY, ""); // none from the environment
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L); // the reply follows, by its policy
    // the raw body reaches takeBody(): the chunks are decoded there, nothing is inflated
    curl_easy_setopt(easy, CURLOPT_HTTP_TRANSFER_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, curlError_);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, long(NetworkLimits::curlBufferBytes));
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlHop::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlHop::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    if (request_.post) { // upload progress; a download's is counted as its bytes arrive
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CurlHop::onProgress);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    }
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    // certificates the application trusts beyond the system's store (whose folder curl keeps)
    if (!request_.extraCas.isEmpty()) {
        curl_blob blob{const_cast<char *>(request_.extraCas.constData()),
                       size_t(request_.extraCas.size()), CURL_BLOB_COPY};
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
    headers_ = curl_slist_append(nullptr, "Expect:"); // no 100-continue round trip
    for (const QByteArray &header : request_.headers)
        headers_ = curl_slist_append(headers_, header.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers_);
    if (request_.post) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_READFUNCTION, &CurlHop::onRead);
        curl_easy_setopt(easy, CURLOPT_READDATA, this);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request_.postSize));
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
}

bool CurlHop::obey()
{
    const TransferState::Commands commands = state_->takeCommands();
    if (commands.stop)
        return false;
    if (commands.resumeSending)
        paused_ &= ~CURLPAUSE_SEND;
    if (commands.resumeReceiving)
        paused_ &= ~CURLPAUSE_RECV;
    if (!commands.resumeSending && !commands.resumeReceiving)
        return true;
    // may hand bytes to the callbacks at once
    const CURLcode result = curl_easy_pause(easy_, paused_);
    if (result == CURLE_OK)
        return true;
    finish(result);
    return false;
}

void CurlHop::finish(CURLcode result)
{
    TransferState::End end;
    const qint64 sent = bodySent();
    if (!redirect_.isEmpty()) {
        end.redirect = redirect_;
        end.redirectStatus = head_.status();
    } else if (!refusal_.isEmpty()) {
        end.error = QNetworkReply::ProtocolFailure;
        end.text = refusal_;
    } else if (result != CURLE_OK) {
        end.error = ReplyRules::curlError(result);
        end.text = QString::fromUtf8(curlError_);
    } else if (head_.chunked() && !chunks_.finished()) {
        end.error = QNetworkReply::RemoteHostClosedError;
        end.text = QStringLiteral("Chunked body ended early");
    } else if (request_.postSize > 0 && head_.status() < 300 && sent < request_.postSize) {
        // curl stops sending once it has read a whole answer on a connection that is to close:
        // a success that came before the body was out whole stored nothing of the rest
        end.error = QNetworkReply::ProtocolFailure;
        end.text = QStringLiteral("The answer came before the request body was sent whole: %1 of "
                                  "%2 bytes sent")
                       .arg(sent)
                       .arg(request_.postSize);
    }
    state_->end(end);
}

qint64 CurlHop::bodySent() const
{
    // curl counts the body bytes its socket took, not those the read callback handed it ahead of
    // them: a peer that read all it was sent got exactly this many
    curl_off_t sent = 0;
    curl_easy_getinfo(easy_, CURLINFO_SIZE_UPLOAD_T, &sent);
    return qint64(sent);
}

size_t CurlHop::onHeader(char *line, size_t, size_t size, void *self)
{
    return static_cast<CurlHop *>(self)->takeHeaderLine(line, size) ? size : 0;
}

size_t CurlHop::onWrite(char *data, size_t, size_t size, void *self)
{
    return static_cast<CurlHop *>(self)->takeBody(data, size);
}

size_t CurlHop::onRead(char *buffer, size_t, size_t size, void *self)
{
    auto *hop = static_cast<CurlHop *>(self);
    const qint64 taken = hop->state_->takeUpload(buffer, qint64(size));
    if (taken == TransferState::uploadFailed)
        return CURL_READFUNC_ABORT;
    if (taken == TransferState::uploadNotReady) {
        // curl holds sending paused until obey() resumes it
        hop->paused_ |= CURLPAUSE_SEND;
        return CURL_READFUNC_PAUSE;
    }
    return size_t(taken);
}

int CurlHop::onProgress(void *self, curl_off_t, curl_off_t, curl_off_t sendTotal, curl_off_t sent)
{
    static_cast<CurlHop *>(self)->state_->setSent(sent, sendTotal);
    return 0;
}

bool CurlHop::takeHeaderLine(const char *line, size_t size)
{
    state_->progressed();
    if (!head_.addLine(line, qsizetype(size))) {
        refusal_ = head_.error();
        return false;
    }
    if (!head_.complete())
        return true;
    const QByteArray location = head_.location();
    if (request_.followRedirects && ReplyRules::isRedirectStatus(head_.status()) &&
        !location.isEmpty()) {
        // the transfer ends here, its body unread; the reply decides on the redirect
        redirect_ = location;
        return false;
    }
    state_->headArrived(head_);
    return true;
}

size_t CurlHop::takeBody(const char *data, size_t size)
{
    // decoded bytes are never more than the raw ones
    char *room = state_->bodyRoom(qint64(size));
    if (!room) {
        // curl keeps these bytes until obey() resumes, once the reader has taken some
        paused_ |= CURLPAUSE_RECV;
        return CURL_WRITEFUNC_PAUSE;
    }
    qsizetype added = qsizetype(size);
    if (!head_.chunked())
        memcpy(room, data, size);
    else if (!chunks_.feed(data, qsizetype(size), room, added)) {
        refusal_ = chunks_.error();
        return 0;
    }
    state_->bodyAdded(added);
    return size;
}

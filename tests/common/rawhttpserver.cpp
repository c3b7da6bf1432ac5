#include "rawhttpserver.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <zlib.h>

#include <chrono>

namespace {

// Reads the request's head and its Content-Length body; false when the client goes away.
bool readRequest(int socket, const LoopbackListener &listener)
{
    QByteArray head;
    qint64 received = 0;
    qint64 end = -1; // bytes of head and body
    char buffer[65536];
    while (!listener.stopping() && (end < 0 || received < end)) {
        if (!waitReadable(socket, 50))
            continue;
        const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            return false;
        received += got;
        if (end >= 0)
            continue; // the body is not kept
        head.append(buffer, int(got));
        const int headEnd = head.indexOf("\r\n\r\n");
        if (headEnd < 0)
            continue;
        end = headEnd + 4 + qMax(contentLength(head), qint64(0));
    }
    return !listener.stopping();
}

// True once the client has closed its side.
bool clientGone(int socket)
{
    char byte;
    return waitReadable(socket, 20) && recv(socket, &byte, 1, MSG_DONTWAIT) <= 0;
}

// Endless zeros through a zlib compressor: windowBits 31 gzip, 15 zlib, -15 raw deflate.
class ZeroCompressor
{
public:
    explicit ZeroCompressor(int windowBits)
    {
        deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
    }
    ~ZeroCompressor() { deflateEnd(&stream_); }
    QByteArray next()
    {
        static const QByteArray zeros(1024 * 1024, '\0');
        QByteArray out(64 * 1024, '\0');
        stream_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream_.avail_in = uInt(zeros.size());
        stream_.next_out = reinterpret_cast<Bytef *>(out.data());
        stream_.avail_out = uInt(out.size());
        deflate(&stream_, Z_SYNC_FLUSH);
        out.resize(out.size() - int(stream_.avail_out));
        return out;
    }

private:
    z_stream stream_{};
};

} // namespace

RawHttpServer::RawHttpServer(const std::string &host) : listener_(host) {}

bool RawHttpServer::start()
{
    return listener_.start([this](int socket) { serve(socket); });
}

void RawHttpServer::setAnswer(const Answer &answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = answer;
}

void RawHttpServer::release()
{
    ++generation_;
}

QString RawHttpServer::url(const QString &path) const
{
    return listener_.url(path);
}

bool RawHttpServer::stopped(int generation) const
{
    return listener_.stopping() || generation != generation_;
}

bool RawHttpServer::pause(int socket, int ms, int generation)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (stopped(generation) || clientGone(socket))
            return false;
    }
    return true;
}

bool RawHttpServer::sendAll(int socket, const QByteArray &bytes, int generation)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (stopped(generation))
            return false;
        pollfd wait{socket, POLLOUT, 0};
        if (poll(&wait, 1, 50) <= 0)
            continue;
        if (wait.revents & (POLLERR | POLLHUP))
            return false;
        const ssize_t put =
            send(socket, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (put < 0)
            return false;
        sent += put;
    }
    return true;
}

void RawHttpServer::serve(int socket)
{
    // the connection's answer and generation are taken before it counts: once a test sees it
    // counted, a new answer or release() concerns later connections only
    Answer answer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer = answer_;
    }
    const int generation = generation_;
    ++connections_;
    ++open_;
    if (readRequest(socket, listener_) && sendAll(socket, answer.bytes, generation)) {
        switch (answer.endless) {
        case Endless::None:
            while (answer.holdOpen && !stopped(generation) && !clientGone(socket)) {
            }
            break;
        case Endless::Repeat:
            while (pause(socket, answer.intervalMs, generation) &&
                   sendAll(socket, answer.unit, generation)) {
            }
            break;
        case Endless::Gzip:
        case Endless::Zlib:
        case Endless::RawDeflate: {
            ZeroCompressor zeros(answer.endless == Endless::Gzip   ? 31
                                 : answer.endless == Endless::Zlib ? 15
                                                                   : -15);
            while (sendAll(socket, zeros.next(), generation)) {
            }
            break;
        }
        }
    }
    ::close(socket);
    --open_;
}

#include "slowuploadserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

// How long a request is held at most, and how long an answered one may take to close, so that a
// failing test never hangs on the server.
constexpr int maxHoldMs = 20000;
constexpr int maxCloseMs = 5000;
// Read this much, then rest a millisecond: slow beside the loopback's speed.
constexpr int readPieceBytes = 64 * 1024;

qint64 contentLength(const QByteArray &head)
{
    const QByteArray fields = head.toLower();
    const int at = fields.indexOf("\r\ncontent-length:");
    if (at < 0)
        return -1;
    const int end = fields.indexOf('\r', at + 2);
    return fields.mid(at + 17, end < 0 ? -1 : end - at - 17).trimmed().toLongLong();
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

SlowUploadServer::SlowUploadServer(qint64 holdAfterBytes) : holdAfterBytes_(holdAfterBytes) {}

SlowUploadServer::~SlowUploadServer()
{
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    for (std::thread &worker : workers_)
        worker.join();
    if (listener_ >= 0)
        ::close(listener_);
}

bool SlowUploadServer::start()
{
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr *>(&address), size) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return false;
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
    return true;
}

QString SlowUploadServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void SlowUploadServer::reset()
{
    ++generation_;
    holding_ = false;
    released_ = false;
    done_ = false;
    announced_ = -1;
    received_ = 0;
    answered_ = false;
}

void SlowUploadServer::acceptLoop()
{
    while (!stopping_) {
        if (!waitReadable(listener_, 50))
            continue;
        const int socket = accept(listener_, nullptr, nullptr);
        if (socket >= 0)
            workers_.emplace_back([this, socket] { serve(socket); });
    }
}

bool SlowUploadServer::waitReadable(int socket, int ms) const
{
    pollfd wait{socket, POLLIN, 0};
    return poll(&wait, 1, ms) > 0;
}

void SlowUploadServer::serve(int socket)
{
    ++requests_;
    // a request of an earlier test case neither holds nor reports
    const int generation = generation_;
    const auto current = [&] { return generation == generation_; };
    char buffer[readPieceBytes];
    QByteArray head;
    int headEnd = -1;
    while (!stopping_ && headEnd < 0) {
        if (!waitReadable(socket, 50))
            continue;
        const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        head.append(buffer, int(got));
        headEnd = head.indexOf("\r\n\r\n");
    }
    const qint64 announced = headEnd >= 0 ? contentLength(head) : -1;
    qint64 received = headEnd >= 0 ? head.size() - headEnd - 4 : 0;
    bool answered = false;
    const auto report = [&] {
        if (!current())
            return;
        announced_ = announced;
        received_ = received;
        answered_ = answered;
    };
    report();
    const qint64 holdAt = announced >= 0 ? qMin(holdAfterBytes_, announced) : holdAfterBytes_;
    int heldMs = 0;
    int closingMs = 0;
    while (headEnd >= 0 && !stopping_) {
        if (!released_ && current() && received >= holdAt && heldMs < maxHoldMs) {
            holding_ = true;
            sleepMs(5);
            heldMs += 5;
            continue;
        }
        if (!answered && announced >= 0 && received >= announced) {
            static const char answer[] = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                                         "Content-Length: 11\r\nConnection: close\r\n\r\n"
                                         "{\"id\":\"v1\"}";
            send(socket, answer, sizeof answer - 1, MSG_NOSIGNAL);
            answered = true;
            report();
        }
        if (!waitReadable(socket, 50)) {
            closingMs += answered ? 50 : 0;
            if (closingMs >= maxCloseMs)
                break;
            continue;
        }
        // bytes past the announced length are read and counted all the same
        const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            break; // the client went away
        received += got;
        report();
        sleepMs(1);
    }
    ::close(socket);
    if (current())
        done_ = true;
}

#include "slowuploadserver.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

// How long a request is held at most, and how long an answered one may take to close, so that a
// failing test never hangs on the server.
constexpr int maxHoldMs = 20000;
constexpr int maxCloseMs = 5000;
constexpr int holdStepMs = 5;
// Read this much, then rest a millisecond: slow beside the loopback's speed.
constexpr int readPieceBytes = 64 * 1024;

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Reads a request's head and none of its body (it stays in the socket, looked at with MSG_PEEK);
// empty when the client went away first.
QByteArray readHead(int socket, const LoopbackListener &listener)
{
    char buffer[readPieceBytes];
    QByteArray head;
    while (!listener.stopping()) {
        if (!waitReadable(socket, 50))
            continue;
        const ssize_t seen = recv(socket, buffer, sizeof buffer, MSG_PEEK);
        if (seen <= 0)
            break;
        const int from = qMax(head.size() - 3, 0);
        const int end =
            (head + QByteArray::fromRawData(buffer, int(seen))).indexOf("\r\n\r\n", from);
        const ssize_t take = end < 0 ? seen : end + 4 - head.size();
        if (recv(socket, buffer, size_t(take), 0) != take)
            break;
        head.append(buffer, int(take));
        if (end >= 0)
            return head;
    }
    return QByteArray();
}

} // namespace

SlowUploadServer::SlowUploadServer(qint64 holdAfterBytes) : holdAfterBytes_(holdAfterBytes) {}

bool SlowUploadServer::start()
{
    return listener_.start([this](int socket) { serve(socket); });
}

QString SlowUploadServer::url(const QString &path) const
{
    return listener_.url(path);
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

void SlowUploadServer::serve(int socket)
{
    // a request of an earlier test case neither holds nor reports
    const int generation = generation_;
    const auto current = [&] { return generation == generation_; };
    const QByteArray head = readHead(socket, listener_);
    const qint64 announced = head.isEmpty() ? -1 : contentLength(head);
    qint64 received = 0;
    bool answered = false;
    const auto report = [&] {
        if (!current())
            return;
        announced_ = announced;
        received_ = received;
        answered_ = answered;
    };
    report();
    if (!head.isEmpty() && !earlyAnswer_.isEmpty()) {
        send(socket, earlyAnswer_.constData(), size_t(earlyAnswer_.size()), MSG_NOSIGNAL);
        answered = true;
        report();
    }
    const bool goOn = !head.isEmpty() && !(answered && closeAfterAnswer_);
    char buffer[readPieceBytes];
    const qint64 holdAt = announced >= 0 ? qMin(holdAfterBytes_, announced) : holdAfterBytes_;
    int heldMs = 0;
    int closingMs = 0;
    while (goOn && !listener_.stopping()) {
        if (!released_ && current() && received >= holdAt && heldMs < maxHoldMs) {
            holding_ = true;
            if (peerClosed(socket, holdStepMs))
                break; // the client went away
            heldMs += holdStepMs;
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

#include "loopbacklistener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

bool waitReadable(int socket, int ms)
{
    pollfd wait{socket, POLLIN, 0};
    return poll(&wait, 1, ms) > 0;
}

bool peerClosed(int socket, int ms)
{
    // unread bytes do not wake it: only the peer's end of its side does
    pollfd wait{socket, POLLRDHUP, 0};
    return poll(&wait, 1, ms) > 0;
}

qint64 contentLength(const QByteArray &head)
{
    const int headEnd = head.indexOf("\r\n\r\n");
    const QByteArray fields = (headEnd < 0 ? head : head.left(headEnd + 2)).toLower();
    const int at = fields.indexOf("\r\ncontent-length:");
    if (at < 0)
        return -1;
    const int end = fields.indexOf('\r', at + 2);
    return fields.mid(at + 17, end < 0 ? -1 : end - at - 17).trimmed().toLongLong();
}

LoopbackListener::LoopbackListener(const std::string &host) : host_(host) {}

LoopbackListener::~LoopbackListener()
{
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    for (std::thread &worker : workers_)
        worker.join();
    if (socket_ >= 0)
        ::close(socket_);
}

bool LoopbackListener::start(Serve serve)
{
    serve_ = std::move(serve);
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, host_.c_str(), &address.sin_addr);
    socklen_t size = sizeof address;
    if (bind(socket_, reinterpret_cast<sockaddr *>(&address), size) != 0 ||
        listen(socket_, 16) != 0 ||
        getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return false;
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
    return true;
}

QString LoopbackListener::url(const QString &path) const
{
    return QStringLiteral("http://%1:%2%3").arg(QString::fromStdString(host_)).arg(port_).arg(path);
}

void LoopbackListener::acceptLoop()
{
    while (!stopping_) {
        if (!waitReadable(socket_, 50))
            continue;
        const int socket = accept(socket_, nullptr, nullptr);
        if (socket >= 0)
            workers_.emplace_back(serve_, socket);
    }
}

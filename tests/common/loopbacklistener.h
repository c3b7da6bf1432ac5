// The listening side of the raw-socket test servers: a socket on a loopback address whose thread
// accepts every connection and hands it to the server's serve function on a worker thread of its
// own. Destroying it stops and joins them all, so it never outlives the test. Beside it, what
// the servers read of a connection alike: its readiness and the request head's Content-Length.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <list>
#include <string>
#include <thread>

class LoopbackListener
{
public:
    // Serves one connection on its worker thread and closes the socket; it ends soon after
    // stopping() turns true.
    using Serve = std::function<void(int socket)>;

    explicit LoopbackListener(const std::string &host = "127.0.0.1");
    // Stops, waits for the accepting thread and every worker, then closes the listening socket.
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    // Listens on a free port of the host and serves each connection from now on; true once it
    // listens.
    bool start(Serve serve);
    // The listener is going away: every serve is to end.
    bool stopping() const { return stopping_; }
    // "http://<host>:<port><path>"
    QString url(const QString &path) const;

private:
    void acceptLoop();

    const std::string host_;
    Serve serve_;
    int socket_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::list<std::thread> workers_; // the accepting thread's until it is joined
};

// Waits up to ms for socket to have something to read (bytes, a connection or its peer's close);
// true once it has.
bool waitReadable(int socket, int ms);
// Waits up to ms for socket's peer to close or reset it, reading nothing; true once it has.
bool peerClosed(int socket, int ms);
// The Content-Length of a request whose head (up to its blank line, or all of it when head holds
// no more) is given; -1 when it has none.
qint64 contentLength(const QByteArray &head);

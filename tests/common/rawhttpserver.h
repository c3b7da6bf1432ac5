// A hostile HTTP server on raw sockets for network-client tests: it answers every connection on a
// loopback address with a script of bytes, broken framing and endless answers included, which an
// HTTP library would refuse to send. Serves on threads of its own; never outlives the test.
#pragma once

#include "loopbacklistener.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <atomic>
#include <mutex>
#include <string>

class RawHttpServer
{
public:
    // What follows the script's bytes, sent as fast as the client takes it until it goes away.
    enum class Endless
    {
        None,      // nothing: the connection closes, or stays open when holdOpen
        Repeat,    // unit again and again
        Gzip,      // zeros compressed with zlib as they go, in gzip form
        Zlib,      // the same as a zlib (deflate) stream
        RawDeflate // the same as raw deflate
    };
    struct Answer
    {
        QByteArray bytes;
        Endless endless = Endless::None;
        QByteArray unit;       // Endless::Repeat's bytes
        int intervalMs = 0;    // Endless::Repeat: the pause before each unit
        bool holdOpen = false; // after bytes, keep the connection open until released
    };

    explicit RawHttpServer(const std::string &host = "127.0.0.1");
    RawHttpServer(const RawHttpServer &) = delete;
    RawHttpServer &operator=(const RawHttpServer &) = delete;

    // Listens on a free port; true once it does.
    bool start();
    // The answer to every connection from now on; each reads its request (head and
    // Content-Length body) first.
    void setAnswer(const Answer &answer);
    // Ends every open connection (they stop sending and close).
    void release();
    int connections() const { return connections_; }
    // Connections not yet closed: the client has not gone away and nothing released them.
    int openConnections() const { return open_; }
    // "http://<host>:<port><path>"
    QString url(const QString &path = QString()) const;

private:
    // A connection's worker: reads its request and sends the answer in force when it came.
    void serve(int socket);
    bool sendAll(int socket, const QByteArray &bytes, int generation);
    // Waits ms; false once the client has gone or the connection is to stop.
    bool pause(int socket, int ms, int generation);
    bool stopped(int generation) const;

    std::atomic<int> generation_{0}; // release() moves it on: older connections stop
    std::atomic<int> connections_{0};
    std::atomic<int> open_{0};
    std::mutex mutex_;
    Answer answer_;
    LoopbackListener listener_; // last: it stops the workers before the state they use goes
};

Q_DECLARE_METATYPE(RawHttpServer::Answer)

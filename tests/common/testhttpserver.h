// A real HTTP server on a loopback address (127.0.0.1, or 127.0.0.2 as another host) for
// network-client tests (cpp-httplib on its own thread).
#pragma once

#include <httplib.h>

#include <QString>

#include <atomic>
#include <string>
#include <thread>

class TestHttpServer
{
public:
    TestHttpServer() = default;
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer &) = delete;
    TestHttpServer &operator=(const TestHttpServer &) = delete;

    // Register handlers here before start(); handlers run on the server's thread.
    httplib::Server &server() { return server_; }

    // Binds a free port on host only and serves until stop(); true once it listens.
    bool start(const std::string &host = "127.0.0.1");
    void stop();

    // Keeps a handler waiting until release holds or maxMs pass, so that a stalled answer
    // never outlives the test.
    static void stallUntil(const std::atomic<bool> &release, int maxMs = 20000);

    // Answers of a hostile server, sent until the client goes away or release holds: an
    // endless body of 64 KiB pieces as fast as the client takes it, and one byte a second.
    static void answerEndlessly(httplib::Response &res, const std::atomic<bool> &release);
    static void answerTrickling(httplib::Response &res, const std::atomic<bool> &release);

    int port() const { return port_; }
    // "http://<host>:<port><path>"
    QString url(const QString &path = QString()) const;

private:
    httplib::Server server_;
    std::thread thread_;
    std::string host_;
    int port_ = 0;
};

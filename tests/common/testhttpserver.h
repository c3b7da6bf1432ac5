// A real HTTP server on 127.0.0.1 for network-client tests (cpp-httplib on its own thread).
#pragma once

#include <httplib.h>

#include <QString>

#include <atomic>
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

    // Binds a free port on 127.0.0.1 only and serves until stop(); true once it listens.
    bool start();
    void stop();

    // Keeps a handler waiting until release holds or maxMs pass, so that a stalled answer
    // never outlives the test.
    static void stallUntil(const std::atomic<bool> &release, int maxMs = 20000);

    int port() const { return port_; }
    // "http://127.0.0.1:<port><path>"
    QString url(const QString &path = QString()) const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

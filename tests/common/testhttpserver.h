// A real HTTP server on a loopback address (127.0.0.1, or 127.0.0.2 as another host) for
// network-client tests (cpp-httplib on its own thread), or an HTTPS one with a given certificate.
#pragma once

#include <httplib.h>

#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class TestHttpServer
{
public:
    TestHttpServer();
    // HTTPS with the PEM certificate and key at these paths.
    TestHttpServer(const QString &certificatePath, const QString &keyPath);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer &) = delete;
    TestHttpServer &operator=(const TestHttpServer &) = delete;

    // Register handlers here before start(); handlers run on the server's thread.
    httplib::Server &server() { return *server_; }

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

    // Writes a self-signed certificate for 127.0.0.1 and its key (the openssl program).
    // A version file of the update wizards, listing one file under member (UpdateFW, UpdateAPP)
    // with its product key and name.
    static std::string versionFile(const char *member, const char *key, const QString &product,
                                   const QString &version, const QString &url, const QString &name);
    static bool writeSelfSignedCertificate(const QString &certificatePath, const QString &keyPath);

    int port() const { return port_; }
    // "http[s]://<host>:<port><path>"
    QString url(const QString &path = QString()) const;

private:
    std::unique_ptr<httplib::Server> server_;
    bool tls_ = false;
    std::thread thread_;
    std::string host_;
    int port_ = 0;
};

#include "testhttpserver.h"

#include <chrono>

TestHttpServer::~TestHttpServer()
{
    stop();
}

bool TestHttpServer::start()
{
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        return false;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return server_.is_running();
}

void TestHttpServer::stop()
{
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

void TestHttpServer::stallUntil(const std::atomic<bool> &release, int maxMs)
{
    for (int i = 0; i < maxMs / 10 && !release; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

QString TestHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

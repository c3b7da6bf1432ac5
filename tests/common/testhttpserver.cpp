#include "testhttpserver.h"

#include <chrono>

TestHttpServer::~TestHttpServer()
{
    stop();
}

bool TestHttpServer::start(const std::string &host)
{
    host_ = host;
    port_ = server_.bind_to_any_port(host);
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

void TestHttpServer::answerEndlessly(httplib::Response &res, const std::atomic<bool> &release)
{
    res.set_chunked_content_provider("application/octet-stream",
                                     [&release](size_t, httplib::DataSink &sink) {
                                         static const std::string piece(65536, 'e');
                                         return !release && sink.write(piece.data(), piece.size());
                                     });
}

void TestHttpServer::answerTrickling(httplib::Response &res, const std::atomic<bool> &release)
{
    // a type the server does not compress: a compressor would gather the bytes
    res.set_chunked_content_provider("application/octet-stream",
                                     [&release](size_t offset, httplib::DataSink &sink) {
                                         if (offset > 0)
                                             stallUntil(release, 1000);
                                         return !release && sink.write("{", 1);
                                     });
}

QString TestHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://%1:%2%3").arg(QString::fromStdString(host_)).arg(port_).arg(path);
}

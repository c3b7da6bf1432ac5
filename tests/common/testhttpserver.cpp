#include "testhttpserver.h"

#include <QProcess>

#include <chrono>

TestHttpServer::TestHttpServer() : server_(std::make_unique<httplib::Server>()) {}

TestHttpServer::TestHttpServer(const QString &certificatePath, const QString &keyPath)
    : server_(std::make_unique<httplib::SSLServer>(certificatePath.toLocal8Bit().constData(),
                                                   keyPath.toLocal8Bit().constData())),
      tls_(true)
{
}

TestHttpServer::~TestHttpServer()
{
    stop();
}

bool TestHttpServer::start(const std::string &host)
{
    host_ = host;
    port_ = server_->bind_to_any_port(host);
    if (port_ <= 0)
        return false;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    for (int i = 0; i < 500 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return server_->is_running();
}

void TestHttpServer::stop()
{
    if (thread_.joinable()) {
        server_->stop();
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

bool TestHttpServer::writeSelfSignedCertificate(const QString &certificatePath,
                                                const QString &keyPath)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                   "/CN=talvex-test", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", keyPath,
                   "-out", certificatePath});
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

QString TestHttpServer::url(const QString &path) const
{
    return QStringLiteral("%1://%2:%3%4")
        .arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"), QString::fromStdString(host_))
        .arg(port_)
        .arg(path);
}

std::string TestHttpServer::versionFile(const char *member, const char *key, const QString &product,
                                        const QString &version, const QString &url,
                                        const QString &name)
{
    return QStringLiteral(R"({"%1":[{"%2":"%3","Ver":"%4","Url":"%5","Name":"%6"}]})")
        .arg(QLatin1String(member), QLatin1String(key), product, version, url, name)
        .toStdString();
}

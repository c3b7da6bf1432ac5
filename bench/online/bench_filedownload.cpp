// A 1 GiB download over loopback through the program's path (FileDownload into a folder, on
// libcurl) against its anchor, a plain QNetworkAccessManager feeding the same DownloadBody, in
// one run, interleaved. The server runs in a child process (this program with --serve), so the
// CPU time measured (getrusage of this process, all its threads) is the client's alone.
// Prints throughput and CPU per GiB of each and their ratios.
#include "downloadbody.h"
#include "filedownload.h"
#include "rawhttpserver.h"
#include "updateconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr qint64 sizeBytes = qint64(1) << 30;
// odd, so that a median is one round; each path goes first in every other round, so that what
// one round leaves behind (dirty pages, a warm cache) weighs on both alike
constexpr int rounds = 11;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The child: a 1 GiB answer with a Content-Length to every request, until stdin closes.
int serve()
{
    RawHttpServer server;
    RawHttpServer::Answer answer;
    answer.bytes = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                   QByteArray::number(sizeBytes) + "\r\nConnection: close\r\n\r\n";
    answer.endless = RawHttpServer::Endless::Repeat; // the client stops at the length
    answer.unit = QByteArray(256 * 1024, 'b');
    server.setAnswer(answer);
    if (!server.start())
        return 1;
    std::cout << server.url().toStdString() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

struct Run
{
    double seconds = 0;
    double cpu = 0;
    bool ok = false;
};

Run measure(const std::function<bool()> &download)
{
    QElapsedTimer clock;
    const double cpuBefore = cpuSeconds();
    clock.start();
    Run run;
    run.ok = download();
    run.seconds = clock.elapsed() / 1000.0;
    run.cpu = cpuSeconds() - cpuBefore;
    return run;
}

// The program's path: FileDownload streams into a part file beside folder/name.
bool throughFileDownload(const QUrl &url, const QString &folder)
{
    FileDownload download;
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&download, &FileDownload::downloaded, &loop, [&] {
        ok = true;
        loop.quit();
    });
    QObject::connect(&download, &FileDownload::downloadError, &loop, &QEventLoop::quit);
    QObject::connect(&download, &FileDownload::saveFileFailed, &loop, &QEventLoop::quit);
    download.startDownload(url, QStringLiteral("curl.bin"), folder);
    loop.exec();
    return ok && download.saveFile(folder) &&
           QFileInfo(folder + QStringLiteral("/curl.bin")).size() == sizeBytes &&
           QFile::remove(folder + QStringLiteral("/curl.bin"));
}

// The anchor: Qt's own HTTP reader into the same DownloadBody.
bool throughQt(const QUrl &url, const QString &folder)
{
    QNetworkAccessManager manager;
    DownloadBody body(sizeBytes, folder + QStringLiteral("/qt.bin"));
    QEventLoop loop;
    QObject::connect(&body, &DownloadBody::opened, &loop,
                     [&] { body.attach(manager.get(QNetworkRequest(url))); });
    QObject::connect(&body, &DownloadBody::ended, &loop, &QEventLoop::quit);
    body.open();
    loop.exec();
    const ReadyPart part = body.takePart();
    return body.end() == DownloadBody::End::Complete && part && part->commit() &&
           QFileInfo(folder + QStringLiteral("/qt.bin")).size() == sizeBytes &&
           QFile::remove(folder + QStringLiteral("/qt.bin"));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--serve")))
        return serve();

    QProcess server;
    server.start(app.applicationFilePath(), {QStringLiteral("--serve")});
    if (!server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const QUrl url(QString::fromUtf8(server.readLine().trimmed()) + QStringLiteral("/file.bin"));
    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("bench_filedownload-XXXXXX")));
    UpdateConfig config = UpdateConfig::current();
    config.publishedFileMaxBytes = sizeBytes;
    UpdateConfig::setCurrent(config);

    std::vector<double> curlSeconds, curlCpu, qtSeconds, qtCpu;
    for (int i = 0; i < rounds; ++i) {
        Run curl;
        Run qt;
        if (i % 2 == 0) {
            curl = measure([&] { return throughFileDownload(url, dir.path()); });
            qt = measure([&] { return throughQt(url, dir.path()); });
        } else {
            qt = measure([&] { return throughQt(url, dir.path()); });
            curl = measure([&] { return throughFileDownload(url, dir.path()); });
        }
        if (!curl.ok || !qt.ok) {
            std::fprintf(stderr, "round %d: a download failed (libcurl %d, Qt %d)\n", i + 1,
                         curl.ok, qt.ok);
            return 1;
        }
        std::printf("round %d: libcurl %.2f s, %.2f s CPU; Qt %.2f s, %.2f s CPU\n", i + 1,
                    curl.seconds, curl.cpu, qt.seconds, qt.cpu);
        curlSeconds.push_back(curl.seconds);
        curlCpu.push_back(curl.cpu);
        qtSeconds.push_back(qt.seconds);
        qtCpu.push_back(qt.cpu);
    }
    server.closeWriteChannel();
    server.waitForFinished(10000);

    const double gib = double(sizeBytes) / (1 << 30);
    const double curlRate = gib * 1024 / median(curlSeconds);
    const double qtRate = gib * 1024 / median(qtSeconds);
    const double curlCpuPerGiB = median(curlCpu) / gib;
    const double qtCpuPerGiB = median(qtCpu) / gib;
    std::printf("median of %d: libcurl %.0f MiB/s, %.2f s CPU per GiB; Qt %.0f MiB/s, %.2f s CPU "
                "per GiB\n",
                rounds, curlRate, curlCpuPerGiB, qtRate, qtCpuPerGiB);
    std::printf("throughput ratio (libcurl / Qt): %.2f\n", curlRate / qtRate);
    std::printf("CPU per GiB ratio (libcurl / Qt): %.2f\n", curlCpuPerGiB / qtCpuPerGiB);
    // a shared machine slows whole rounds of either path at random (writeback, other guests):
    // the best round of each shows what the path costs when nothing else weighs on it
    const auto best = [](const std::vector<double> &values) {
        return *std::min_element(values.begin(), values.end());
    };
    std::printf("best round: libcurl %.0f MiB/s, %.2f s CPU per GiB; Qt %.0f MiB/s, %.2f s CPU "
                "per GiB; ratios %.2f and %.2f\n",
                gib * 1024 / best(curlSeconds), best(curlCpu) / gib, gib * 1024 / best(qtSeconds),
                best(qtCpu) / gib, best(qtSeconds) / best(curlSeconds),
                best(curlCpu) / best(qtCpu));
    return 0;
}

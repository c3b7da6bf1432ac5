// The wizards' downloader against a real HTTP server on 127.0.0.1.
#include "descriptor.h"
#include "exporttestfiles.h"
#include "fatcard.h"
#include "filedownload.h"
#include "freezewatch.h"
#include "hostileanswers.h"
#include "partfile.h"
#include "peakmemory.h"
#include "rawhttpserver.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <thread>
#include <unistd.h>

using TestSupport::contentOf;
using TestSupport::entriesOf;
using TestSupport::writeFile;

class TstFileDownload : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    RawHttpServer raw;
    std::unique_ptr<TestHttpServer> https; // a self-signed certificate
    TestHttpServer anyAddress;             // on 0.0.0.0: reached by this machine's own address
    QString ownAddress;                    // a non-loopback IPv4 address; empty when none
    std::atomic<int> anyAddressHits{0};
    const QSslConfiguration defaultTls = QSslConfiguration::defaultConfiguration();
    QTemporaryDir dir;
    std::atomic<int> versionHits{0};
    std::atomic<bool> releaseSlow{false};
    std::atomic<bool> releaseStalls{false};

    static QByteArray fileOf(int size) { return QByteArray(size, 'f'); }
    // Every byte value, over 100 KiB.
    static QByteArray bodyBytes()
    {
        QByteArray bytes;
        for (int i = 0; i < 100 * 1024 + 7; ++i)
            bytes += char(i * 31 + (i >> 8));
        return bytes;
    }
    // The bytes from offset from of a body whose pieces all differ: each 4-byte word holds its
    // own index, little-endian.
    static QByteArray countingBytes(qint64 from, qint64 size)
    {
        QByteArray bytes(int(size), Qt::Uninitialized);
        for (qint64 p = from; p < from + size; ++p)
            bytes[int(p - from)] = char(quint32(p / 4) >> (8 * (p % 4)));
        return bytes;
    }

    // Downloads path (into folder when given) and waits for its end (a save failure included);
    // true when it ended with downloaded().
    bool fetch(FileDownload &download, const QString &path, const QString &name,
               const QString &folder = QString(), int waitMs = 10000)
    {
        return fetchUrl(download, QUrl(http.url(path)), name, folder, waitMs);
    }
    bool fetchUrl(FileDownload &download, const QUrl &url, const QString &name,
                  const QString &folder = QString(), int waitMs = 10000)
    {
        QSignalSpy done(&download, &FileDownload::downloaded);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QSignalSpy writeFailed(&download, &FileDownload::saveFileFailed);
        download.startDownload(url, name, folder);
        if (!QTest::qWaitFor(
                [&] { return done.count() + failed.count() + writeFailed.count() > 0; }, waitMs))
            return false;
        return done.count() == 1;
    }

    // A fresh empty folder for one case's files.
    QString emptyFolder(const QString &name)
    {
        const QString folder = dir.filePath(name);
        QDir(folder).removeRecursively();
        return QDir().mkpath(folder) ? folder : QString();
    }

    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

    static void setPublishedFileLimit(qint64 bytes)
    {
        UpdateConfig config = UpdateConfig::current();
        config.publishedFileMaxBytes = bytes;
        UpdateConfig::setCurrent(config);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        httplib::Server &s = http.server();
        s.Get("/version", [this](const httplib::Request &, httplib::Response &res) {
            ++versionHits;
            res.set_content(R"({"UpdateFW":[]})", "text/plain");
        });
        s.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("no such file", "text/html");
        });
        s.Get("/error", [](const httplib::Request &, httplib::Response &res) {
            res.status = 500;
            res.set_content("server error page", "text/html");
        });
        s.Get("/choices", [](const httplib::Request &, httplib::Response &res) {
            res.status = 300; // an answer without error that is still no file
            res.set_content("pick one", "text/html");
        });
        s.Get("/redirect", [](const httplib::Request &, httplib::Response &res) {
            res.set_redirect("/version");
        });
        s.Get(R"(/size/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(
                fileOf(req.matches[1].str().size() ? std::stoi(req.matches[1]) : 0).toStdString(),
                "application/octet-stream");
        });
        s.Get("/slow", [this](const httplib::Request &, httplib::Response &res) {
            TestHttpServer::stallUntil(releaseSlow, 5000);
            res.set_content("late", "text/plain");
        });
        s.Get("/broken", [](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(1000, "application/octet-stream",
                                     [](size_t offset, size_t, httplib::DataSink &sink) {
                                         if (offset > 0)
                                             return false; // the connection drops half-way
                                         sink.write(std::string(500, 'p').data(), 500);
                                         return true;
                                     });
        });
        // 64 KiB pieces of a body of the asked size
        s.Get(R"(/stream/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            const size_t size = std::stoull(req.matches[1]);
            res.set_content_provider(size, "application/octet-stream",
                                     [](size_t, size_t length, httplib::DataSink &sink) {
                                         static const std::string piece(65536, 's');
                                         return sink.write(piece.data(),
                                                           std::min(length, piece.size()));
                                     });
        });
        // countingBytes of the asked size in 64 KiB pieces 40 ms apart (a line of about 1.6 MB/s),
        // the last one ending the body; from the second number on held back until releaseStalls
        s.Get(R"(/counting/(\d+)/(\d+))",
              [this](const httplib::Request &req, httplib::Response &res) {
                  const size_t heldFrom = std::stoull(req.matches[2]);
                  res.set_content_provider(
                      std::stoull(req.matches[1]), "application/octet-stream",
                      [this, heldFrom](size_t offset, size_t length, httplib::DataSink &sink) {
                          if (offset == heldFrom)
                              TestHttpServer::stallUntil(releaseStalls, 60000);
                          if (offset < heldFrom)
                              length = std::min(length, heldFrom - offset);
                          std::this_thread::sleep_for(std::chrono::milliseconds(40));
                          const QByteArray piece = countingBytes(
                              qint64(offset), qint64(length % 65536 == 0 ? 65536 : length % 65536));
                          return sink.write(piece.constData(), size_t(piece.size()));
                      });
              });
        s.Get("/endless", [](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("application/octet-stream",
                                             [](size_t, httplib::DataSink &sink) {
                                                 static const std::string piece(65536, 'e');
                                                 return sink.write(piece.data(), piece.size());
                                             });
        });
        s.Get("/trickle", [this](const httplib::Request &, httplib::Response &res) {
            TestHttpServer::answerTrickling(res, releaseStalls);
        });
        s.Get("/stall-headers", [this](const httplib::Request &, httplib::Response &res) {
            TestHttpServer::stallUntil(releaseStalls, 120000); // past the default timeout
            res.set_content("late", "text/plain");
        });
        s.Get("/stall-body", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(1000, "application/octet-stream",
                                     [this](size_t offset, size_t, httplib::DataSink &sink) {
                                         if (offset > 0) {
                                             TestHttpServer::stallUntil(releaseStalls);
                                             return false;
                                         }
                                         return sink.write("0123456789", 10);
                                     });
        });
        // a body of the asked size without Content-Length, in 64 KiB chunks
        s.Get(R"(/chunked/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            const size_t size = std::stoull(req.matches[1]);
            res.set_chunked_content_provider(
                "application/octet-stream", [size](size_t offset, httplib::DataSink &sink) {
                    if (offset >= size) {
                        sink.done();
                        return true;
                    }
                    const std::string piece(std::min<size_t>(size - offset, 65536), 'f');
                    return sink.write(piece.data(), piece.size());
                });
        });
        s.Get("/to-own-address", [this](const httplib::Request &, httplib::Response &res) {
            res.set_redirect(QStringLiteral("http://%1:%2/version")
                                 .arg(ownAddress)
                                 .arg(anyAddress.port())
                                 .toStdString());
        });
        QVERIFY(http.start());
        QVERIFY(raw.start());

        const QString certificate = dir.filePath(QStringLiteral("server.crt"));
        const QString key = dir.filePath(QStringLiteral("server.key"));
        QVERIFY(TestHttpServer::writeSelfSignedCertificate(certificate, key));
        https = std::make_unique<TestHttpServer>(certificate, key);
        https->server().Get("/version", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(R"({"UpdateFW":[]})", "text/plain");
        });
        https->server().Get("/to-http", [this](const httplib::Request &, httplib::Response &res) {
            res.set_redirect(http.url(QStringLiteral("/version")).toStdString());
        });
        QVERIFY(https->start());

        for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
                ownAddress = a.toString();
        }
        anyAddress.server().Get(".*", [this](const httplib::Request &, httplib::Response &res) {
            ++anyAddressHits;
            res.set_content(R"({"UpdateFW":[]})", "text/plain");
        });
        QVERIFY(anyAddress.start("0.0.0.0"));
    }
    void cleanupTestCase()
    {
        releaseSlow = true;
        releaseStalls = true;
        http.stop();
        https->stop();
        anyAddress.stop();
    }
    void init() { releaseStalls = false; }
    void cleanup()
    {
        releaseStalls = true;
        raw.release();
        QSslConfiguration::setDefaultConfiguration(defaultTls);
        setPublishedFileLimit(UpdateConfig::defaultPublishedFileMaxBytes);
    }

    void okAnswerKeepsTheBody()
    {
        FileDownload download;
        QSignalSpy progress(&download, &FileDownload::downloadProgress);
        QVERIFY(fetch(download, QStringLiteral("/size/2048"), QStringLiteral("fw.bin")));
        QCOMPARE(download.downloadedData(), fileOf(2048));
        QCOMPARE(download.fileName(), QStringLiteral("fw.bin"));
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toLongLong(), 2048);
    }

    void redirectIsFollowed()
    {
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/redirect"), QStringLiteral("v.txt")));
        QCOMPARE(download.downloadedData(), QByteArray(R"({"UpdateFW":[]})"));
    }

    // An error answer or a broken transfer reports its error and keeps the last good body.
    void failuresKeepNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::newRow("404") << "/missing" << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("500") << "/error" << int(QNetworkReply::InternalServerError);
        QTest::newRow("300 without a location")
            << "/choices" << int(QNetworkReply::UnknownContentError);
        QTest::newRow("connection drops") << "/broken" << -1;
    }
    void failuresKeepNothing()
    {
        QFETCH(QString, path);
        QFETCH(int, error);
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/size/10"), QStringLiteral("good.bin")));
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QVERIFY(!fetch(download, path, QStringLiteral("bad.bin")));
        QCOMPARE(failed.count(), 1);
        if (error >= 0)
            QCOMPARE(int(failed.at(0).at(0).value<QNetworkReply::NetworkError>()), error);
        QCOMPARE(download.downloadedData(), fileOf(10));
    }

    void startWhileBusyAbortsAndSendsNothing()
    {
        releaseSlow = false;
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QSignalSpy done(&download, &FileDownload::downloaded);
        download.startDownload(QUrl(http.url(QStringLiteral("/slow"))), QStringLiteral("a"));
        QTest::qWait(100);
        const int hitsBefore = versionHits;
        download.startDownload(QUrl(http.url(QStringLiteral("/version"))), QStringLiteral("b"));
        QCOMPARE(download.fileName(), QStringLiteral("b"));
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::OperationCanceledError);
        releaseSlow = true;
        QTest::qWait(200);
        QCOMPARE(int(versionHits), hitsBefore);
        QCOMPARE(done.count(), 0);
        // idle again: abort changes nothing, a new start is sent
        download.abort();
        QCOMPARE(failed.count(), 1);
        QVERIFY(fetch(download, QStringLiteral("/version"), QStringLiteral("c")));
        QCOMPARE(int(versionHits), hitsBefore + 1);
    }

    void savedSizeInWholeKiB_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("kib");
        QTest::newRow("1023 bytes") << 1023 << 0;
        QTest::newRow("2048 bytes") << 2048 << 2;
        QTest::newRow("empty") << 0 << 0;
    }
    void savedSizeInWholeKiB()
    {
        QFETCH(int, bytes);
        QFETCH(int, kib);
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/size/%1").arg(bytes), QStringLiteral("saved.bin"),
                      dir.path()));
        QVERIFY(download.downloadedData().isEmpty()); // on disk, not in memory
        const QString target = dir.filePath(QStringLiteral("saved.bin"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'o')); // replaced whole
        old.close();
        QSignalSpy completed(&download, &FileDownload::saveFileCompleted);
        QVERIFY(download.saveFile(dir.path()));
        QCOMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toString(), target);
        QCOMPARE(completed.at(0).at(1).toString(), QStringLiteral("saved.bin"));
        QCOMPARE(completed.at(0).at(2).toInt(), kib);
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), fileOf(bytes));
    }

    // A target that cannot be written fails before anything is sent.
    void unwritableTargetsFail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::newRow("empty name") << "" << dir.path();
        QTest::newRow("name with a path") << "../fw.bin" << dir.filePath(QStringLiteral("sub"));
        QTest::newRow("missing folder") << "fw.bin" << dir.filePath(QStringLiteral("gone"));
    }
    void unwritableTargetsFail()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QDir().mkpath(dir.filePath(QStringLiteral("sub")));
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::saveFileFailed);
        QSignalSpy progress(&download, &FileDownload::downloadProgress);
        download.startDownload(QUrl(http.url(QStringLiteral("/size/100"))), name, folder);
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.at(0).at(0).toInt(), 1);
        QCOMPARE(progress.count(), 0);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("fw.bin"))));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral(".part"))));
        // nothing arrived, so nothing can be saved
        QVERIFY(!download.saveFile(folder));
        QCOMPARE(failed.count(), 2);
    }

    // The published file replaces the old one only after a 2xx answer with every byte; any other
    // end leaves the old file as it was and no part file.
    void streamedFileReplacesTargetOnlyWhenWhole_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::newRow("whole") << "/size/5000" << int(QNetworkReply::NoError);
        QTest::newRow("404") << "/missing" << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("500") << "/error" << int(QNetworkReply::InternalServerError);
        QTest::newRow("300, no network error")
            << "/choices" << int(QNetworkReply::UnknownContentError);
        QTest::newRow("connection drops") << "/broken" << int(QNetworkReply::RemoteHostClosedError);
        QTest::newRow("silent after 10 bytes") << "/stall-body" << int(QNetworkReply::TimeoutError);
    }
    void streamedFileReplacesTargetOnlyWhenWhole()
    {
        QFETCH(QString, path);
        QFETCH(int, error);
        const QString folder = emptyFolder(QStringLiteral("card"));
        const QString target = folder + QStringLiteral("/FW_X7.bin");
        writeFile(target, "old firmware");
        FileDownload download;
        download.setTransferTimeout(300);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        const bool whole = fetch(download, path, QStringLiteral("FW_X7.bin"), folder);
        QCOMPARE(whole, error == QNetworkReply::NoError);
        if (whole) {
            QCOMPARE(contentOf(target), QByteArray("old firmware")); // not before saveFile
            QVERIFY(download.saveFile(folder));
            QCOMPARE(contentOf(target), fileOf(5000));
        } else {
            QCOMPARE(failed.count(), 1);
            QCOMPARE(int(failed.at(0).at(0).value<QNetworkReply::NetworkError>()), error);
            QCOMPARE(contentOf(target), QByteArray("old firmware"));
            QVERIFY(!download.saveFile(folder));
            QCOMPARE(contentOf(target), QByteArray("old firmware"));
        }
        QCOMPARE(filesIn(folder), QStringList{"FW_X7.bin"});
    }

    // A body larger than any memory budget goes to disk piece by piece.
    void bigBodyStreamsToDiskNotMemory()
    {
        const qint64 size = qint64(192) * 1024 * 1024;
        const QString folder = emptyFolder(QStringLiteral("big"));
        FileDownload download;
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QVERIFY(fetch(download, QStringLiteral("/stream/%1").arg(size), QStringLiteral("big.bin"),
                      folder, 60000));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QSignalSpy completed(&download, &FileDownload::saveFileCompleted);
        QVERIFY(download.saveFile(folder));
        QCOMPARE(QFileInfo(folder + QStringLiteral("/big.bin")).size(), size);
        QCOMPARE(completed.at(0).at(2).toInt(), int(size / 1024));
    }

    // A body past its kind's limit ends as an error with nothing kept, while memory stays low.
    void oversizedBodiesAreRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("toFile");
        QTest::newRow("endless version file") << "/endless" << false;
        QTest::newRow("version file of 1 GiB") << "/stream/1073741824" << false;
        QTest::newRow("endless published file") << "/endless" << true;
        QTest::newRow("published file of 1 GiB") << "/stream/1073741824" << true;
    }
    void oversizedBodiesAreRefused()
    {
        QFETCH(QString, path);
        QFETCH(bool, toFile);
        setPublishedFileLimit(32 * 1024 * 1024);
        const QString folder = emptyFolder(QStringLiteral("limits"));
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/size/10"), QStringLiteral("good.bin")));
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QVERIFY(!fetch(download, path, QStringLiteral("FW_X7.bin"), toFile ? folder : QString(),
                       60000));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::UnknownContentError);
        QCOMPARE(filesIn(folder), QStringList());
        QCOMPARE(download.downloadedData(), fileOf(10));
    }

    // A downloader that goes away mid-transfer (its window closed) leaves no part file.
    void destroyedMidTransferLeavesNothing()
    {
        const QString folder = emptyFolder(QStringLiteral("closed"));
        auto download = std::make_unique<FileDownload>();
        QSignalSpy progress(download.get(), &FileDownload::downloadProgress);
        download->startDownload(QUrl(http.url(QStringLiteral("/endless"))),
                                QStringLiteral("FW_X7.bin"), folder);
        QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
        const QStringList parts = filesIn(folder);
        QCOMPARE(parts.size(), 1);
        QVERIFY2(parts.first().startsWith(QLatin1String(".FW_X7.")) &&
                     parts.first().endsWith(QLatin1String(".part.bin")),
                 qPrintable(parts.first()));
        download.reset();
        QTRY_COMPARE(filesIn(folder), QStringList()); // removed on the writer's thread
    }

    // A card whose driver stops mid-download: the download ends as a save failure (its reply
    // idle first, held back for the card), memory bounded, or goes away while the card hangs;
    // nothing waits for the card, and once it answers again no part is left on it.
    void cardThatStopsLeavesNoPart_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("ends by its bound") << false;
        QTest::newRow("destroyed meanwhile") << true;
    }
    void cardThatStopsLeavesNoPart()
    {
        QFETCH(bool, destroyed);
        FATCARD_OR_SKIP(card, 256);
        FreezeWatch watch([&card] { card.resumeDriver(); }, std::chrono::seconds(20));
        auto download = std::make_unique<FileDownload>();
        HostileAnswers::shortenBounds(*download, HostileAnswers::shortSecondMs);
        QSignalSpy failed(download.get(), &FileDownload::saveFileFailed);
        QSignalSpy progress(download.get(), &FileDownload::downloadProgress);
        // past the memory bound, and room for it on the card
        download->startDownload(QUrl(http.url(QStringLiteral("/stream/134217728"))),
                                QStringLiteral("FW_X7.bin"), card.root());
        QTRY_VERIFY(!progress.isEmpty());
        QVERIFY(card.stopDriver());
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        if (destroyed)
            download.reset();
        else
            QVERIFY(failed.wait(20000));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QVERIFY2(!watch.froze(), "waited for the card");
        QVERIFY(card.resumeDriver());
        QTRY_COMPARE(filesIn(card.root()), QStringList());
    }

    // A card that answers in turns, its driver stopped for 300 ms and then running until the
    // writer is at most 256 KiB behind the line (of about 1.6 MB/s), from the body's first byte to
    // its last: the writer is busy for many times the stall bound in a row, many pieces queued,
    // but never for one step's worth. The download is saved, every byte in order.
    void slowSteadyCardKeepsOrder()
    {
        FATCARD_OR_SKIP(card, 64);
        constexpr qint64 size = 8 * 1024 * 1024;
        constexpr int stallBoundMs = 1000;
        constexpr int stoppedMs = 300;
        FileDownload download;
        download.setPaceBounds({NetworkLimits::headTimeoutMs, stallBoundMs});
        std::atomic<qint64> received{0};
        connect(&download, &FileDownload::downloadProgress,
                [&received](qlonglong bytes) { received = bytes; });
        // asked only while the driver runs
        const auto written = [&card] {
            const QFileInfoList parts =
                QDir(card.root())
                    .entryInfoList({QStringLiteral(".FW_X7.*")}, QDir::Files | QDir::Hidden);
            return parts.isEmpty() ? qint64(0) : parts.first().size();
        };
        std::atomic<bool> ended{false};
        int turns = 0; // the turner's until it is joined
        std::thread turner([&] {
            while (!ended && received < size) {
                if (received == 0 || !card.stopDriver()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    continue;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(stoppedMs));
                card.resumeDriver();
                ++turns;
                const qint64 from = written();
                while (!ended && received < size &&
                       (written() < from + 64 * 1024 || received - written() > 256 * 1024))
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        const bool whole = fetch(download, QStringLiteral("/counting/%1/%1").arg(size),
                                 QStringLiteral("FW_X7.bin"), card.root(), 120000);
        ended = true;
        turner.join();
        QVERIFY(whole);
        // stopped for several stall bounds in all
        QVERIFY2(turns * stoppedMs >= 3 * stallBoundMs, qPrintable(QString::number(turns)));
        QVERIFY(download.saveFile(card.root()));
        QCOMPARE(filesIn(card.root()), QStringList{"FW_X7.bin"});
        const auto sha256 = [](const QByteArray &bytes) {
            return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        };
        QCOMPARE(sha256(contentOf(card.root() + QStringLiteral("/FW_X7.bin"))),
                 sha256(countingBytes(0, size)));
    }

    // A drive that fills up ends the download as a save failure: at once, while the server still
    // holds most of the body back (a tmpfs far smaller than the body), and also when it only cuts
    // the last write short (a tmpfs that holds all but the last 3 KiB, the last piece 64 KiB).
    // Nothing is saved and no part is left.
    void fullDriveFailsTheDownload_data()
    {
        QTest::addColumn<qint64>("driveBytes");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("heldFrom"); // the server holds the rest until released
        constexpr qint64 mib = 1024 * 1024;
        QTest::newRow("full mid-download") << mib / 2 << 8 * mib << 2 * mib;
        QTest::newRow("last write cut short") << mib << mib + 3072 << mib + 3072;
    }
    void fullDriveFailsTheDownload()
    {
        QFETCH(qint64, driveBytes);
        QFETCH(qint64, size);
        QFETCH(qint64, heldFrom);
        const QString folder = emptyFolder(QStringLiteral("full"));
        const ExportTestFiles::TmpfsMount drive(folder, QStringLiteral("size=%1").arg(driveBytes));
        if (!drive.isMounted())
            QSKIP(qPrintable(drive.problem()));
        FileDownload download;
        download.setTransferTimeout(120000); // neither the idle timeout nor the body's window
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QSignalSpy writeFailed(&download, &FileDownload::saveFileFailed);
        QSignalSpy done(&download, &FileDownload::downloaded);
        download.startDownload(
            QUrl(http.url(QStringLiteral("/counting/%1/%2").arg(size).arg(heldFrom))),
            QStringLiteral("FW_X7.bin"), folder);
        // well within the body's window (60 s), which would end a download left waiting
        QTRY_VERIFY_WITH_TIMEOUT(writeFailed.count() + failed.count() + done.count() > 0, 20000);
        releaseStalls = true;
        QCOMPARE(writeFailed.count(), 1);
        QCOMPARE(writeFailed.at(0).at(0).toInt(), 1);
        QCOMPARE(failed.count() + done.count(), 0);
        QCOMPARE(filesIn(folder), QStringList());
        QVERIFY(!download.saveFile(folder));
        QCOMPARE(filesIn(folder), QStringList());
    }

    // A server that stops sending ends the request after the transfer timeout.
    void silentServerTimesOut_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no headers") << "/stall-headers";
        QTest::newRow("silent after 10 bytes") << "/stall-body";
    }
    void silentServerTimesOut()
    {
        QFETCH(QString, path);
        FileDownload download;
        download.setTransferTimeout(300);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QVERIFY(!fetch(download, path, QStringLiteral("FWVersion_TVX.txt")));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::TimeoutError);
        QVERIFY(download.downloadedData().isEmpty());
    }

    // A user's file is kept unless it holds the same bytes; the new file takes a free name.
    void freeNameKeepsOtherFiles_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << QStringList() << "TALVEX VIDEO PLAYER.exe";
        QTest::newRow("same installer")
            << QStringList{"TALVEX VIDEO PLAYER.exe=new"} << "TALVEX VIDEO PLAYER.exe";
        QTest::newRow("user's file")
            << QStringList{"TALVEX VIDEO PLAYER.exe=mine"} << "TALVEX VIDEO PLAYER (1).exe";
        QTest::newRow("two taken")
            << QStringList{"TALVEX VIDEO PLAYER.exe=mine", "TALVEX VIDEO PLAYER (1).exe=old"}
            << "TALVEX VIDEO PLAYER (2).exe";
    }
    void freeNameKeepsOtherFiles()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        const QString folder = emptyFolder(QStringLiteral("desktop"));
        const QString part = folder + QStringLiteral("/TALVEX VIDEO PLAYER.exe.part");
        writeFile(part, "new");
        for (const QString &file : existing)
            writeFile(folder + QLatin1Char('/') + file.section(QLatin1Char('='), 0, 0),
                      file.section(QLatin1Char('='), 1).toUtf8());
        const Descriptor folderFd(::open(qPrintable(folder), O_PATH | O_DIRECTORY | O_CLOEXEC));
        const Descriptor partFd(::open(qPrintable(part), O_RDONLY | O_CLOEXEC));
        QCOMPARE(FileDownload::freeName(folderFd.fd(), QStringLiteral("TALVEX VIDEO PLAYER.exe"),
                                        partFd.fd()),
                 expected);
    }

    // A version file trickling a byte a second ends at the answer deadline; a published file has
    // no such deadline (a slow line), only the idle and pace bounds, and is not cut there.
    void tricklingAnswer_data()
    {
        QTest::addColumn<bool>("toFile");
        QTest::newRow("version file") << false;
        QTest::newRow("published file") << true;
    }
    void tricklingAnswer()
    {
        QFETCH(bool, toFile);
        const QString folder = emptyFolder(QStringLiteral("trickle"));
        FileDownload download;
        download.setAnswerDeadline(2000);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QSignalSpy progress(&download, &FileDownload::downloadProgress);
        QElapsedTimer clock;
        clock.start();
        download.startDownload(QUrl(http.url(QStringLiteral("/trickle"))),
                               QStringLiteral("FW_X7.bin"), toFile ? folder : QString());
        if (toFile) {
            // well past the deadline, bytes still arriving
            QTest::qWait(5000);
            QCOMPARE(failed.count(), 0);
            QTRY_VERIFY2(progress.count() >= 4, qPrintable(QString::number(progress.count())));
            download.abort();
            QTRY_COMPARE(failed.count(), 1);
            QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                     QNetworkReply::OperationCanceledError);
        } else {
            QVERIFY(failed.wait(20000));
            qInfo("version file failed after %lld ms", clock.elapsed());
            QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                     QNetworkReply::TimeoutError);
        }
        QCOMPARE(filesIn(folder), QStringList());
    }

    // The part file has a name of its own: whatever bears the old "<name>.part" (a link to a
    // file elsewhere, a user's file) stays byte-identical, as does the file the link points to,
    // whether the download succeeds (and is saved) or fails.
    void partFileTouchesNothingElse_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("succeeds");
        for (const bool link : {true, false}) {
            const char *taken = link ? "link" : "user's file";
            QTest::addRow("%s, succeeding", taken) << link << "/size/5000" << true;
            QTest::addRow("%s, connection drops", taken) << link << "/broken" << false;
            QTest::addRow("%s, too large", taken) << link << "/stream/4194304" << false;
        }
    }
    void partFileTouchesNothingElse()
    {
        QFETCH(bool, link);
        QFETCH(QString, path);
        QFETCH(bool, succeeds);
        setPublishedFileLimit(1024 * 1024);
        const QString folder = emptyFolder(QStringLiteral("taken"));
        const QString outside = dir.filePath(QStringLiteral("outside.bin"));
        writeFile(outside, "a file elsewhere");
        const QString taken = folder + QStringLiteral("/FW_X7.bin.part");
        if (link)
            QVERIFY(QFile::link(outside, taken));
        else
            writeFile(taken, "the user's own part");
        QMap<QString, QByteArray> before = entriesOf(folder);
        FileDownload download;
        QCOMPARE(fetch(download, path, QStringLiteral("FW_X7.bin"), folder), succeeds);
        if (succeeds) {
            QVERIFY(download.saveFile(folder));
            before.insert(QStringLiteral("FW_X7.bin"), fileOf(5000));
        }
        QCOMPARE(entriesOf(folder), before);
        QCOMPARE(contentOf(outside), QByteArray("a file elsewhere"));
    }

    // A published file downloaded and never saved goes once another download arrives, and a
    // save that fails (a folder has the name) leaves no part file.
    void unsavedDownloadLeavesNoPart()
    {
        const QString folder = emptyFolder(QStringLiteral("unsaved"));
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/size/100"), QStringLiteral("first.bin"), folder));
        QCOMPARE(filesIn(folder).size(), 1);
        QVERIFY(fetch(download, QStringLiteral("/size/200"), QStringLiteral("second.bin"), folder));
        QTRY_COMPARE(filesIn(folder).size(), 1); // the first removed off this thread
        const QStringList parts = filesIn(folder);
        QVERIFY2(parts.first().startsWith(QLatin1String(".second.")), qPrintable(parts.first()));
        QVERIFY(download.saveFile(folder));
        QCOMPARE(filesIn(folder), QStringList{"second.bin"});
        QCOMPARE(contentOf(folder + QStringLiteral("/second.bin")), fileOf(200));
    }
    void failedSaveLeavesNoPart()
    {
        const QString folder = emptyFolder(QStringLiteral("unsaveable"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/FW_X7.bin/inside")));
        const QMap<QString, QByteArray> before = entriesOf(folder);
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::saveFileFailed);
        QVERIFY(fetch(download, QStringLiteral("/size/100"), QStringLiteral("FW_X7.bin"), folder));
        QVERIFY(!download.saveFile(folder));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(entriesOf(folder), before);
        QVERIFY(QFileInfo(folder + QStringLiteral("/FW_X7.bin/inside")).isDir());
    }

    // A download first removes the part files that ended runs of the program left in its folder,
    // of any target. What only looks like one stays: a name not made as parts are named, the part
    // of a download still running, one of another user's.
    void stalePartsGoWithTheNextDownload()
    {
        const QString folder = emptyFolder(QStringLiteral("stale"));
        const QStringList stale{".FW_X7.k3v9x0aa.part.bin", ".notes.0a1b2c3d.part"};
        for (const QString &name : stale)
            writeFile(folder + QLatin1Char('/') + name, "left by a run that ended");
        for (const char *name : {".FW_X7.K3V9X0AA.part.bin", "FW_X7.k3v9x0aa.part.bin",
                                 ".FW_X7.k3v9x0a.part.bin", ".FW_X7.k3v9x0aa.part.bin.old"})
            writeFile(folder + QLatin1Char('/') + QLatin1String(name), "the user's");
        PartFile running(folder + QStringLiteral("/running.bin"));
        QVERIFY(running.create());
        if (::geteuid() == 0) {
            const QString others = folder + QStringLiteral("/.theirs.abcd1234.part");
            writeFile(others, "another user's");
            QCOMPARE(::chown(QFile::encodeName(others).constData(), 65534, 65534), 0);
        }
        QMap<QString, QByteArray> expected = entriesOf(folder);
        for (const QString &name : stale)
            expected.remove(name);
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/size/3000"), QStringLiteral("FW_X7.bin"), folder));
        QVERIFY(download.saveFile(folder));
        expected.insert(QStringLiteral("FW_X7.bin"), fileOf(3000));
        QCOMPARE(entriesOf(folder), expected);
    }

    // A download streamed into one folder is saved into the folder it is asked into, on this disk
    // or on another volume (a tmpfs), under the name chosen there; the signal names the saved
    // bytes, and no part stays in either folder, also when the save fails.
    void savedIntoTheFolderAskedFor_data()
    {
        QTest::addColumn<bool>("otherVolume");
        QTest::addColumn<QString>("taken"); // what the asked folder holds under the name
        QTest::addColumn<QString>("saved"); // the saved file's name, "" when the save fails
        QTest::newRow("same disk") << false << ""
                                   << "fw.bin";
        QTest::newRow("same disk, the user's file kept") << false << "file"
                                                         << "fw (1).bin";
        QTest::newRow("another volume") << true << ""
                                        << "fw.bin";
        QTest::newRow("another volume, the name a folder's") << true << "folder"
                                                             << "";
    }
    void savedIntoTheFolderAskedFor()
    {
        QFETCH(bool, otherVolume);
        QFETCH(QString, taken);
        QFETCH(QString, saved);
        QTemporaryDir shm(QStringLiteral("/dev/shm/tst_filedownload-XXXXXX"));
        if (otherVolume && QStorageInfo(shm.path()).device() == QStorageInfo(dir.path()).device())
            QSKIP("no second file system at /dev/shm");
        const QString streamed = emptyFolder(QStringLiteral("streamed"));
        const QString asked = otherVolume ? shm.path() : emptyFolder(QStringLiteral("asked"));
        if (taken == QLatin1String("file"))
            writeFile(asked + QStringLiteral("/fw.bin"), "the user's");
        else if (taken == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(asked + QStringLiteral("/fw.bin/inside")));
        QMap<QString, QByteArray> expected = entriesOf(asked, true);
        FileDownload download;
        QSignalSpy completed(&download, &FileDownload::saveFileCompleted);
        QVERIFY(fetch(download, QStringLiteral("/size/3000"), QStringLiteral("fw.bin"), streamed));
        // the user's file is kept; a folder in the way is replaced by no file
        QCOMPARE(download.saveFile(asked, taken == QLatin1String("file")
                                              ? FileDownload::Existing::KeepIfDifferent
                                              : FileDownload::Existing::Replace),
                 !saved.isEmpty());
        QCOMPARE(completed.count(), saved.isEmpty() ? 0 : 1);
        if (!saved.isEmpty()) {
            QCOMPARE(completed.at(0).at(0).toString(), asked + QLatin1Char('/') + saved);
            QCOMPARE(contentOf(completed.at(0).at(0).toString()), fileOf(3000));
            expected.insert(saved, fileOf(3000));
        }
        QCOMPARE(entriesOf(asked, true), expected);
        QCOMPARE(filesIn(streamed), QStringList());
    }

    // A body of exactly its kind's limit arrives whole, whether Content-Length announces it or
    // not; one byte more is refused.
    void bodyAtTheLimitIsAccepted_data()
    {
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<int>("overBytes");
        for (const bool toFile : {false, true}) {
            for (const bool announced : {true, false}) {
                for (const int overBytes : {0, 1}) {
                    QTest::addRow("%s, %s, %s", toFile ? "published file" : "version file",
                                  announced ? "Content-Length" : "chunked",
                                  overBytes == 0 ? "at the limit" : "one byte over")
                        << toFile << announced << overBytes;
                }
            }
        }
    }
    void bodyAtTheLimitIsAccepted()
    {
        QFETCH(bool, toFile);
        QFETCH(bool, announced);
        QFETCH(int, overBytes);
        constexpr qint64 publishedLimit = 100007;
        setPublishedFileLimit(publishedLimit);
        const qint64 size =
            (toFile ? publishedLimit : NetworkLimits::smallAnswerMaxBytes) + overBytes;
        const QString folder = emptyFolder(QStringLiteral("at limit"));
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::downloadError);
        const QString path =
            (announced ? QStringLiteral("/size/%1") : QStringLiteral("/chunked/%1")).arg(size);
        const bool whole =
            fetch(download, path, QStringLiteral("FW_X7.bin"), toFile ? folder : QString());
        QCOMPARE(whole, overBytes == 0);
        if (!whole) {
            QCOMPARE(failed.count(), 1);
            QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                     QNetworkReply::UnknownContentError);
            QVERIFY(download.downloadedData().isEmpty());
            QCOMPARE(filesIn(folder), QStringList());
            return;
        }
        if (toFile) {
            QVERIFY(download.saveFile(folder));
            QCOMPARE(contentOf(folder + QStringLiteral("/FW_X7.bin")), fileOf(int(size)));
        } else {
            QCOMPARE(download.downloadedData(), fileOf(int(size)));
        }
    }

    // The published-file limit of the configuration; a missing, zero or negative one keeps the
    // default.
    void publishedFileLimitFromConfiguration_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<qint64>("limit");
        const qint64 fallback = UpdateConfig::defaultPublishedFileMaxBytes;
        QTest::newRow("no member")
            << QByteArray(R"({"cloudFolder": "/Windows Update/"})") << fallback;
        QTest::newRow("0") << QByteArray(R"({"publishedFileMaxBytes": 0})") << fallback;
        QTest::newRow("negative") << QByteArray(R"({"publishedFileMaxBytes": -1})") << fallback;
        QTest::newRow("4096") << QByteArray(R"({"publishedFileMaxBytes": 4096})") << qint64(4096);
        QTest::newRow("6 GiB") << QByteArray(R"({"publishedFileMaxBytes": 6442450944})")
                               << qint64(6) * 1024 * 1024 * 1024;
    }
    void publishedFileLimitFromConfiguration()
    {
        QFETCH(QByteArray, json);
        QFETCH(qint64, limit);
        const UpdateConfig config = UpdateConfig::fromJson(json);
        QCOMPARE(config.publishedFileMaxBytes, limit);
        setPublishedFileLimit(config.publishedFileMaxBytes);
        const QString folder = emptyFolder(QStringLiteral("configured"));
        FileDownload download;
        QCOMPARE(fetch(download, QStringLiteral("/size/5000"), QStringLiteral("FW_X7.bin"), folder),
                 limit >= 5000);
    }

    // Every hostile answer ends as a failure with its code, with memory bounded, the published
    // file already in the folder byte-identical and nothing else left there; a head or chunk
    // line without end ends within 15 s, the idle timeout set far beyond that.
    void hostileAnswerFails_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("toFile");
        const QList<HostileAnswers::Hostile> answers = HostileAnswers::all();
        for (const bool toFile : {false, true}) {
            for (int i = 0; i < answers.size(); ++i) {
                QTest::addRow("%s, %s", toFile ? "published file" : "version file",
                              answers.at(i).name)
                    << i << toFile;
            }
        }
    }
    void hostileAnswerFails()
    {
        QFETCH(int, answer);
        QFETCH(bool, toFile);
        const HostileAnswers::Hostile hostile = HostileAnswers::all().at(answer);
        raw.setAnswer(hostile.answer);
        setPublishedFileLimit(64 * 1024 * 1024);
        const QString folder = emptyFolder(QStringLiteral("hostile"));
        writeFile(folder + QStringLiteral("/FW_X7.bin"), "old firmware");
        const QMap<QString, QByteArray> before = entriesOf(folder);
        FileDownload download;
        download.setTransferTimeout(120000);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QSignalSpy done(&download, &FileDownload::downloaded);
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QElapsedTimer clock;
        clock.start();
        download.startDownload(QUrl(raw.url(QStringLiteral("/FW_X7.bin"))),
                               QStringLiteral("FW_X7.bin"), toFile ? folder : QString());
        const int waitMs = hostile.headFlood ? 15000 : 60000;
        QTRY_VERIFY_WITH_TIMEOUT(failed.count() + done.count() > 0, waitMs);
        qInfo("ended after %lld ms, peak memory growth %lld MiB", clock.elapsed(),
              growth.bytes() / (1024 * 1024));
        QCOMPARE(done.count(), 0);
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(), hostile.error);
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QCOMPARE(entriesOf(folder), before);
        QVERIFY(download.downloadedData().isEmpty());
    }

    // A slow peer, whose head lines or body bytes keep within the idle timeout, ends the version
    // file and the published file with TimeoutError at the head's or the body's bound (shortened
    // here), the file in the folder byte-identical and nothing else left.
    void slowPeerEndsAsTimeout_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<bool>("toFile");
        for (const bool toFile : {false, true}) {
            for (const HostileAnswers::Hostile &slow :
                 HostileAnswers::slowPeers(HostileAnswers::shortSecondMs))
                QTest::addRow("%s, %s", toFile ? "published file" : "version file", slow.name)
                    << slow.answer << toFile;
        }
    }
    void slowPeerEndsAsTimeout()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(bool, toFile);
        raw.setAnswer(answer);
        const QString folder = emptyFolder(QStringLiteral("slow"));
        writeFile(folder + QStringLiteral("/FW_X7.bin"), "old firmware");
        const QMap<QString, QByteArray> before = entriesOf(folder);
        FileDownload download;
        HostileAnswers::shortenBounds(download, HostileAnswers::shortSecondMs);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QVERIFY(!fetchUrl(download, QUrl(raw.url(QStringLiteral("/FW_X7.bin"))),
                          QStringLiteral("FW_X7.bin"), toFile ? folder : QString(), 20000));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::TimeoutError);
        QCOMPARE(entriesOf(folder), before);
        QVERIFY(download.downloadedData().isEmpty());
    }

    // Only a 200 answer is the file: a 204, a 206 or another 2xx ends as UnknownContentError at
    // its head (its body is not read), its status named, the file in the folder byte-identical
    // and nothing else left; the version file follows the same rule.
    void answerThatIsNoFileFails_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("toFile");
        for (const bool toFile : {false, true}) {
            for (const HostileAnswers::NoFile &noFile : HostileAnswers::noFiles())
                QTest::addRow("%s, %s", toFile ? "published file" : "version file", noFile.name)
                    << noFile.answer << noFile.status << toFile;
        }
    }
    void answerThatIsNoFileFails()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(int, status);
        QFETCH(bool, toFile);
        raw.setAnswer(answer);
        const QString folder = emptyFolder(QStringLiteral("no file"));
        writeFile(folder + QStringLiteral("/FW_X7.bin"), "old firmware");
        const QMap<QString, QByteArray> before = entriesOf(folder);
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QSignalSpy progress(&download, &FileDownload::downloadProgress);
        QVERIFY(!fetchUrl(download, QUrl(raw.url(QStringLiteral("/FW_X7.bin"))),
                          QStringLiteral("FW_X7.bin"), toFile ? folder : QString()));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::UnknownContentError);
        QCOMPARE(download.refusedStatus(), status);
        QCOMPARE(progress.count(), 0);
        QCOMPARE(entriesOf(folder), before);
        QVERIFY(!download.saveFile(folder));
        QCOMPARE(entriesOf(folder), before);
        QVERIFY(download.downloadedData().isEmpty());
    }

    // Well-formed framing of every kind arrives byte for byte, in memory and into a folder.
    void wellFormedAnswerArrivesWhole_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<bool>("toFile");
        for (const bool toFile : {false, true}) {
            for (const HostileAnswers::WellFormed &w :
                 HostileAnswers::wellFormed(bodyBytes(), true))
                QTest::addRow("%s, %s", toFile ? "published file" : "version file", w.name)
                    << w.answer << toFile;
        }
    }
    void wellFormedAnswerArrivesWhole()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(bool, toFile);
        raw.setAnswer(answer);
        const QByteArray expected =
            answer.bytes.contains("Content-Length: 0") ? QByteArray() : bodyBytes();
        const QString folder = emptyFolder(QStringLiteral("well formed"));
        FileDownload download;
        QVERIFY(fetchUrl(download, QUrl(raw.url(QStringLiteral("/FW_X7.bin"))),
                         QStringLiteral("FW_X7.bin"), toFile ? folder : QString()));
        if (!toFile) {
            QCOMPARE(download.downloadedData(), expected);
            return;
        }
        QVERIFY(download.saveFile(folder));
        QCOMPARE(entriesOf(folder),
                 (QMap<QString, QByteArray>{{QStringLiteral("FW_X7.bin"), expected}}));
    }

    // HTTPS is verified against the system's certificates and those the application trusts: a
    // self-signed server is refused until its certificate is trusted; a redirect from HTTPS to
    // plain HTTP is refused.
    void httpsTrustsOnlyKnownCertificates_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<int>("error");
        QTest::newRow("self-signed, not trusted")
            << "/version" << false << int(QNetworkReply::SslHandshakeFailedError);
        QTest::newRow("self-signed, trusted") << "/version" << true << int(QNetworkReply::NoError);
        QTest::newRow("redirect to plain HTTP")
            << "/to-http" << true << int(QNetworkReply::InsecureRedirectError);
    }
    void httpsTrustsOnlyKnownCertificates()
    {
        QFETCH(QString, path);
        QFETCH(bool, trusted);
        QFETCH(int, error);
        if (trusted) {
            QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
            QVERIFY(tls.addCaCertificates(dir.filePath(QStringLiteral("server.crt"))));
            QSslConfiguration::setDefaultConfiguration(tls);
        }
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::downloadError);
        const bool whole =
            fetchUrl(download, QUrl(https->url(path)), QStringLiteral("FWVersion_TVX.txt"));
        QCOMPARE(whole, error == QNetworkReply::NoError);
        if (whole) {
            QCOMPARE(download.downloadedData(), QByteArray(R"({"UpdateFW":[]})"));
        } else {
            QCOMPARE(failed.count(), 1);
            QCOMPARE(int(failed.at(0).at(0).value<QNetworkReply::NetworkError>()), error);
        }
    }

    // Plain HTTP goes to this machine only: neither a link nor a redirect to another address
    // (this machine's own non-loopback one here) is requested.
    void plainHttpOnlyToThisMachine_data()
    {
        QTest::addColumn<bool>("redirected");
        QTest::addColumn<int>("error");
        QTest::newRow("link") << false << int(QNetworkReply::ProtocolUnknownError);
        QTest::newRow("redirect") << true << int(QNetworkReply::InsecureRedirectError);
    }
    void plainHttpOnlyToThisMachine()
    {
        QFETCH(bool, redirected);
        QFETCH(int, error);
        if (ownAddress.isEmpty())
            QSKIP("no non-loopback address on this machine");
        anyAddressHits = 0;
        const QUrl url(
            redirected
                ? http.url(QStringLiteral("/to-own-address"))
                : QStringLiteral("http://%1:%2/version").arg(ownAddress).arg(anyAddress.port()));
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QVERIFY(!fetchUrl(download, url, QStringLiteral("FWVersion_TVX.txt")));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(int(failed.at(0).at(0).value<QNetworkReply::NetworkError>()), error);
        QCOMPARE(int(anyAddressHits), 0);
    }

    // Without a timeout of its own, a request to a server that sends nothing ends after about
    // 30 s: neither within seconds nor never.
    void defaultTransferTimeoutEndsSilentRequest()
    {
        constexpr qint64 defaultTimeoutMs = 30000;
        FileDownload download;
        QSignalSpy failed(&download, &FileDownload::downloadError);
        QElapsedTimer clock;
        clock.start();
        download.startDownload(QUrl(http.url(QStringLiteral("/stall-headers"))),
                               QStringLiteral("FWVersion_TVX.txt"));
        QVERIFY(QTest::qWaitFor([&] { return !failed.isEmpty(); }, int(2 * defaultTimeoutMs)));
        QCOMPARE(failed.at(0).at(0).value<QNetworkReply::NetworkError>(),
                 QNetworkReply::TimeoutError);
        // a coarse timer may fire up to 5 % early
        QVERIFY2(clock.elapsed() >= defaultTimeoutMs * 9 / 10,
                 qPrintable(QString::number(clock.elapsed())));
    }
};

TALVEX_TEST_MAIN(TstFileDownload)
#include "tst_filedownload.moc"

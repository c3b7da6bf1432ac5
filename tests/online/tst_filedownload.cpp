// The wizards' downloader against a real HTTP server on 127.0.0.1.
#include "filedownload.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

class TstFileDownload : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    QTemporaryDir dir;
    std::atomic<int> versionHits{0};
    std::atomic<bool> releaseSlow{false};

    static QByteArray fileOf(int size) { return QByteArray(size, 'f'); }

    // Downloads path and waits for its end; true when it ended with downloaded().
    bool fetch(FileDownload &download, const QString &path, const QString &name)
    {
        QSignalSpy done(&download, &FileDownload::downloaded);
        QSignalSpy failed(&download, &FileDownload::downloadError);
        download.startDownload(QUrl(http.url(path)), name);
        if (!QTest::qWaitFor([&] { return done.count() + failed.count() > 0; }, 10000))
            return false;
        return done.count() == 1;
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
            for (int i = 0; i < 500 && !releaseSlow; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
        QVERIFY(http.start());
    }
    void cleanupTestCase()
    {
        releaseSlow = true;
        http.stop();
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
        QVERIFY(
            fetch(download, QStringLiteral("/size/%1").arg(bytes), QStringLiteral("saved.bin")));
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

    void unwritableTargetsFail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::newRow("empty name") << "" << dir.path();
        QTest::newRow("missing folder") << "fw.bin" << dir.filePath(QStringLiteral("gone"));
    }
    void unwritableTargetsFail()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        FileDownload download;
        QVERIFY(fetch(download, QStringLiteral("/size/100"), name));
        QSignalSpy failed(&download, &FileDownload::saveFileFailed);
        QVERIFY(!download.saveFile(folder));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt(), 1);
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/fw.bin")));
    }
};

TALVEX_TEST_MAIN(TstFileDownload)
#include "tst_filedownload.moc"

// The cloud-drive downloader against a real HTTP server on 127.0.0.1.
#include "dropbox.h"
#include "hostileanswers.h"
#include "peakmemory.h"
#include "rawhttpserver.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <mutex>

#include <sys/resource.h>

class TstDropbox : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    RawHttpServer raw;
    QTemporaryDir dir;
    QString oldCwd;
    std::mutex mutex;
    std::atomic<bool> releaseStalls{false};
    QStringList requested; // the file names asked for, in order
    QStringList badHeaders;
    TestHttpServer otherHost;            // 127.0.0.2: another host, where redirects point
    QList<QByteArray> otherHostRequests; // the Authorization header of each request it got

    static void setPublishedFileLimit(qint64 bytes)
    {
        UpdateConfig config = UpdateConfig::current();
        config.publishedFileMaxBytes = bytes;
        UpdateConfig::setCurrent(config);
    }

    static void setDownloadUrl(const QString &url)
    {
        UpdateConfig config = UpdateConfig::current();
        config.cloudDownloadUrl = QUrl(url);
        UpdateConfig::setCurrent(config);
    }

    // A batch of "FW_X7.bin" from the hostile server, under the idle timeout and pace bounds
    // given; true when it succeeded.
    // secondMs: the bounds shortened to a slow peer's second (HostileAnswers::shortenBounds); 0:
    // the program's own pace bounds and an idle timeout that is not what ends a flood.
    bool fetchFromRaw(const RawHttpServer::Answer &answer, int waitMs, QString *error,
                      int secondMs = 0)
    {
        raw.setAnswer(answer);
        setDownloadUrl(raw.url(QStringLiteral("/2/files/download")));
        Dropbox dropbox;
        if (secondMs > 0)
            HostileAnswers::shortenBounds(dropbox, secondMs);
        else
            dropbox.setTransferTimeout(120000);
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({QStringLiteral("FW_X7.bin")});
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), waitMs); }();
        setDownloadUrl(http.url(QStringLiteral("/2/files/download")));
        if (finished.isEmpty())
            return false;
        *error = finished.at(0).at(1).toString();
        return finished.at(0).at(0).toBool();
    }

    static QByteArray body(const QString &name)
    {
        if (name == QLatin1String("c.bin"))
            return QByteArray();
        return QByteArray(name == QLatin1String("a.bin") ? 100 : 300, name.at(0).toLatin1());
    }

    // Sorted case-sensitively.
    QStringList filesHere() const
    {
        QStringList files = QDir().entryList(QDir::Files | QDir::Hidden);
        files.sort();
        return files;
    }

    void clearFolder()
    {
        const QFileInfoList entries =
            QDir().entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir() && !entry.isSymLink())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
        std::lock_guard<std::mutex> lock(mutex);
        requested.clear();
        badHeaders.clear();
        otherHostRequests.clear();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        const QString work = dir.filePath(QStringLiteral("work folder"));
        QVERIFY(QDir().mkpath(work));
        oldCwd = QDir::currentPath();
        QDir::setCurrent(work);
        http.server().Post(
            "/2/files/download", [this](const httplib::Request &req, httplib::Response &res) {
                const QByteArray arg =
                    QByteArray::fromStdString(req.get_header_value("Dropbox-API-Arg"));
                QJsonParseError error;
                const QJsonObject json = QJsonDocument::fromJson(arg, &error).object();
                const QString path = json.value(QStringLiteral("path")).toString();
                const QString folder = QStringLiteral("/Windows Update/");
                const QString name = path.mid(folder.size());
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    requested << name;
                    const bool ascii = std::all_of(arg.begin(), arg.end(),
                                                   [](char c) { return c > 0x1f && c < 0x7f; });
                    if (error.error != QJsonParseError::NoError || json.size() != 1 ||
                        !path.startsWith(folder) || !ascii ||
                        req.get_header_value("Authorization") != "Bearer TEST_TOKEN_0123")
                        badHeaders << name;
                }
                if (name == QLatin1String("denied.bin")) {
                    res.status = 401;
                    res.set_content("{\"error\": \"expired token\"}", "application/json");
                } else if (name == QLatin1String("failing.bin")) {
                    res.status = 500;
                    res.set_content("server error page", "text/html");
                } else if (name == QLatin1String("choices.bin")) {
                    res.status = 300; // no network error, and still no file
                    res.set_content("pick one of several", "text/html");
                } else if (name == QLatin1String("silent.bin")) {
                    TestHttpServer::stallUntil(releaseStalls, 120000); // past the default timeout
                    res.set_content("late", "text/plain");
                } else if (name == QLatin1String("big.bin")) {
                    res.set_content(std::string(4 * 1024 * 1024, 'g'), "application/octet-stream");
                } else if (name == QLatin1String("endless.bin")) {
                    TestHttpServer::answerEndlessly(res, releaseStalls);
                } else if (name.startsWith(QLatin1String("moved "))) {
                    // "moved <status> away|here.bin": to 127.0.0.2 or to this host
                    res.status = name.section(QLatin1Char(' '), 1, 1).toInt();
                    const bool away = name.contains(QLatin1String("away"));
                    const QString to = (away ? otherHost : http).url("/2/files/moved");
                    res.set_header("Location", to.toStdString());
                } else if (name == QLatin1String("broken.bin")) {
                    res.set_content_provider(4000, "application/octet-stream",
                                             [](size_t offset, size_t, httplib::DataSink &sink) {
                                                 if (offset > 0)
                                                     return false;
                                                 sink.write(std::string(1000, 'b').data(), 1000);
                                                 return true;
                                             });
                } else {
                    res.set_content(body(name).toStdString(), "application/octet-stream");
                }
            });
        const auto moved = [](const httplib::Request &, httplib::Response &res) {
            res.set_content("moved file", "application/octet-stream");
        };
        http.server().Get("/2/files/moved", moved);
        http.server().Post("/2/files/moved", moved);
        const auto other = [this](const httplib::Request &req, httplib::Response &res) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                otherHostRequests << QByteArray::fromStdString(
                    req.get_header_value("Authorization"));
            }
            res.set_content("the other host's bytes", "application/octet-stream");
        };
        otherHost.server().Get(".*", other);
        otherHost.server().Post(".*", other);
        QVERIFY(otherHost.start("127.0.0.2"));
        QVERIFY(http.start());
        QVERIFY(raw.start());
        UpdateConfig config;
        config.cloudDownloadUrl = QUrl(http.url(QStringLiteral("/2/files/download")));
        config.cloudFolder = QStringLiteral("/Windows Update/");
        config.cloudToken = "TEST_TOKEN_0123";
        UpdateConfig::setCurrent(config);
    }
    void cleanupTestCase()
    {
        releaseStalls = true;
        // the handlers write to the members below the servers: they end first
        http.stop();
        otherHost.stop();
        QDir::setCurrent(oldCwd);
    }
    void init()
    {
        releaseStalls = false;
        clearFolder();
    }
    void cleanup()
    {
        releaseStalls = true;
        raw.release();
        setPublishedFileLimit(UpdateConfig::defaultPublishedFileMaxBytes);
    }

    void batchOfThreeCountsDown()
    {
        Dropbox dropbox;
        QSignalSpy counts(&dropbox, &Dropbox::onDownloadCount);
        QSignalSpy complete(&dropbox, &Dropbox::updateComplete);
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch(
            {QStringLiteral("a.bin"), QStringLiteral("Zq Player.exe"), QStringLiteral("c.bin")});
        QVERIFY(complete.wait(10000));
        QCOMPARE(complete.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QList<QPair<int, int>> seen;
        for (const QList<QVariant> &c : counts)
            seen << qMakePair(int(c.at(0).value<signed char>()), int(c.at(1).value<signed char>()));
        QCOMPARE(seen, (QList<QPair<int, int>>{{2, 3}, {1, 3}, {0, 3}}));
        QCOMPARE(requested, (QStringList{"a.bin", "Zq Player.exe", "c.bin"}));
        QCOMPARE(badHeaders, QStringList());
        QCOMPARE(filesHere(), (QStringList{"Zq Player_temp.exe", "a.bin", "c.bin"}));
        QFile stored(QStringLiteral("Zq Player_temp.exe"));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), body(QStringLiteral("Zq Player.exe")));
        QCOMPARE(QFileInfo(QStringLiteral("c.bin")).size(), 0);
    }

    // A failed file ends the batch with batchFinished(false) and leaves nothing of itself; an
    // older file stays as it was.
    void failedFileEndsTheBatch_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("why");
        QTest::newRow("connection drops") << "broken.bin"
                                          << "network error";
        QTest::newRow("401 answer") << "denied.bin"
                                    << "network error 204";
        QTest::newRow("500 answer") << "failing.bin"
                                    << "network error 401";
        QTest::newRow("300 answer, no network error") << "choices.bin"
                                                      << "network error 299";
        QTest::newRow("silent server") << "silent.bin"
                                       << "network error 4";
    }
    void failedFileEndsTheBatch()
    {
        QFETCH(QString, failing);
        QFETCH(QString, why);
        QFile old(failing);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous version");
        old.close();
        Dropbox dropbox;
        dropbox.setTransferTimeout(300);
        QSignalSpy counts(&dropbox, &Dropbox::onDownloadCount);
        QSignalSpy complete(&dropbox, &Dropbox::updateComplete);
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({QStringLiteral("a.bin"), failing, QStringLiteral("c.bin")});
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY2(finished.at(0).at(1).toString().startsWith(failing + QStringLiteral(": ") + why),
                 qPrintable(finished.at(0).at(1).toString()));
        QCOMPARE(counts.count(), 1);
        QCOMPARE(complete.count(), 0);
        QCOMPARE(requested, (QStringList{"a.bin", failing}));
        QCOMPARE(filesHere(), (QStringList{"a.bin", failing}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("previous version"));
    }

    // Names are bare file names: one with a path ends the batch before any request or write.
    void nameWithPathIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent folder") << "../escape.bin";
        QTest::newRow("sub folder") << "sub/a.bin";
        QTest::newRow("absolute") << "/tmp/a.bin";
    }
    void nameWithPathIsRefused()
    {
        QFETCH(QString, name);
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({name, QStringLiteral("a.bin")});
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QTest::qWait(100);
        QCOMPARE(requested, QStringList());
        QCOMPARE(filesHere(), QStringList());
        QVERIFY(!QFileInfo::exists(QStringLiteral("../escape.bin")));
    }

    // The header is JSON whatever the name holds.
    void headerIsJsonForAnyName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("double quote") << "say \"hi\".bin";
        QTest::newRow("braces and quotes") << "{\"path\", x}.bin";
        QTest::newRow("non-ASCII") << QStringLiteral("Fahrt \u00fcber \u65e5.bin");
    }
    void headerIsJsonForAnyName()
    {
        QFETCH(QString, name);
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({name});
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(requested, QStringList{name});
        QCOMPARE(badHeaders, QStringList());
        QCOMPARE(filesHere(), QStringList{name});
        QCOMPARE(QFileInfo(name).size(), body(name).size());
    }

    // A disk that takes no more bytes stops the transfer; nothing of the file stays.
    void fullDiskStopsTheBatch()
    {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending us
        rlimit old;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 256 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        QSignalSpy complete(&dropbox, &Dropbox::updateComplete);
        dropbox.startBatch({QStringLiteral("big.bin"), QStringLiteral("a.bin")});
        const bool ended = finished.wait(10000);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(ended);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(finished.at(0).at(1).toString().contains(QStringLiteral("cannot write")));
        QCOMPARE(complete.count(), 0);
        QCOMPARE(requested, QStringList{"big.bin"});
        QCOMPARE(filesHere(), QStringList());
    }

    void storedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("installer") << "Zq Player.exe"
                                   << "Zq Player_temp.exe";
        QTest::newRow("installer in a folder") << "new/Zq Player.exe"
                                               << "Zq Player_temp.exe";
        QTest::newRow("other") << "update_Start.sh"
                               << "update_Start.sh";
        QTest::newRow("case differs") << "zq player.exe"
                                      << "zq player.exe";
    }
    void storedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QCOMPARE(Dropbox::targetPath(name), QDir::currentPath() + QLatin1Char('/') + stored);
    }

    // An endless file ends the batch at the size limit, as a failure, with memory bounded (the
    // body streams through a bounded read buffer into the part file) and nothing of it kept.
    void endlessFileEndsTheBatch_data()
    {
        QTest::addColumn<qint64>("limit");
        const UpdateConfig bundled = UpdateConfig::fromJson(
            TestSupport::contentOf(QStringLiteral(":/excel/UpdateConfig.json")));
        QTest::newRow("configured limit") << bundled.publishedFileMaxBytes;
        QTest::newRow("64 MiB") << qint64(64) * 1024 * 1024;
        QTest::newRow("1 GiB") << qint64(1024) * 1024 * 1024;
    }
    void endlessFileEndsTheBatch()
    {
        QFETCH(qint64, limit);
        setPublishedFileLimit(limit);
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QElapsedTimer clock;
        clock.start();
        dropbox.startBatch(
            {QStringLiteral("a.bin"), QStringLiteral("endless.bin"), QStringLiteral("c.bin")});
        QVERIFY(finished.wait(240000));
        qInfo("limit %lld: failed after %lld ms, peak memory growth %lld MiB", limit,
              clock.elapsed(), growth.bytes() / (1024 * 1024));
        QVERIFY2(growth.below(128 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY2(finished.at(0).at(1).toString().startsWith(
                     QStringLiteral("endless.bin: network error %1")
                         .arg(int(QNetworkReply::UnknownContentError))),
                 qPrintable(finished.at(0).at(1).toString()));
        QCOMPARE(filesHere(), QStringList{"a.bin"});
    }

    // The bearer token goes to the cloud drive's origin only: a redirect elsewhere ends the batch
    // before the other host hears of the token; one within the origin is followed.
    void redirectKeepsTheTokenAtItsOrigin_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("followed");
        QTest::newRow("302 to another host") << "moved 302 away.bin" << false;
        QTest::newRow("307 to another host") << "moved 307 away.bin" << false;
        QTest::newRow("308 to another host") << "moved 308 away.bin" << false;
        QTest::newRow("307 on the same host") << "moved 307 here.bin" << true;
    }
    void redirectKeepsTheTokenAtItsOrigin()
    {
        QFETCH(QString, name);
        QFETCH(bool, followed);
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({name});
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), followed);
        std::lock_guard<std::mutex> lock(mutex);
        for (const QByteArray &authorization : otherHostRequests)
            QVERIFY2(!authorization.contains("TEST_TOKEN_0123"), authorization.constData());
        if (followed) {
            QCOMPARE(TestSupport::contentOf(name), QByteArray("moved file"));
            QCOMPARE(filesHere(), QStringList{name});
        } else {
            QCOMPARE(filesHere(), QStringList());
        }
    }

    // The part file has a name of its own: whatever bears the old "<name>.part" (a link to a file
    // elsewhere, a user's file) stays byte-identical, as does the file the link points to,
    // whether the download succeeds or fails.
    void partFileTouchesNothingElse_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("succeeds");
        for (const bool link : {true, false}) {
            const char *taken = link ? "link" : "user's file";
            QTest::addRow("%s, succeeding", taken) << link << "a.bin" << true;
            QTest::addRow("%s, connection drops", taken) << link << "broken.bin" << false;
            QTest::addRow("%s, too large", taken) << link << "big.bin" << false;
        }
    }
    void partFileTouchesNothingElse()
    {
        QFETCH(bool, link);
        QFETCH(QString, name);
        QFETCH(bool, succeeds);
        setPublishedFileLimit(1024 * 1024);
        const QString outside = dir.filePath(QStringLiteral("outside.bin"));
        TestSupport::writeFile(outside, "a file elsewhere");
        const QString taken = name + QStringLiteral(".part");
        if (link)
            QVERIFY(QFile::link(outside, taken));
        else
            TestSupport::writeFile(taken, "the user's own part");
        QMap<QString, QByteArray> before = TestSupport::entriesOf(QDir::currentPath());
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({name});
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), succeeds);
        if (succeeds)
            before.insert(name, body(name));
        QCOMPARE(TestSupport::entriesOf(QDir::currentPath()), before);
        QCOMPARE(TestSupport::contentOf(outside), QByteArray("a file elsewhere"));
    }

    // A part that cannot become its file (a folder has the name) goes: the batch fails.
    void failedRenameLeavesNoPart()
    {
        QVERIFY(QDir().mkpath(QStringLiteral("a.bin/inside")));
        const QMap<QString, QByteArray> before = TestSupport::entriesOf(QDir::currentPath());
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({QStringLiteral("a.bin"), QStringLiteral("c.bin")});
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY2(
            finished.at(0).at(1).toString().startsWith(QStringLiteral("a.bin: cannot replace")),
            qPrintable(finished.at(0).at(1).toString()));
        QCOMPARE(TestSupport::entriesOf(QDir::currentPath()), before);
        QCOMPARE(requested, QStringList{"a.bin"});
    }

    // While a batch runs, another batch or file asked for changes nothing: the running batch
    // fetches its own files, counts against its own total and ends once.
    void secondBatchWhileOneRunsIsRefused_data()
    {
        QTest::addColumn<bool>("wholeBatch");
        QTest::newRow("startBatch") << true;
        QTest::newRow("downloadFile") << false;
    }
    void secondBatchWhileOneRunsIsRefused()
    {
        QFETCH(bool, wholeBatch);
        Dropbox dropbox;
        QSignalSpy counts(&dropbox, &Dropbox::onDownloadCount);
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        dropbox.startBatch({QStringLiteral("silent.bin"), QStringLiteral("a.bin")});
        QTRY_VERIFY([this] {
            std::lock_guard<std::mutex> lock(mutex);
            return !requested.isEmpty();
        }());
        const QStringList second{QStringLiteral("b.bin"), QStringLiteral("c.bin")};
        if (wholeBatch)
            dropbox.startBatch(second);
        else
            dropbox.downloadFile(second);
        releaseStalls = true;
        QVERIFY(finished.wait(10000));
        QTest::qWait(200); // a refused file would be asked for by now
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QList<QPair<int, int>> seen;
        for (const QList<QVariant> &c : counts)
            seen << qMakePair(int(c.at(0).value<signed char>()), int(c.at(1).value<signed char>()));
        QCOMPARE(seen, (QList<QPair<int, int>>{{1, 2}, {0, 2}}));
        std::lock_guard<std::mutex> lock(mutex);
        QCOMPARE(requested, (QStringList{"silent.bin", "a.bin"}));
        QCOMPARE(filesHere(), (QStringList{"a.bin", "silent.bin"}));
    }

    // Every hostile answer fails the batch with the reply's code, with memory bounded, the older
    // file in the working folder byte-identical and nothing else left; a head or chunk line
    // without end within 15 s.
    void hostileAnswerFailsTheBatch_data()
    {
        QTest::addColumn<int>("answer");
        const QList<HostileAnswers::Hostile> answers = HostileAnswers::all();
        for (int i = 0; i < answers.size(); ++i)
            QTest::newRow(answers.at(i).name) << i;
    }
    void hostileAnswerFailsTheBatch()
    {
        QFETCH(int, answer);
        const HostileAnswers::Hostile hostile = HostileAnswers::all().at(answer);
        setPublishedFileLimit(64 * 1024 * 1024);
        TestSupport::writeFile(QStringLiteral("FW_X7.bin"), "previous version");
        const QMap<QString, QByteArray> before = TestSupport::entriesOf(QDir::currentPath());
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QElapsedTimer clock;
        clock.start();
        QString error;
        QVERIFY(!fetchFromRaw(hostile.answer, hostile.headFlood ? 15000 : 60000, &error));
        qInfo("ended after %lld ms, peak memory growth %lld MiB", clock.elapsed(),
              growth.bytes() / (1024 * 1024));
        QCOMPARE(error, QStringLiteral("FW_X7.bin: network error %1").arg(int(hostile.error)));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QCOMPARE(TestSupport::entriesOf(QDir::currentPath()), before);
    }

    // A slow peer, whose head lines or body bytes keep within the idle timeout, fails the batch
    // with TimeoutError at the head's or the body's bound (shortened here), naming the file; the
    // older file stays byte-identical and nothing else is left.
    void slowPeerFailsTheBatch_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        for (const HostileAnswers::Hostile &slow :
             HostileAnswers::slowPeers(HostileAnswers::shortSecondMs))
            QTest::newRow(slow.name) << slow.answer;
    }
    void slowPeerFailsTheBatch()
    {
        QFETCH(RawHttpServer::Answer, answer);
        TestSupport::writeFile(QStringLiteral("FW_X7.bin"), "previous version");
        const QMap<QString, QByteArray> before = TestSupport::entriesOf(QDir::currentPath());
        QString error;
        QVERIFY(!fetchFromRaw(answer, 20000, &error, HostileAnswers::shortSecondMs));
        QCOMPARE(
            error,
            QStringLiteral("FW_X7.bin: network error %1").arg(int(QNetworkReply::TimeoutError)));
        QCOMPARE(TestSupport::entriesOf(QDir::currentPath()), before);
    }

    // Only a 200 answer is the file: a 204, a 206 or another 2xx fails the batch, naming the file
    // and the status; the older file stays byte-identical and nothing else is left.
    void answerThatIsNoFileFailsTheBatch_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<int>("status");
        for (const HostileAnswers::NoFile &noFile : HostileAnswers::noFiles())
            QTest::newRow(noFile.name) << noFile.answer << noFile.status;
    }
    void answerThatIsNoFileFailsTheBatch()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(int, status);
        TestSupport::writeFile(QStringLiteral("FW_X7.bin"), "previous version");
        const QMap<QString, QByteArray> before = TestSupport::entriesOf(QDir::currentPath());
        QString error;
        QVERIFY(!fetchFromRaw(answer, 10000, &error));
        QCOMPARE(error, QStringLiteral("FW_X7.bin: network error %1, HTTP status %2")
                            .arg(int(QNetworkReply::UnknownContentError))
                            .arg(status));
        QCOMPARE(TestSupport::entriesOf(QDir::currentPath()), before);
    }

    // Well-formed framing of every kind arrives byte for byte.
    void wellFormedAnswerArrivesWhole_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<QByteArray>("body");
        const QByteArray body = QByteArray(70000, 'w') + "end";
        for (const HostileAnswers::WellFormed &w : HostileAnswers::wellFormed(body, true))
            QTest::newRow(w.name) << w.answer
                                  << (QByteArray(w.name) == "empty body" ? QByteArray() : body);
    }
    void wellFormedAnswerArrivesWhole()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(QByteArray, body);
        QString error;
        QVERIFY2(fetchFromRaw(answer, 10000, &error), qPrintable(error));
        QCOMPARE(TestSupport::entriesOf(QDir::currentPath()),
                 (QMap<QString, QByteArray>{{QStringLiteral("FW_X7.bin"), body}}));
    }

    // Without a timeout of its own, a file from a server that sends nothing fails the batch
    // after about 30 s: neither within seconds nor never.
    void defaultTransferTimeoutEndsSilentBatch()
    {
        constexpr qint64 defaultTimeoutMs = 30000;
        Dropbox dropbox;
        QSignalSpy finished(&dropbox, &Dropbox::batchFinished);
        QElapsedTimer clock;
        clock.start();
        dropbox.startBatch({QStringLiteral("silent.bin")});
        QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, int(2 * defaultTimeoutMs)));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(
            finished.at(0).at(1).toString(),
            QStringLiteral("silent.bin: network error %1").arg(int(QNetworkReply::TimeoutError)));
        // a coarse timer may fire up to 5 % early
        QVERIFY2(clock.elapsed() >= defaultTimeoutMs * 9 / 10,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(filesHere(), QStringList());
    }
};

TALVEX_TEST_MAIN(TstDropbox)
#include "tst_dropbox.moc"

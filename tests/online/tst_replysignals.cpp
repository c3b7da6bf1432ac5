// The signals a reply's readers see, against real servers on 127.0.0.1: a reader that ends the
// reply inside one of them hears nothing more, transfers ended mid-body in a loop leave nothing
// running, and progress only goes forwards, with the announced total.
#include "curlaccessmanager.h"
#include "hostileanswers.h"
#include "rawhttpserver.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QNetworkReply>
#include <QPointer>
#include <QSignalSpy>

#include <functional>
#include <memory>

namespace {

constexpr int bodyBytes = 4 * 1024 * 1024;

enum class Signal
{
    MetaDataChanged,
    ReadyRead,
    DownloadProgress,
    ErrorOccurred
};

// Connects slot (in context's thread) to reply's signal.
void connectTo(QNetworkReply *reply, Signal signal, QObject *context, std::function<void()> slot)
{
    switch (signal) {
    case Signal::MetaDataChanged:
        QObject::connect(reply, &QNetworkReply::metaDataChanged, context, slot);
        break;
    case Signal::ReadyRead:
        QObject::connect(reply, &QNetworkReply::readyRead, context, slot);
        break;
    case Signal::DownloadProgress:
        QObject::connect(reply, &QNetworkReply::downloadProgress, context, slot);
        break;
    case Signal::ErrorOccurred:
        QObject::connect(reply, &QNetworkReply::errorOccurred, context, slot);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Signal)

class TstReplySignals : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    RawHttpServer raw;

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QNetworkReply::NetworkError>();
        httplib::Server &s = http.server();
        s.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("error page", "text/html");
        });
        s.Get("/length", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(bodyBytes, 'l'), "application/octet-stream");
        });
        s.Get("/chunked", [](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider(
                "application/octet-stream", [](size_t offset, httplib::DataSink &sink) {
                    if (offset >= size_t(bodyBytes)) {
                        sink.done();
                        return true;
                    }
                    const std::string piece(std::min<size_t>(bodyBytes - offset, 65536), 'c');
                    return sink.write(piece.data(), piece.size());
                });
        });
        QVERIFY(http.start());
        raw.setAnswer(HostileAnswers::endlessChunk('z'));
        QVERIFY(raw.start());
    }
    void cleanup() { raw.release(); }

    // A reader that aborts or deletes the reply inside one of its signals hears nothing after
    // that; an aborted reply has finished once.
    void readerEndsTheReplyInASignal_data()
    {
        QTest::addColumn<Signal>("signal");
        QTest::addColumn<bool>("deletes");
        const QList<QPair<const char *, Signal>> signals_{
            {"metaDataChanged", Signal::MetaDataChanged},
            {"readyRead", Signal::ReadyRead},
            {"downloadProgress", Signal::DownloadProgress},
            {"errorOccurred", Signal::ErrorOccurred}};
        for (const auto &[name, signal] : signals_) {
            QTest::addRow("abort in %s", name) << signal << false;
            QTest::addRow("delete in %s", name) << signal << true;
        }
    }
    void readerEndsTheReplyInASignal()
    {
        QFETCH(Signal, signal);
        QFETCH(bool, deletes);
        CurlAccessManager manager;
        const QString path = signal == Signal::ErrorOccurred ? "/missing" : "/length";
        QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(http.url(path))));
        const QPointer<QNetworkReply> alive(reply);
        QStringList heardAfter;
        int finished = 0;
        bool ended = false;
        // connected before the reader's slot: each hears its signal before the reader acts on it
        const auto hear = [&](const char *name) {
            return [&heardAfter, &ended, name] {
                if (ended)
                    heardAfter << QString::fromLatin1(name);
            };
        };
        connect(reply, &QNetworkReply::metaDataChanged, this, hear("metaDataChanged"));
        connect(reply, &QNetworkReply::readyRead, this, hear("readyRead"));
        connect(reply, &QNetworkReply::downloadProgress, this, hear("downloadProgress"));
        connect(reply, &QNetworkReply::errorOccurred, this, hear("errorOccurred"));
        connect(reply, &QNetworkReply::readChannelFinished, this, hear("readChannelFinished"));
        connect(reply, &QNetworkReply::finished, this, hear("finished"));
        connect(reply, &QNetworkReply::finished, this, [&finished] { ++finished; });
        bool acting = false;
        connectTo(reply, signal, this, [&] {
            if (acting)
                return; // the abort's own errorOccurred
            acting = true;
            if (deletes)
                delete reply;
            else
                reply->abort();
            ended = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(ended, 10000);
        QTest::qWait(300); // what a reply that went on would still emit
        QCOMPARE(heardAfter, QStringList());
        if (deletes) {
            QVERIFY(!alive);
            return;
        }
        QCOMPARE(finished, 1);
        QCOMPARE(reply->error(), QNetworkReply::OperationCanceledError);
        delete reply;
    }

    // 40 replies ended mid-body again and again, from outside and inside readyRead, by abort()
    // and by deletion: each finishes at most once and every transfer stops.
    void repliesEndedMidBodyInALoop()
    {
        constexpr int replies = 40;
        const int connectionsBefore = raw.connections();
        CurlAccessManager manager;
        for (int i = 0; i < replies; ++i) {
            const bool inside = i % 2 == 1;
            const bool deletes = i % 4 >= 2;
            QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(raw.url())));
            const QPointer<QNetworkReply> alive(reply);
            int finished = 0;
            connect(reply, &QNetworkReply::finished, this, [&finished] { ++finished; });
            bool ended = false;
            const auto end = [&] {
                if (ended)
                    return;
                ended = true;
                if (deletes)
                    delete reply;
                else
                    reply->abort();
            };
            // inside: readyRead alone ends it (its bytes may be counted as available before
            // the signal comes); outside: the test does once bytes are there
            if (inside)
                connect(reply, &QNetworkReply::readyRead, this, end);
            QTRY_VERIFY_WITH_TIMEOUT(inside ? ended : reply->bytesAvailable() > 0, 10000);
            end();
            QCOMPARE(finished, deletes ? 0 : 1);
            QCOMPARE(bool(alive), !deletes);
            delete alive.data();
        }
        QTRY_COMPARE_WITH_TIMEOUT(raw.openConnections(), 0, 10000);
        QCOMPARE(raw.connections() - connectionsBefore, replies);
    }

    // Progress only goes forwards and carries the announced total (-1 for none); a chunked
    // answer, which announces none, ends with its size as both.
    void progressGoesForwardsToItsTotal_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("announced");
        QTest::newRow("Content-Length") << "/length" << qint64(bodyBytes);
        QTest::newRow("chunked") << "/chunked" << qint64(-1);
    }
    void progressGoesForwardsToItsTotal()
    {
        QFETCH(QString, path);
        QFETCH(qint64, announced);
        CurlAccessManager manager;
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(http.url(path)))));
        qint64 read = 0;
        connect(reply.get(), &QNetworkReply::readyRead, this,
                [&read, &reply] { read += reply->readAll().size(); });
        QSignalSpy progress(reply.get(), &QNetworkReply::downloadProgress);
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(read, qint64(bodyBytes));
        QVERIFY(progress.count() > 1);
        qint64 last = 0;
        for (int i = 0; i < progress.count(); ++i) {
            const qint64 received = progress.at(i).at(0).toLongLong();
            const qint64 total = progress.at(i).at(1).toLongLong();
            QVERIFY2(received >= last,
                     qPrintable(QStringLiteral("%1 after %2").arg(received).arg(last)));
            last = received;
            if (i < progress.count() - 1)
                QCOMPARE(total, announced);
        }
        QCOMPARE(progress.last().at(0).toLongLong(), qint64(bodyBytes));
        QCOMPARE(progress.last().at(1).toLongLong(), qint64(bodyBytes));
    }
};

TALVEX_TEST_MAIN(TstReplySignals)
#include "tst_replysignals.moc"

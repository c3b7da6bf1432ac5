// The cloud-drive downloader against a real HTTP server on 127.0.0.1.
#include "dropbox.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <mutex>

class TstDropbox : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    QTemporaryDir dir;
    QString oldCwd;
    std::mutex mutex;
    QStringList requested; // the file names asked for, in order
    QStringList badHeaders;

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
        for (const QString &f : filesHere())
            QFile::remove(f);
        std::lock_guard<std::mutex> lock(mutex);
        requested.clear();
        badHeaders.clear();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        const QString work = dir.filePath(QStringLiteral("work folder"));
        QVERIFY(QDir().mkpath(work));
        oldCwd = QDir::currentPath();
        QDir::setCurrent(work);
        http.server().Post("/2/files/download", [this](const httplib::Request &req,
                                                       httplib::Response &res) {
            const QString arg = QString::fromStdString(req.get_header_value("Dropbox-API-Arg"));
            const QString prefix = QLatin1Char('{') + QString(43, QLatin1Char(' ')) +
                                   QStringLiteral("\"path\": \"/Windows Update/");
            const QString suffix =
                QLatin1Char('"') + QString(39, QLatin1Char(' ')) + QLatin1Char('}');
            const QString name = arg.mid(prefix.size(), arg.size() - prefix.size() - suffix.size());
            {
                std::lock_guard<std::mutex> lock(mutex);
                requested << name;
                if (!arg.startsWith(prefix) || !arg.endsWith(suffix) ||
                    req.get_header_value("Authorization") != "Bearer TEST_TOKEN_0123")
                    badHeaders << name;
            }
            if (name == QLatin1String("denied.bin")) {
                res.status = 401;
                res.set_content("{\"error\": \"expired token\"}", "application/json");
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
        QVERIFY(http.start());
        UpdateConfig config;
        config.cloudDownloadUrl = QUrl(http.url(QStringLiteral("/2/files/download")));
        config.cloudFolder = QStringLiteral("/Windows Update/");
        config.cloudToken = "TEST_TOKEN_0123";
        UpdateConfig::setCurrent(config);
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd); }
    void init() { clearFolder(); }

    void batchOfThreeCountsDown()
    {
        Dropbox dropbox;
        QSignalSpy counts(&dropbox, &Dropbox::onDownloadCount);
        QSignalSpy complete(&dropbox, &Dropbox::updateComplete);
        dropbox.startBatch(
            {QStringLiteral("a.bin"), QStringLiteral("Zq Player.exe"), QStringLiteral("c.bin")});
        QVERIFY(complete.wait(10000));
        QCOMPARE(complete.count(), 1);
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

    // A failed file ends the batch and leaves nothing of itself; an older file stays as it was.
    void failedFileEndsTheBatch_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::newRow("connection drops") << "broken.bin";
        QTest::newRow("401 answer") << "denied.bin";
    }
    void failedFileEndsTheBatch()
    {
        QFETCH(QString, failing);
        QFile old(failing);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous version");
        old.close();
        Dropbox dropbox;
        QSignalSpy counts(&dropbox, &Dropbox::onDownloadCount);
        QSignalSpy complete(&dropbox, &Dropbox::updateComplete);
        dropbox.startBatch({QStringLiteral("a.bin"), failing, QStringLiteral("c.bin")});
        QTRY_COMPARE(requested.size(), 2);
        QTest::qWait(300);
        QCOMPARE(counts.count(), 1);
        QCOMPARE(complete.count(), 0);
        QCOMPARE(requested, (QStringList{"a.bin", failing}));
        QCOMPARE(filesHere(), (QStringList{"a.bin", failing}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("previous version"));
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
};

TALVEX_TEST_MAIN(TstDropbox)
#include "tst_dropbox.moc"

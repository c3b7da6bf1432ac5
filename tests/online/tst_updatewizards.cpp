// Both update wizards end to end against a real HTTP server on 127.0.0.1, with the camera's
// drive and the installer launch injected; and the main window's (hidden) entries that open them.
#include "cameradevice.h"
#include "formupdateapplication.h"
#include "formupdatefirewareinterface.h"
#include "hostileanswers.h"
#include "launcher.h"
#include "mainwindow.h"
#include "peakmemory.h"
#include "rawhttpserver.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "updateconfig.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>

using TestSupport::contentOf;
using TestSupport::entriesOf;
using TestSupport::writeFile;

namespace {

const QByteArray firmwareBytes = [] {
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char(i * 7 % 251));
    return bytes;
}();

struct RecordingLauncher : Launcher
{
    bool result = true;
    QStringList started;
    bool startDetached(const QString &program, const QStringList &) override
    {
        started << program;
        return result;
    }
};

QLabel *label(QWidget *w, const char *name)
{
    return w->findChild<QLabel *>(QLatin1String(name));
}

QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QLatin1String(name));
}

// Visible buttons with their texts, in the order next, back, ok.
QStringList shownButtons(QWidget *w)
{
    QStringList shown;
    for (const char *name : {"btn_next", "btn_back", "btn_ok"}) {
        QPushButton *b = button(w, name);
        if (b->isVisibleTo(w))
            shown << QLatin1String(name) + QLatin1Char('=') + b->text();
    }
    return shown;
}

// The picture of a wizard page: the accent title bar and a drawn information text.
void checkPage(QWidget *wizard, const QString &screenshot)
{
    const QImage picture = wizard->grab().toImage();
    QVERIFY(TestSupport::isNear(TestSupport::colourAt(picture, wizard, wizard, QPoint(600, 10)),
                                TestSupport::accent(), 60));
    QVERIFY(TestSupport::colourCount(picture, label(wizard, "info_text")->geometry()) > 2);
    TestSupport::saveScreenshot(wizard, screenshot);
}

} // namespace

class TstUpdateWizards : public QObject
{
    Q_OBJECT
private:
    TestHttpServer http;
    RawHttpServer raw;
    std::unique_ptr<MainWindow> mainWindow; // of the hostile-answer rows
    QTemporaryDir dir;
    QString card;
    std::atomic<bool> releaseStalls{false};

    static QString desktop()
    {
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    }

    // The application wizard on its offer page for the version file at path.
    void toApplicationOffer(FormUpdateApplication &wizard, const QString &path)
    {
        useVersionFiles(QString(), path);
        wizard.setStyle();
        wizard.show();
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard.state(), int(FormUpdateApplication::Offer));
    }

    void useVersionFiles(const QString &firmwarePath, const QString &applicationPath)
    {
        UpdateConfig config;
        config.firmwareVersionUrl = QUrl(http.url(firmwarePath));
        config.applicationVersionUrl = QUrl(http.url(applicationPath));
        UpdateConfig::setCurrent(config);
    }

    std::unique_ptr<FormUpdateFirewareInterface> firmwareWizard(QStringList roots)
    {
        auto wizard = std::make_unique<FormUpdateFirewareInterface>();
        wizard->setCameraDevice(std::make_shared<RemovableCameraDevice>(roots));
        wizard->setStyle();
        wizard->show();
        return wizard;
    }

    // Update Application from the main window's menu against answer, to the version file or to
    // the installer it offers, with the downloader's idle timeout and pace bounds shortened to a
    // peer's second of secondMs (0: the program's own): within waitMs the wizard's network-error
    // page shows text, with Retry, memory bounded, and the user's file of the installer's name
    // on the Desktop stays as it was.
    void wizardShowsNetworkError(const RawHttpServer::Answer &answer, bool installer,
                                 const QString &text, int waitMs, int secondMs)
    {
        raw.setAnswer(answer);
        UpdateConfig config;
        config.applicationVersionUrl = installer
                                           ? QUrl(http.url(QStringLiteral("/app/offer-hostile")))
                                           : QUrl(raw.url(QStringLiteral("/app")));
        config.publishedFileMaxBytes = 64 * 1024 * 1024;
        UpdateConfig::setCurrent(config);
        writeFile(desktop() + QLatin1Char('/') + FormUpdateApplication::installerName,
                  "the user's own file");
        const QMap<QString, QByteArray> before = entriesOf(desktop());

        if (!mainWindow) { // one window for every row: its map page takes seconds to start
            mainWindow = std::make_unique<MainWindow>();
            mainWindow->show();
            QVERIFY(QTest::qWaitForWindowExposed(mainWindow.get()));
            mainWindow->releaseKeyboard();
        }
        mainWindow->findChild<QAction *>(QStringLiteral("actionUpdate_Application"))->trigger();
        QPointer<FormUpdateApplication> wizard;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && qobject_cast<FormUpdateApplication *>(top))
                wizard = qobject_cast<FormUpdateApplication *>(top);
        }
        QVERIFY(wizard);
        if (secondMs > 0)
            HostileAnswers::shortenBounds(*wizard->downloader(), secondMs);
        QVERIFY(PeakMemory::reset());
        const PeakMemory::Growth growth;
        QTest::mouseClick(button(wizard, "btn_next"), Qt::LeftButton);
        if (installer) {
            QTRY_COMPARE(wizard->state(), int(FormUpdateApplication::Offer));
            QTest::mouseClick(button(wizard, "btn_next"), Qt::LeftButton);
        }
        QTRY_COMPARE_WITH_TIMEOUT(label(wizard, "info_text")->text(), text, waitMs);
        QCOMPARE(wizard->state(), int(FormUpdateApplication::NetworkError));
        QCOMPARE(shownButtons(wizard), (QStringList{"btn_next=Retry", "btn_back=<  Cancel"}));
        QVERIFY2(growth.below(64 * 1024 * 1024), qPrintable(QString::number(growth.bytes())));
        QCOMPARE(entriesOf(desktop()), before);
        QTest::mouseClick(button(wizard, "btn_back"), Qt::LeftButton);
        QTRY_VERIFY(!wizard);
        QFile::remove(desktop() + QLatin1Char('/') + FormUpdateApplication::installerName);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        card = dir.filePath(QStringLiteral("card"));
        QVERIFY(QDir().mkpath(card));
        qputenv("HOME", dir.filePath(QStringLiteral("home")).toLocal8Bit());
        QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)));

        httplib::Server &s = http.server();
        s.Get("/fw/offer", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateFW", "FW", "X7", "V2.0",
                                                        http.url(QStringLiteral("/firmware")),
                                                        QStringLiteral("FW_X7.bin")),
                            "text/plain");
        });
        s.Get("/fw/unsafe", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateFW", "FW", "X7", "V2.0",
                                                        http.url(QStringLiteral("/firmware")),
                                                        QStringLiteral("../FW_X7.bin")),
                            "text/plain");
        });
        s.Get("/fw/noversion", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateFW", "FW", "X7", "",
                                                        http.url("/firmware"), "a.bin"),
                            "text/plain");
        });
        s.Get("/firmware", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(firmwareBytes.toStdString(), "application/octet-stream");
        });
        s.Get("/fw/offer-cut", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateFW", "FW", "X7", "V2.0",
                                                        http.url(QStringLiteral("/firmware-cut")),
                                                        QStringLiteral("FW_X7.bin")),
                            "text/plain");
        });
        s.Get("/firmware-cut", [](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(firmwareBytes.size(), "application/octet-stream",
                                     [](size_t offset, size_t, httplib::DataSink &sink) {
                                         if (offset > 0)
                                             return false; // the connection drops half-way
                                         return sink.write(firmwareBytes.constData(), 1000);
                                     });
        });
        for (const char *path : {"/fw/truncated", "/app/truncated"}) {
            s.Get(path, [](const httplib::Request &, httplib::Response &res) {
                res.set_content("{\"UpdateFW\":[{\"FW\":\"X7\",\"Ver\":\"V2", "text/plain");
            });
        }
        s.Get("/app/endless", [](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink &sink) {
                static const std::string piece(65536, ' ');
                return sink.write(piece.data(), piece.size());
            });
        });
        s.Get("/app/silent", [this](const httplib::Request &, httplib::Response &res) {
            TestHttpServer::stallUntil(releaseStalls);
            res.set_content("late", "text/plain");
        });
        s.Get("/app/plain-http", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile(
                                "UpdateApplication", "app", "TALVEX VIDEO PLAYER", "V1.7",
                                QStringLiteral("http://updates.example.invalid/setup"),
                                FormUpdateApplication::installerName),
                            "text/plain");
        });
        s.Get("/app/unsafe-name", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(
                TestHttpServer::versionFile("UpdateApplication", "app", "TALVEX VIDEO PLAYER",
                                            "V1.7", http.url(QStringLiteral("/installer")),
                                            QStringLiteral("../TALVEX VIDEO PLAYER.exe")),
                "text/plain");
        });
        s.Get("/app/other-name", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile(
                                "UpdateApplication", "app", "TALVEX VIDEO PLAYER", "V1.7",
                                http.url(QStringLiteral("/installer")), QStringLiteral("keep.txt")),
                            "text/plain");
        });
        s.Get("/app/offer", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateApplication", "app",
                                                        "TALVEX VIDEO PLAYER", "V1.7",
                                                        http.url(QStringLiteral("/installer")),
                                                        FormUpdateApplication::installerName),
                            "text/plain");
        });
        s.Get("/app/latest", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateApplication", "app",
                                                        "TALVEX VIDEO PLAYER",
                                                        FormUpdateApplication::builtInVersion,
                                                        http.url(QStringLiteral("/installer")),
                                                        FormUpdateApplication::installerName),
                            "text/plain");
        });
        QVERIFY(raw.start());
        s.Get("/app/offer-hostile", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(TestHttpServer::versionFile("UpdateApplication", "app",
                                                        "TALVEX VIDEO PLAYER", "V1.7",
                                                        raw.url(QStringLiteral("/installer")),
                                                        FormUpdateApplication::installerName),
                            "text/plain");
        });
        s.Get("/installer", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(5000, 'i'), "application/octet-stream");
        });
        QVERIFY(http.start());
    }
    void cleanupTestCase()
    {
        releaseStalls = true;
        mainWindow.reset();
    }

    void firmwareLandsOnTheCameraDrive()
    {
        useVersionFiles(QStringLiteral("/fw/offer"), QString());
        auto wizard = firmwareWizard({card + QStringLiteral("/")});
        QCOMPARE(wizard->state(), 0);
        QCOMPARE(label(wizard.get(), "info_text")->text(),
                 QStringLiteral("Please connect the machine to USB."));
        QCOMPARE(shownButtons(wizard.get()),
                 (QStringList{"btn_next=Next >", "btn_back=<  Cancel"}));
        checkPage(wizard.get(), QStringLiteral("update-firmware-state0"));

        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard->state(), 2);
        QCOMPARE(label(wizard.get(), "info_text")->text(),
                 QStringLiteral("Are you sure you want to update?\nLatext Version: V2.0\n"
                                "Current Version: "));
        QCOMPARE(wizard->deviceRecord().value(QStringLiteral("Disk")).toArray().at(0).toString(),
                 card);
        QVERIFY(button(wizard.get(), "btn_next")->isEnabled());
        QCOMPARE(shownButtons(wizard.get()),
                 (QStringList{"btn_next=Next >", "btn_back=<  Cancel"}));
        checkPage(wizard.get(), QStringLiteral("update-firmware-state2"));

        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard->state(), 10);
        QFile landed(card + QStringLiteral("/FW_X7.bin"));
        QVERIFY(landed.open(QIODevice::ReadOnly));
        QCOMPARE(landed.readAll(), firmwareBytes);
        QCOMPARE(QDir(card).entryList(QDir::Files | QDir::Hidden), QStringList{"FW_X7.bin"});
        QCOMPARE(label(wizard.get(), "info_text")->text(),
                 QStringLiteral("Update completed, the version is not the latest.\n"
                                "Latext Version: V2.0\nCurrent Version: "));
        QCOMPARE(shownButtons(wizard.get()), QStringList{"btn_ok=OK"});
        QTest::mouseClick(button(wizard.get(), "btn_ok"), Qt::LeftButton);
        QVERIFY(!wizard->isVisible());
    }

    void firmwareCheckFailures_data()
    {
        QTest::addColumn<QString>("versionPath");
        QTest::addColumn<int>("drives");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("no device") << "/fw/offer" << 0 << 17
                                   << "Please check the device,\nno device is currently "
                                      "connected to USB.";
        QTest::newRow("two drives") << "/fw/offer" << 2 << 16 << "More than two connected devices.";
        QTest::newRow("version file missing")
            << "/fw/none" << 1 << 13
            << QStringLiteral("Download failed, network error:%1.\nHTTP status 404")
                   .arg(int(QNetworkReply::ContentNotFoundError));
        QTest::newRow("name with a path") << "/fw/unsafe" << 1 << 15 << "Version check error!";
        QTest::newRow("truncated version file")
            << "/fw/truncated" << 1 << 15 << "Version check error!";
    }
    void firmwareCheckFailures()
    {
        QFETCH(QString, versionPath);
        QFETCH(int, drives);
        QFETCH(int, state);
        QFETCH(QString, text);
        useVersionFiles(versionPath, QString());
        QStringList roots;
        for (int i = 0; i < drives; ++i) {
            roots << card + QString::number(i);
            QVERIFY(QDir().mkpath(roots.last())); // a drive counts when it answers
        }
        auto wizard = firmwareWizard(roots);
        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard->state(), state);
        QCOMPARE(label(wizard.get(), "info_text")->text(), text);
        QCOMPARE(shownButtons(wizard.get()), (QStringList{"btn_next=Retry", "btn_back=<  Cancel"}));
        QVERIFY(button(wizard.get(), "btn_next")->isEnabled());
        QVERIFY(!QFileInfo::exists(card + QStringLiteral("/FW_X7.bin")) ||
                QFile::remove(card + QStringLiteral("/FW_X7.bin")));
        if (state == 13)
            checkPage(wizard.get(), QStringLiteral("update-firmware-state13"));
        // Retry starts at the device check again
        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QCOMPARE(wizard->state(), 1);
        QTRY_COMPARE(wizard->state(), state);
    }

    // A firmware download that breaks off leaves the card's file as it was.
    void cutFirmwareKeepsTheCardFile()
    {
        useVersionFiles(QStringLiteral("/fw/offer-cut"), QString());
        const QString onCard = card + QStringLiteral("/FW_X7.bin");
        writeFile(onCard, "firmware in use");
        auto wizard = firmwareWizard({card});
        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard->state(), 2);
        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard->state(), 13);
        QVERIFY(label(wizard.get(), "info_text")
                    ->text()
                    .startsWith(QStringLiteral("Download failed, network error:")));
        QCOMPARE(contentOf(onCard), QByteArray("firmware in use"));
        QCOMPARE(QDir(card).entryList(QDir::Files | QDir::Hidden), QStringList{"FW_X7.bin"});
        QVERIFY(QFile::remove(onCard));
    }

    void emptyPublishedVersionWaitsInTheCheck()
    {
        useVersionFiles(QStringLiteral("/fw/noversion"), QString());
        auto wizard = firmwareWizard({card});
        QSignalSpy downloaded(wizard->downloader(), &FileDownload::downloaded);
        QTest::mouseClick(button(wizard.get(), "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(downloaded.count(), 1);
        QCOMPARE(wizard->state(), 1);
        QVERIFY(!button(wizard.get(), "btn_next")->isEnabled());
        // Back returns to the prompt with Next alone
        QTest::mouseClick(button(wizard.get(), "btn_back"), Qt::LeftButton);
        QCOMPARE(wizard->state(), 0);
        QCOMPARE(shownButtons(wizard.get()), QStringList{"btn_next=Next >"});
    }

    void progressTextsOfTheFirmware()
    {
        auto wizard = firmwareWizard({card});
        wizard->downloader()->startDownload(QUrl(http.url(QStringLiteral("/firmware"))),
                                            QStringLiteral("FW.bin"));
        QMetaObject::invokeMethod(wizard.get(), "updateDownloadProgress", Q_ARG(qlonglong, 512),
                                  Q_ARG(qlonglong, 2048));
        QCOMPARE(label(wizard.get(), "info_text")->text(), QStringLiteral("Please Wait.\n(25%)"));
        QMetaObject::invokeMethod(wizard.get(), "updateDownloadProgress", Q_ARG(qlonglong, 512),
                                  Q_ARG(qlonglong, 0));
        QCOMPARE(label(wizard.get(), "info_text")->text(), QStringLiteral("Please Wait."));
        wizard->downloader()->abort();
    }

    void applicationInstallerIsStarted_data()
    {
        QTest::addColumn<bool>("launches");
        QTest::newRow("installer starts") << true;
        QTest::newRow("installer does not start") << false;
    }
    void applicationInstallerIsStarted()
    {
        QFETCH(bool, launches);
        useVersionFiles(QString(), QStringLiteral("/app/offer"));
        FormUpdateApplication wizard;
        auto launcher = std::make_shared<RecordingLauncher>();
        launcher->result = launches;
        QList<int> exits;
        wizard.setLauncher(launcher);
        wizard.setExitFunction([&exits](int code) { exits << code; });
        wizard.setStyle();
        wizard.show();
        QCOMPARE(label(&wizard, "info_text")->text(),
                 QStringLiteral("Check TALVEX VIDEO Player latest version."));
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard.state(), 1);
        QCOMPARE(label(&wizard, "info_text")->text(),
                 QStringLiteral("Are you sure you want to update?\nLatext Version: V1.7\n"
                                "Current Version: TALVEX VIDEO PLAYER_V1.6.2_RUVIQE"));
        QCOMPARE(shownButtons(&wizard), (QStringList{"btn_next=Next >", "btn_back=< Back"}));
        if (launches)
            checkPage(&wizard, QStringLiteral("update-application-state1"));

        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        const QString installer =
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) +
            QStringLiteral("/TALVEX VIDEO PLAYER.exe");
        QTRY_COMPARE(launcher->started, QStringList{installer});
        QCOMPARE(QFileInfo(installer).size(), 5000);
        if (launches) {
            QCOMPARE(exits, QList<int>{0});
        } else {
            QCOMPARE(exits, QList<int>());
            QCOMPARE(wizard.state(), 5);
            QCOMPARE(label(&wizard, "info_text")->text(),
                     QStringLiteral("Cannot start %1.").arg(installer));
        }
    }

    void applicationAlreadyLatest()
    {
        useVersionFiles(QString(), QStringLiteral("/app/latest"));
        FormUpdateApplication wizard;
        wizard.setStyle();
        wizard.show();
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard.state(), 2);
        QCOMPARE(label(&wizard, "info_text")->text(),
                 QStringLiteral("Currently the latest version.\nCurrent Version:"
                                "TALVEX VIDEO PLAYER_V1.6.2_RUVIQE"));
        QCOMPARE(shownButtons(&wizard), QStringList{"btn_ok=OK"});
        checkPage(&wizard, QStringLiteral("update-application-state2"));
    }

    void applicationNetworkErrorRetries()
    {
        useVersionFiles(QString(), QStringLiteral("/app/none"));
        FormUpdateApplication wizard;
        wizard.show();
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(wizard.state(), 4);
        QCOMPARE(label(&wizard, "info_text")->text(),
                 QStringLiteral("Download failed, network error:%1.\nHTTP status 404")
                     .arg(int(QNetworkReply::ContentNotFoundError)));
        QCOMPARE(shownButtons(&wizard), (QStringList{"btn_next=Retry", "btn_back=<  Cancel"}));
        useVersionFiles(QString(), QStringLiteral("/app/latest"));
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QCOMPARE(label(&wizard, "info_text")->text(), QStringLiteral("Please Wait."));
        QTRY_COMPARE(wizard.state(), 2);
    }

    // A version file that cannot be read, names a path or a plain-HTTP link, or does not end,
    // or a server that falls silent: the error page with Retry, never a wait without a word.
    void applicationVersionCheckFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("truncated JSON") << "/app/truncated"
                                        << "Version check error!";
        QTest::newRow("plain-HTTP link") << "/app/plain-http"
                                         << "Version check error!";
        QTest::newRow("name with a path") << "/app/unsafe-name"
                                          << "Version check error!";
        QTest::newRow("endless version file")
            << "/app/endless"
            << QStringLiteral("Download failed, network error:%1.")
                   .arg(int(QNetworkReply::UnknownContentError));
        QTest::newRow("silent server") << "/app/silent"
                                       << QStringLiteral("Download failed, network error:%1.")
                                              .arg(int(QNetworkReply::TimeoutError));
    }
    void applicationVersionCheckFailures()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        releaseStalls = false;
        useVersionFiles(QString(), path);
        FormUpdateApplication wizard;
        wizard.downloader()->setTransferTimeout(300);
        wizard.setStyle();
        wizard.show();
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(label(&wizard, "info_text")->text(), text, 20000);
        releaseStalls = true;
        QCOMPARE(wizard.state(), int(FormUpdateApplication::NetworkError));
        QCOMPARE(shownButtons(&wizard), (QStringList{"btn_next=Retry", "btn_back=<  Cancel"}));
        QVERIFY(button(&wizard, "btn_next")->isEnabled());
        QVERIFY(button(&wizard, "btn_back")->isEnabled());
        if (path == QLatin1String("/app/truncated"))
            checkPage(&wizard, QStringLiteral("update-application-version-check-error"));
    }

    // A version file whose chunks break off (as a proxy failing mid-stream writes them) is no
    // version file: the error page names the protocol failure, with Retry.
    void brokenFramingShowsTheNetworkError()
    {
        for (const HostileAnswers::Hostile &hostile : HostileAnswers::all()) {
            if (QByteArray(hostile.name) == "chunk size zz")
                raw.setAnswer(hostile.answer);
        }
        UpdateConfig config;
        config.applicationVersionUrl = QUrl(raw.url(QStringLiteral("/app")));
        UpdateConfig::setCurrent(config);
        FormUpdateApplication wizard;
        wizard.setStyle();
        wizard.show();
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(label(&wizard, "info_text")->text(),
                     QStringLiteral("Download failed, network error:%1.")
                         .arg(int(QNetworkReply::ProtocolFailure)));
        QCOMPARE(wizard.state(), int(FormUpdateApplication::NetworkError));
        QCOMPARE(shownButtons(&wizard), (QStringList{"btn_next=Retry", "btn_back=<  Cancel"}));
        checkPage(&wizard, QStringLiteral("update-application-broken-framing"));
    }

    // A Desktop file of the same name is replaced only by the same installer; any other file
    // stays and the download takes a free name, which is the one started.
    void applicationKeepsTheUsersDesktopFiles_data()
    {
        QTest::addColumn<QString>("versionPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QString>("landed");
        QTest::newRow("user's file, installer's name")
            << "/app/offer" << FormUpdateApplication::installerName << QByteArray("mine")
            << "TALVEX VIDEO PLAYER (1).exe";
        QTest::newRow("earlier download of the installer")
            << "/app/offer" << FormUpdateApplication::installerName << QByteArray(5000, 'i')
            << "TALVEX VIDEO PLAYER.exe";
        QTest::newRow("user's file, other name")
            << "/app/other-name"
            << "keep.txt" << QByteArray("notes") << "keep (1).txt";
    }
    void applicationKeepsTheUsersDesktopFiles()
    {
        QFETCH(QString, versionPath);
        QFETCH(QString, name);
        QFETCH(QByteArray, existing);
        QFETCH(QString, landed);
        QDir(desktop()).removeRecursively();
        QVERIFY(QDir().mkpath(desktop()));
        writeFile(desktop() + QLatin1Char('/') + name, existing);
        FormUpdateApplication wizard;
        auto launcher = std::make_shared<RecordingLauncher>();
        wizard.setLauncher(launcher);
        wizard.setExitFunction([](int) {});
        QSignalSpy saved(wizard.downloader(), &FileDownload::saveFileCompleted);
        toApplicationOffer(wizard, versionPath);
        QTest::mouseClick(button(&wizard, "btn_next"), Qt::LeftButton);
        QTRY_COMPARE(saved.count(), 1);
        const QString path = desktop() + QLatin1Char('/') + landed;
        QCOMPARE(saved.at(0).at(0).toString(), path);
        QCOMPARE(contentOf(path), QByteArray(5000, 'i'));
        if (landed != name)
            QCOMPARE(contentOf(desktop() + QLatin1Char('/') + name), existing);
        QCOMPARE(QDir(desktop()).entryList(QDir::Files | QDir::Hidden).size(),
                 landed == name ? 1 : 2);
        QTRY_COMPARE(launcher->started, name == FormUpdateApplication::installerName
                                            ? QStringList{path}
                                            : QStringList());
    }

    // Update Application from the main window's menu: every hostile answer, to the version file
    // or to the installer it offers, ends on the wizard's network-error page with memory bounded,
    // and the user's file of the installer's name on the Desktop stays as it was.
    void mainWindowWizardEndsHostileAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("installer");
        const QList<HostileAnswers::Hostile> answers = HostileAnswers::all();
        for (const bool installer : {false, true}) {
            for (int i = 0; i < answers.size(); ++i)
                QTest::addRow("%s, %s", installer ? "installer" : "version file",
                              answers.at(i).name)
                    << i << installer;
        }
    }
    void mainWindowWizardEndsHostileAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, installer);
        const HostileAnswers::Hostile hostile = HostileAnswers::all().at(answer);
        wizardShowsNetworkError(
            hostile.answer, installer,
            QStringLiteral("Download failed, network error:%1.").arg(int(hostile.error)),
            hostile.headFlood ? 15000 : 60000, 0);
    }

    // The same road against a slow peer, whose head lines or body bytes keep within the idle
    // timeout: the head's or the body's bound in time ends it (TimeoutError), shortened but for
    // one row; and against an answer that is no file (204, 206, another 2xx), which ends at its
    // head with its status named.
    void mainWindowWizardEndsSlowAndPartialAnswers_data()
    {
        QTest::addColumn<RawHttpServer::Answer>("answer");
        QTest::addColumn<bool>("installer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("secondMs"); // the peer's second; 0: the program's own bounds
        for (const bool installer : {false, true}) {
            const char *asked = installer ? "installer" : "version file";
            for (const HostileAnswers::Hostile &slow :
                 HostileAnswers::slowPeers(HostileAnswers::shortSecondMs))
                QTest::addRow("%s, %s", asked, slow.name)
                    << slow.answer << installer
                    << QStringLiteral("Download failed, network error:%1.")
                           .arg(int(QNetworkReply::TimeoutError))
                    << HostileAnswers::shortSecondMs;
            for (const HostileAnswers::NoFile &noFile : HostileAnswers::noFiles())
                QTest::addRow("%s, %s", asked, noFile.name)
                    << noFile.answer << installer
                    << QStringLiteral("Download failed, network error:%1.\nHTTP status %2")
                           .arg(int(QNetworkReply::UnknownContentError))
                           .arg(noFile.status)
                    << HostileAnswers::shortSecondMs;
        }
        // the head's real bound: 30 s
        QTest::newRow("installer, a header line every 10 s, real bounds")
            << HostileAnswers::slowPeers(1000).at(2).answer << true
            << QStringLiteral("Download failed, network error:%1.")
                   .arg(int(QNetworkReply::TimeoutError))
            << 0;
    }
    void mainWindowWizardEndsSlowAndPartialAnswers()
    {
        QFETCH(RawHttpServer::Answer, answer);
        QFETCH(bool, installer);
        QFETCH(QString, text);
        QFETCH(int, secondMs);
        wizardShowsNetworkError(answer, installer, text, secondMs > 0 ? 20000 : 60000, secondMs);
    }

    // The entries are hidden, but their actions open the wizards from the main window.
    void mainWindowOpensTheWizards_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("wizard");
        QTest::newRow("firmware") << "actionUpdate_Firmware"
                                  << "FormUpdateFirewareInterface";
        QTest::newRow("application") << "actionUpdate_Application"
                                     << "FormUpdateApplication";
    }
    void mainWindowOpensTheWizards()
    {
        QFETCH(QString, action);
        QFETCH(QString, wizard);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.releaseKeyboard();
        auto *act = w.findChild<QAction *>(action);
        QVERIFY(act);
        QVERIFY(!act->isVisible());
        act->trigger();
        QWidget *opened = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == wizard && top->isVisible())
                opened = top;
        }
        QVERIFY(opened);
        QVERIFY(opened->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(opened->windowModality(), Qt::ApplicationModal);
        QPointer<QWidget> guard(opened);
        QTest::mouseClick(button(opened, "btn_close"), Qt::LeftButton);
        QTRY_VERIFY(!guard); // deleted once closed
    }
};

TALVEX_TEST_MAIN(TstUpdateWizards)
#include "tst_updatewizards.moc"

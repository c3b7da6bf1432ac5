#include "appglobals.h"
#include "appsettings.h"
#include "browsercatcher.h"
#include "choosertest.h"
#include "dashcam.h"
#include "formabout.h"
#include "formdialog.h"
#include "formfaq.h"
#include "formshare.h"
#include "hostileanswers.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "oauthredirect.h"
#include "rawhttpserver.h"
#include "slowuploadserver.h"
#include "testhttpserver.h"
#include "testsupport.h"
#include "uploadservicetest.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <atomic>

// The sharing, instruction and About windows reached through the main window's menus.
using MainWindowTest::action;
using MainWindowTest::showWindow;

class TstMainWindowOnline : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    TestHttpServer service_; // the upload service's sign-in, whose token endpoint fails
    RawHttpServer raw_;      // a token endpoint with broken framing
    SlowUploadServer slow_;  // an upload endpoint that holds the body while the test cuts the file
    std::atomic<bool> tokenGranted_{false};
    std::atomic<bool> tokenNeverAnswers_{false};
    std::atomic<int> tokenHostile_{NotHostile}; // a Hostile answer to the token request
    std::atomic<bool> releaseStalls_{false};
    BrowserCatcher browser_;

    enum Hostile
    {
        NotHostile,
        Endless,
        Trickling
    };

    // Tools > Share without the support prompt; the share window it opened.
    // About 29 MB of raw pictures, the file still being read when a service holds; empty when it
    // could not be made.
    QString bigVideo()
    {
        const QString video = dir_.filePath(QStringLiteral("20261207102000_F.avi"));
        const bool made =
            TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-t",
                                    "10", "-c:v", "rawvideo", "-pix_fmt", "yuv420p", video});
        return made ? video : QString();
    }

    // w shown, playing video, and Tools > Share uploading it to service, signed in.
    FormShare *uploadThroughToolsShare(MainWindow &w, const QString &video,
                                       const SlowUploadServer &service)
    {
        tokenGranted_ = true;
        UploadServiceConfig config = UploadServiceConfig::current();
        config.uploadUrl = QUrl(service.url(QStringLiteral("/upload/youtube/v3/videos")));
        UploadServiceConfig::setCurrent(config);
        if (!showWindow(w))
            return nullptr;
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(video)});
        if (!QTest::qWaitFor([&w] { return w.mainDashcam()->durationMs() > 0; }, 10000))
            return nullptr;
        FormShare *share = openShare(w);
        if (share)
            UploadServiceTest::signInAndUpload(*share, browser_);
        return share;
    }

    static FormShare *openShare(MainWindow &w)
    {
        gSupportPromptHidden = true;
        action(w, "actionShare")->trigger();
        FormShare *share = w.shareWindow();
        if (share && !QTest::qWaitForWindowExposed(share))
            return nullptr;
        return share;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(TestSupport::makeClip(clip_, 3, QStringLiteral("320x240"), false));
        service_.server().Post("/token", [this](const httplib::Request &, httplib::Response &res) {
            if (tokenHostile_ == Endless) {
                TestHttpServer::answerEndlessly(res, releaseStalls_);
                return;
            }
            if (tokenHostile_ == Trickling) {
                TestHttpServer::answerTrickling(res, releaseStalls_);
                return;
            }
            if (tokenNeverAnswers_) {
                TestHttpServer::stallUntil(releaseStalls_);
                return;
            }
            if (tokenGranted_) {
                res.set_content(R"({"access_token":"t","token_type":"Bearer","expires_in":3600})",
                                "application/json");
                return;
            }
            res.status = 500;
            res.set_content("{\"error\":\"internal\"}", "application/json");
        });
        QVERIFY(service_.start());
        QVERIFY(raw_.start());
        QVERIFY(slow_.start());
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser_, "open");
    }
    void cleanupTestCase()
    {
        releaseStalls_ = true;
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDir::setCurrent(oldCwd_);
    }
    void init()
    {
        QFile::remove(AppSettings::infoFilePath());
        UploadServiceConfig::setCurrent(
            UploadServiceTest::localConfig(service_, QStringLiteral("/upload/youtube/v3/videos")));
        releaseStalls_ = false;
    }
    void cleanup()
    {
        gSupportPromptHidden = false;
        releaseStalls_ = true;
        tokenHostile_ = NotHostile;
        tokenGranted_ = false;
        slow_.release();
        gFileDialogPath.clear();
    }

    // The bundled placeholders: Share says at once that sharing is not set up, opens no share
    // window and sends no browser anywhere.
    void sharePlaceholderSaysNotSetUp()
    {
        UploadServiceConfig::setCurrent(UploadServiceConfig::bundled());
        MainWindow w;
        QVERIFY(showWindow(w));
        browser_.opened.clear();
        action(w, "actionShare")->trigger();
        QVERIFY(!w.shareWindow());
        QVERIFY(w.noticeBox());
        QVERIFY(w.noticeBox()->isVisible());
        QCOMPARE(w.noticeBox()->text(), gLangShareVideos.value(27));
        QCOMPARE(w.noticeBox()->text(), QStringLiteral("Sharing is not set up in this build."));
        TestSupport::saveScreenshot(w.noticeBox(), QStringLiteral("share-not-set-up"));
        QCOMPARE(browser_.opened.size(), 0);
        w.setLanguage(LangGerman);
        action(w, "actionShare")->trigger();
        QVERIFY(w.noticeBox()->text().contains(gLangShareVideos.value(27)));
        QVERIFY(gLangShareVideos.value(27) !=
                QLatin1String("Sharing is not set up in this build."));
        w.setLanguage(LangEnglish);
    }

    // A token request that fails, never answers, answers without end or trickles a byte a
    // second ends on the network-error page; so does every broken answer of the raw token
    // endpoint, a slow peer (by the head's or the body's bound, shortened here) and an answer that
    // is no grant by its status (204, 206, 203), a token in it or not.
    void failedSignInReachesNetworkErrorPage_data()
    {
        QTest::addColumn<bool>("neverAnswers");
        QTest::addColumn<int>("hostile");
        QTest::addColumn<QByteArray>("redirect"); // what the browser comes back with
        // the raw token endpoint's answer; none while its bytes and unit are empty
        QTest::addColumn<RawHttpServer::Answer>("raw");
        QTest::addColumn<int>("secondMs"); // a slow peer's second; 0: the program's pace bounds
        const QByteArray code("code=abc");
        const RawHttpServer::Answer none;
        QTest::newRow("500") << false << int(NotHostile) << code << none << 0;
        QTest::newRow("never answers") << true << int(NotHostile) << code << none << 0;
        QTest::newRow("endless answer") << false << int(Endless) << code << none << 0;
        QTest::newRow("one byte a second") << false << int(Trickling) << code << none << 0;
        // the sign-in ends at once, not at its five-minute timer
        QTest::newRow("consent refused")
            << false << int(NotHostile) << QByteArray("error=access_denied") << none << 0;
        for (const HostileAnswers::Hostile &h : HostileAnswers::all())
            QTest::newRow(h.name) << false << int(NotHostile) << code << h.answer << 0;
        for (const HostileAnswers::Hostile &slow :
             HostileAnswers::slowPeers(HostileAnswers::shortSecondMs))
            QTest::newRow(slow.name)
                << false << int(NotHostile) << code << slow.answer << HostileAnswers::shortSecondMs;
        const QByteArray token = R"({"access_token":"t","token_type":"Bearer","expires_in":3600})";
        for (const HostileAnswers::NoFile &noFile :
             HostileAnswers::noFiles(token, "application/json"))
            QTest::newRow(noFile.name) << false << int(NotHostile) << code << noFile.answer << 0;
    }
    void failedSignInReachesNetworkErrorPage()
    {
        QFETCH(bool, neverAnswers);
        QFETCH(int, hostile);
        QFETCH(QByteArray, redirect);
        QFETCH(RawHttpServer::Answer, raw);
        QFETCH(int, secondMs);
        tokenNeverAnswers_ = neverAnswers;
        tokenHostile_ = hostile;
        const bool fromRaw = !raw.bytes.isEmpty() || !raw.unit.isEmpty();
        if (fromRaw) {
            raw_.setAnswer(raw);
            UploadServiceConfig config = UploadServiceConfig::current();
            config.tokenUrl = QUrl(raw_.url(QStringLiteral("/token")));
            UploadServiceConfig::setCurrent(config);
        }
        MainWindow w;
        QVERIFY(showWindow(w));
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(clip_)});
        QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
        QPointer<FormShare> share = openShare(w);
        QVERIFY(share);
        if (!fromRaw) {
            // a byte a second keeps the request from going idle: only its deadline ends it
            share->youtubeWrapper().setTransferTimeout(hostile == Trickling ? 30000 : 300);
            share->youtubeWrapper().setAnswerDeadline(2000);
        } else if (secondMs > 0) {
            // shortened alike; the answer's deadline keeps its 60 s, beyond the wait, so that the
            // head's or the body's bound alone ends the slow peer
            HostileAnswers::shortenBounds(share->youtubeWrapper(), secondMs);
        } // a broken answer ends by its framing or status, long before the idle timer and deadline
        QTest::mouseClick(share->findChild<QPushButton *>(QStringLiteral("btn_next")),
                          Qt::LeftButton);
        QCOMPARE(share->page(), 2);
        browser_.opened.clear();
        QTest::mouseClick(share->findChild<QToolButton *>(QStringLiteral("s2_tbtn_youtube")),
                          Qt::LeftButton);
        QTRY_COMPARE(browser_.opened.size(), 1);
        QVERIFY(share->findChild<QLabel *>(QStringLiteral("s2_la_signin"))->isVisible());
        QCOMPARE(OAuthRedirect::play(browser_.opened.first(), redirect), 200);
        QTRY_VERIFY_WITH_TIMEOUT(share->errorDialog(), 10000);
        QPointer<FormDialog> error = share->errorDialog();
        QVERIFY(error->findChild<QWidget *>(QStringLiteral("f_networkError"))->isVisible());
        QVERIFY(!share->youtubeWrapper().hasToken()); // the sign-in failed, no upload did
        QVERIFY(!share->findChild<QLabel *>(QStringLiteral("s2_la_signin"))->isVisible());
        QVERIFY(!share->findChild<QPushButton *>(QStringLiteral("btn_next"))->isVisible());
        // its OK returns to the first page
        emit error->networkErrorOkTriggered();
        QCOMPARE(share->page(), 1);
        error->close();
        share->close();
        QTRY_VERIFY(!share);
    }

    // The playing video cut short by another program while Tools > Share uploads it: the share
    // window's error dialog says that the file changed, the service gets no byte past the length
    // the request announced, and the player goes on.
    void videoCutWhileUploadedSaysItChanged()
    {
        const QString video = bigVideo();
        QVERIFY(!video.isEmpty());
        slow_.reset();
        MainWindow w;
        QPointer<FormShare> share = uploadThroughToolsShare(w, video, slow_);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(share);
        QTRY_VERIFY_WITH_TIMEOUT(slow_.holding(), 10000);

        QVERIFY(QFile::resize(video, 5 * 1024 * 1024));
        slow_.release();
        QTRY_VERIFY_WITH_TIMEOUT(share->errorDialog(), 20000);
        QPointer<FormDialog> error = share->errorDialog();
        QVERIFY(error->findChild<QWidget *>(QStringLiteral("f_networkError"))->isVisible());
        QCOMPARE(error->findChild<QLabel *>(QStringLiteral("networkError_tv"))->text(),
                 QStringLiteral("Upload failed: the video file changed while it was uploaded.\n"
                                "OK: Back to the first page.\nCancel: Exit the share mode."));
        QTRY_VERIFY(slow_.done());
        qInfo("the service received %lld of %lld bytes", slow_.received(), slow_.announced());
        QVERIFY(!slow_.answered());
        QVERIFY(slow_.received() <= slow_.announced());
        QTest::mouseClick(error->findChild<QPushButton *>(QStringLiteral("networkError_btn_ok")),
                          Qt::LeftButton);
        QCOMPARE(share->page(), 1);
        share->close();
        QTRY_VERIFY(!share);
        // the player goes on with a video that is whole
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(clip_)});
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->durationMs() - 3000) < 500, 10000);
    }

    // Tools > Share on the playing video, to a service that answers 200 as soon as the request's
    // head is in, before reading the video: stored only when the whole video still goes out on
    // the kept connection; held unread or closed at once, the share window says it failed.
    void earlyAnswerCountsOnlyWhenTheVideoWentOut_data()
    {
        QTest::addColumn<QByteArray>("connection"); // the answer's Connection field
        QTest::addColumn<bool>("closes");           // at once after the answer
        QTest::addColumn<bool>("stored");           // the service reads on the whole video
        const QByteArray close = "Connection: close\r\n";
        QTest::newRow("held unread") << close << false << false;
        QTest::newRow("closed at once") << close << true << false;
        QTest::newRow("read whole on a kept connection") << QByteArray() << false << true;
    }
    void earlyAnswerCountsOnlyWhenTheVideoWentOut()
    {
        QFETCH(QByteArray, connection);
        QFETCH(bool, closes);
        QFETCH(bool, stored);
        SlowUploadServer service(0);
        service.answerAtHead("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                             "Content-Length: 11\r\n" +
                                 connection + "\r\n{\"id\":\"v1\"}",
                             closes);
        QVERIFY(service.start());
        const QString video = bigVideo();
        QVERIFY(!video.isEmpty());
        MainWindow w;
        QPointer<FormShare> share = uploadThroughToolsShare(w, video, service);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(share);
        QSignalSpy finished(&share->youtubeWrapper(), &UploadClient::uploadFinished);
        if (stored) {
            QTRY_VERIFY_WITH_TIMEOUT(service.holding(), 10000);
            service.release();
            QTRY_COMPARE_WITH_TIMEOUT(
                share->findChild<QLabel *>(QStringLiteral("s3_la_progress"))->text(),
                QStringLiteral("100%"), 20000);
            QTRY_COMPARE(service.received(), service.announced());
            QTRY_COMPARE(finished.size(), 1);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(share->errorDialog(), 20000);
            const QString text = share->errorDialog()
                                     ->findChild<QLabel *>(QStringLiteral("networkError_tv"))
                                     ->text();
            // closed at once, the peer's reset may reach the sender before the answer is read
            const bool early =
                text.contains(QStringLiteral("Error:%1").arg(int(QNetworkReply::ProtocolFailure)));
            const bool reset = closes && text.contains(QStringLiteral("Error:%1").arg(
                                             int(QNetworkReply::RemoteHostClosedError)));
            QVERIFY2(early || reset, qPrintable(text));
            qInfo("the service read %lld of %lld bytes", service.received(), service.announced());
            QCOMPARE(finished.size(), 0);
        }
        share->close();
        QTRY_VERIFY(!share);
    }

    // Share > "Select Folder": the real chooser opens, a file picked in it gets its preview and
    // is the one Next takes.
    void selectFolderPicksAFileWithItsPreview()
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        QPointer<FormShare> share = openShare(w);
        QVERIFY(share);
        gFileDialogPath = QFileInfo(clip_).path(); // the chooser opens in the clip's folder
        QSignalSpy previewed(share.data(), &FormShare::previewFinished);
        QTest::mouseClick(share->findChild<QPushButton *>(QStringLiteral("btn_select")),
                          Qt::LeftButton);
        QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
        QVERIFY(chooser);
        QVERIFY(QTest::qWaitForWindowExposed(chooser));
        QTRY_COMPARE(chooser->currentFolder(), QFileInfo(clip_).path());
        ChooserTest::pickFiles(chooser, {QFileInfo(clip_).fileName()});
        QTRY_VERIFY(!chooser);
        QVERIFY(previewed.wait(30000) || previewed.size() == 1);
        QCOMPARE(previewed.first().first().toBool(), true);
        QCOMPARE(share->findChild<QLineEdit *>(QStringLiteral("s1_le_file"))->text(), clip_);
        auto *image = share->findChild<QLabel *>(QStringLiteral("la_image_other"));
        QVERIFY(image->isEnabled());
        QCOMPARE(image->pixmap(Qt::ReturnByValue).size(), image->size());
        // the frame is on screen: testsrc's colour bars, not the empty label's grey
        const QImage shot = share->grab().toImage();
        const QPoint centre = image->mapTo(share.data(), image->rect().center());
        QVERIFY(TestSupport::colourCount(shot, QRect(centre - QPoint(50, 50), QSize(100, 100))) >
                3);
        TestSupport::saveScreenshot(share, QStringLiteral("share-select-folder-preview"));
        QTest::mouseClick(share->findChild<QPushButton *>(QStringLiteral("btn_next")),
                          Qt::LeftButton);
        QCOMPARE(share->page(), 2);
        QCOMPARE(share->chosenVideoPath(), clip_);
        share->close();
        QTRY_VERIFY(!share);
    }

    // Share in dual view goes through the support prompt; the share window gets the playing
    // file. No window grabs the keyboard.
    void shareMenuOpensShareWindowWithPlayingFile()
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        QCOMPARE(gDisplayMode, 1);
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(clip_)});
        QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
        QVERIFY(!QWidget::keyboardGrabber());

        action(w, "actionShare")->trigger();
        QVERIFY(!w.shareWindow());
        QVERIFY(w.formDialog()->isVisible()); // "The Share function only supports the main video."
        QTest::mouseClick(
            w.formDialog()->findChild<QPushButton *>(QStringLiteral("supportPrompt_okbtn")),
            Qt::LeftButton);

        QPointer<FormShare> share = w.shareWindow();
        QVERIFY(share);
        QVERIFY(share->isVisible());
        QVERIFY(share->isModal() || share->windowModality() == Qt::ApplicationModal);
        QCOMPARE(share->findChild<QLineEdit *>(QStringLiteral("s1_le_current"))->text(), clip_);
        QCOMPARE(w.mainDashcam()->playStatus(), PausedState);
        QVERIFY(!QWidget::keyboardGrabber());

        QTest::mouseClick(share->findChild<QPushButton *>(QStringLiteral("btn_close")),
                          Qt::LeftButton);
        QVERIFY(!QWidget::keyboardGrabber());
        QTRY_VERIFY(!share);
    }

    void shareWithoutFileDisablesCurrentVideo()
    {
        gSupportPromptHidden = true;
        MainWindow w;
        QVERIFY(showWindow(w));
        action(w, "actionShare")->trigger();
        QPointer<FormShare> share = w.shareWindow();
        QVERIFY(share);
        QVERIFY(!share->findChild<QWidget *>(QStringLiteral("s1_rb_current"))->isEnabled());
        share->close();
        QTRY_VERIFY(!share);
    }

    // One instruction window; a language change re-texts it; closing clears the flag.
    void instructionMenuOpensOneWindowFollowingLanguage()
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        action(w, "actionInstruction")->trigger();
        QPointer<FormFAQ> faq = w.instructionWindow();
        QVERIFY(faq);
        QVERIFY(faq->isVisible());
        QVERIFY(w.isInstructionOpen());
        QCOMPARE(faq->findChild<QLabel *>(QStringLiteral("la_title"))->text(),
                 QStringLiteral("Instruction"));
        action(w, "actionInstruction")->trigger();
        QCOMPARE(w.instructionWindow(), faq.data());

        w.setLanguage(LangGerman);
        // a long entry is shown on two lines
        QCOMPARE(faq->findChild<QPushButton *>(QStringLiteral("btn_1_1"))
                     ->text()
                     .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                 gLangFAQ.value(3));
        QVERIFY(gLangFAQ.value(3) != QLatin1String("Introduction of UI"));
        QCOMPARE(faq->imagePath(), QStringLiteral(":/image/TALVEXStyle/instruction_de.jpg"));
        QCOMPARE(faq->sectionOffset(2), 1980);
        w.setLanguage(LangEnglish);

        faq->close();
        QVERIFY(!w.isInstructionOpen());
        QTRY_VERIFY(!faq);
    }

    void aboutMenuOpensAboutWindow()
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        action(w, "actionAbout_Player")->trigger();
        QPointer<FormAbout> about = w.aboutWindow();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(about->aboutLabel()->text().contains(QLatin1String("V1.6.2_RUVIQE")));
        // the licence page names what this build is made of
        for (const char *part : {"Qt", "libmpv", "ffmpeg", "Leaflet", "OpenStreetMap"})
            QVERIFY2(about->noticeLabel()->text().contains(QLatin1String(part)), part);
        about->close();
        QTRY_VERIFY(!about);
    }
};

TALVEX_TEST_MAIN(TstMainWindowOnline)
#include "tst_mainwindowonline.moc"

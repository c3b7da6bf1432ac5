#include "appfont.h"
#include "appglobals.h"
#include "formdialog.h"
#include "formshare.h"
#include "languagetable.h"
#include "progressbar_c.h"
#include "shareprogress.h"
#include "skin.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

// Records what the dialog asks of its upload client; the test plays the client's answers.
class FakeClient : public UploadClient
{
    Q_OBJECT
public:
    struct Upload
    {
        QString path;
        QByteArray title;
        QByteArray privacy;
    };
    int authorizeCalls = 0;
    int signInCancels = 0;
    int cancels = 0;
    QList<Upload> uploads;

    void authorize() override { ++authorizeCalls; }
    void cancelAuthorization() override { ++signInCancels; }
    void startUploadingVideo(const QString &path, const QByteArray &title, const QByteArray &,
                             const QByteArray &privacy) override
    {
        uploads << Upload{path, title, privacy};
    }
    void cancelUpload() override { ++cancels; }
};

class TstFormShare : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString clip_;

    template <typename T> static T *child(FormShare &d, const char *name)
    {
        T *w = d.findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    static bool visible(FormShare &d, const char *name)
    {
        return child<QWidget>(d, name)->isVisibleTo(&d);
    }
    static void click(FormShare &d, const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(d, name), Qt::LeftButton);
    }
    static void open(FormShare &d)
    {
        d.setLanguageFont();
        d.setStyle(gStyle);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
    }
    // Page 1 with the clip as the current video and its preview drawn.
    void openWithClip(FormShare &d)
    {
        open(d);
        QSignalSpy previewed(&d, &FormShare::previewFinished);
        d.onCurrentVideoPath(clip_);
        QVERIFY(previewed.wait(30000));
        QCOMPARE(previewed.first().first().toBool(), true);
    }
    // From page 1 to page 3 with a grant in between.
    void toUploadPage(FormShare &d, FakeClient &client)
    {
        click(d, "btn_next");
        QCOMPARE(d.page(), 2);
        click(d, "s2_tbtn_youtube");
        QCOMPARE(client.authorizeCalls, 1);
        emit client.authenticated();
        click(d, "btn_next");
        QCOMPARE(d.page(), 3);
    }

    // Makes language the current one, as the main window's language change does.
    static void setLanguage(int language)
    {
        LanguageTable table;
        QVERIFY(table.load(LanguageTable::defaultPath()));
        table.applyToGlobals(language);
        gLanguage = language;
        setAppFontForLanguage(language);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        clip_ = dir_.filePath(QStringLiteral("front clip.mp4"));
        QVERIFY(TestSupport::makeClip(clip_, 3.0, QStringLiteral("320x240"), false));
    }

    void cleanup()
    {
        gDateFormat = 0;
        setLanguage(LangEnglish);
    }

    void pagesShowTheirHeadingsAndButtons_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("back");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("activeStep");
        QTest::newRow("1 choose") << 1 << "Step 1. Choose Videos" << QString() << "Next >"
                                  << "la_step1";
        QTest::newRow("2 platform") << 2 << "Step 2. Choose Platform"
                                    << "< Back" << QString() << "la_step2";
        QTest::newRow("3 uploading") << 3 << "Step 3. Upload Videos"
                                     << "<  Cancel" << QString() << "la_step3";
        QTest::newRow("4 completed") << 4 << "Step 4. Upload Completed" << QString() << "OK"
                                     << "la_step4";
    }
    void pagesShowTheirHeadingsAndButtons()
    {
        QFETCH(int, page);
        QFETCH(QString, heading);
        QFETCH(QString, back);
        QFETCH(QString, next);
        QFETCH(QString, activeStep);
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        toUploadPage(d, client);
        if (page >= 3)
            emit client.uploadProgressChanged(47185920, 104857600);
        if (page == 4)
            emit client.uploadFinished();
        else
            for (int p = 3; p > page; --p)
                click(d, "btn_back");
        QCOMPARE(child<QLabel>(d, "la_step")->text(), heading);
        QCOMPARE(visible(d, "btn_back"), !back.isEmpty());
        QCOMPARE(visible(d, "btn_next"), !next.isEmpty());
        if (!back.isEmpty())
            QCOMPARE(child<QPushButton>(d, "btn_back")->text(), back);
        if (!next.isEmpty())
            QCOMPARE(child<QPushButton>(d, "btn_next")->text(), next);
        for (const char *name : {"la_step1", "la_step2", "la_step3", "la_step4"})
            QCOMPARE(child<QLabel>(d, name)->styleSheet().contains(QLatin1String("#ffffff")),
                     activeStep == QLatin1String(name));
        const char *frame = page == 1 ? "f_step1" : page == 2 ? "f_step2" : "f_step3";
        QCOMPARE(child<QWidget>(d, frame)->geometry(), QRect(230, 130, 851, 361));
        QVERIFY(visible(d, frame));
        TestSupport::saveScreenshot(&d, QStringLiteral("share_page%1").arg(page));
        // what each page must show: the preview, the site button, the bar's fill, the result
        const QImage shot = d.grab().toImage();
        if (page == 1)
            QVERIFY(shot.pixelColor(230 + 40 + 175, 130 + 70 + 100) != QColor(Qt::black));
        if (page == 2)
            QVERIFY(shot.pixelColor(230 + 350 + 70, 130 + 20 + 90).red() > 150); // site button
        if (page >= 3) // the bar's fill, left of its middle
            QCOMPARE(shot.pixelColor(230 + 150 + 60, 130 + 150 + 20), QColor(0x35, 0x3D, 0xF4));
        if (page == 3)
            QCOMPARE(child<QLabel>(d, "s3_la_number")->text(), QStringLiteral("45MB / 100MB"));
        if (page == 4)
            QCOMPARE(child<QLabel>(d, "s3_la_progress")->text(), QStringLiteral("100%"));
    }

    void nextOnPageTwoOnlyAfterGrant()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        click(d, "btn_next");
        QCOMPARE(d.page(), 2);
        QCOMPARE(d.chosenVideoPath(), clip_);
        QVERIFY(!visible(d, "btn_next"));
        emit client.authenticated();
        QVERIFY(visible(d, "btn_next"));
        click(d, "btn_back");
        QCOMPARE(d.page(), 1);
        click(d, "btn_next");
        QVERIFY(!visible(d, "btn_next"));
        emit client.authenticated();
        QVERIFY(visible(d, "btn_next"));
    }

    void uploadCarriesPathTitleAndPrivacy_data()
    {
        QTest::addColumn<QString>("privacyButton");
        QTest::addColumn<bool>("ownTitle");
        QTest::addColumn<QByteArray>("privacy");
        QTest::newRow("public, automatic title") << "rb_public" << false << QByteArray("Public");
        QTest::newRow("private, own title") << "rb_private" << true << QByteArray("Private");
        QTest::newRow("unlisted") << "rb_unlisted" << false << QByteArray("Unlisted");
    }
    void uploadCarriesPathTitleAndPrivacy()
    {
        QFETCH(QString, privacyButton);
        QFETCH(bool, ownTitle);
        QFETCH(QByteArray, privacy);
        gDateFormat = 2;
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        click(d, "btn_next");
        emit client.authenticated();
        d.findChild<QRadioButton *>(privacyButton)->setChecked(true);
        if (ownTitle) {
            child<QRadioButton>(d, "rb_filename")->setChecked(true);
            child<QLineEdit>(d, "filename_ed")->setText(QStringLiteral("Fahrt über \"Land\""));
        }
        click(d, "btn_next");
        QCOMPARE(client.uploads.size(), 1);
        QCOMPARE(client.uploads.first().path, clip_);
        QCOMPARE(client.uploads.first().privacy, privacy);
        const QByteArray title = ownTitle
                                     ? QStringLiteral("Fahrt über \"Land\"").toUtf8()
                                     : ShareProgress::autoTitle(2, QDate::currentDate()).toUtf8();
        QCOMPARE(client.uploads.first().title, title);
    }

    void backOnUploadPageCancels()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        toUploadPage(d, client);
        QCOMPARE(client.cancels, 0);
        click(d, "btn_back");
        QCOMPARE(client.cancels, 1);
        QCOMPARE(d.page(), 2);
    }

    void progressShowsWholeMegabytesAndPercent()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        toUploadPage(d, client);
        auto *bar = child<ProgressBar_c>(d, "s3_pv_pd");
        emit client.uploadProgressChanged(100, 0); // no total yet: nothing changes
        QCOMPARE(child<QLabel>(d, "s3_la_progress")->text(), QStringLiteral("0%"));
        emit client.uploadProgressChanged(524288, 1048575);
        QCOMPARE(child<QLabel>(d, "s3_la_number")->text(), QStringLiteral("0MB / 0MB"));
        QCOMPARE(child<QLabel>(d, "s3_la_progress")->text(), QStringLiteral("50%"));
        QCOMPARE(bar->maximum(), 1048575);
        QCOMPARE(bar->value(), 524288);
        emit client.uploadProgressChanged(1048575, 1048575);
        QCOMPARE(child<QLabel>(d, "s3_la_progress")->text(), QStringLiteral("99%"));
        QCOMPARE(d.page(), 3);
        emit client.uploadFinished();
        QCOMPARE(child<QLabel>(d, "s3_la_progress")->text(), QStringLiteral("100%"));
        QCOMPARE(child<QLabel>(d, "s3_la_wait")->text(),
                 QStringLiteral("Videos Upload To Youtube Successfully."));
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(d.page(), 3);
        QSignalSpy closed(&d, &FormShare::cloesd);
        click(d, "btn_next");
        QCOMPARE(closed.size(), 1);
        QVERIFY(!d.isVisible());
    }

    void progressTexts_data()
    {
        QTest::addColumn<qint64>("sent");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("number");
        QTest::newRow("start") << qint64(0) << qint64(1000) << "0%"
                               << "0MB / 0MB";
        QTest::newRow("just under a MiB") << qint64(1048575) << qint64(1048575) << "99%"
                                          << "0MB / 0MB";
        QTest::newRow("one byte short") << qint64(999999) << qint64(1000000) << "99%"
                                        << "0MB / 0MB";
        QTest::newRow("half of 10 MiB") << qint64(5242880) << qint64(10485760) << "50%"
                                        << "5MB / 10MB";
        QTest::newRow("3 GiB, a third") << qint64(1073741824) << qint64(3221225472) << "33%"
                                        << "1024MB / 3072MB";
        QTest::newRow("6 GiB, last byte missing")
            << qint64(6442450943) << qint64(6442450944) << "99%"
            << "6143MB / 6144MB";
    }
    void progressTexts()
    {
        QFETCH(qint64, sent);
        QFETCH(qint64, total);
        QFETCH(QString, percent);
        QFETCH(QString, number);
        QCOMPARE(ShareProgress::percentText(sent, total), percent);
        QCOMPARE(ShareProgress::numberText(sent, total), number);
        // the bar keeps the share of the bytes, also beyond the range of an int
        const ShareProgress::Bar bar = ShareProgress::bar(sent, total);
        QVERIFY(bar.maximum > 0);
        QVERIFY(qAbs(double(bar.value) / bar.maximum - double(sent) / total) < 1e-6);
    }

    void autoTitleFollowsDateFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("title");
        QTest::newRow("0") << 0 << "31/12/2024 - Dashcam - TALVEX VIDEO PLAYER";
        QTest::newRow("1") << 1 << "12/31/2024 - Dashcam - TALVEX VIDEO PLAYER";
        QTest::newRow("2") << 2 << "2024/12/31 - Dashcam - TALVEX VIDEO PLAYER";
        QTest::newRow("unknown") << 3 << QString();
    }
    void autoTitleFollowsDateFormat()
    {
        QFETCH(int, format);
        QFETCH(QString, title);
        QCOMPARE(ShareProgress::autoTitle(format, QDate(2024, 12, 31)), title);
    }

    // OK of the error dialog returns to page 1; Cancel closes the share dialog.
    void uploadErrorOpensNetworkErrorDialog_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void uploadErrorOpensNetworkErrorDialog()
    {
        QFETCH(bool, ok);
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        toUploadPage(d, client);
        QSignalSpy closed(&d, &FormShare::cloesd);
        emit client.networkErrorOccur(QNetworkReply::AuthenticationRequiredError);
        QPointer<FormDialog> error = d.errorDialog();
        QVERIFY(error);
        QVERIFY(error->isVisible());
        QVERIFY(error->findChild<QWidget *>(QStringLiteral("f_networkError"))->isVisible());
        QVERIFY(error->findChild<QLabel *>(QStringLiteral("networkError_tv"))
                    ->text()
                    .contains(QStringLiteral("Error:%1")
                                  .arg(int(QNetworkReply::AuthenticationRequiredError))));
        if (ok) {
            emit error->networkErrorOkTriggered();
            QCOMPARE(d.page(), 1);
            QCOMPARE(closed.size(), 0);
            QVERIFY(visible(d, "f_step1"));
            // a second attempt needs a new grant and goes through
            click(d, "btn_next");
            QVERIFY(!visible(d, "btn_next"));
            emit client.authenticated();
            click(d, "btn_next");
            QCOMPARE(client.uploads.size(), 2);
            QCOMPARE(child<QLabel>(d, "s3_la_progress")->text(), QStringLiteral("0%"));
        } else {
            emit error->networkErrorCancelTriggered();
            QCOMPARE(closed.size(), 1);
        }
        if (error)
            error->close();
    }

    void pathFromMainWindow_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("currentEnabled");
        QTest::newRow("none open") << QString() << false;
        QTest::newRow("doubled slashes") << QStringLiteral("DOUBLE") << true;
    }
    void pathFromMainWindow()
    {
        QFETCH(QString, given);
        QFETCH(bool, currentEnabled);
        FakeClient client;
        FormShare d(nullptr, &client);
        open(d);
        QSignalSpy previewed(&d, &FormShare::previewFinished);
        if (given == QLatin1String("DOUBLE"))
            given = QString(clip_).replace(QLatin1Char('/'), QLatin1String("//"));
        d.onCurrentVideoPath(given);
        QCOMPARE(child<QRadioButton>(d, "s1_rb_current")->isEnabled(), currentEnabled);
        QCOMPARE(child<QRadioButton>(d, "s1_rb_file")->isChecked(), !currentEnabled);
        if (currentEnabled) {
            QCOMPARE(child<QLineEdit>(d, "s1_le_current")->text(), clip_);
            QVERIFY(previewed.wait(30000));
            QVERIFY(!child<QLabel>(d, "la_image_current")->pixmap(Qt::ReturnByValue).isNull());
        } else {
            click(d, "btn_next"); // nothing chosen: stays
            QCOMPARE(d.page(), 1);
        }
    }

    void otherFileGetsItsOwnPreview()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        open(d);
        d.onCurrentVideoPath(QString());
        auto *other = child<QLabel>(d, "la_image_other");
        QVERIFY(!other->isEnabled());
        QSignalSpy previewed(&d, &FormShare::previewFinished);
        QMetaObject::invokeMethod(&d, "onOpenFile",
                                  Q_ARG(QList<QUrl>, {QUrl::fromLocalFile(clip_)}));
        QVERIFY(previewed.wait(30000));
        QVERIFY(previewed.first().first().toBool());
        QVERIFY(other->isEnabled());
        QCOMPARE(other->pixmap(Qt::ReturnByValue).size(), other->size());
        QCOMPARE(child<QLineEdit>(d, "s1_le_file")->text(), clip_);
        click(d, "btn_next");
        QCOMPARE(d.chosenVideoPath(), clip_);
    }

    // A file ffmpeg cannot read shows no frame, not even the frame of an earlier preview.
    void failedPreviewShowsNothing()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        QVERIFY(d.previewPath().startsWith(QDir::tempPath()));
        const QString broken = dir_.filePath(QStringLiteral("broken.mp4"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a video");
        file.close();
        QSignalSpy previewed(&d, &FormShare::previewFinished);
        d.onCurrentVideoPath(broken);
        QVERIFY(previewed.wait(30000));
        QCOMPARE(previewed.first().first().toBool(), false);
        QVERIFY(child<QLabel>(d, "la_image_current")->pixmap(Qt::ReturnByValue).isNull());
        // Next takes the path, the file exists
        click(d, "btn_next");
        QCOMPARE(d.page(), 2);
    }

    void missingFileStaysOnFirstPage()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        open(d);
        child<QLineEdit>(d, "s1_le_current")->setText(dir_.filePath(QStringLiteral("gone.mp4")));
        click(d, "btn_next");
        QCOMPARE(d.page(), 1);
    }

    // Page 2 says the sign-in goes on in the browser until it is granted, fails or is given up
    // with Back; a failure opens the network-error page.
    void signInNoteUntilGrantFailureOrBack_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("granted") << "granted";
        QTest::newRow("failed") << "failed";
        QTest::newRow("Back") << "back";
    }
    void signInNoteUntilGrantFailureOrBack()
    {
        QFETCH(QString, end);
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        click(d, "btn_next");
        QVERIFY(!visible(d, "s2_la_signin"));
        click(d, "s2_tbtn_youtube");
        QVERIFY(visible(d, "s2_la_signin"));
        QCOMPARE(child<QLabel>(d, "s2_la_signin")->text(), gLangShareVideos.value(26));
        QVERIFY(!child<QLabel>(d, "s2_la_signin")->text().isEmpty());
        TestSupport::saveScreenshot(&d, QStringLiteral("share_page2_signing_in"));
        if (end == QLatin1String("granted")) {
            emit client.authenticated();
            QVERIFY(visible(d, "btn_next"));
        } else if (end == QLatin1String("failed")) {
            emit client.authorizationFailed();
            QPointer<FormDialog> error = d.errorDialog();
            QVERIFY(error);
            QVERIFY(error->findChild<QWidget *>(QStringLiteral("f_networkError"))->isVisible());
            error->close();
        } else {
            click(d, "btn_back");
            QCOMPARE(d.page(), 1);
            QCOMPARE(client.signInCancels, 1);
        }
        QVERIFY(!visible(d, "s2_la_signin"));
        QCOMPARE(client.signInCancels, end == QLatin1String("back") ? 1 : 0);
    }

    // A video that changed while it was sent: the error dialog says so, whole, in every
    // language, in place of the connection hint and the code; its OK returns to page 1.
    void changedVideoOpensErrorDialog_data()
    {
        QTest::addColumn<int>("language");
        for (int language = 0; language < LanguageCount; ++language)
            QTest::addRow("language %d", language) << language;
    }
    void changedVideoOpensErrorDialog()
    {
        QFETCH(int, language);
        setLanguage(language);
        FakeClient client;
        FormShare d(nullptr, &client);
        open(d);
        d.onCurrentVideoPath(clip_);
        toUploadPage(d, client);
        emit client.videoFileChanged();
        QPointer<FormDialog> error = d.errorDialog();
        QVERIFY(error);
        QVERIFY(error->findChild<QWidget *>(QStringLiteral("f_networkError"))->isVisible());
        auto *text = error->findChild<QLabel *>(QStringLiteral("networkError_tv"));
        QCOMPARE(text->text(), formatMultilineText(gLangShareVideos.value(28) + QLatin1Char('\n') +
                                                   gLangEditDialog.value(24) + QLatin1Char('\n') +
                                                   gLangEditDialog.value(25)));
        QVERIFY(!gLangShareVideos.value(28).isEmpty());
        QVERIFY2(text->heightForWidth(text->width()) <= text->height(), qPrintable(text->text()));
        if (language == LangEnglish)
            TestSupport::saveScreenshot(error, QStringLiteral("share-video-changed"));
        QTest::mouseClick(error->findChild<QPushButton *>(QStringLiteral("networkError_btn_ok")),
                          Qt::LeftButton);
        QCOMPARE(d.page(), 1);
        QTRY_VERIFY(!error || !error->isVisible());
    }

    void closeCancelsTheUpload()
    {
        FakeClient client;
        FormShare d(nullptr, &client);
        openWithClip(d);
        toUploadPage(d, client);
        QSignalSpy closed(&d, &FormShare::cloesd);
        click(d, "btn_close");
        QCOMPARE(client.cancels, 1);
        QCOMPARE(client.signInCancels, 1);
        QCOMPARE(closed.size(), 1);
    }
};

TALVEX_TEST_MAIN(TstFormShare)
#include "tst_formshare.moc"

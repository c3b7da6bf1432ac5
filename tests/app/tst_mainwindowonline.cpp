#include "appglobals.h"
#include "appsettings.h"
#include "dashcam.h"
#include "formabout.h"
#include "formdialog.h"
#include "formfaq.h"
#include "formshare.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "testsupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

// The sharing, instruction and About windows reached through the main window's menus.
using MainWindowTest::action;

class TstMainWindowOnline : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;

    static void showWindow(MainWindow &w)
    {
        w.resize(1600, 860);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(TestSupport::makeClip(clip_, 3, QStringLiteral("320x240"), false));
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }
    void init() { QFile::remove(AppSettings::infoFilePath()); }
    void cleanup() { gSupportPromptHidden = false; }

    // Share in dual view goes through the support prompt; the share window gets the playing
    // file. No window grabs the keyboard.
    void shareMenuOpensShareWindowWithPlayingFile()
    {
        MainWindow w;
        showWindow(w);
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
        showWindow(w);
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
        showWindow(w);
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
        QCOMPARE(faq->findChild<QPushButton *>(QStringLiteral("btn_1_1"))->text(),
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
        showWindow(w);
        action(w, "actionAbout_Player")->trigger();
        QPointer<FormAbout> about = w.aboutWindow();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(about->aboutLabel()->text().contains(QLatin1String("V1.6.2_RUVIQE")));
        about->close();
        QTRY_VERIFY(!about);
    }
};

TALVEX_TEST_MAIN(TstMainWindowOnline)
#include "tst_mainwindowonline.moc"

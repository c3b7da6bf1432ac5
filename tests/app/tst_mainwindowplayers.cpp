#include "appglobals.h"
#include "dashcam.h"
#include "formcontrol.h"
#include "formlist.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "settingkeys.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

class TstMainWindowPlayers : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString front_;
    QString rear_;

    static bool waitForPosition(Dashcam *dashcam, qint64 atLeastMs)
    {
        QSignalSpy ticks(dashcam, &Dashcam::positionChanged);
        for (int i = 0; i < 50; ++i) {
            if (dashcam->positionMs() >= atLeastMs)
                return true;
            ticks.wait(200);
        }
        return false;
    }

    static QWidget *preview(Dashcam *dashcam) { return dashcam->getVideoWidget()->parentWidget(); }

    // Shows the window at the screenshot size with both cameras shown and the keyboard free.
    static void showDual(MainWindow &w)
    {
        QVERIFY(MainWindowTest::showWindow(w));
        if (gDisplayMode != 1)
            w.onDisplayModeChange();
    }

    // Opens the front file in the main player and its partner in the second, as the list does.
    void openPair(MainWindow &w)
    {
        QSignalSpy partner(w.mainDashcam(), &Dashcam::subMediaTriggerd);
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(front_)});
        QVERIFY(partner.count() == 1 || partner.wait(10000));
        w.secondDashcam()->setMedia2(partner.first().first().toUrl());
        QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(w.secondDashcam()->durationMs() > 0, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        front_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
        rear_ = dir_.filePath(QStringLiteral("20261207101500_R.mp4"));
        QVERIFY(TestSupport::makeClip(front_, 6, QStringLiteral("640x360")));
        QVERIFY(TestSupport::runFfmpeg(
            {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
             QStringLiteral("smptebars=size=480x270:rate=25:duration=6"), QStringLiteral("-c:v"),
             QStringLiteral("libx264"), QStringLiteral("-preset"), QStringLiteral("ultrafast"),
             QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), rear_}));
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

    void playBarDrivesBothPlayersInStep()
    {
        MainWindow w;
        showDual(w);
        openPair(w);
        QVERIFY(preview(w.mainDashcam())->isVisible());
        QTRY_VERIFY(preview(w.secondDashcam())->isVisible());

        emit w.control()->playPauseClicked();
        QVERIFY(waitForPosition(w.mainDashcam(), 1000));
        QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->playStatus(), PlayingState, 5000);

        emit w.control()->playPauseClicked();
        QTRY_COMPARE(w.mainDashcam()->playStatus(), PausedState);
        QTRY_COMPARE_WITH_TIMEOUT(w.secondDashcam()->playStatus(), PausedState, 5000);

        emit w.control()->positionSliderMoved(300); // 3 s
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.mainDashcam()->positionMs() - 3000) <= 40, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(w.secondDashcam()->positionMs() - 3000) <= 40, 5000);
    }

    void unopenableFileIsNamedAndReleasesThePlayer_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty file") << "empty";
        QTest::newRow("truncated clip") << "truncated";
        QTest::newRow("text renamed .mp4") << "text";
    }
    void unopenableFileIsNamedAndReleasesThePlayer()
    {
        QFETCH(QString, kind);
        const QString bad = dir_.filePath(QStringLiteral("broken_%1.mp4").arg(kind));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("truncated")) {
            QFile clip(front_);
            QVERIFY(clip.open(QIODevice::ReadOnly));
            file.write(clip.read(clip.size() / 3)); // the index at the end is lost
        } else if (kind == QLatin1String("text")) {
            file.write("a shopping list, not a video\n");
        }
        file.close();

        MainWindow w;
        w.resize(1600, 860);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Dashcam *main = w.mainDashcam();
        w.onOpenFile_L({QUrl::fromLocalFile(front_)});
        QTRY_COMPARE_WITH_TIMEOUT(w.formList()->rowCount(), 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(main->durationMs() > 0, 10000);
        emit w.control()->positionSliderMoved(200);
        QTRY_VERIFY_WITH_TIMEOUT(main->positionMs() >= 1900, 5000);
        auto *time = w.control()->findChild<QLabel *>(QStringLiteral("labelTime"));
        QVERIFY(time);
        QTRY_VERIFY(time->text() != QStringLiteral("00:00 / 00:00"));

        w.onOpenFile_L({QUrl::fromLocalFile(bad)});
        QTRY_VERIFY_WITH_TIMEOUT(w.noticeBox() && w.noticeBox()->isVisible(), 10000);
        QVERIFY2(w.noticeBox()->text().contains(QFileInfo(bad).fileName()),
                 qPrintable(w.noticeBox()->text()));
        QTRY_VERIFY(!preview(main)->isVisible());
        QCOMPARE(main->getMediaPath(), QString());
        QCOMPARE(time->text(), QStringLiteral("00:00 / 00:00"));
        QCOMPARE(w.formList()->table()->item(0, 0)->text(), QString()); // no "now playing" mark
        QCOMPARE(w.formList()->rowCount(), 1); // no row for the broken file

        // the list keeps working while the notice is shown
        QTableWidget *table = w.formList()->table();
        const int row = w.formList()->findRowByPath(front_);
        const QPoint at = table->visualRect(table->model()->index(row, 1)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE_WITH_TIMEOUT(main->getMediaPath(), front_, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(preview(main)->isVisible(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(main->playStatus(), PlayingState, 10000);
        QVERIFY(time->text() != QStringLiteral("00:00 / 00:00"));
    }

    void brokenFileGivesWayToTheNextOfTheSameAdd()
    {
        const QString bad = dir_.filePath(QStringLiteral("notes.mp4"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a shopping list, not a video\n");
        file.close();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.onOpenFile_L({QUrl::fromLocalFile(bad), QUrl::fromLocalFile(front_)});
        QTRY_VERIFY_WITH_TIMEOUT(w.noticeBox() && w.noticeBox()->isVisible(), 10000);
        QVERIFY(w.noticeBox()->text().contains(QStringLiteral("notes.mp4")));
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), front_, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w.formList()->rowCount(), 1, 10000);
        QCOMPARE(w.formList()->filePath(0), front_);
        QTRY_VERIFY_WITH_TIMEOUT(preview(w.mainDashcam())->isVisible(), 10000);
    }

    void spaceAndArrowKeysControlThePlayer()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w); // the player keys act in the active window
        openPair(w);
        const qint64 start = w.mainDashcam()->positionMs();
        QTest::keyClick(&w, Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->positionMs() > start, 5000);
        QTest::keyClick(&w, Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->playStatus(), PlayingState, 5000);
        QTest::keyClick(&w, Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->playStatus(), PausedState, 5000);
    }

    void playBarVolumeAndMuteReachThePlayer()
    {
        MainWindow w;
        QVERIFY(MainWindowTest::showWindow(w));
        openPair(w);
        Dashcam *main = w.mainDashcam();
        auto *volume = w.control()->findChild<QSlider *>(QStringLiteral("sliderVolume"));
        auto *mute = w.control()->findChild<QToolButton *>(QStringLiteral("btnMute"));
        QVERIFY(volume && volume->isVisible() && mute && mute->isVisible());
        QCOMPARE(main->volume(), volume->value());

        // a click at a quarter of the groove moves the handle there
        QTest::mouseClick(volume, Qt::LeftButton, {},
                          QPoint(volume->width() / 4, volume->height() / 2));
        QVERIFY(volume->value() > 0 && volume->value() < 50);
        QCOMPARE(main->volume(), volume->value());

        QTest::mouseClick(mute, Qt::LeftButton);
        QVERIFY(main->isMuted());
        QTest::mouseClick(mute, Qt::LeftButton);
        QVERIFY(!main->isMuted());
    }

    void displayModesPlaceTheViews()
    {
        MainWindow w;
        showDual(w);
        openPair(w);
        QWidget *mainView = preview(w.mainDashcam());
        QWidget *secondView = preview(w.secondDashcam());
        QTRY_VERIFY(secondView->isVisible());
        QCOMPARE(mainView->width(), secondView->width() + (mainView->parentWidget()->width() % 2));
        TestSupport::saveScreenshot(&w, QStringLiteral("players-side-by-side"));

        w.onPipModeChange();
        QVERIFY(w.isPipMode());
        w.setLocation(6); // right_top
        QVERIFY(secondView->width() < mainView->width() / 2);
        QVERIFY(secondView->x() > mainView->width() / 2);
        QVERIFY(secondView->y() < mainView->height() / 2);
        TestSupport::saveScreenshot(&w, QStringLiteral("players-picture-in-picture"));

        w.onPIPChange();
        QVERIFY(mainView->width() < secondView->width() / 2);
        w.onPIPChange();
        w.onPipModeChange();

        w.onViewSliderCheanged(OP_Edit);
        QCOMPARE(w.control()->opMode(), OP_Edit);
        TestSupport::saveScreenshot(&w, QStringLiteral("players-edit-mode"));
        w.onViewSliderCheanged(OP_Play);

        w.onDisplayModeChange();
        QVERIFY(!secondView->isVisible());
        w.onDisplayModeChange();
    }

    void snapshotWritesBothCameras()
    {
        MainWindow w;
        showDual(w);
        openPair(w);
        QTRY_VERIFY(preview(w.secondDashcam())->isVisible());
        w.onSnapshot();
        const QDir snapshots(QDir::current().filePath(QStringLiteral("Snapshot")));
        QTRY_COMPARE_WITH_TIMEOUT(snapshots.entryList({QStringLiteral("*-1.jpg")}).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(snapshots.entryList({QStringLiteral("*-2.jpg")}).size(), 1, 5000);
        // Each camera's own picture at its own size: testsrc starts with a black bar, the
        // rear's colour bars with a grey one.
        const auto snapshot = [&](const char *suffix) {
            return QImage(snapshots.filePath(
                snapshots.entryList({QStringLiteral("*") + QLatin1String(suffix)}).value(0)));
        };
        QImage front;
        QImage rear;
        QTRY_VERIFY(!(front = snapshot("-1.jpg")).isNull() &&
                    !(rear = snapshot("-2.jpg")).isNull());
        QCOMPARE(front.size(), QSize(640, 360));
        QCOMPARE(rear.size(), QSize(480, 270));
        QVERIFY(TestSupport::isNear(front.pixelColor(20, 20), Qt::black));
        QVERIFY(TestSupport::isNear(rear.pixelColor(20, 20), QColor(192, 192, 192)));
    }
};

TALVEX_TEST_MAIN(TstMainWindowPlayers)
#include "tst_mainwindowplayers.moc"

// The player area with both camera previews playing, in a real window.
#include "dashcam.h"
#include "formdashcampreview.h"
#include "formplayer.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QFrame>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TstFormPlayer : public QObject
{
    Q_OBJECT
private slots:
    void backImageFollowsMode_data();
    void backImageFollowsMode();
    void bothPreviewsPlay();
};

void TstFormPlayer::backImageFollowsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("image");
    QTest::newRow("play") << 0 << "player_back_play";
    QTest::newRow("edit") << 1 << "player_back_edit";
    QTest::newRow("other values play") << 7 << "player_back_play";
}

void TstFormPlayer::backImageFollowsMode()
{
    QFETCH(int, mode);
    QFETCH(QString, image);
    FormPlayer player;
    player.setPlayerBackImage(1 - qMin(mode, 1)); // start from the other image
    player.setPlayerBackImage(mode);
    const auto *back = player.findChild<QFrame *>(QStringLiteral("framePlayerBack"));
    QVERIFY(back);
    QVERIFY(back->styleSheet().contains(image));
}

void TstFormPlayer::bothPreviewsPlay()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::makeClip(dir.filePath("0001_F.mp4"), 3.0));
    QVERIFY(TestSupport::makeClip(dir.filePath("0001_R.mp4"), 3.0, QStringLiteral("320x240"), true,
                                  30));
    FormPlayer player;
    auto *mainPreview = new FormDashcamPreview;
    auto *secondPreview = new FormDashcamPreview;
    player.setPreviews(mainPreview, secondPreview);
    player.resize(660, 260);
    player.show();
    QVERIFY(QTest::qWaitForWindowExposed(&player));
    QSignalSpy partner(mainPreview->getDashcam(), &Dashcam::subMediaTriggerd);
    mainPreview->getDashcam()->hasAutoPlaySignal();
    mainPreview->getDashcam()->setMedia({QUrl::fromLocalFile(dir.filePath("0001_F.mp4"))});
    QVERIFY(partner.wait(10000));
    secondPreview->getDashcam()->hasAutoPlaySignal();
    secondPreview->getDashcam()->setMedia2(partner.first().first().toUrl());
    QTRY_VERIFY_WITH_TIMEOUT(secondPreview->getDashcam()->positionMs() > 1000, 10000);
    QTest::qWait(100); // the current frames reach both views
    TestSupport::saveScreenshot(&player, QStringLiteral("formplayer_two_cameras"));
    QCOMPARE(secondPreview->getDashcam()->getMediaPath(), dir.filePath("0001_R.mp4"));
}

TALVEX_TEST_MAIN(TstFormPlayer)
#include "tst_formplayer.moc"

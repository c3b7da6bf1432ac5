// End to end: a clip whose GPS trailer has damaged records is added through the play list and
// played; its damaged seconds are no positions: the map bridges them, the panel shows none.
#include "dashcam.h"
#include "formcontrol.h"
#include "formlist.h"
#include "formmap.h"
#include "formshowdata.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "mappagestate.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <memory>

namespace {

using namespace MainWindowTest;
constexpr int clipSeconds = 14;
constexpr int firstDamaged = 5;
constexpr int lastDamaged = 10;
constexpr double startLatitude = 25.0330;

// Export trailer of a drive north-east; records 5 to 10 keep their tag and time but their
// position fields are garbage: a latitude that is no number, then bytes of no meaning at all.
QByteArray damagedTrailer()
{
    return gpsTrailer(clipSeconds, [](int i) {
        QByteArray lat = 'N' + QByteArray::number(startLatitude + i * 0.0002, 'f', 6);
        QByteArray lon = 'E' + QByteArray::number(121.5645 + i * 0.0001, 'f', 6);
        if (i >= firstDamaged && i <= lastDamaged) {
            lat = i % 2 ? QByteArray("N#~?garbage%&!") : QByteArray(14, '\x8f');
            if (i > 7)
                lon = QByteArray("\x01\x02\xfe\xff  --..,,;;!!", 14);
        }
        return std::make_pair(lat, lon);
    });
}

} // namespace

class TstMainWindowGpsGaps : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    std::unique_ptr<MapPageTest::RequestRecorder> requests_; // keeps map tiles off the network

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // the settings file stays in the test folder
        clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(makeClipWithTrailer(clip_, clipSeconds, damagedTrailer()));
        requests_ = std::make_unique<MapPageTest::RequestRecorder>();
    }

    void cleanupTestCase()
    {
        requests_.reset();
        QDir::setCurrent(oldCwd_);
    }

    void damagedRecordsAreNoPositions()
    {
        MainWindow w;
        QVERIFY(showWindow(w, QSize(1600, 900)));
        FormMap *map = w.formMap();
        if (!map->isPageLoaded()) {
            QSignalSpy loaded(map->webView(), &QWebEngineView::loadFinished);
            QVERIFY(loaded.wait(30000));
        }
        QSignalSpy distance(map, &FormMap::distanceTotalLengthTrigger);
        addThroughChooser(w, clip_);
        QTRY_COMPARE_WITH_TIMEOUT(distance.count(), 1, 10000);
        // thirteen steps of about 24 m, the damaged ones bridged: no trip to the equator
        const double metres = distance.first().at(0).toDouble();
        QVERIFY2(metres > 100 && metres < 400, QByteArray::number(metres));

        const QJsonArray track =
            MapPageTest::state(map->webView()->page()).value("track").toArray();
        QCOMPARE(track.size(), clipSeconds);
        const double beforeGap = track.at(firstDamaged - 1).toArray().at(0).toDouble();
        for (int i = 0; i < clipSeconds; ++i) {
            const double lat = track.at(i).toArray().at(0).toDouble();
            QVERIFY2(qAbs(lat - startLatitude) < 0.01, qPrintable(QString::number(i)));
            if (i >= firstDamaged && i <= lastDamaged)
                QCOMPARE(lat, beforeGap);
        }

        // played into the damaged seconds, the panel shows no position and no heading
        if (w.mainDashcam()->playStatus() != PlayingState)
            emit w.control()->playPauseClicked();
        QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->positionMs() >= 2000, 10000);
        emit w.control()->playPauseClicked();
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->playStatus(), PausedState, 5000);
        w.mainDashcam()->setPositionMs(6500);
        FormShowData *panel = w.showData();
        QTRY_COMPARE_WITH_TIMEOUT(panel->timeText(), QStringLiteral("10:15:06  07/12/2026"), 5000);
        QCOMPARE(panel->latitudeText(), QStringLiteral("-"));
        QCOMPARE(panel->longitudeText(), QStringLiteral("-"));
        QCOMPARE(panel->compassText(), QStringLiteral("-"));
        TestSupport::saveScreenshot(&w, QStringLiteral("mainwindow_damaged_gps"));

        // the seconds after the gap show their positions again
        w.mainDashcam()->setPositionMs(12500);
        QTRY_COMPARE_WITH_TIMEOUT(panel->timeText(), QStringLiteral("10:15:12  07/12/2026"), 5000);
        QVERIFY(panel->latitudeText().startsWith(QStringLiteral("N25\u00b0")));
        QVERIFY(panel->compassText().startsWith(QStringLiteral("NE")));
        const QJsonObject arrow =
            MapPageTest::state(map->webView()->page()).value("symbol").toObject();
        QVERIFY(qAbs(arrow.value("lat").toDouble() - startLatitude) < 0.01);
    }
};

TALVEX_TEST_MAIN(TstMainWindowGpsGaps)
#include "tst_mainwindowgpsgaps.moc"

// End to end: a clip whose GPS trailer has damaged records is added through the play list and
// played; its damaged seconds are no positions: the map bridges them, the panel shows none.
#include "appglobals.h"
#include "choosertest.h"
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
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <memory>

namespace {

using namespace MainWindowTest;
constexpr int clipSeconds = 14;
constexpr int firstDamaged = 5;
constexpr int lastDamaged = 10;
constexpr double startLatitude = 25.0330;

QByteArray field(const QByteArray &text)
{
    return text.leftJustified(14, '0');
}

// Export trailer of a drive north-east; records 5 to 10 keep their tag and time but their
// position fields are garbage: a latitude that is no number, then bytes of no meaning at all.
QByteArray damagedTrailer()
{
    QByteArray bytes(22, 'C');
    for (int i = 0; i < clipSeconds; ++i) {
        const QByteArray time = QDateTime(QDate(2026, 12, 7), QTime(10, 15, i))
                                    .toString(QStringLiteral("yyyyMMddhhmmss"))
                                    .toLatin1();
        QByteArray lat = field('N' + QByteArray::number(startLatitude + i * 0.0002, 'f', 6));
        QByteArray lon = field('E' + QByteArray::number(121.5645 + i * 0.0001, 'f', 6));
        if (i >= firstDamaged && i <= lastDamaged) {
            lat = i % 2 ? QByteArray("N#~?garbage%&!") : QByteArray(14, '\x8f');
            if (i > 7)
                lon = QByteArray("\x01\x02\xfe\xff  --..,,;;!!", 14);
        }
        bytes += "GPSDATA--" + time + lat + lon;
        for (double value : {40.0, 0.0, 0.0, 0.0, 1.0})
            bytes += QByteArray::number(value, 'f', 12).left(14);
    }
    return bytes + "fmt....NOVATEK.....?inf....trim....?";
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

    // Adds the clip through the list's Add button and the chooser, which opens in its folder.
    void addClip(MainWindow &w)
    {
        gFileDialogPath = QFileInfo(clip_).path();
        QTest::mouseClick(w.formList()->addButton(), Qt::LeftButton);
        QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
        QVERIFY(chooser);
        auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
        const QString name = QFileInfo(clip_).fileName();
        QTRY_VERIFY(!files->findItems(name, Qt::MatchExactly).isEmpty());
        QTableWidgetItem *item = files->findItems(name, Qt::MatchExactly).first();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::NoModifier,
                          files->visualItemRect(item).center());
        QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("open_btn")),
                          Qt::LeftButton);
        QTRY_VERIFY(!chooser);
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), clip_, 15000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // the settings file stays in the test folder
        clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(TestSupport::makeClip(clip_, clipSeconds, QStringLiteral("640x360")));
        QFile file(clip_);
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write(damagedTrailer()) > 0);
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
        addClip(w);
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

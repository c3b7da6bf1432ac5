// End to end: the trip-data band of the real main window follows a clip with a GPS trailer.
#include "appglobals.h"
#include "dashcam.h"
#include "formchart.h"
#include "formcontrol.h"
#include "formgsensorview.h"
#include "formmap.h"
#include "formshowdata.h"
#include "formspeedstyle.h"
#include "gpstrailer.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "mappagestate.h"
#include "speedstyle.h"
#include "testsupport.h"
#include "tripdatatexts.h"
#include "videowidget.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtCharts/QLineSeries>

#include <memory>

#include <cmath>

class TstTripBand : public QObject
{
    Q_OBJECT
private:
    static constexpr int seconds = 6;
    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    std::unique_ptr<MapPageTest::RequestRecorder> requests_; // keeps map tiles off the network

    // Distinct samples: 10, 20, ... km/h, a moving position, sine G values.
    static QVector<VideoInfo_t> makeSamples()
    {
        QVector<VideoInfo_t> samples;
        for (int i = 0; i < seconds; ++i) {
            VideoInfo_t s;
            s.recordTime = QString::number(i);
            s.clockTime = QTime(9, 30, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss")) +
                          QStringLiteral("  07/12/2026");
            s.lat = 25.03 + i * 0.001;
            s.lon = 121.56 + i * 0.001;
            // the trailer keeps the hemisphere letter and the decimal text
            s.latText = QStringLiteral("N");
            s.latDecimalText = QString::number(s.lat, 'f', 6);
            s.lonText = QStringLiteral("E");
            s.lonDecimalText = QString::number(s.lon, 'f', 6);
            s.speedKmh = 10.0 * (i + 1);
            s.speedMph = s.speedKmh / 1.609344;
            s.gX = float(0.8 * std::sin(i));
            s.gY = float(0.5 * std::cos(i));
            s.gZ = -0.25f;
            samples.append(s);
        }
        return samples;
    }

    // The window at the screenshot size, keyboard free, with the clip open and its samples kept.
    struct Session
    {
        MainWindow w;
        QVector<VideoInfo_t> samples;
        explicit Session(const QString &clip)
        {
            w.resize(1600, 900);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.releaseKeyboard();
            QObject::connect(w.mainDashcam(), &Dashcam::MediaChanged, &w,
                             [this](QVector<VideoInfo_t> &s) { samples = s; });
            w.mainDashcam()->setMedia({QUrl::fromLocalFile(clip)});
            QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
            QCOMPARE(samples.size(), seconds);
            QTRY_COMPARE(w.chart()->series(0)->count(), seconds);
        }
        // Plays with the play bar's button until the player has reached atLeastMs and moved on
        // from its last report of the position, then pauses with it.
        void playTo(qint64 atLeastMs)
        {
            Dashcam *player = w.mainDashcam();
            QSignalSpy reports(player, &Dashcam::positionChanged);
            auto *play = w.control()->findChild<QAbstractButton *>(QStringLiteral("btnPlay"));
            QTest::mouseClick(play, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!reports.isEmpty() && player->positionMs() >= atLeastMs &&
                                         player->positionMs() > reports.last().first().toLongLong(),
                                     10000);
            QTest::mouseClick(play, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(player->playStatus(), PausedState, 5000);
        }
    };

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        requests_ = std::make_unique<MapPageTest::RequestRecorder>();
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        clip_ = dir_.filePath(QStringLiteral("20261207093000_F.mp4"));
        QVERIFY(MainWindowTest::makeClipWithTrailer(
            clip_, seconds, GpsTrailer::cutTrailer(makeSamples(), CutSpan{0, seconds})));
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(oldCwd_);
        QCOMPARE(requests_->foreignRequests(), QStringList());
    }
    void init() { gDateFormat = 0; }

    void panelAndChartFollowPlayback()
    {
        Session s(clip_);
        QSignalSpy ticks(s.w.mainDashcam(), &Dashcam::infoChanged);
        s.playTo(2500);
        QVERIFY(!ticks.isEmpty());
        const auto shown = qvariant_cast<VideoInfo_t>(ticks.last().at(0));
        QVERIFY(ticks.last().at(1).toBool());
        const int second = int(s.w.mainDashcam()->positionMs() / 1000);
        QCOMPARE(shown.speedKmh, s.samples[second].speedKmh);
        FormShowData *panel = s.w.showData();
        QCOMPARE(panel->timeText(), s.samples[second].clockTime);
        QCOMPARE(panel->latitudeText(), s.samples[second].latText);
        QCOMPARE(panel->longitudeText(), s.samples[second].lonText);
        QCOMPARE(panel->currentSpeedLabel()->text(), QString::number(10 * (second + 1)));
        QCOMPARE(panel->averageText(), QStringLiteral("35.0 kmh"));
        QCOMPARE(panel->maximumText(), QStringLiteral("60.0 kmh"));
        QCOMPARE(panel->gsensorView()->valueText(2), QStringLiteral("-0.25"));
        // the speeds shown before were those of the earlier seconds
        QStringList speeds;
        for (const QList<QVariant> &tick : ticks)
            speeds << QString::number(qvariant_cast<VideoInfo_t>(tick.at(0)).speedKmh);
        QVERIFY(speeds.contains(QStringLiteral("10")) || speeds.contains(QStringLiteral("20")));
        QVERIFY(speeds.contains(QStringLiteral("30")));
        // the gauge heads for the current speed, the chart's cursor for the position
        QTRY_VERIFY(!panel->gauge()->animation().isRunning());
        QVERIFY(qAbs(panel->gauge()->animation().current() -
                     TripData::needleTarget(10.0 * (second + 1))) < 1);
        QTRY_COMPARE(s.w.chart()->slider()->value(), int(s.w.mainDashcam()->positionMs() / 10));
        QCOMPARE(s.w.chart()->slider()->maximum(), int(s.w.mainDashcam()->durationMs() / 10));
        // the map's track length reaches the panel: five steps of about 150 m
        QTRY_VERIFY_WITH_TIMEOUT(panel->distance() > 600 && panel->distance() < 900, 10000);
    }

    void draggingTheChartSeeks()
    {
        Session s(clip_);
        QSlider *slider = s.w.chart()->slider();
        QVERIFY(slider->isVisible());
        const QPoint from(slider->width() / 5, slider->height() / 2);
        const QPoint to(slider->width() * 3 / 4, slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, {}, from);
        QMouseEvent drag(QEvent::MouseMove, to, slider->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &drag);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
        const qint64 target = qint64(slider->value()) * 10;
        QVERIFY(qAbs(target - s.w.mainDashcam()->durationMs() * 3 / 4) < 300);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(s.w.mainDashcam()->positionMs() - target) <= 40, 5000);
        // the seek's landing shows its second on the panel
        QTRY_COMPARE(s.w.showData()->timeText(), s.samples[int(target / 1000)].clockTime);
    }

    void speedUnitMenuChangesThePanelAtOnce()
    {
        Session s(clip_);
        s.playTo(1500);
        auto *mph = s.w.findChild<QAction *>(QStringLiteral("actionSpeed_mph"));
        auto *kmh = s.w.findChild<QAction *>(QStringLiteral("actionSpeed_kmh"));
        kmh->trigger();
        FormShowData *panel = s.w.showData();
        const int second = int(s.w.mainDashcam()->positionMs() / 1000);
        const QString kmhText = panel->currentSpeedLabel()->text();
        QCOMPARE(kmhText, QString::number(10 * (second + 1)));

        mph->trigger(); // no tick runs while paused: the panel changes on the spot
        QCOMPARE(currentSpeedUnit(), int(SpeedMph));
        QCOMPARE(panel->unitLabel()->text(), QStringLiteral("mph"));
        QCOMPARE(panel->currentSpeedLabel()->text(),
                 TripData::currentSpeedText(s.samples[second].speedMph));
        QVERIFY(panel->averageText().endsWith(QLatin1String(" mph")));
        QCOMPARE(panel->maximumText(), TripData::summaryText(float(60 / 1.609344), SpeedMph));

        kmh->trigger();
        QCOMPARE(panel->currentSpeedLabel()->text(), kmhText);
        QCOMPARE(panel->maximumText(), QStringLiteral("60.0 kmh"));
    }

    void languageReachesTheCaptions()
    {
        MainWindow w;
        auto *caption = w.showData()->findChild<QLabel *>(QStringLiteral("label_time_tv"));
        QCOMPARE(caption->text(), QStringLiteral("Time"));
        w.setLanguage(LangGerman);
        QCOMPARE(caption->text(), gLangShowData.value(4));
        QVERIFY(caption->text() != QLatin1String("Time"));
        w.setLanguage(LangEnglish);
        QCOMPARE(caption->text(), QStringLiteral("Time"));
    }

    void clipEndClearsThePanel()
    {
        Session s(clip_);
        QSignalSpy stops(&s.w, &MainWindow::onPlayerStopChanged);
        s.w.mainDashcam()->setPositionMs(4500);
        emit s.w.control()->playPauseClicked();
        QTRY_COMPARE_WITH_TIMEOUT(s.w.mainDashcam()->playStatus(), StoppedState, 10000);
        QVERIFY(!stops.isEmpty());
        QVERIFY(!stops.last().at(1).toBool());
        QVERIFY(qvariant_cast<VideoInfo_t>(stops.last().at(0)).clockTime.isEmpty());
        FormShowData *panel = s.w.showData();
        QCOMPARE(panel->timeText(), QString());
        QCOMPARE(panel->latitudeText(), QStringLiteral("-"));
        QCOMPARE(panel->currentSpeedLabel()->text(), QStringLiteral("-"));
        QCOMPARE(panel->gsensorView()->valueText(0), QStringLiteral("-"));
        // the plot stays while its file is open
        QCOMPARE(s.w.chart()->series(0)->count(), seconds);
    }

    void mainWindowScreenshot()
    {
        Session s(clip_);
        FormMap *map = s.w.formMap();
        if (!map->isPageLoaded()) {
            QSignalSpy loaded(map->webView(), &QWebEngineView::loadFinished);
            QVERIFY(loaded.wait(30000));
        }
        QTRY_COMPARE_WITH_TIMEOUT(
            MapPageTest::state(map->webView()->page()).value("track").toArray().size(), seconds,
            10000);
        s.playTo(3200);
        QTRY_VERIFY(!s.w.showData()->gauge()->animation().isRunning());
        // the page paints in its own time: wait for the red track in the map
        const QRect mapArea(map->mapTo(&s.w, QPoint(0, 0)), map->size());
        const auto showsTrack = [&](const QImage &grab) {
            int red = 0;
            for (int y = mapArea.top(); y < mapArea.bottom(); y += 2)
                for (int x = mapArea.left(); x < mapArea.right(); x += 2) {
                    const QColor c = grab.pixelColor(x, y);
                    red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
                }
            return red > 10;
        };
        QVERIFY(showsTrack(MapPageTest::grabShowing(&s.w, showsTrack)));
        TestSupport::saveScreenshot(&s.w, QStringLiteral("band-main-window"));
        // the band lies under the video, as wide as it, and shows the gauge's sweep
        QWidget *band = s.w.showData();
        QWidget *video = s.w.mainDashcam()->getVideoWidget();
        QVERIFY(band->isVisible());
        QVERIFY(band->mapTo(&s.w, QPoint(0, 0)).y() >
                video->mapTo(&s.w, QPoint(0, 0)).y() + video->height() - 1);
        const QImage image = s.w.grab().toImage();
        FormSpeedStyle *gauge = s.w.showData()->gauge();
        const double side = gauge->layer(0)->imageSize().width();
        const QPoint left =
            gauge->mapTo(&s.w, QPoint(int(side / 2 - side * 177 / 400), int(side / 2)));
        const QColor sweep = image.pixelColor(left);
        QVERIFY2(sweep.blue() > 150 && sweep.blue() > sweep.red() + 60, qPrintable(sweep.name()));
    }
};

TALVEX_TEST_MAIN(TstTripBand)
#include "tst_tripband.moc"

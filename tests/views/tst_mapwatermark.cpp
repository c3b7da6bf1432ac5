#include "mapwatermark.h"
#include "overlaygeometry.h"
#include "overlaysamples.h"
#include "testsupport.h"

#include <QApplication>
#include <QImage>

using OverlaySamples::sample;

namespace {

DrawInfo_t boundsOf(const QVector<VideoInfo_t> &samples)
{
    DrawInfo_t b{samples.first().lon, samples.first().lon, samples.first().lat,
                 samples.first().lat};
    for (const VideoInfo_t &vi : samples) {
        b.maxX = std::max(b.maxX, vi.lon);
        b.minX = std::min(b.minX, vi.lon);
        b.maxY = std::max(b.maxY, vi.lat);
        b.minY = std::min(b.minY, vi.lat);
    }
    return b;
}

// A map overlay of 130 x 120 holding samples, as the editor fills it.
void fill(MapWaterMark &map, QVector<VideoInfo_t> samples)
{
    map.setObjectSize(QSize(130, 120));
    map.setMapData(samples, boundsOf(samples));
}

bool near(const QColor &a, const QColor &b)
{
    return TestSupport::isNear(a, b, 59) && a.alpha() > 200;
}

bool isFinite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

class TstMapWaterMark : public QObject
{
    Q_OBJECT
private slots:
    void framesAreEightPerSecondPair_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("frames");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("one") << 1 << 0;
        QTest::newRow("two") << 2 << 8;
        QTest::newRow("ten") << 10 << 72;
        QTest::newRow("sixty") << 60 << 472;
    }
    void framesAreEightPerSecondPair()
    {
        QFETCH(int, samples);
        QFETCH(int, frames);
        QCOMPARE(OverlayGeometry::frameCount(samples), frames);
        MapWaterMark map;
        fill(map, samples ? OverlaySamples::drive(samples) : QVector<VideoInfo_t>{});
        QCOMPARE(map.frameCount(), frames);
    }

    void framesInterpolateLinearly()
    {
        const QVector<QPointF> frames =
            OverlayGeometry::expandFrames({QPointF(0, 0), QPointF(8, -16), QPointF(8, -16)});
        QCOMPARE(frames.size(), 16);
        QCOMPARE(frames.at(0), QPointF(0, 0));
        QCOMPARE(frames.at(3), QPointF(3, -6));
        QCOMPARE(frames.at(8), QPointF(8, -16));
        QCOMPARE(frames.at(15), QPointF(8, -16));
    }

    void newDataRebuildsTheFrames()
    {
        MapWaterMark map;
        fill(map, OverlaySamples::drive(5));
        fill(map, OverlaySamples::drive(3));
        QCOMPARE(map.frameCount(), 16);
        QVector<VideoInfo_t> none;
        map.setMapData(none, DrawInfo_t{});
        QCOMPARE(map.frameCount(), 16);
    }

    void sizesFollowTheSmallerSide_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("dot");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("pen");
        QTest::newRow("130x120") << QSize(130, 120) << 6 << 20 << 18 << 3;
        QTest::newRow("100x80 floor") << QSize(100, 80) << 5 << 20 << 15 << 3;
        QTest::newRow("790x120 wide") << QSize(790, 120) << 6 << 20 << 18 << 3;
        QTest::newRow("400x400") << QSize(400, 400) << 20 << 50 << 60 << 10;
        QTest::newRow("1080 high") << QSize(1170, 1080) << 54 << 135 << 162 << 27;
    }
    void sizesFollowTheSmallerSide()
    {
        QFETCH(QSize, size);
        MapWaterMark map;
        map.setObjectSize(size);
        QCOMPARE(map.size(), size);
        QFETCH(int, dot);
        QFETCH(int, icon);
        QFETCH(int, margin);
        QFETCH(int, pen);
        QCOMPARE(map.sizes().dotRadius, dot);
        QCOMPARE(map.sizes().iconSize, icon);
        QCOMPARE(map.sizes().margin, margin);
        QCOMPARE(map.sizes().penWidth, pen);
    }

    void arrowFollowsTheDrawnLine_data()
    {
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<double>("rotation");
        QTest::newRow("up") << QPointF(0, -5) << 0.0;
        QTest::newRow("right") << QPointF(5, 0) << 90.0;
        QTest::newRow("down") << QPointF(0, 5) << 180.0;
        QTest::newRow("left") << QPointF(-5, 0) << 270.0;
        QTest::newRow("zero length points right") << QPointF(0, 0) << 90.0;
    }
    void arrowFollowsTheDrawnLine()
    {
        QFETCH(QPointF, to);
        QFETCH(double, rotation);
        QCOMPARE(OverlayGeometry::arrowRotation(QPointF(0, 0), to), rotation);
    }

    void directionLineAtEachEnd_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("first") << 0 << 8 << 0 << 1;
        QTest::newRow("last") << 7 << 8 << 6 << 7;
        QTest::newRow("single frame") << 0 << 1 << -1 << -1;
        QTest::newRow("out of range") << 8 << 8 << -1 << -1;
    }
    void directionLineAtEachEnd()
    {
        QFETCH(int, index);
        QFETCH(int, frames);
        QFETCH(int, from);
        QFETCH(int, to);
        const auto line = OverlayGeometry::directionFrames(index, frames);
        QCOMPARE(line ? line->first : -1, from);
        QCOMPARE(line ? line->second : -1, to);
    }

    void northboundTrackIsDrawnUpwards()
    {
        MapWaterMark map;
        fill(map, {sample(25.0, 121.0), sample(25.01, 121.005), sample(25.02, 121.01)});
        QVERIFY(map.samplePosition(2).y() < map.samplePosition(0).y());
        QCOMPARE(map.samplePosition(2).y(), 18.0);       // margin: northernmost at the top
        QCOMPARE(map.samplePosition(0).y(), 120.0 - 18); // plot side 84 below it
        map.setIndex(0);
        QCOMPARE(map.arrowRotation(),
                 std::fmod(360 - QLineF(map.framePosition(0), map.framePosition(1)).angle() + 90,
                           360.0));
    }

    void zeroSpanStaysDrawable_data()
    {
        QTest::addColumn<QVector<VideoInfo_t>>("samples");
        QTest::newRow("one latitude")
            << QVector<VideoInfo_t>{sample(25.0, 121.0), sample(25.0, 121.01)};
        QTest::newRow("one longitude")
            << QVector<VideoInfo_t>{sample(25.0, 121.0), sample(25.01, 121.0)};
        QTest::newRow("standing still")
            << QVector<VideoInfo_t>{sample(25.0, 121.0), sample(25.0, 121.0)};
    }
    void zeroSpanStaysDrawable()
    {
        QFETCH(QVector<VideoInfo_t>, samples);
        MapWaterMark map;
        fill(map, samples);
        for (int i = 0; i < map.frameCount(); ++i) {
            const QPointF p = map.framePosition(i);
            QVERIFY(isFinite(p));
            QVERIFY(p.x() >= 18 && p.x() <= 102 && p.y() >= 18 && p.y() <= 102);
        }
        QVERIFY(std::isfinite(map.arrowRotation()));
    }

    void positionsWithoutFixKeepTheTrack()
    {
        MapWaterMark map;
        fill(map, {sample(0, 0), sample(25.0, 121.0), sample(0, 0), sample(25.01, 121.01)});
        QCOMPARE(map.samplePosition(0), map.samplePosition(1));
        QCOMPARE(map.samplePosition(2), map.samplePosition(1));
        QVERIFY(map.samplePosition(3) != map.samplePosition(1));
        for (int i = 0; i < 4; ++i)
            QVERIFY(map.samplePosition(i).x() >= 18 && map.samplePosition(i).y() <= 102);
    }

    // A position is one the reader read, also on the equator or the prime meridian; a sample
    // whose position did not read takes the one before.
    void samplesWithAndWithoutPosition_data()
    {
        QTest::addColumn<QVector<VideoInfo_t>>("samples");
        QTest::addColumn<bool>("middleIsPosition");
        QTest::newRow("across the equator")
            << QVector<VideoInfo_t>{sample(0.01, 10.0), sample(0.0, 10.01), sample(-0.01, 10.02)}
            << true;
        QTest::newRow("across the prime meridian")
            << QVector<VideoInfo_t>{sample(51.0, 0.01), sample(51.01, 0.0), sample(51.02, -0.01)}
            << true;
        VideoInfo_t damaged;
        damaged.clockTime = sample(51.01, 0.0).clockTime;
        QTest::newRow("damaged record")
            << QVector<VideoInfo_t>{sample(51.0, 0.01), damaged, sample(51.02, -0.01)} << false;
    }
    void samplesWithAndWithoutPosition()
    {
        QFETCH(QVector<VideoInfo_t>, samples);
        QFETCH(bool, middleIsPosition);
        MapWaterMark map;
        map.setObjectSize(QSize(130, 120));
        map.setMapData(samples, boundsOf({samples.first(), samples.last()}));
        QCOMPARE(map.samplePosition(1) != map.samplePosition(0), middleIsPosition);
        QVERIFY(map.samplePosition(1).x() >= 18 && map.samplePosition(1).x() <= 102);
    }

    void outOfRangeIndexIsIgnored()
    {
        MapWaterMark map;
        fill(map, OverlaySamples::drive(2));
        map.setIndex(5);
        map.setIndex(8);
        map.setIndex(-1);
        QCOMPARE(map.index(), 5);
    }

    void oneSampleDrawsNothing()
    {
        MapWaterMark map;
        fill(map, {sample(25.0, 121.0)});
        QImage image(map.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        map.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    }

    void paintsTrackDotsAndTravelledPart()
    {
        QWidget back;
        back.setStyleSheet(QStringLiteral("background:#5a6b7c"));
        back.resize(3 * 150, 140);
        MapWaterMark *maps[3] = {new MapWaterMark(&back), new MapWaterMark(&back),
                                 new MapWaterMark(&back)};
        const QVector<VideoInfo_t> samples = OverlaySamples::drive(10);
        const int last = OverlayGeometry::frameCount(samples.size()) - 1;
        const int index[3] = {0, last / 2, last};
        for (int i = 0; i < 3; ++i) {
            fill(*maps[i], samples);
            maps[i]->move(10 + 150 * i, 10);
            maps[i]->setIndex(index[i]);
        }
        back.show();
        QVERIFY(QTest::qWaitForWindowExposed(&back));
        const QImage first = maps[0]->grab().toImage();
        const QImage end = maps[2]->grab().toImage();
        // The arrow stands on the current frame: the dot at the other end shows.
        const QPoint start = maps[2]->samplePosition(0).toPoint();
        QVERIFY(near(end.pixelColor(start), QColor(0, 255, 0)));
        const QPoint finish = maps[0]->samplePosition(9).toPoint();
        QVERIFY(near(first.pixelColor(finish), QColor(0, 255, 255)));
        // Travelled: red at the middle of the track only once the frame has passed it.
        const QPoint middle = maps[1]->framePosition(last / 4).toPoint();
        QVERIFY(near(maps[1]->grab().toImage().pixelColor(middle), QColor(255, 0, 0)));
        QVERIFY(near(first.pixelColor(middle), QColor(255, 255, 255)));
        TestSupport::saveScreenshot(&back, QStringLiteral("overlay-map-first-middle-last"));
    }
};

TALVEX_TEST_MAIN(TstMapWaterMark)
#include "tst_mapwatermark.moc"

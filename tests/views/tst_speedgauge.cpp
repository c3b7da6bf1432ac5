#include "formspeedstyle.h"
#include "gaugeanimation.h"
#include "speedstyle.h"
#include "testsupport.h"

#include <QImage>

// Counts the paint events a widget receives.
struct PaintCounter : QObject
{
    int count = 0;
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

class TstSpeedGauge : public QObject
{
    Q_OBJECT
private:
    // The sweep layers' shown angles.
    static QList<int> shown(const FormSpeedStyle &gauge)
    {
        QList<int> angles;
        for (int i = 0; i < GaugeAnimation::layerCount; ++i)
            angles.append(int(gauge.layer(i)->angle()));
        return angles;
    }

    // Ticks until the animation ends; returns the number of ticks that moved the sweep.
    static int settle(FormSpeedStyle &gauge, QList<QList<int>> *placements = nullptr)
    {
        int moves = 0;
        for (int i = 0; i < 1000 && gauge.animation().isRunning(); ++i) {
            const double before = gauge.animation().current();
            gauge.showSpeed();
            if (placements)
                placements->append(shown(gauge));
            if (gauge.animation().current() != before)
                ++moves;
        }
        return moves;
    }

private slots:
    void fiftyToSixtyStopsShortOfTheTarget()
    {
        FormSpeedStyle gauge;
        gauge.showSpeedData(50);
        settle(gauge);
        QVERIFY(qAbs(gauge.animation().current() - 50) < 1e-6);
        gauge.showSpeedData(60);
        QCOMPARE(settle(gauge), 25);
        QVERIFY(qAbs(gauge.animation().step() - 10.0 / 27) < 1e-6);
        QVERIFY(qAbs(gauge.animation().current() - 59.26) < 0.01);
        QCOMPARE(shown(gauge), (QList<int>{59, 0, 0, 0}));
    }

    void risingZeroTo120TurnsLayerOneThenTwo()
    {
        FormSpeedStyle gauge;
        gauge.showSpeedData(120);
        QList<QList<int>> placements;
        QCOMPARE(settle(gauge, &placements), 27);
        for (const QList<int> &p : placements) {
            if (p[0] < 89)
                QCOMPARE(p.mid(1), (QList<int>{0, 0, 0}));
            else
                QCOMPARE(p[0], 89);
            QCOMPARE(p.mid(2), (QList<int>{0, 0}));
        }
        // the landing angle shows on the tick that ends the animation
        QCOMPARE(placements.last(), (QList<int>{89, 120, 0, 0}));
        QCOMPARE(placements.size(), 28);
    }

    void fullSweepBackToZeroFoldsLayersInReverse()
    {
        FormSpeedStyle gauge;
        gauge.showSpeedData(270);
        settle(gauge);
        QCOMPARE(shown(gauge), (QList<int>{89, 176, 263, 270}));
        gauge.showSpeedData(0);
        QList<QList<int>> placements;
        QCOMPARE(settle(gauge, &placements), 200);
        QCOMPARE(gauge.animation().step(), 1.35);
        QCOMPARE(gauge.animation().current(), 0.0);
        // the tick on which each layer went back to 0
        QVector<int> parkedAt(GaugeAnimation::layerCount, -1);
        for (int t = 0; t < placements.size(); ++t) {
            for (int i = 0; i < GaugeAnimation::layerCount; ++i) {
                if (parkedAt[i] < 0 && placements[t][i] == 0)
                    parkedAt[i] = t;
            }
        }
        QVERIFY(parkedAt[3] < parkedAt[2]);
        QVERIFY(parkedAt[2] < parkedAt[1]);
        QVERIFY(parkedAt[1] < parkedAt[0]);
        QCOMPARE(shown(gauge), (QList<int>{0, 0, 0, 0}));
    }

    void targetsOutsideTheDialAreClamped_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<double>("landing");
        QTest::newRow("above 270") << 400 << 270.0;
        QTest::newRow("negative") << -30 << 0.0;
    }
    void targetsOutsideTheDialAreClamped()
    {
        QFETCH(int, target);
        QFETCH(double, landing);
        FormSpeedStyle gauge;
        gauge.showSpeedData(100);
        settle(gauge);
        gauge.showSpeedData(target);
        double highest = 0;
        for (int i = 0; i < 1000 && gauge.animation().isRunning(); ++i) {
            gauge.showSpeed();
            highest = qMax(highest, gauge.animation().current());
            QVERIFY(gauge.animation().current() >= 0);
        }
        QVERIFY(highest <= 270);
        QCOMPARE(gauge.animation().target(), landing);
        QVERIFY(qAbs(gauge.animation().current() - landing) < 1);
    }

    void targetWithinOneDegreeEndsWithoutMoving()
    {
        FormSpeedStyle gauge;
        gauge.showSpeedData(40);
        settle(gauge);
        const double before = gauge.animation().current();
        gauge.showSpeedData(40);
        gauge.showSpeed();
        QVERIFY(!gauge.animation().isRunning());
        QCOMPARE(gauge.animation().current(), before);
    }

    void idleTicksChangeNothing()
    {
        FormSpeedStyle gauge;
        gauge.showSpeed();
        QCOMPARE(gauge.animation().current(), 0.0);
        QVERIFY(!gauge.animation().isRunning());
    }

    void anglesReachLayersTruncated()
    {
        const GaugeAnimation::Layers layers = GaugeAnimation::layersFor(88.9);
        SpeedStyle layer;
        layer.setAngle(float(layers.angle[0]));
        QCOMPARE(layer.angle(), 88.0f);
        QCOMPARE(layers.parked, (std::array<bool, 4>{false, true, true, true}));
        layer.setAngle(-3.7f);
        QCOMPARE(layer.angle(), -3.0f);
    }

    // Before a size is set the gauge draws nothing; then the dial shows.
    void drawsOnlyOnceSized()
    {
        FormSpeedStyle gauge;
        gauge.resize(120, 120);
        const auto opaquePixels = [&gauge] {
            QImage image(gauge.size(), QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            gauge.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += qAlpha(image.pixel(x, y)) > 0;
            return count;
        };
        QCOMPARE(opaquePixels(), 0);
        gauge.setGaugeSize(120, 120);
        QVERIFY(opaquePixels() > 120 * 120 / 4);
    }

    // A needle step repaints the gauge alone: nothing under it is drawn again.
    void needleStepsRepaintTheGaugeAlone()
    {
        QWidget ground;
        ground.resize(200, 200);
        auto *gauge = new FormSpeedStyle(&ground);
        gauge->setGeometry(40, 40, 120, 120);
        gauge->setGaugeSize(120, 120);
        ground.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ground));
        PaintCounter groundPaints(&ground);
        PaintCounter gaugePaints(gauge);
        ground.repaint(); // what showing asked for is painted now
        groundPaints.count = 0;
        gaugePaints.count = 0;
        gauge->showSpeedData(60);
        for (int i = 0; i < 1000 && gauge->animation().isRunning(); ++i) {
            gauge->showSpeed();
            QCoreApplication::processEvents();
        }
        QVERIFY(gaugePaints.count > 0);
        QCOMPARE(groundPaints.count, 0);
    }
};

TALVEX_TEST_MAIN(TstSpeedGauge)
#include "tst_speedgauge.moc"

// The cut editor's range slider: span signal in units of 10 ms, clamping and mouse drags.
#include "sliderstyle.h"

#include "testsupport.h"

namespace {
constexpr int clipHundredths = 12534;
}

class TstSliderStyle : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void setSpanOrdersAndClamps_data();
    void setSpanOrdersAndClamps();
    void unchangedSpanEmitsNothing();
    void shrinkingRangeMovesSpan();
    void dragMovesTheNearestHandle_data();
    void dragMovesTheNearestHandle();
    void lowerHandleStopsAtUpper();
    void emptyRangeIgnoresClicks();

private:
    int xOf(int value) const;
    std::unique_ptr<SliderStyle> slider;
};

void TstSliderStyle::init()
{
    slider = std::make_unique<SliderStyle>();
    slider->resize(413, 20); // 400 px of track between the handle radii
    slider->setRange(0, clipHundredths);
    slider->setSpan(0, clipHundredths);
    slider->show();
    QVERIFY(QTest::qWaitForWindowExposed(slider.get()));
}

void TstSliderStyle::cleanup()
{
    slider.reset();
}

int TstSliderStyle::xOf(int value) const
{
    return qRound(6.5 + 400.0 * value / clipHundredths);
}

void TstSliderStyle::setSpanOrdersAndClamps_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("expectedLower");
    QTest::addColumn<int>("expectedUpper");
    QTest::newRow("inside") << 100 << 5000 << 100 << 5000;
    QTest::newRow("reversed") << 6000 << 200 << 200 << 6000;
    QTest::newRow("outside both ends") << -5 << 99999 << 0 << clipHundredths;
    QTest::newRow("empty span") << 300 << 300 << 300 << 300;
}

void TstSliderStyle::setSpanOrdersAndClamps()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, expectedLower);
    QFETCH(int, expectedUpper);
    slider->setSpan(1, 2);
    QSignalSpy span(slider.get(), &SliderStyle::spanChanged);
    slider->setSpan(lower, upper);
    QCOMPARE(span.size(), 1);
    QCOMPARE(span.at(0).at(0).toInt(), expectedLower);
    QCOMPARE(span.at(0).at(1).toInt(), expectedUpper);
    QCOMPARE(slider->lowerValue(), expectedLower);
    QCOMPARE(slider->upperValue(), expectedUpper);
}

void TstSliderStyle::unchangedSpanEmitsNothing()
{
    QSignalSpy span(slider.get(), &SliderStyle::spanChanged);
    slider->setSpan(0, clipHundredths);
    slider->setRange(0, clipHundredths);
    QVERIFY(span.isEmpty());
}

void TstSliderStyle::shrinkingRangeMovesSpan()
{
    slider->setSpan(1000, 12000);
    QSignalSpy span(slider.get(), &SliderStyle::spanChanged);
    slider->setRange(0, 5000);
    QCOMPARE(span.size(), 1);
    QCOMPARE(span.at(0).at(0).toInt(), 1000);
    QCOMPARE(span.at(0).at(1).toInt(), 5000);
}

void TstSliderStyle::dragMovesTheNearestHandle_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("movesLower");
    QTest::newRow("upper handle to the middle") << clipHundredths << clipHundredths / 2 << false;
    QTest::newRow("lower handle to a quarter") << 0 << clipHundredths / 4 << true;
    QTest::newRow("click near the end moves upper")
        << clipHundredths * 9 / 10 << clipHundredths * 9 / 10 << false;
}

void TstSliderStyle::dragMovesTheNearestHandle()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, movesLower);
    QSignalSpy span(slider.get(), &SliderStyle::spanChanged);
    QTest::mousePress(slider.get(), Qt::LeftButton, {}, QPoint(xOf(from), 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(xOf(to), 10), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(slider.get(), &move);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, {}, QPoint(xOf(to), 10));
    QVERIFY(!span.isEmpty());
    const int tolerance = clipHundredths / 400 + 1; // one pixel
    const int moved = movesLower ? slider->lowerValue() : slider->upperValue();
    const int kept = movesLower ? slider->upperValue() : slider->lowerValue();
    QVERIFY2(qAbs(moved - to) <= tolerance, qPrintable(QString::number(moved)));
    QCOMPARE(kept, movesLower ? clipHundredths : 0);
    QCOMPARE(span.last().at(0).toInt(), slider->lowerValue());
    QCOMPARE(span.last().at(1).toInt(), slider->upperValue());
}

void TstSliderStyle::lowerHandleStopsAtUpper()
{
    slider->setSpan(0, 5000);
    QTest::mousePress(slider.get(), Qt::LeftButton, {}, QPoint(xOf(0), 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(xOf(11000), 10), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(slider.get(), &move);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, {}, QPoint(xOf(11000), 10));
    QCOMPARE(slider->lowerValue(), 5000);
    QCOMPARE(slider->upperValue(), 5000);
}

void TstSliderStyle::emptyRangeIgnoresClicks()
{
    slider->setRange(0, 0);
    QSignalSpy span(slider.get(), &SliderStyle::spanChanged);
    QTest::mouseClick(slider.get(), Qt::LeftButton, {}, QPoint(200, 10));
    QVERIFY(span.isEmpty());
    QCOMPARE(slider->lowerValue(), 0);
    QCOMPARE(slider->upperValue(), 0);
}

TALVEX_TEST_MAIN(TstSliderStyle)
#include "tst_sliderstyle.moc"

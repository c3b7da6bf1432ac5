// The second camera's control bar: zoom reports and the clear to no zoom.
#include "formcontrolsecond.h"

#include "testsupport.h"

#include <QSlider>

class TstFormControlSecond : public QObject
{
    Q_OBJECT
private slots:
    void zoomSliderReportsTenths();
    void clearZoomSetsMaximumLessNinety();
    void screenshots();
};

void TstFormControlSecond::zoomSliderReportsTenths()
{
    FormControlSecond bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    auto *slider = bar.findChild<QSlider *>(QStringLiteral("sliderZoom"));
    QVERIFY(slider);
    QSignalSpy zoom(&bar, &FormControlSecond::zoomChanged);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(zoom.size(), 1);
    QCOMPARE(zoom.at(0).at(0).toInt(), 20);
    QCOMPARE(bar.zoomValue(), 20);
}

void TstFormControlSecond::clearZoomSetsMaximumLessNinety()
{
    FormControlSecond bar;
    auto *slider = bar.findChild<QSlider *>(QStringLiteral("sliderZoom"));
    slider->setValue(slider->maximum());
    QSignalSpy zoom(&bar, &FormControlSecond::zoomChanged);
    bar.onClearZoomValue();
    QCOMPARE(bar.zoomValue(), slider->maximum() - 90);
    QCOMPARE(bar.zoomValue(), slider->minimum());
    QCOMPARE(zoom.size(), 1);
    QCOMPARE(zoom.at(0).at(0).toInt(), slider->maximum() - 90);
}

void TstFormControlSecond::screenshots()
{
    for (const int style : {0, 1}) {
        FormControlSecond bar;
        bar.applyStyle(style);
        bar.resize(260, 32);
        bar.findChild<QSlider *>(QStringLiteral("sliderZoom"))->setValue(35);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        // Zoom 35 of its range: accent left of the handle, plain groove right of it.
        auto *zoom = bar.findChild<QSlider *>(QStringLiteral("sliderZoom"));
        const QImage image = bar.grab().toImage();
        const auto at = [&](double fraction) {
            return TestSupport::colourAt(image, &bar, zoom,
                                         QPoint(int(zoom->width() * fraction), zoom->height() / 2));
        };
        const double handle =
            double(zoom->value() - zoom->minimum()) / (zoom->maximum() - zoom->minimum());
        QVERIFY(TestSupport::isNear(at(handle / 2), TestSupport::accent()));
        QVERIFY(!TestSupport::isNear(at((1 + handle) / 2 + 0.1), TestSupport::accent()));
        TestSupport::saveScreenshot(
            &bar, QStringLiteral("controlsecond_%1").arg(style ? "black" : "white"));
    }
}

TALVEX_TEST_MAIN(TstFormControlSecond)
#include "tst_formcontrolsecond.moc"

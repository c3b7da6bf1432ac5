// The video-adjustment panel in a real window.
#include "formvideosetupwidget.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

class TstFormVideoSetupWidget : public QObject
{
    Q_OBJECT
private slots:
    void slidersReportUnitValues_data();
    void slidersReportUnitValues();
    void resetReturnsToNeutral();
};

void TstFormVideoSetupWidget::slidersReportUnitValues_data()
{
    QTest::addColumn<QString>("slider");
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("value");
    QTest::newRow("brightness up") << "sliderBrightness" << 50 << 0.5;
    QTest::newRow("brightness at the end") << "sliderBrightness" << 250 << 1.0;
    QTest::newRow("saturation down") << "sliderSaturation" << -100 << -1.0;
}

void TstFormVideoSetupWidget::slidersReportUnitValues()
{
    QFETCH(QString, slider);
    QFETCH(int, position);
    QFETCH(double, value);
    FormVideoSetupWidget panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy brightness(&panel, &FormVideoSetupWidget::brightnessChanged);
    QSignalSpy saturation(&panel, &FormVideoSetupWidget::saturationChanged);
    auto *control = panel.findChild<QSlider *>(slider);
    QVERIFY(control);
    control->setValue(position);
    QSignalSpy &spy = slider == QLatin1String("sliderBrightness") ? brightness : saturation;
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toDouble(), value);
    QCOMPARE(slider == QLatin1String("sliderBrightness") ? panel.brightness() : panel.saturation(),
             value);
}

void TstFormVideoSetupWidget::resetReturnsToNeutral()
{
    FormVideoSetupWidget panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.findChild<QSlider *>(QStringLiteral("sliderBrightness"))->setValue(30);
    panel.findChild<QSlider *>(QStringLiteral("sliderSaturation"))->setValue(-40);
    auto *flip = panel.findChild<QCheckBox *>(QStringLiteral("checkVerticalFlip"));
    QSignalSpy flipped(&panel, &FormVideoSetupWidget::verticalFlipChanged);
    QTest::mouseClick(flip, Qt::LeftButton, {}, QPoint(8, flip->height() / 2));
    QCOMPARE(flipped.size(), 1);
    QVERIFY(panel.verticalFlip());
    TestSupport::saveScreenshot(&panel, QStringLiteral("formvideosetupwidget"));

    QStringList order;
    connect(&panel, &FormVideoSetupWidget::brightnessChanged, this,
            [&](double v) { order << QStringLiteral("brightness %1").arg(v); });
    connect(&panel, &FormVideoSetupWidget::saturationChanged, this,
            [&](double v) { order << QStringLiteral("saturation %1").arg(v); });
    connect(&panel, &FormVideoSetupWidget::verticalFlipChanged, this,
            [&](bool on) { order << QStringLiteral("flip %1").arg(on); });
    connect(&panel, &FormVideoSetupWidget::resetVideoSetupTriggered, this,
            [&] { order << QStringLiteral("reset"); });
    panel.onResetVideoSetupTriggered();
    QCOMPARE(order, QStringList({"brightness 0", "saturation 0", "flip 0", "reset"}));
    QCOMPARE(panel.brightness(), 0.0);
    QCOMPARE(panel.saturation(), 0.0);
    QVERIFY(!panel.verticalFlip());

    // A second reset changes nothing but still reports the reset.
    order.clear();
    panel.onResetVideoSetupTriggered();
    QCOMPARE(order, QStringList({"reset"}));
}

TALVEX_TEST_MAIN(TstFormVideoSetupWidget)
#include "tst_formvideosetupwidget.moc"

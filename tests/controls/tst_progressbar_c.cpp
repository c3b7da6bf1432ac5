// The self-painted progress bar: clamped values and the pixels it draws.
#include "progressbar_c.h"

#include "testsupport.h"

namespace {
const QColor border(0xDC, 0xDD, 0xDD);
const QColor fill(0x35, 0x3D, 0xF4);
constexpr int inset = 10;
constexpr int borderWidth = 2;
} // namespace

class TstProgressBar_c : public QObject
{
    Q_OBJECT
private slots:
    void filledFraction_data();
    void filledFraction();
    void setValueClamps_data();
    void setValueClamps();
    void drawsBorderAndFill_data();
    void drawsBorderAndFill();
};

void TstProgressBar_c::filledFraction_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<double>("fraction");
    QTest::newRow("half") << 50 << 0 << 100 << 0.5;
    QTest::newRow("above the range") << 150 << 0 << 100 << 1.0;
    QTest::newRow("below the range") << -5 << 0 << 100 << 0.0;
    QTest::newRow("reset value") << -1 << 0 << 100 << 0.0;
    QTest::newRow("empty range") << 0 << 0 << 0 << 0.0;
    QTest::newRow("shifted range") << 15 << 10 << 20 << 0.5;
    QTest::newRow("extreme range") << 0 << INT_MIN << INT_MAX << 0.5;
}

void TstProgressBar_c::filledFraction()
{
    QFETCH(int, value);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(double, fraction);
    QVERIFY(qAbs(ProgressBar_c::filledFraction(value, minimum, maximum) - fraction) < 1e-6);
}

void TstProgressBar_c::setValueClamps_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 42 << 42;
    QTest::newRow("above") << 150 << 100;
    QTest::newRow("below") << -5 << 0;
}

void TstProgressBar_c::setValueClamps()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    ProgressBar_c bar;
    bar.setRange(0, 100);
    bar.setValue(30);
    bar.setValue(value);
    QCOMPARE(bar.value(), expected);
}

void TstProgressBar_c::drawsBorderAndFill_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("filledUpTo");
    QTest::newRow("empty") << 0 << 0.0;
    QTest::newRow("half") << 50 << 0.5;
    QTest::newRow("full") << 100 << 1.0;
    QTest::newRow("past the end") << 130 << 1.0;
}

void TstProgressBar_c::drawsBorderAndFill()
{
    QFETCH(int, value);
    QFETCH(double, filledUpTo);
    ProgressBar_c bar;
    bar.setTextVisible(false);
    bar.resize(351, 31);
    bar.setBorderColor(border);
    bar.setFillColor(fill);
    bar.setBorderWidth(borderWidth);
    bar.setBorderInset(inset);
    bar.setValue(value);
    const QImage image = bar.grab().toImage();
    const int midY = image.height() / 2;

    // Border: the top edge in the middle; nothing in the inset at either end.
    QCOMPARE(image.pixelColor(image.width() / 2, 0), border);
    QVERIFY(image.pixelColor(inset / 2, midY) != border);
    QVERIFY(image.pixelColor(image.width() - inset / 2, midY) != border);

    // Bar: inner length from the border's inside, one pen width apart.
    const int innerLeft = inset + 2 * borderWidth + borderWidth;
    const int innerWidth = image.width() - 2 * innerLeft;
    for (const double at : {0.1, 0.3, 0.7, 0.9}) {
        const QColor pixel = image.pixelColor(innerLeft + int(at * innerWidth), midY);
        QCOMPARE(pixel == fill, at < filledUpTo);
    }
    TestSupport::saveScreenshot(&bar, QStringLiteral("progressbar_c_%1").arg(value));
}

TALVEX_TEST_MAIN(TstProgressBar_c)
#include "tst_progressbar_c.moc"

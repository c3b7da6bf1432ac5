#include "appfont.h"
#include "appglobals.h"
#include "framelesshelper.h"
#include "sharedtypes.h"
#include "skin.h"
#include "testsupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QWidget>

class TstAppCore : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        gLanguage = LangEnglish;
        setAppFontForLanguage(LangEnglish);
    }

    void formatMultilineText_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Finished."
                               << "Finished.";
        QTest::newRow("quotes removed") << "\"Max Speed\""
                                        << "Max Speed";
        QTest::newRow("backslash n") << "Insufficient disk space.\\nPlease re-select."
                                     << "Insufficient disk space.\nPlease re-select.";
        QTest::newRow("both, twice") << "\"a\\nb\\nc\""
                                     << "a\nb\nc";
        QTest::newRow("lone backslash kept") << "C:\\path"
                                             << "C:\\path";
        QTest::newRow("empty") << ""
                               << "";
    }
    void formatMultilineText()
    {
        QFETCH(QString, cell);
        QFETCH(QString, expected);
        QCOMPARE(::formatMultilineText(cell), expected);
    }

    void pixelSizeToFitIsTheLargestThatFits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("fitPx"); // the pixel size whose widest line is the width
        QTest::newRow("fits at the largest") << "Ordner auswählen" << 17;
        QTest::newRow("one smaller") << "Sélectionner un dossier" << 16;
        QTest::newRow("the longer line decides") << "Édition\nSélectionner un dossier" << 13;
    }
    void pixelSizeToFitIsTheLargestThatFits()
    {
        QFETCH(QString, text);
        QFETCH(int, fitPx);
        QFont font(getAppFontFamily());
        const auto widest = [&](int px) {
            font.setPixelSize(px);
            int width = 0;
            for (const QString &line : text.split(QLatin1Char('\n')))
                width = std::max(width, QFontMetrics(font).horizontalAdvance(line));
            return width;
        };
        const int widthPx = widest(fitPx);
        const int px = pixelSizeToFit(font, text, widthPx, 17, 9);
        QVERIFY(widest(px) <= widthPx);
        QVERIFY(px == 17 || widest(px + 1) > widthPx);
        // nothing fits: the smallest
        QCOMPARE(pixelSizeToFit(font, text, 1, 17, 9), 9);
    }

    void stylePathEndsInSlashAndNamesImages()
    {
        QCOMPARE(getStylePath(), QStringLiteral(":/image/TALVEXStyle/"));
        QCOMPARE(skinImage(QStringLiteral("pw_x")), QStringLiteral(":/image/TALVEXStyle/pw_x"));
    }

    void appFontWeightsFollowBoldAndStayShared()
    {
        QCOMPARE(getAppFont(true).weight(), 75);
        QCOMPARE(getAppFont(false).weight(), 50);
        QCOMPARE(getAppFont(true).family(), QStringLiteral("Arial"));
        QCOMPARE(getAppFontFamily(), QStringLiteral("Arial"));
    }

    void applyAppFontWeightModes_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("weightMode");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("weight");
        QTest::newRow("mode 0 english") << int(LangEnglish) << 0 << true << 50;
        QTest::newRow("mode 0 chinese") << int(LangChinese) << 0 << false << 75;
        QTest::newRow("mode 1 bold") << int(LangEnglish) << 1 << true << 75;
        QTest::newRow("mode 1 normal") << int(LangChinese) << 1 << false << 50;
        QTest::newRow("other mode keeps") << int(LangEnglish) << 7 << true << 63;
    }
    void applyAppFontWeightModes()
    {
        QFETCH(int, language);
        QFETCH(int, weightMode);
        QFETCH(bool, bold);
        QFETCH(int, weight);
        gLanguage = language;
        setAppFontForLanguage(language);
        QFont font(QStringLiteral("Serif"));
        font.setWeight(63);
        const QFont result = applyAppFont(font, weightMode, bold);
        QCOMPARE(result.weight(), weight);
        QCOMPARE(result.family(), getAppFontFamily());
    }

    void chineseUsesCjkFamily()
    {
        setAppFontForLanguage(LangChinese);
        QVERIFY(getAppFontFamily().contains(QStringLiteral("CJK")));
        QCOMPARE(getAppFont(false).family(), getAppFontFamily());
        setAppFontForLanguage(LangEnglish);
        QCOMPARE(getAppFontFamily(), QStringLiteral("Arial"));
    }

    void roundedMaskCutsCornersOnly()
    {
        const QImage mask = FramelessHelper::roundedMask(QSize(100, 60)).toImage();
        QCOMPARE(mask.pixelIndex(0, 0) == mask.pixelIndex(50, 30), false);
        QCOMPARE(mask.pixelIndex(50, 0), mask.pixelIndex(50, 30));
        QCOMPARE(mask.pixelIndex(99, 30), mask.pixelIndex(50, 30));
    }

    void framelessWindowMovesByDragButNotAfterButtonPress()
    {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.resize(300, 200);
        auto *button = new QPushButton(QStringLiteral("OK"), &window);
        button->setGeometry(10, 10, 80, 30);
        FramelessHelper *helper = FramelessHelper::install(&window);
        window.move(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QPoint start = window.pos();
        QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(150, 150));
        QMouseEvent move(QEvent::MouseMove, QPoint(170, 160), window.mapToGlobal(QPoint(170, 160)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(170, 160));
        QCOMPARE(window.pos(), start + QPoint(20, 10));

        QTest::mousePress(button, Qt::LeftButton);
        QVERIFY(!helper->canMove());
        QTest::mouseRelease(button, Qt::LeftButton);
        QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(150, 150));
        QVERIFY(helper->canMove());
        QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(150, 150));
    }
};

TALVEX_TEST_MAIN(TstAppCore)
#include "tst_appcore.moc"

#include "appglobals.h"
#include "formfaq.h"
#include "framecustomized.h"
#include "instructionpages.h"
#include "testsupport.h"

#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

class TstFormFAQ : public QObject
{
    Q_OBJECT
private:
    static QScrollBar *scrollBar(FormFAQ &w)
    {
        return w.findChild<QGraphicsView *>(QStringLiteral("graphicsView_2"))->verticalScrollBar();
    }
    static QPushButton *button(FormFAQ &w, const char *name)
    {
        return w.findChild<QPushButton *>(QString::fromLatin1(name));
    }
    // Opened as the main window opens it.
    static void open(FormFAQ &w, int language)
    {
        w.setLanguageFont();
        w.setStyle(gStyle);
        w.changeLang(Zq_Language(language));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

private slots:
    void languagePicksPictureAndSections_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("section2");
        QTest::addColumn<int>("section3");
        QTest::newRow("English") << 0 << "instruction_en.jpg" << 1945 << 4453;
        QTest::newRow("German") << 1 << "instruction_de.jpg" << 1980 << 4465;
        QTest::newRow("Russian") << 7 << "instruction_ru.jpg" << 1875 << 4350;
        QTest::newRow("Romanian") << 10 << "instruction_ro.jpg" << 1930 << 4410;
        // no Chinese manual in the bundle: the English one with its own sections
        QTest::newRow("Chinese") << 11 << "instruction_en.jpg" << 1945 << 4453;
        QTest::newRow("12") << 12 << "instruction_en.jpg" << 1945 << 4453;
        QTest::newRow("-1") << -1 << "instruction_en.jpg" << 1945 << 4453;
    }
    void languagePicksPictureAndSections()
    {
        QFETCH(int, language);
        QFETCH(QString, image);
        QFETCH(int, section2);
        QFETCH(int, section3);
        FormFAQ w;
        open(w, language);
        QCOMPARE(w.imagePath(), QStringLiteral(":/image/TALVEXStyle/") + image);
        QCOMPARE(w.sectionOffset(1), 0);
        QCOMPARE(w.sectionOffset(2), section2);
        QCOMPARE(w.sectionOffset(3), section3);
        // the picture is in the view: 1004 x 9272
        const QGraphicsView *view = w.findChild<QGraphicsView *>(QStringLiteral("graphicsView_2"));
        QCOMPARE(view->scene()->itemsBoundingRect().size(), QSizeF(1004, 9272));
    }

    void scrollingHighlightsTheSection_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("section");
        QTest::newRow("1944") << 1944 << 1;
        QTest::newRow("1945") << 1945 << 2;
        QTest::newRow("4452") << 4452 << 2;
        QTest::newRow("4453") << 4453 << 3;
        QTest::newRow("0") << 0 << 1;
    }
    void scrollingHighlightsTheSection()
    {
        QFETCH(int, row);
        QFETCH(int, section);
        FormFAQ w;
        open(w, LangEnglish);
        scrollBar(w)->setValue(row == 0 ? 3000 : 0);
        scrollBar(w)->setValue(row);
        QCOMPARE(w.highlightedSection(), section);
        const char *names[] = {"btn_1_1", "btn_1_2", "btn_1_3"};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(button(w, names[i])->styleSheet().contains(QLatin1String("#ffffff")),
                     i + 1 == section);
    }

    void sectionButtonsJump()
    {
        FormFAQ w;
        open(w, LangGerman);
        QTest::mouseClick(button(w, "btn_1_3"), Qt::LeftButton);
        QCOMPARE(scrollBar(w)->value(), 4465);
        QCOMPARE(w.highlightedSection(), 3);
        QTest::mouseClick(button(w, "btn_1_2"), Qt::LeftButton);
        QCOMPARE(scrollBar(w)->value(), 1980);
        QCOMPARE(w.highlightedSection(), 2);
        QTest::mouseClick(button(w, "btn_1_1"), Qt::LeftButton);
        QCOMPARE(scrollBar(w)->value(), 0);
        QCOMPARE(w.highlightedSection(), 1);
        // a new style puts the highlight back on section 1
        QTest::mouseClick(button(w, "btn_1_3"), Qt::LeftButton);
        w.setStyle(1);
        QCOMPARE(w.highlightedSection(), 1);
    }

    void layoutFollowsSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design 1165 x 580") << QSize(1165, 580);
        QTest::newRow("1400 x 820") << QSize(1400, 820);
    }
    void layoutFollowsSize()
    {
        QFETCH(QSize, size);
        FormFAQ w;
        open(w, LangEnglish);
        w.resize(size);
        QTRY_COMPARE(w.size(), size);
        const int wd = size.width(), h = size.height();
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("contentFrame"))->size(),
                 QSize(wd - 250, h - 90));
        QCOMPARE(w.findChild<QGraphicsView *>(QStringLiteral("graphicsView_2"))->size(),
                 QSize(wd - 285, h - 125));
        QCOMPARE(button(w, "btn_windowzoom")->x(), wd - 90);
        QCOMPARE(button(w, "btn_close")->x(), wd - 50);
        QCOMPARE(w.findChild<QFrame *>(QStringLiteral("dividing_line"))->height(), h - 80);
        QCOMPARE(w.findChild<QFrame *>(QStringLiteral("frame"))->width(), wd);
        if (size == QSize(1165, 580)) {
            QCOMPARE(button(w, "btn_close")->x(), 1115);
            QCOMPARE(w.findChild<QFrame *>(QStringLiteral("dividing_line"))->height(), 500);
        }
    }

    void doubleClickOnTitleZooms()
    {
        FormFAQ w;
        open(w, LangEnglish);
        auto *title = w.findChild<FrameCustomized *>(QStringLiteral("frame"));
        QTest::mouseDClick(title, Qt::LeftButton, Qt::NoModifier, QPoint(400, 20));
        QCOMPARE(w.windowState(), Qt::WindowMaximized);
        QVERIFY(
            button(w, "btn_windowzoom")->styleSheet().contains(QLatin1String("pw_zoonout.svg")));
        QTest::mouseDClick(title, Qt::LeftButton, Qt::NoModifier, QPoint(400, 20));
        QCOMPARE(w.windowState(), Qt::WindowNoState);
        QVERIFY(button(w, "btn_windowzoom")->styleSheet().contains(QLatin1String("pw_zoomin.svg")));
    }

    void longEntriesTakeTwoLines_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("widthPx"); // in widths of "i"
        QTest::addColumn<QString>("lines");
        QTest::newRow("fits") << "iiii iiii" << 20 << "iiii iiii";
        QTest::newRow("at the blank of the narrower longer line")
            << "iiii iiii iiiiiiii" << 12 << "iiii iiii\niiiiiiii";
        QTest::newRow("its own line breaks kept") << "iiii\niiii iiii" << 4 << "iiii\niiii iiii";
        QTest::newRow("one word kept") << "iiiiiiiiiiii" << 4 << "iiiiiiiiiiii";
    }
    void longEntriesTakeTwoLines()
    {
        QFETCH(QString, entry);
        QFETCH(int, widthPx);
        QFETCH(QString, lines);
        const QFontMetrics metrics(QGuiApplication::font());
        const int i = metrics.horizontalAdvance(QLatin1Char('i'));
        QCOMPARE(InstructionPages::entryLines(entry, metrics, widthPx * i), lines);
    }

    void textsAndCloseSignal()
    {
        FormFAQ w;
        open(w, LangEnglish);
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("la_title"))->text(),
                 QStringLiteral("Instruction"));
        QCOMPARE(button(w, "btn_1_1")->text(), QStringLiteral("Introduction of UI"));
        QCOMPARE(button(w, "btn_1_2")->text(), QStringLiteral("Edit your Video"));
        QCOMPARE(button(w, "btn_1_3")->text(), QStringLiteral("Share your Video"));
        QCOMPARE(button(w, "btn_1_1")->font().pixelSize(), 17);
        TestSupport::saveScreenshot(&w, QStringLiteral("instruction"));
        // the manual's orange section band fills the top of the view
        const QImage shot = w.grab().toImage();
        const QColor band = shot.pixelColor(248 + 400, 96 + 30);
        QVERIFY(band.red() > 200 && band.green() > 120 && band.blue() < 80);
        QSignalSpy closed(&w, &FormFAQ::cloesd);
        QTest::mouseClick(button(w, "btn_close"), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!w.isVisible());
    }
};

TALVEX_TEST_MAIN(TstFormFAQ)
#include "tst_formfaq.moc"

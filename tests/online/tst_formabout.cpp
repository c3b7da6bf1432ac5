#include "abouttexts.h"
#include "appglobals.h"
#include "formabout.h"
#include "sharedtypes.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

class TstFormAbout : public QObject
{
    Q_OBJECT
private:
    static void open(FormAbout &w)
    {
        w.setAboutText();
        w.setStyle(gStyle);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    // Pixels of widget's grab that are nearly white (text on the dark pages).
    static int whitePixels(QWidget *widget)
    {
        const QImage image = widget->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                if (qGray(image.pixel(x, y)) > 230)
                    ++count;
        return count;
    }

private slots:
    void cleanup() { gLanguage = LangEnglish; }

    void versionIsThePartAfterTheProductName()
    {
        QCOMPARE(AboutTexts::shownVersion(AboutTexts::builtInVersion()),
                 QStringLiteral("V1.6.2_RUVIQE"));
        QCOMPARE(AboutTexts::shownVersion(QStringLiteral("plain")), QStringLiteral("plain"));
    }

    void yearLine_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2020") << "2020 TALVEX Technology"
                              << "2023 TALVEX Technology";
        QTest::newRow("2021") << "2021 TALVEX Technology"
                              << "2023 TALVEX Technology";
        QTest::newRow("2019 unchanged") << "2019 TALVEX Technology"
                                        << "2019 TALVEX Technology";
        QTest::newRow("2024 unchanged") << "2024 TALVEX Technology"
                                        << "2024 TALVEX Technology";
    }
    void yearLine()
    {
        QFETCH(QString, cell);
        QFETCH(QString, shown);
        QCOMPARE(AboutTexts::yearLine(cell), shown);
    }

    void aboutLabelJoinsYearCaptionAndVersion()
    {
        QCOMPARE(AboutTexts::aboutLabel(QStringLiteral("2021 Co."),
                                        QStringLiteral("\"TALVEX VIDEO PLAYER Version:\""),
                                        QStringLiteral("V1.6.2_RUVIQE")),
                 QStringLiteral("2023 Co.<br /><br />TALVEX VIDEO PLAYER Version: "
                                "V1.6.2_RUVIQE<br /><br /><br /><br /><br /><br />"));
    }

    void windowShowsVersionTabsAndLicence()
    {
        FormAbout w;
        open(w);
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("aboutTabWidget"));
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabText(0), QStringLiteral("About"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("License"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("la_title_2"))->text(),
                 gLangAbout.value(1) + QLatin1Char(' '));
        QVERIFY(gLangAbout.value(1).startsWith(QLatin1String("About TALVEX VIDEO PLAYER")));
        QVERIFY(w.aboutLabel()->text().contains(
            QLatin1String("TALVEX VIDEO PLAYER Version: V1.6.2_RUVIQE")));
        QVERIFY(w.aboutLabel()->text().startsWith(QLatin1String("2023 ")));
        QVERIFY(!w.findChild<QLabel *>(QStringLiteral("label_about1"))->isVisible());
        const QString licence = w.licenceLabel()->text();
        QVERIFY(licence.trimmed().startsWith(QLatin1String("GNU LESSER GENERAL PUBLIC LICENSE")));
        QVERIFY(licence.contains(QLatin1String("Version 2.1, February 1999")));
        QVERIFY(licence.contains(QLatin1String("zlib/libpng License")));
        QVERIFY(licence.endsWith(QLatin1Char('\n')));
        QVERIFY(w.noticeLabel()->text().contains(
            QLatin1String("FFmpeg which is licensed under LGPLv2.1")));

        TestSupport::saveScreenshot(&w, QStringLiteral("about_about"));
        QVERIFY(whitePixels(w.aboutLabel()) > 50); // the year and version lines are drawn
        tabs->setCurrentIndex(1);
        QTest::qWait(50);
        TestSupport::saveScreenshot(&w, QStringLiteral("about_license"));
        QVERIFY(whitePixels(w.licenceLabel()) > 500);

        QSignalSpy closed(&w, &FormAbout::cloesd);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("btn_close")), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
    }

    void fontsFollowLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("bodyPixels");
        QTest::newRow("English") << int(LangEnglish) << false << 21;
        QTest::newRow("Chinese") << int(LangChinese) << true << 18;
    }
    void fontsFollowLanguage()
    {
        QFETCH(int, language);
        QFETCH(bool, bold);
        QFETCH(int, bodyPixels);
        gLanguage = language;
        FormAbout w;
        w.setAboutText();
        const QFont title = w.findChild<QLabel *>(QStringLiteral("la_title_2"))->font();
        QCOMPARE(title.pixelSize(), 31);
        QCOMPARE(title.bold(), bold);
        QCOMPARE(w.licenceLabel()->font().pixelSize(), bodyPixels);
        QCOMPARE(w.aboutLabel()->font().bold(), bold);
    }
};

TALVEX_TEST_MAIN(TstFormAbout)
#include "tst_formabout.moc"

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
                              << "© 2023 TALVEX Technology";
        QTest::newRow("2021") << "2021 TALVEX Technology"
                              << "© 2023 TALVEX Technology";
        QTest::newRow("2019 unchanged") << "2019 TALVEX Technology"
                                        << "© 2019 TALVEX Technology";
        QTest::newRow("2024 unchanged") << "2024 TALVEX Technology"
                                        << "© 2024 TALVEX Technology";
        QTest::newRow("one copyright sign") << "© 2021 TALVEX Technology"
                                            << "© 2023 TALVEX Technology";
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
                 QStringLiteral("© 2023 Co.<br /><br />TALVEX VIDEO PLAYER Version: "
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
        QVERIFY(w.aboutLabel()->text().startsWith(QStringLiteral("© 2023 ")));
        QVERIFY(!w.findChild<QLabel *>(QStringLiteral("label_about1"))->isVisible());
        const QString licence = w.licenceLabel()->text();
        QCOMPARE(w.licenceLabel()->textFormat(), Qt::PlainText);
        // the texts Debian ships, bundled at build time
        for (const char *text :
             {"GNU LESSER GENERAL PUBLIC LICENSE\n                       Version 3",
              "GNU GENERAL PUBLIC LICENSE\n                       Version 2", "Leaflet", "FFmpeg",
              "mpv", "OpenStreetMap contributors"})
            QVERIFY2(licence.contains(QLatin1String(text)), text);
        QVERIFY(!licence.contains(QLatin1String("is missing from this build")));
        QVERIFY(!licence.contains(QLatin1String("NSIS")));

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

    // The licence tab names every part of the build with its licence, on the notice and over
    // its licence text.
    void licencePageNamesWhatTheBuildContains_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("licence");
        QTest::newRow("Qt") << "Qt"
                            << "LGPL 3";
        QTest::newRow("libmpv") << "libmpv"
                                << "LGPL 2.1+ or GPL 2+, as Debian builds it";
        QTest::newRow("ffmpeg") << "the ffmpeg program"
                                << "LGPL 2.1+ or GPL 2+, as Debian builds it";
        QTest::newRow("Leaflet") << "Leaflet"
                                 << "BSD 2-clause";
        QTest::newRow("OpenStreetMap") << "OpenStreetMap"
                                       << "ODbL 1.0";
    }
    void licencePageNamesWhatTheBuildContains()
    {
        QFETCH(QString, part);
        QFETCH(QString, licence);
        FormAbout w;
        open(w);
        QVERIFY(w.noticeLabel()->text().contains(QRegularExpression(
            QRegularExpression::escape(part) + QStringLiteral("[^<]*, licensed under ") +
            QRegularExpression::escape(licence))));
        QVERIFY(w.licenceLabel()->text().contains(
            QRegularExpression(QStringLiteral("==== ") + QRegularExpression::escape(part) +
                               QStringLiteral("[^\n]* \\(") + QRegularExpression::escape(licence) +
                               QStringLiteral("\\) ===="))));
    }

    void licenceFileThatCannotBeReadIsNamed()
    {
        const QString text = AboutTexts::licenceText([](const QString &path) {
            return path.endsWith(QLatin1String("leaflet")) ? QString() : QStringLiteral("text");
        });
        QVERIFY(text.contains(QLatin1String("(:/licences/leaflet is missing from this build)")));
        QCOMPARE(text.count(QLatin1String("is missing")), 1);
        QVERIFY(text.contains(QStringLiteral("Map data \u00a9 OpenStreetMap contributors")));
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

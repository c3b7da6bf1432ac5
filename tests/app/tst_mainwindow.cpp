#include "appglobals.h"
#include "appsettings.h"
#include "formdialog.h"
#include "formlist.h"
#include "framelesshelper.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "settingkeys.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

using MainWindowTest::action;

class TstMainWindow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;

    static QMenu *menu(MainWindow &w, const char *name)
    {
        return w.findChild<QMenu *>(QString::fromLatin1(name));
    }
    static QByteArray infoFile()
    {
        QFile file(AppSettings::infoFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool hasMarkIcon(QAction *a)
    {
        const QImage mark = QIcon(QStringLiteral(":/image/menubarMark")).pixmap(16, 16).toImage();
        return a->icon().pixmap(16, 16).toImage() == mark;
    }

    // The window with an open menu (and submenu) painted over it, as a user sees it.
    static QImage grabWithMenus(MainWindow &w, const QList<QMenu *> &menus)
    {
        QImage image = w.grab().toImage();
        QPainter painter(&image);
        for (QMenu *m : menus) {
            QApplication::processEvents();
            painter.drawPixmap(w.mapFromGlobal(m->pos()), m->grab());
        }
        return image;
    }

    // The window with an open menu and sub-menu: both drawn over the window with their items.
    void screenshot(MainWindow &w, const QString &name, QMenu *top, QMenu *sub)
    {
        QAction *menuAction = top->menuAction();
        top->popup(w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(menuAction).bottomLeft()));
        QVERIFY(QTest::qWaitForWindowExposed(top));
        QList<QMenu *> shown{top};
        if (sub) {
            const QRect item = top->actionGeometry(sub->menuAction());
            sub->popup(top->mapToGlobal(item.topRight()));
            QVERIFY(QTest::qWaitForWindowExposed(sub));
            shown << sub;
        }
        QTest::qWait(100);
        const QImage picture = grabWithMenus(w, shown);
        for (QMenu *m : shown) {
            const QRect area(w.mapFromGlobal(m->pos()), m->size());
            QVERIFY2(TestSupport::colourCount(picture, area) > 8, qPrintable(m->objectName()));
            const QRect item = m->actionGeometry(m->actions().first());
            QCOMPARE(
                TestSupport::colourAt(picture, &w, &w,
                                      area.topLeft() + QPoint(item.left() + 2, item.center().y())),
                m->grab().toImage().pixelColor(item.left() + 2, item.center().y()));
        }
        QVERIFY(TestSupport::saveScreenshot(picture, name));
        if (sub)
            sub->hide();
        top->hide();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }
    void init() { QFile::remove(AppSettings::infoFilePath()); }

    void startsInPlayerModeWithScreenBasedMinimumSize()
    {
        MainWindow w;
        const int width = QGuiApplication::primaryScreen()->availableGeometry().width() * 8 / 10;
        QCOMPARE(w.minimumWidth(), width);
        QCOMPARE(w.minimumHeight(), width * 209 / 375);
        QCOMPARE(gMode, 0);
        QCOMPARE(w.opMode(), OP_Play);
        QVERIFY(!action(w, "actionWatermark")->isVisible());
        QVERIFY(!action(w, "actionUpdate_Firmware")->isVisible());
        QVERIFY(!action(w, "actionUpdate_Application")->isVisible());
        QCOMPARE(w.locationActions().size(), 8);
    }

    void languageChangeRetextsAndIsStored()
    {
        {
            MainWindow w;
            QSignalSpy applied(&w, &MainWindow::languageApplied);
            const QString english = menu(w, "menuFile")->title();
            w.setLanguage(LangGerman);
            QCOMPARE(applied.count(), 1);
            QCOMPARE(gLanguage, int(LangGerman));
            QVERIFY(menu(w, "menuFile")->title() != english);
            QCOMPARE(menu(w, "menuFile")->title(), gLangMenuBar.value(1));
            QVERIFY(infoFile().contains("Language=1"));
        }
        MainWindow again;
        QCOMPARE(gLanguage, int(LangGerman));
        again.setLanguage(LangEnglish);
    }

    void styleUnitDateAndLocationTakeEffectAndAreStored()
    {
        MainWindow w;
        const QString whiteSheet = w.styleSheet();
        QSignalSpy styled(&w, &MainWindow::styleApplied);
        w.triggerMenu(action(w, "actionStyle_Black"));
        QCOMPARE(gStyle, 1);
        QCOMPARE(styled.count(), 1);
        QVERIFY(w.styleSheet() != whiteSheet);

        w.triggerMenu(action(w, "actionSpeed_mph"));
        QCOMPARE(currentSpeedUnit(), int(SpeedMph));
        w.triggerMenu(action(w, "actionDate_YMD"));
        QCOMPARE(gDateFormat, 2);
        w.triggerMenu(action(w, "actionleft_top"));
        QCOMPARE(parameterValue(SettingKeys::locationSecond), 3);
        QVERIFY(hasMarkIcon(action(w, "actionleft_top")));
        QVERIFY(!hasMarkIcon(action(w, "actionright_bottom")));

        const QByteArray stored = infoFile();
        QVERIFY(stored.contains("Style=1"));
        QVERIFY(stored.contains("Speed Unit=0"));
        QVERIFY(stored.contains("Date=2"));
        QVERIFY(stored.contains("DashcamLocationSecond=3"));
    }

    void factorySettingsRestoreEveryChoice()
    {
        MainWindow w;
        w.setStyle(1);
        w.setLocation(0);
        w.setVerticalFlip(1, true);
        QCOMPARE(w.getVerticalFlip(false), 1);
        w.onRestoreFactorySettings();
        QCOMPARE(gStyle, 0);
        QCOMPARE(parameterValue(SettingKeys::locationSecond), 7);
        QCOMPARE(w.getVerticalFlip(false), 0);
        QVERIFY(infoFile().contains("Style=0"));
    }

    void factoryResetConvertsTheListsDates()
    {
        MainWindow w;
        w.triggerMenu(action(w, "actionDate_MDY"));
        FileInfo_t row;
        row.fileName = QStringLiteral("a.mp4");
        row.filePath = dir_.filePath(QStringLiteral("a.mp4"));
        row.date = QStringLiteral("2024-03-07");
        w.formList()->onInsertList(row);
        const auto dateCell = [&w] { return w.formList()->table()->item(0, 2)->text(); };
        QCOMPARE(dateCell(), QStringLiteral("03-07-2024"));
        w.onRestoreFactorySettings();
        QCOMPARE(gDateFormat, 0);
        QCOMPARE(dateCell(), QStringLiteral("07-03-2024"));
        w.triggerMenu(action(w, "actionDate_YMD"));
        QCOMPARE(dateCell(), QStringLiteral("2024-03-07"));
    }

    void unsavableSettingsAreReportedOnceAndKeptInMemory()
    {
        // info.txt is a folder: nothing can be written in its place
        QVERIFY(QDir().mkdir(AppSettings::infoFilePath()));
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.releaseKeyboard();
        QVERIFY(!w.noticeBox());
        w.triggerMenu(action(w, "actionStyle_Black"));
        QCOMPARE(gStyle, 1);
        QVERIFY(w.noticeBox() && w.noticeBox()->isVisible());
        QVERIFY2(
            w.noticeBox()->text().contains(QDir::toNativeSeparators(AppSettings::infoFilePath())),
            qPrintable(w.noticeBox()->text()));
        w.noticeBox()->close();

        w.triggerMenu(action(w, "actionDate_YMD"));
        w.onRestoreFactorySettings();
        QVERIFY(!w.noticeBox()->isVisible()); // said once
        QCOMPARE(gStyle, 0);
        w.triggerMenu(action(w, "actionSpeed_mph"));
        QCOMPARE(currentSpeedUnit(), int(SpeedMph));
        QVERIFY(QDir().rmdir(AppSettings::infoFilePath()));
    }

    void windowsOpenCentredOnTheMainWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("nearEdge");
        QTest::addColumn<bool>("centred");
        for (const char *window : {"chooser", "dialog"}) {
            QTest::addRow("%s, window in the middle", window) << window << false << true;
            QTest::addRow("%s, window near the edge", window) << window << true << false;
        }
        QTest::newRow("window larger than the screen") << "large" << false << false;
    }
    void windowsOpenCentredOnTheMainWindow()
    {
        QFETCH(QString, window);
        QFETCH(bool, nearEdge);
        QFETCH(bool, centred);
        MainWindow w;
        w.setMinimumSize(0, 0);
        // from the screen the test runs on: two thirds of it (or the least the window's layout
        // takes), in its middle or reaching past its right and bottom edges
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        w.resize(area.size() * 2 / 3);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::processEvents();
        QRect geometry(QPoint(), w.size());
        geometry.moveCenter(area.center());
        if (nearEdge)
            geometry.moveTopLeft(area.bottomRight() -
                                 QPoint(geometry.width() / 2, geometry.height() / 2));
        w.move(geometry.topLeft());
        QTRY_COMPARE(w.geometry(), geometry);
        w.releaseKeyboard();
        QWidget *shown = nullptr;
        if (window == QLatin1String("chooser")) {
            w.onDashCamAddFile_L();
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (top->inherits("FileDialog_C") && top->isVisible())
                    shown = top;
            }
        } else if (window == QLatin1String("large")) {
            auto *large = new QDialog;
            large->setAttribute(Qt::WA_DeleteOnClose);
            large->setWindowFlags(Qt::FramelessWindowHint);
            large->resize(2600, 1400);
            FramelessHelper::install(large);
            large->show();
            shown = large;
        } else {
            w.formDialog()->initOutputSetting(false, false);
            w.formDialog()->show();
            shown = w.formDialog();
        }
        QVERIFY(shown);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QVERIFY2(area.contains(shown->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(shown->x())
                                                                       .arg(shown->y())
                                                                       .arg(shown->width())
                                                                       .arg(shown->height())));
        if (centred)
            QVERIFY2(
                (shown->frameGeometry().center() - w.frameGeometry().center()).manhattanLength() <=
                    2,
                qPrintable(QStringLiteral("window centre %1,%2; main window %3,%4 %5x%6")
                               .arg(shown->frameGeometry().center().x())
                               .arg(shown->frameGeometry().center().y())
                               .arg(w.x())
                               .arg(w.y())
                               .arg(w.width())
                               .arg(w.height())));
        shown->close();
    }

    void verticalFlipAbsentOrOutOfRangeIsMinusOne()
    {
        MainWindow w;
        gParameters.insert(SettingKeys::verticalFlip, QStringLiteral("5"));
        QCOMPARE(w.getVerticalFlip(true), -1);
        gParameters.remove(SettingKeys::subVerticalFlip);
        QCOMPARE(w.getVerticalFlip(false), -1);
    }

    void garbledSettingsFileStartsWithFactoryValues()
    {
        QFile file(AppSettings::infoFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Style=9\nLanguage=\xff\xfe\nDate");
        file.close();
        MainWindow w;
        QCOMPARE(gStyle, 0);
        QCOMPARE(gLanguage, 0);
        QCOMPARE(gDateFormat, 0);
    }

    void calendarModeSwapsThePageAndBack()
    {
        MainWindow w;
        QSignalSpy check(&w, &MainWindow::autoCheckMetadataTriggerd);
        QSignalSpy clearMap(&w, &MainWindow::clearMapAll);
        w.triggerMenu(action(w, "actionCalendar"));
        QCOMPARE(gMode, 1);
        QCOMPARE(check.count(), 1);
        QVERIFY(infoFile().contains("Mode=1"));
        w.triggerMenu(action(w, "actionPlayer"));
        QCOMPARE(gMode, 0);
        QCOMPARE(clearMap.count(), 1);
    }

    void screenshots_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::newRow("white en") << 0 << int(LangEnglish) << "mainwindow-white-en";
        QTest::newRow("black en") << 1 << int(LangEnglish) << "mainwindow-black-en";
        QTest::newRow("white de") << 0 << int(LangGerman) << "mainwindow-white-de";
        QTest::newRow("black de") << 1 << int(LangGerman) << "mainwindow-black-de";
    }
    void screenshots()
    {
        QFETCH(int, style);
        QFETCH(int, language);
        QFETCH(QString, name);
        MainWindow w;
        w.resize(1600, 900 - 40);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setStyle(style);
        w.setLanguage(language);
        w.releaseKeyboard();
        // The menu bar's ground follows the style: light for white, dark for black.
        const QColor bar = TestSupport::colourAt(w.grab().toImage(), &w, w.menuBar(),
                                                 QPoint(w.menuBar()->width() - 4, 4));
        QVERIFY2(style == 0 ? bar.value() > 160 : bar.value() < 96, qPrintable(bar.name()));
        screenshot(w, name + QStringLiteral("-view"), menu(w, "menuView"), menu(w, "menuLocation"));
        screenshot(w, name + QStringLiteral("-settings"), menu(w, "menuSettings"),
                   menu(w, "menuLanguage"));
        w.setLanguage(LangEnglish);
        w.setStyle(0);
    }
};

TALVEX_TEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"

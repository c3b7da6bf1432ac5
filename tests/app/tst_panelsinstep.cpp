// End to end: where the parts of the real main window meet: menu choices that several panels
// share, the trip band at the window's start-up size, and the close of the window.
#include "appglobals.h"
#include "dashcam.h"
#include "formchart.h"
#include "formcontrol.h"
#include "formlist.h"
#include "formshowdata.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtCharts/QChartView>

class TstPanelsInStep : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;

    static void trigger(MainWindow &w, const char *name)
    {
        auto *action = w.findChild<QAction *>(QString::fromLatin1(name));
        QVERIFY(action);
        action->trigger();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // the settings file stays here
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

    // The window starts at its minimum size, 80 % of the screen's width: on screens of 1366 x 768
    // and a little larger the G-sensor chart still shows its axis values, not "...".
    void gsensorAxisReadableAtStartUpSizes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366 x 768 screen") << QSize(1092, 608);
        QTest::newRow("1600 x 900 screen") << QSize(1280, 713);
        QTest::newRow("1680 x 1050 screen") << QSize(1344, 749);
        QTest::newRow("1800 x 1000 screen") << QSize(1440, 802);
    }
    void gsensorAxisReadableAtStartUpSizes()
    {
        QFETCH(QSize, size);
        MainWindow w;
        w.setMinimumSize(size);
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), size);
        QStringList labels;
        QTRY_VERIFY([&] {
            labels.clear();
            for (QGraphicsItem *item : w.chart()->chartView()->scene()->items()) {
                if (auto *text = dynamic_cast<QGraphicsTextItem *>(item))
                    if (!text->toPlainText().isEmpty())
                        labels << text->toPlainText();
            }
            return labels.size() == 3;
        }());
        for (const QString &label : qAsConst(labels))
            QVERIFY2(label.startsWith(QLatin1Char('+')) || label.startsWith(QLatin1Char('-')),
                     qPrintable(labels.join(QLatin1Char(' '))));
        // the plot stays inside the band
        const QWidget *chart = w.chart();
        const QRect inBand(chart->mapTo(w.showData(), QPoint(0, 0)), chart->size());
        QVERIFY(w.showData()->rect().contains(inBand));
        // whole, in the band's area and in the window
        const QWidget *area = w.showData()->parentWidget();
        const QRect inArea(chart->mapTo(area, QPoint(0, 0)), chart->size());
        const QRect areaInWindow(area->mapTo(&w, QPoint(0, 0)), area->size());
        QVERIFY2(area->rect().contains(inArea) && w.rect().contains(areaInWindow),
                 qPrintable(QStringLiteral("chart at %1,%2 %3x%4 in an area of %5x%6")
                                .arg(inArea.x())
                                .arg(inArea.y())
                                .arg(inArea.width())
                                .arg(inArea.height())
                                .arg(area->width())
                                .arg(area->height())));
    }

    // At the same sizes every part of the play bar gets its own room: the clock is not drawn
    // under the position slider or cut.
    void playBarFitsAtStartUpSizes_data() { gsensorAxisReadableAtStartUpSizes_data(); }
    void playBarFitsAtStartUpSizes()
    {
        QFETCH(QSize, size);
        MainWindow w;
        w.setMinimumSize(size);
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget *bar = w.control();
        QVERIFY(bar->width() >= bar->minimumSizeHint().width());
        auto *time = bar->findChild<QLabel *>(QStringLiteral("labelTime"));
        QVERIFY(time);
        QVERIFY(time->width() >= time->sizeHint().width());
        const QRect timeArea(time->mapTo(bar, QPoint(0, 0)), time->size());
        for (const char *name : {"sliderPosition", "comboSpeed"}) {
            auto *neighbour = bar->findChild<QWidget *>(QLatin1String(name));
            QVERIFY(neighbour);
            QVERIFY(!timeArea.intersects(
                QRect(neighbour->mapTo(bar, QPoint(0, 0)), neighbour->size())));
        }
    }

    // Closing the main window ends the program also while one of its own windows is open.
    void closingTheWindowClosesItsWindows_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *name : {"actionVideo_Adjustment", "actionInstruction",
                                 "actionAbout_Player", "actionUpdate_Firmware",
                                 "actionUpdate_Application", "actionWatermark", "actionAdd_Video"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void closingTheWindowClosesItsWindows()
    {
        QFETCH(QString, action);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        trigger(w, qPrintable(action));
        QWidget *opened = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top != &w && top->isVisible())
                opened = top;
        }
        QVERIFY(opened);
        QVERIFY(QTest::qWaitForWindowExposed(opened));
        QVERIFY(w.close());
        // no window is left open that keeps the event loop running
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), top->metaObject()->className());
    }
};

TALVEX_TEST_MAIN(TstPanelsInStep)
#include "tst_panelsinstep.moc"

// The start-up update window's texts, and the update script it runs from the working folder.
#include "startupupdateinterface.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

namespace {

QString text(QWidget &w, const char *name)
{
    return w.findChild<QLabel *>(QLatin1String(name))->text();
}

void call(QObject *o, const char *slot)
{
    QVERIFY(QMetaObject::invokeMethod(o, slot));
}

} // namespace

class TstStartupUpdateInterface : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString oldCwd;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        oldCwd = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(oldCwd); }

    void updateStateTexts()
    {
        QWidget mainWindow;
        StartupUpdateInterface window(&mainWindow);
        window.show();
        QMetaObject::invokeMethod(&window, "onUpdateZqPlayer", Q_ARG(QString, "V1.6.3"));
        QCOMPARE(text(window, "la_status"), QStringLiteral("Update to V1.6.3"));
        QMetaObject::invokeMethod(&window, "onUpdateZqPlayer", Q_ARG(QString, "true"));
        QCOMPARE(text(window, "la_status"), QStringLiteral("Update to V1.6.3"));
        QTest::qWait(600);
        QVERIFY(!mainWindow.isVisible());
        QMetaObject::invokeMethod(&window, "onUpdateZqPlayer", Q_ARG(QString, "false"));
        QCOMPARE(text(window, "la_status"), QStringLiteral("Latest Version"));
        QVERIFY(window.isVisible());
        QTRY_VERIFY(mainWindow.isVisible());
        QVERIFY(!window.isVisible());
    }

    void countAndPercent()
    {
        StartupUpdateInterface window(nullptr);
        QMetaObject::invokeMethod(&window, "downloadCount", Q_ARG(signed char, 2),
                                  Q_ARG(signed char, 3));
        QCOMPARE(text(window, "la_progress"), QStringLiteral("Downloading update 1 of 3 ... 0%"));
        QMetaObject::invokeMethod(&window, "updateProgress", Q_ARG(qlonglong, 512),
                                  Q_ARG(qlonglong, 1024));
        QCOMPARE(text(window, "la_progress"), QStringLiteral("Downloading update 1 of 3 ... 50%"));
        QMetaObject::invokeMethod(&window, "updateProgress", Q_ARG(qlonglong, 512),
                                  Q_ARG(qlonglong, -1));
        QCOMPARE(text(window, "la_progress"), QStringLiteral("Downloading update 1 of 3 ..."));
    }

    // The script runs from a working folder with a blank in its path; the program ends after.
    void scriptRunsThenTheProgramEnds()
    {
        const QString work = dir.filePath(QStringLiteral("player folder"));
        QVERIFY(QDir().mkpath(work));
        QFile script(work + QStringLiteral("/update_Start.sh"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ncd \"$(dirname \"$0\")\" && echo done > \"ran here.txt\"\n");
        script.close();
        QDir::setCurrent(work);
        StartupUpdateInterface window(nullptr);
        int quits = 0;
        window.setQuitFunction([&quits] { ++quits; });
        call(&window, "onUpdateComplete");
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("la_complete"))->isVisibleTo(&window));
        QTRY_COMPARE(quits, 1);
        QVERIFY(QFileInfo::exists(work + QStringLiteral("/ran here.txt")));
    }

    void missingScriptKeepsTheProgram()
    {
        const QString work = dir.filePath(QStringLiteral("empty folder"));
        QVERIFY(QDir().mkpath(work));
        QDir::setCurrent(work);
        StartupUpdateInterface window(nullptr);
        int quits = 0;
        window.setQuitFunction([&quits] { ++quits; });
        call(&window, "onExecuteDat");
        QTest::qWait(200);
        QCOMPARE(quits, 0);
        QCOMPARE(text(window, "la_status"),
                 QStringLiteral("Cannot find %1/update_Start.sh.").arg(work));
    }
};

TALVEX_TEST_MAIN(TstStartupUpdateInterface)
#include "tst_startupupdate.moc"

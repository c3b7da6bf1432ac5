// The per-user data folder: made when missing, proved writable by a real file, then the working
// directory; a folder that cannot be used leaves the working directory where it was.
#include "datafolder.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

class TstDataFolder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void entersOrSaysWhy_data();
    void entersOrSaysWhy();
    void folderThatTakesNoFileIsRefused();
    void relativeDataHomeIsIgnored();

private:
    QString startFolder_;
    QByteArray dataHome_;
};

void TstDataFolder::init()
{
    startFolder_ = QDir::currentPath();
    dataHome_ = qgetenv("XDG_DATA_HOME");
}

void TstDataFolder::cleanup()
{
    QDir::setCurrent(startFolder_);
    if (dataHome_.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome_);
}

void TstDataFolder::entersOrSaysWhy_data()
{
    QTest::addColumn<QString>("dataHome"); // in a folder of "file", "home/talvex-player" (both
                                           // regular files) and "existing/talvex-player"
    QTest::addColumn<QString>("error");    // after the folder's name; empty: entered
    QTest::newRow("missing, with its parents") << "new/share" << QString();
    QTest::newRow("there already") << "existing" << QString();
    QTest::newRow("below a regular file") << "file/share"
                                          << "\" cannot be created: Not a directory.";
    QTest::newRow("itself a regular file") << "home"
                                           << "\" cannot be created: Not a directory.";
}

void TstDataFolder::entersOrSaysWhy()
{
    QFETCH(QString, dataHome);
    QFETCH(QString, error);
    QTemporaryDir base;
    QVERIFY(base.isValid());
    TestSupport::writeFile(base.filePath(QStringLiteral("file")), "a regular file");
    QVERIFY(QDir().mkpath(base.filePath(QStringLiteral("home"))));
    TestSupport::writeFile(base.filePath(QStringLiteral("home/talvex-player")), "a file");
    QVERIFY(QDir().mkpath(base.filePath(QStringLiteral("existing/talvex-player"))));
    const QString home = base.filePath(dataHome);
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    const QString path = home + QStringLiteral("/talvex-player");
    const QMap<QString, QByteArray> before = TestSupport::entriesOf(base.path(), true);

    DataFolder folder;
    QCOMPARE(folder.path(), path);
    QCOMPARE(folder.enter(), error.isEmpty());
    if (error.isEmpty()) {
        QVERIFY(folder.errorString().isEmpty());
        QCOMPARE(QDir::currentPath(), path);
        // the write check leaves nothing behind
        QVERIFY(QDir(path).isEmpty());
        return;
    }
    QCOMPARE(folder.errorString(), QStringLiteral("The data folder \"") + path + error);
    QCOMPARE(QDir::currentPath(), startFolder_);
    QCOMPARE(TestSupport::entriesOf(base.path(), true), before);
}

// Root passes every permission check: only a file really made in the folder tells.
void TstDataFolder::folderThatTakesNoFileIsRefused()
{
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString path = base.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    // immutable even for root; undone before the folder is removed
    const bool immutable = QProcess::execute(QStringLiteral("chattr"), {"+i", path}) == 0;
    const auto unlock = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {"-i", path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (QFile(path + QStringLiteral("/probe")).open(QIODevice::WriteOnly))
        QSKIP("this user can write into any folder here: chattr is missing or refused");

    DataFolder folder(path);
    QVERIFY(!folder.enter());
    QVERIFY2(folder.errorString().startsWith(QStringLiteral("The data folder \"") + path +
                                             QStringLiteral("\" cannot be written: ")),
             qPrintable(folder.errorString()));
    QCOMPARE(QDir::currentPath(), startFolder_);
}

void TstDataFolder::relativeDataHomeIsIgnored()
{
    qputenv("XDG_DATA_HOME", "share");
    QCOMPARE(DataFolder::defaultPath(),
             QDir::homePath() + QStringLiteral("/.local/share/talvex-player"));
}

TALVEX_TEST_MAIN(TstDataFolder)
#include "tst_datafolder.moc"

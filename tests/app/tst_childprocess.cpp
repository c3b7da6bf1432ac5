// A child of the program inherits the descriptors it is handed, at their numbers, and no other of
// the program's: also not one that was opened without close-on-exec.
#include "childprocess.h"
#include "descriptor.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>

class TstChildProcess : public QObject
{
    Q_OBJECT
private slots:
    void inheritsOnlyTheHandedDescriptors()
    {
        QTemporaryDir dir;
        const QString careless = dir.filePath(QStringLiteral("careless.txt"));
        TestSupport::writeFile(careless, "opened as a library might");
        const Descriptor carelessFd(::open(QFile::encodeName(careless).constData(), O_RDONLY));
        const Descriptor handed(
            ::open(QFile::encodeName(dir.path()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        QVERIFY(carelessFd.isValid() && handed.isValid());

        ChildProcess child;
        child.setInheritedDescriptors({handed.fd()});
        // the child's own descriptors, each with what it leads to
        child.start(QStringLiteral("ls"), {QStringLiteral("-l"), QStringLiteral("/proc/self/fd")});
        QVERIFY(child.waitForFinished(30000));
        const QString listing = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(listing.contains(QStringLiteral(" %1 -> %2\n").arg(handed.fd()).arg(dir.path())),
                 qPrintable(listing));
        QVERIFY2(!listing.contains(careless), qPrintable(listing));
    }
};

QTEST_GUILESS_MAIN(TstChildProcess)
#include "tst_childprocess.moc"

#include "fatcard.h"

#include "removabledrives.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>

namespace {

constexpr int waitMs = 30000;
constexpr int pollMs = 20;

bool isMountPoint(const QString &path)
{
    for (const RemovableDrives::MountedVolume &volume : RemovableDrives::mountedVolumes()) {
        if (volume.rootPath == path)
            return true;
    }
    return false;
}

// Runs a tool to its end: "" when it exited 0, else what it said.
QString runTool(const QString &program, const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, args);
    const bool ended = tool.waitForFinished(waitMs); // else killed with the object
    if (ended && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return QString();
    return program + QStringLiteral(": ") +
           (ended ? QString::fromLocal8Bit(tool.readAll()) : QStringLiteral("did not end"));
}

} // namespace

QString FatCard::unavailableReason()
{
    // a device node that a container does not let us open is as good as none
    QFile fuse(QStringLiteral("/dev/fuse"));
    return fuse.open(QIODevice::ReadWrite | QIODevice::Unbuffered)
               ? QString()
               : QStringLiteral("no usable /dev/fuse here: ") + fuse.errorString();
}

FatCard::FatCard(int sizeMiB)
{
    const QString image = dir_.filePath(QStringLiteral("card.img"));
    QFile file(image);
    if (!QDir(dir_.path()).mkdir(QStringLiteral("card")) || !file.open(QIODevice::WriteOnly) ||
        !file.resize(qint64(sizeMiB) * 1024 * 1024)) {
        error_ = QStringLiteral("no image file: ") + file.errorString();
        return;
    }
    file.close();
    error_ = runTool(QStringLiteral("mkfs.vfat"), {image});
    if (!error_.isEmpty())
        return;
    // the driver logs each cluster it writes: into a file, as a pipe left unread by a test thread
    // held up on the card would fill and hold the driver up in turn
    const QString log = dir_.filePath(QStringLiteral("driver.log"));
    driver_.setProcessChannelMode(QProcess::MergedChannels);
    driver_.setStandardOutputFile(log);
    driver_.start(QStringLiteral("fusefat"), {QStringLiteral("-f"), QStringLiteral("-o"),
                                              QStringLiteral("rw+,auto_unmount"), image, root()});
    if (!driver_.waitForStarted(waitMs) || !waitUntilMounted(true))
        error_ = QStringLiteral("fusefat did not mount the card: ") +
                 QString::fromLocal8Bit(TestSupport::contentOf(log));
}

FatCard::~FatCard()
{
    resumeDriver();
    // the driver ends once its card is unmounted (lazily while a file is open on it); killed, it
    // takes the card with it
    if (isMountPoint(root()) &&
        !runTool(QStringLiteral("fusermount"), {QStringLiteral("-u"), root()}).isEmpty())
        runTool(QStringLiteral("fusermount"), {QStringLiteral("-u"), QStringLiteral("-z"), root()});
    if (driver_.state() != QProcess::NotRunning && !driver_.waitForFinished(waitMs))
        driver_.kill();
    if (!waitUntilMounted(false)) {
        // removing the folder would go through the card and whatever is mounted there
        dir_.setAutoRemove(false);
        qWarning("FatCard: %s stays mounted", qPrintable(root()));
    }
}

bool FatCard::isMounted() const
{
    return driver_.state() == QProcess::Running && isMountPoint(root());
}

bool FatCard::waitUntilMounted(bool mounted) const
{
    const QDeadlineTimer deadline(waitMs);
    while (isMountPoint(root()) != mounted && !deadline.hasExpired())
        QThread::msleep(pollMs);
    return isMountPoint(root()) == mounted;
}

bool FatCard::stopDriver()
{
    if (stoppedPid_ == 0 && isMounted()) {
        const auto pid = pid_t(driver_.processId());
        if (::kill(pid, SIGSTOP) == 0)
            stoppedPid_ = pid;
    }
    return stoppedPid_ != 0;
}

bool FatCard::resumeDriver()
{
    const pid_t pid = stoppedPid_.exchange(0);
    if (pid != 0 && ::kill(pid, SIGCONT) != 0)
        stoppedPid_ = pid;
    return stoppedPid_ == 0;
}

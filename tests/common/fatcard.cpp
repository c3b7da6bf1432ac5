#include "fatcard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

constexpr int mountWaitMs = 20000;
constexpr int toolWaitMs = 30000;
constexpr int pollMs = 20;

// True when path is a mount point of this process's mount table (the fifth field of
// /proc/self/mountinfo; the test folders hold no blank that the table would escape).
bool isMountPoint(const QString &path)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QFile::encodeName(path);
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 4 && fields.at(4) == wanted)
            return true;
    }
    return false;
}

// Runs a tool to its end; its output, or "" when it exited 0.
QString runTool(const QString &program, const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, args);
    if (!tool.waitForFinished(toolWaitMs)) {
        tool.kill();
        tool.waitForFinished();
        return program + QStringLiteral(" did not end");
    }
    if (tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return QString();
    return program + QStringLiteral(": ") + QString::fromLocal8Bit(tool.readAll());
}

} // namespace

QString FatCard::unavailableReason()
{
    return QFileInfo::exists(QStringLiteral("/dev/fuse")) ? QString()
                                                          : QStringLiteral("no /dev/fuse here");
}

FatCard::FatCard(int sizeMiB)
{
    const QString image = dir_.filePath(QStringLiteral("card.img"));
    if (!dir_.isValid() || !QDir(dir_.path()).mkdir(QStringLiteral("card"))) {
        error_ = QStringLiteral("no folder for the card");
        return;
    }
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(sizeMiB) * 1024 * 1024)) {
        error_ = QStringLiteral("no image file: ") + file.errorString();
        return;
    }
    file.close();
    error_ = runTool(QStringLiteral("mkfs.vfat"), {image});
    if (!error_.isEmpty())
        return;
    driver_.setProcessChannelMode(QProcess::MergedChannels);
    driver_.start(QStringLiteral("fusefat"), {QStringLiteral("-f"), QStringLiteral("-o"),
                                              QStringLiteral("rw+,auto_unmount"), image, root()});
    const QDeadlineTimer deadline(mountWaitMs);
    while (!isMountPoint(root()) && driver_.state() != QProcess::NotRunning &&
           !deadline.hasExpired())
        driver_.waitForFinished(pollMs);
    if (!isMounted())
        error_ = QStringLiteral("fusefat did not mount the card: ") +
                 QString::fromLocal8Bit(driver_.readAll());
}

FatCard::~FatCard()
{
    resumeDriver();
    if (!unmount()) {
        // removing the folder would go through the card and whatever is mounted there
        dir_.setAutoRemove(false);
        qWarning("FatCard: %s stays mounted: %s", qPrintable(root()), qPrintable(error_));
    }
}

bool FatCard::isMounted() const
{
    return driver_.state() == QProcess::Running && isMountPoint(root());
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

bool FatCard::unmount()
{
    if (isMountPoint(root())) {
        // the driver ends once its card is unmounted
        const QString failed =
            runTool(QStringLiteral("fusermount"), {QStringLiteral("-u"), root()});
        if (!failed.isEmpty()) {
            error_ = failed;
            runTool(QStringLiteral("fusermount"),
                    {QStringLiteral("-u"), QStringLiteral("-z"), root()});
        }
    }
    if (driver_.state() != QProcess::NotRunning && !driver_.waitForFinished(toolWaitMs)) {
        driver_.kill(); // auto_unmount takes the card away with it
        driver_.waitForFinished(toolWaitMs);
    }
    const QDeadlineTimer deadline(mountWaitMs);
    while (isMountPoint(root()) && !deadline.hasExpired())
        QThread::msleep(pollMs);
    return !isMountPoint(root());
}

#include "exporttestfiles.h"

#include "gpstrailer.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTime>

#include <cerrno>
#include <cstring>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ExportTestFiles {

QVector<VideoInfo_t> makeSamples(int n)
{
    QVector<VideoInfo_t> samples;
    for (int i = 0; i < n; ++i) {
        VideoInfo_t s;
        s.recordTime = QStringLiteral("%1").arg(i);
        s.clockTime = QTime(12, 0, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss")) +
                      QStringLiteral("  07/08/2024");
        s.latText = QStringLiteral("N25°01'58.8\"");
        s.latDecimalText = QStringLiteral("25.03%1").arg(i % 10);
        s.lat = 25.03;
        s.lonText = QStringLiteral("E121°33'52.3\"");
        s.lonDecimalText = QStringLiteral("121.5645%1").arg(i % 10);
        s.lon = 121.5645;
        s.extraValue = 1.5f;
        s.speedKmh = 40.0 + i * 0.5;
        s.speedMph = s.speedKmh / 1.609344;
        s.gX = -0.25f;
        s.gY = 0.5f;
        s.gZ = float(i % 4) * 0.25f;
        samples.append(s);
    }
    return samples;
}

bool appendTrailer(const QString &path, const QVector<VideoInfo_t> &samples)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(GpsTrailer::cutTrailer(samples, CutSpan{0, samples.size()})) > 0;
}

bool makeSourceWithTrailer(const QString &path, int seconds, const QVector<VideoInfo_t> &samples,
                           bool withAudio)
{
    return TestSupport::makeClip(path, seconds, QStringLiteral("320x240"), withAudio) &&
           appendTrailer(path, samples);
}

bool writeFfmpegStandIn(const QString &dir, const QByteArray &body)
{
    QDir(dir).mkpath(QStringLiteral("FFmpeg"));
    QFile file(QDir(dir).filePath(QStringLiteral("FFmpeg/ffmpeg")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("#!/bin/sh\n" + body);
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

double decodedDuration(const QString &path, bool *hasAudio)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ffmpeg"),
                  {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-i"),
                   path, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return -1;
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (hasAudio)
        *hasAudio = output.contains(QLatin1String("Audio:"));
    // The last progress line holds the decoded length.
    const QRegularExpression timeField(QStringLiteral("time=(\\d+):(\\d+):(\\d+\\.\\d+)"));
    double seconds = -1;
    auto it = timeField.globalMatch(output);
    while (it.hasNext()) {
        const auto match = it.next();
        seconds = match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 +
                  match.captured(3).toDouble();
    }
    return seconds;
}

TmpfsMount::TmpfsMount(const QString &folder, const QString &options) : folder_(folder)
{
    if (::geteuid() != 0) {
        problem_ = QStringLiteral("mounting a tmpfs needs root");
        return;
    }
    QDir().mkpath(folder);
    QProcess mount;
    mount.setProcessChannelMode(QProcess::MergedChannels);
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                 QStringLiteral("tmpfs"), folder});
    mounted_ = mount.waitForFinished() && mount.exitStatus() == QProcess::NormalExit &&
               mount.exitCode() == 0;
    if (!mounted_)
        problem_ = QStringLiteral("mount -t tmpfs failed: ") +
                   QString::fromLocal8Bit(mount.readAll()).trimmed();
}

TmpfsMount::~TmpfsMount()
{
    // lazy: a file the program still holds open does not keep the mount
    if (mounted_)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("--lazy"), folder_});
}

namespace {
// The calling thread's effective CAP_FOWNER on or off (it stays permitted).
bool setFileOwnerCapability(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned bit = 1u << (CAP_FOWNER % 32);
    data[CAP_FOWNER / 32].effective =
        on ? data[CAP_FOWNER / 32].effective | bit : data[CAP_FOWNER / 32].effective & ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}
} // namespace

SharedFolderAsUser::SharedFolderAsUser(const QString &folder)
{
    if (::geteuid() != 0) {
        problem_ = QStringLiteral("a folder of another owner needs root");
        return;
    }
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(folder);
    if (::chmod(path.constData(), 01777) != 0 ||
        ::chown(path.constData(), otherUser, otherUser) != 0 || !setFileOwnerCapability(false)) {
        problem_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    ready_ = true;
}

SharedFolderAsUser::~SharedFolderAsUser()
{
    if (ready_)
        setFileOwnerCapability(true);
}

bool fillLeaving(const QString &folder, qint64 freeBytes)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 excess = QStorageInfo(folder).bytesAvailable() - freeBytes;
    if (excess > 0)
        filler.write(QByteArray(int(excess), 'f'));
    filler.close();
    return QStorageInfo(folder).bytesAvailable() == freeBytes;
}

} // namespace ExportTestFiles

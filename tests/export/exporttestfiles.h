// Fixtures of the export tests: per-second samples, sources with a GPS trailer, ffmpeg stand-ins.
#pragma once

#include "sharedtypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace ExportTestFiles {

// n samples with distinct clock, position, speed and G-sensor values; sample i is second i.
QVector<VideoInfo_t> makeSamples(int n);

// Appends the export trailer of samples to the file at path; true when it was written.
bool appendTrailer(const QString &path, const QVector<VideoInfo_t> &samples);

// A clip of the given length made by ffmpeg with the export trailer of samples appended.
bool makeSourceWithTrailer(const QString &path, int seconds, const QVector<VideoInfo_t> &samples,
                           bool withAudio = true);

// An executable shell script at dir/FFmpeg/ffmpeg with the given body.
bool writeFfmpegStandIn(const QString &dir, const QByteArray &body);

// Duration in seconds and stream kinds of a file by ffmpeg's own decoding; -1 when unreadable.
double decodedDuration(const QString &path, bool *hasAudio = nullptr);

// A tmpfs mounted on folder (made when missing) for the object's life: a small disk of its own
// or a read-only one. Needs root (mount(8)); problem() says why it is not mounted.
class TmpfsMount
{
public:
    // options as mount(8) takes them, e.g. "size=64k" or "ro,size=64k"
    TmpfsMount(const QString &folder, const QString &options);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;
    bool isMounted() const { return mounted_; }
    QString problem() const { return problem_; }

private:
    QString folder_;
    bool mounted_ = false;
    QString problem_;
};

// A folder shared as /tmp is (sticky, world-writable, of another owner), and for the object's life
// the calling thread without CAP_FOWNER, as a normal user's program is: the kernel then refuses
// it to replace an entry of that other owner there. Needs root; problem() says why not ready.
class SharedFolderAsUser
{
public:
    explicit SharedFolderAsUser(const QString &folder);
    ~SharedFolderAsUser(); // the thread's capability back
    SharedFolderAsUser(const SharedFolderAsUser &) = delete;
    SharedFolderAsUser &operator=(const SharedFolderAsUser &) = delete;
    bool isReady() const { return ready_; }
    QString problem() const { return problem_; }
    // The folder's owner, the other user of the entries a test gives away.
    static constexpr unsigned otherUser = 65534; // nobody

private:
    bool ready_ = false;
    QString problem_;
};

// Writes a filler file into folder until exactly freeBytes (a multiple of the volume's block
// size) stay available on its volume; false when the volume does not come out so.
bool fillLeaving(const QString &folder, qint64 freeBytes);

} // namespace ExportTestFiles

// One camera's player: opens files and groups in mpv, reports samples, positions and file rows.
#pragma once

#include "sharedtypes.h"

#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QVector>

#include <functional>
#include <memory>

class MpvCore;
class MpvProbe;
class VideoWidget;

// What the player knows of the open media.
struct DashcamStatistics
{
    qint64 durationMs = 0;
    int width = 0;
    int height = 0;
    QString hwdec; // hardware decoder in use, empty for software decoding
};

class Dashcam : public QObject
{
    Q_OBJECT
public:
    explicit Dashcam(QObject *parent = nullptr);
    ~Dashcam() override;

    // The view drawing this player; created without parent, owned by whoever lays it out
    // (deleted with the player when nobody took it). GUI thread only.
    VideoWidget *getVideoWidget() const;

    // Local path of the open file (a group: its first member); empty when none.
    QString getMediaPath() const { return mediaPath_; }
    // "<w>x<h>", "0x0" while unknown.
    QString getResolution() const;
    DashcamStatistics statistics() const;
    FileInfo_t fileInfo() const { return fileInfo_; }
    MediaPlayerStatus playStatus() const { return status_; }
    qint64 positionMs() const;
    qint64 durationMs() const { return durationMs_; }
    // One frame of the open video in ms (40 when the rate is unknown).
    double frameDurationMs() const;
    double speed() const { return speed_; }

    void stepForward();
    void stepBackward();
    // Playback rate, 1 = normal.
    void setSpeed(double factor);
    void setVolume(int percent);
    void setMute(bool on);
    // The volume in percent and the mute as mpv applies them.
    int volume() const;
    bool isMuted() const;
    // Writes the current picture as image file path; true when the file was written.
    bool snapshot(const QString &path);
    // Stops and unloads the media; reports the empty state (empty path, zero length and position).
    void release();
    // Seeks to ms (exact); asked while a file opens, it applies once the file is open.
    void setPositionMs(qint64 ms);

    // Reads one file's per-second samples; runs on a worker thread while the file opens.
    using SampleReader = std::function<QVector<VideoInfo_t>(const QString &path)>;
    // Replaces the GPS trailer reader (tests hold it back to see the picture come first).
    void setSampleReader(SampleReader reader) { sampleReader_ = std::move(reader); }

public slots:
    void setMedia(QList<QUrl> urls);
    void setMedia2(QUrl url);
    void setGroupMedia(QVector<QUrl> urls, QVector<QTime> durtions);
    void hasAutoPlaySignal();
    void play();
    void pause();
    void stop();
    // pos in hundredths of a second.
    void setPosition(int pos);

signals:
    void fileInfoChanged(FileInfo_t fileinfo);
    void MediaPathChanged(QString path);
    // Samples of the newly opened file or group, sample i = second i; receivers may rewrite them.
    void MediaChanged(QVector<VideoInfo_t> &samples);
    void infoChanged(VideoInfo_t vi, bool isValid);
    void durationChanged(QTime duration);
    void subMediaTriggerd(QUrl url);
    // Every 200 ms while playing, at once for a step or seek while not playing, each followed by
    // infoChanged; and once after the playStatusChanged that ends playing (a pause, a stop, the
    // end) with the position playback stopped at, followed by infoChanged for a pause.
    void positionChanged(qint64 ms);
    void lengthChanged(qint64 ms);
    void playStatusChanged(MediaPlayerStatus status);
    // A file is missing (the open media stays) or mpv could not open it (the player is then
    // empty, reported before this signal).
    void mediaError(QString path, QString message);
    // setPositionMs or setPosition asked for a seek to ms.
    void seeking(qint64 ms);
    void speedChanged(double factor);

private:
    enum class Load
    {
        Idle,
        Opening,
        Open
    };
    struct Pending
    {
        QString path;            // shown path (first member of a group)
        QString target;          // what mpv loads: a path or an EDL timeline
        QStringList members;     // group member paths; empty for a single file
        QVector<double> lengths; // group member lengths in seconds
        bool reportPartner = false;
        QStringList others; // further files of setMedia, probed after this one opens
    };

    void observeProperties();
    void onPropertyChanged(const QByteArray &name, const QVariant &value);
    void onEndFile(qint64 entryId, int reason, int error);
    void onPlaybackRestarted();
    void onRenderContextChanged(bool ready);
    void open(Pending pending);
    void onOpened();
    // Reads the samples of pending_ on a worker thread, so that the first picture does not wait
    // for them; the open completes once both the picture and the samples are there.
    void startReadingSamples();
    void onSamplesRead();
    void emitTick();
    void updateStatus();
    void seekSeconds(double seconds);
    void setPaused(bool on);
    // Tells receivers that no media is open: empty path, zero length and position.
    void reportEmpty();

    std::unique_ptr<MpvCore> core_; // destroyed last: the view and probe use it
    std::unique_ptr<MpvProbe> probe_;
    QPointer<VideoWidget> videoWidget_;
    QTimer tick_;
    // Observed mpv property -> what its change does here.
    QHash<QByteArray, std::function<void(const QVariant &)>> propertyHandlers_;

    Pending pending_;
    Load load_ = Load::Idle;
    quint64 generation_ = 0; // counts opens; receivers may start a new open inside a signal
    qint64 entryId_ = -1;
    qint64 startedId_ = -1;
    bool fileLoaded_ = false;
    bool restartAfterLoad_ = false; // the output changed while the file was opening
    bool restarted_ = false;        // the opening file has shown its first picture
    struct ReadSamples
    {
        quint64 generation = 0;
        QVector<VideoInfo_t> samples;
    };
    SampleReader sampleReader_;
    QFutureWatcher<ReadSamples> samplesReader_;
    bool samplesRead_ = false; // samples_ belong to the opening file
    bool autoPlay_ = false;
    bool seeking_ = false;      // a seek is under way until mpv restarts playback
    bool stepping_ = false;     // a forward frame step from pause is under way
    QList<bool> pendingSteps_;  // frame steps (true: forward) waiting for a seek to land
    qint64 pendingSeekMs_ = -1; // seek asked for while the file was opening

    QString mediaPath_;
    QVector<VideoInfo_t> samples_;
    FileInfo_t fileInfo_;
    qint64 durationMs_ = 0;
    int width_ = 0;
    int height_ = 0;
    double fps_ = 0.0;
    double speed_ = 1.0;
    bool paused_ = true;
    bool eof_ = false;
    bool stopped_ = false; // stop() was called and nothing has played since
    MediaPlayerStatus status_ = StoppedState;
};

#include "dashcam.h"

#include "metadataparser.h"
#include "mpvcore.h"
#include "mpvedl.h"
#include "mpvmediainfo.h"
#include "mpvprobe.h"
#include "partnerfile.h"
#include "videowidget.h"
#include "workerpool.h"

#include <QFileInfo>

#include <cmath>
#include <utility>

namespace {

constexpr int tickIntervalMs = 200;
constexpr double defaultFrameMs = 40.0;

QVector<VideoInfo_t> readFileSamples(const QString &path)
{
    QVector<VideoInfo_t> samples;
    MetadataParser().loadMetadata(path, nullptr, &samples, nullptr, nullptr, nullptr, nullptr,
                                  false);
    return samples;
}

// One clock over a group: each member fills exactly its length in seconds.
QVector<VideoInfo_t> readGroupSamples(const Dashcam::SampleReader &read, const QStringList &members,
                                      const QVector<double> &lengths)
{
    QVector<VideoInfo_t> samples;
    for (int i = 0; i < members.size(); ++i) {
        QVector<VideoInfo_t> member = read(members.at(i));
        const int seconds = static_cast<int>(lengths.at(i));
        if (seconds > 0)
            member.resize(seconds);
        samples += member;
    }
    return samples;
}

QString localPath(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

Dashcam::Dashcam(QObject *parent)
    : QObject(parent),
      core_(std::make_unique<MpvCore>(QList<QPair<QByteArray, QByteArray>>{
          // The picture goes to VideoWidget once its render context exists; until then to null.
          {"vo", "null"},
          {"hwdec", "auto-safe"},
          // mpv's fallback SDL audio crashes, and JACK's client library can hang or crash, when
          // several players start at once on a machine without a sound server; without one of
          // these the file plays without sound
          {"ao", "pipewire,pulse,alsa"},
          {"keep-open", "yes"},
          {"idle", "yes"},
          {"pause", "yes"},
          {"terminal", "no"},
          {"input-default-bindings", "no"},
          {"audio-client-name", "Talvex Player"}})),
      probe_(std::make_unique<MpvProbe>()), sampleReader_(&readFileSamples)
{
    videoWidget_ = new VideoWidget(core_.get());
    connect(videoWidget_, &VideoWidget::renderContextChanged, this,
            &Dashcam::onRenderContextChanged);
    tick_.setInterval(tickIntervalMs);
    connect(&tick_, &QTimer::timeout, this, &Dashcam::emitTick);

    connect(core_.get(), &MpvCore::propertyChanged, this, &Dashcam::onPropertyChanged);
    connect(core_.get(), &MpvCore::startFile, this, [this](qint64 id) { startedId_ = id; });
    connect(core_.get(), &MpvCore::fileLoaded, this, [this] {
        if (load_ != Load::Opening || startedId_ != entryId_)
            return;
        fileLoaded_ = true;
        if (std::exchange(restartAfterLoad_, false))
            seekSeconds(0.0);
    });
    connect(core_.get(), &MpvCore::endFile, this, &Dashcam::onEndFile);
    connect(core_.get(), &MpvCore::playbackRestarted, this, &Dashcam::onPlaybackRestarted);
    connect(&samplesReader_, &QFutureWatcher<ReadSamples>::finished, this, &Dashcam::onSamplesRead);
    connect(probe_.get(), &MpvProbe::probed, this, &Dashcam::fileInfoChanged);
    connect(probe_.get(), &MpvProbe::failed, this, &Dashcam::mediaError);
    observeProperties();
}

Dashcam::~Dashcam()
{
    if (videoWidget_) {
        videoWidget_->releaseRenderContext();
        if (!videoWidget_->parent())
            delete videoWidget_;
    }
}

void Dashcam::observeProperties()
{
    const struct
    {
        const char *name;
        mpv_format format;
        std::function<void(const QVariant &)> handler;
    } table[] = {
        {"time-pos", MPV_FORMAT_DOUBLE,
         [this](const QVariant &value) {
             // While playing the 200 ms tick reports; steps and seeks in pause report at once.
             if (load_ == Load::Open && status_ != PlayingState && value.isValid())
                 emitTick();
         }},
        {"pause", MPV_FORMAT_FLAG,
         [this](const QVariant &value) {
             paused_ = value.toBool();
             if (paused_)
                 stepping_ = false;
             updateStatus();
         }},
        {"eof-reached", MPV_FORMAT_FLAG,
         [this](const QVariant &value) {
             eof_ = value.toBool();
             updateStatus();
         }},
        {"width", MPV_FORMAT_INT64, [this](const QVariant &value) { width_ = value.toInt(); }},
        {"height", MPV_FORMAT_INT64, [this](const QVariant &value) { height_ = value.toInt(); }},
        {"container-fps", MPV_FORMAT_DOUBLE,
         [this](const QVariant &value) { fps_ = value.toDouble(); }},
    };
    for (const auto &entry : table) {
        propertyHandlers_.insert(QByteArray(entry.name), entry.handler);
        core_->observe(entry.name, entry.format);
    }
}

void Dashcam::onPropertyChanged(const QByteArray &name, const QVariant &value)
{
    const auto handler = propertyHandlers_.constFind(name);
    if (handler != propertyHandlers_.constEnd())
        (*handler)(value);
}

void Dashcam::onRenderContextChanged(bool ready)
{
    // Changing "vo" re-creates the video output of an open file; a seek to the current position
    // then gives the new output its picture even while paused.
    core_->setProperty("vo", ready ? QStringLiteral("libmpv") : QStringLiteral("null"));
    // A file still opening loses its playback restart with the old output: a seek once it is
    // loaded brings a new one.
    if (ready && load_ == Load::Opening && !fileLoaded_)
        restartAfterLoad_ = true;
    else if (ready && load_ != Load::Idle)
        seekSeconds(positionMs() / 1000.0);
}

VideoWidget *Dashcam::getVideoWidget() const
{
    return videoWidget_;
}

QString Dashcam::getResolution() const
{
    return QStringLiteral("%1x%2").arg(width_).arg(height_);
}

DashcamStatistics Dashcam::statistics() const
{
    DashcamStatistics stats;
    stats.durationMs = durationMs_;
    stats.width = width_;
    stats.height = height_;
    const QString hwdec = core_->property("hwdec-current").toString();
    stats.hwdec = hwdec == QLatin1String("no") ? QString() : hwdec;
    return stats;
}

qint64 Dashcam::positionMs() const
{
    if (load_ != Load::Open)
        return 0;
    return std::llround(core_->property("time-pos").toDouble() * 1000.0);
}

double Dashcam::frameDurationMs() const
{
    return fps_ > 0.0 ? 1000.0 / fps_ : defaultFrameMs;
}

void Dashcam::setMedia(QList<QUrl> urls)
{
    QStringList paths;
    for (const QUrl &url : urls) {
        const QString path = localPath(url);
        if (QFileInfo(path).isFile())
            paths << path;
        else
            emit mediaError(url.toString(), tr("The file does not exist."));
    }
    if (paths.isEmpty())
        return;
    Pending pending;
    pending.path = paths.takeFirst();
    pending.target = pending.path;
    pending.reportPartner = true;
    pending.others = paths;
    open(pending);
}

void Dashcam::setMedia2(QUrl url)
{
    const QString path = localPath(url);
    if (!QFileInfo(path).isFile()) {
        emit mediaError(url.toString(), tr("The file does not exist."));
        return;
    }
    Pending pending;
    pending.path = path;
    pending.target = path;
    open(pending);
}

void Dashcam::setGroupMedia(QVector<QUrl> urls, QVector<QTime> durtions)
{
    Pending pending;
    for (int i = 0; i < urls.size(); ++i) {
        const QString path = localPath(urls.at(i));
        if (!QFileInfo(path).isFile()) {
            emit mediaError(urls.at(i).toString(), tr("The file does not exist."));
            return; // a group with a hole would put every later member at the wrong time
        }
        pending.members << path;
        const QTime length = durtions.value(i);
        pending.lengths << (length.isValid() ? length.msecsSinceStartOfDay() / 1000.0 : 0.0);
    }
    if (pending.members.isEmpty())
        return;
    pending.path = pending.members.first();
    pending.target = buildEdl(pending.members, pending.lengths);
    open(pending);
}

void Dashcam::hasAutoPlaySignal()
{
    autoPlay_ = true;
}

void Dashcam::open(Pending pending)
{
    probe_->cancel();
    ++generation_;
    tick_.stop();
    pending_ = std::move(pending);
    core_->setProperty("pause", true);
    paused_ = true; // mpv reports no change when it was paused already
    const qint64 entry = core_->loadFile(pending_.target);
    if (entry < 0) {
        emit mediaError(pending_.path, tr("The file could not be opened."));
        return;
    }
    entryId_ = entry;
    load_ = Load::Opening;
    fileLoaded_ = false;
    restartAfterLoad_ = false;
    restarted_ = false;
    stopped_ = false;
    seeking_ = false;
    stepping_ = false;
    pendingSteps_.clear();
    pendingSeekMs_ = -1;
    eof_ = false;
    mediaPath_ = pending_.path;
    durationMs_ = 0;
    fileInfo_ = FileInfo_t();
    startReadingSamples();
    updateStatus();
    emit MediaPathChanged(mediaPath_);
}

void Dashcam::startReadingSamples()
{
    samples_.clear();
    samplesRead_ = false;
    const quint64 generation = generation_;
    const QString path = pending_.path;
    const QStringList members = pending_.members;
    const QVector<double> lengths = pending_.lengths;
    const SampleReader read = sampleReader_;
    samplesReader_.setFuture(WorkerPool::drives().run([generation, read, path, members, lengths] {
        return ReadSamples{
            generation, members.isEmpty() ? read(path) : readGroupSamples(read, members, lengths)};
    }));
}

void Dashcam::onSamplesRead()
{
    // no thread to read them on: a file without samples
    ReadSamples read = WorkerPool::resultOr(samplesReader_.future(), ReadSamples{generation_, {}});
    if (read.generation != generation_ || load_ != Load::Opening)
        return; // a later open or a release replaced that file
    samples_ = std::move(read.samples);
    samplesRead_ = true;
    if (restarted_)
        onOpened();
}

void Dashcam::onEndFile(qint64 entryId, int reason, int error)
{
    if (entryId != entryId_ || reason != MPV_END_FILE_REASON_ERROR)
        return;
    const QString path = pending_.path;
    const bool wasOpening = load_ == Load::Opening;
    load_ = Load::Idle;
    entryId_ = -1;
    mediaPath_.clear();
    samples_.clear();
    durationMs_ = 0;
    fileInfo_ = FileInfo_t();
    updateStatus();
    const quint64 generation = generation_;
    reportEmpty();
    emit mediaError(path, QString::fromUtf8(mpv_error_string(error)));
    if (!wasOpening || pending_.others.isEmpty() || generation != generation_)
        return;
    // The next file of the same request takes the failed one's place.
    QList<QUrl> rest;
    for (const QString &other : pending_.others)
        rest << QUrl::fromLocalFile(other);
    setMedia(rest);
}

void Dashcam::onPlaybackRestarted()
{
    seeking_ = false;
    if (load_ == Load::Opening && fileLoaded_) {
        restarted_ = true;
        if (samplesRead_)
            onOpened();
        return;
    }
    if (load_ != Load::Open)
        return;
    emitTick(); // a seek or backward step has landed
    // mpv drops a frame step given while a seek runs; steps wait for the seek to land.
    if (!pendingSteps_.isEmpty() && !seeking_) {
        const bool forward = pendingSteps_.takeFirst();
        forward ? stepForward() : stepBackward();
    }
}

void Dashcam::onOpened()
{
    load_ = Load::Open;
    if (pendingSeekMs_ >= 0)
        seekSeconds(pendingSeekMs_ / 1000.0);
    pendingSeekMs_ = -1;
    const quint64 generation = generation_;
    const MpvMediaInfo info = readMediaInfo(*core_, pending_.path);
    width_ = info.width;
    height_ = info.height;
    durationMs_ = std::llround(info.durationSec * 1000.0);

    // Samples first: receivers that clear their data on a new duration must not wipe them.
    emit MediaChanged(samples_);
    if (generation != generation_)
        return;
    emit durationChanged(QTime(0, 0).addMSecs(static_cast<int>(durationMs_)));
    emit lengthChanged(durationMs_);
    if (generation != generation_)
        return;
    if (pending_.members.isEmpty()) {
        fileInfo_ = makeFileInfo(info);
        emit fileInfoChanged(fileInfo_);
        if (generation != generation_)
            return;
    }
    if (pending_.reportPartner) {
        const QUrl partner = partnerFileUrl(QUrl::fromLocalFile(pending_.path));
        emit subMediaTriggerd(partner.isEmpty() ? QUrl(QStringLiteral("file:///")) : partner);
        if (generation != generation_)
            return;
    }
    updateStatus();
    emitTick();
    if (generation != generation_)
        return;
    if (autoPlay_) {
        autoPlay_ = false;
        play();
    }
    if (!pending_.others.isEmpty())
        probe_->start(pending_.others);
}

void Dashcam::emitTick()
{
    if (load_ != Load::Open)
        return;
    const qint64 ms = positionMs();
    emit positionChanged(ms);
    const int second = static_cast<int>(ms / 1000);
    const bool valid =
        second >= 0 && second < samples_.size() && !samples_.at(second).recordTime.isEmpty();
    emit infoChanged(valid ? samples_.at(second) : VideoInfo_t(), valid);
}

void Dashcam::updateStatus()
{
    if (load_ == Load::Opening) {
        // A replaced file is no stop: the status changes when the new one is open.
        tick_.stop();
        return;
    }
    MediaPlayerStatus status = PlayingState;
    if (load_ != Load::Open || stopped_ || eof_)
        status = StoppedState;
    else if (paused_ || stepping_)
        status = PausedState;
    if (status == PlayingState)
        tick_.start();
    else
        tick_.stop();
    if (status == status_)
        return;
    const bool stoppedMoving = status_ == PlayingState;
    status_ = status;
    emit playStatusChanged(status);
    // Changes of position while playing are left to the tick: where playback stopped is told
    // now. A stop's trip data is its receivers' own (the window empties its panel), so only the
    // position is told then; a stop's seek to the start tells its own when it lands.
    if (stoppedMoving && status == PausedState)
        emitTick();
    else if (stoppedMoving && load_ == Load::Open && !seeking_)
        emit positionChanged(positionMs());
}

void Dashcam::play()
{
    if (load_ != Load::Open)
        return;
    if (eof_)
        seekSeconds(0.0);
    stopped_ = false;
    stepping_ = false; // mpv may leave "pause" unchanged across a frame step
    setPaused(false);
}

void Dashcam::pause()
{
    if (load_ == Load::Open && !paused_)
        setPaused(true);
}

void Dashcam::stop()
{
    if (load_ != Load::Open)
        return;
    seekSeconds(0.0);
    stopped_ = true;
    setPaused(true);
}

void Dashcam::setPaused(bool on)
{
    // mpv reports a quick true-false pair of changes as no change at all, so the state is
    // taken as set here; later reports from mpv (frame steps, end of file) still update it.
    core_->setProperty("pause", on);
    paused_ = on;
    updateStatus();
}

void Dashcam::setPosition(int pos)
{
    setPositionMs(static_cast<qint64>(pos) * 10);
}

void Dashcam::setPositionMs(qint64 ms)
{
    if (load_ == Load::Opening)
        pendingSeekMs_ = ms; // applied once the file is open
    if (load_ != Load::Open)
        return;
    seekSeconds(ms / 1000.0);
    emit seeking(ms);
}

void Dashcam::seekSeconds(double seconds)
{
    seeking_ = true;
    core_->command({QStringLiteral("seek"), QString::number(std::max(0.0, seconds), 'f', 3),
                    QStringLiteral("absolute+exact")});
}

void Dashcam::stepForward()
{
    if (load_ != Load::Open)
        return;
    stopped_ = false;
    if (seeking_) {
        pendingSteps_ << true;
        return;
    }
    // mpv plays one frame and pauses again; that is no start of playback.
    stepping_ = paused_;
    core_->command({QStringLiteral("frame-step")});
}

void Dashcam::stepBackward()
{
    if (load_ != Load::Open)
        return;
    stopped_ = false;
    if (seeking_) {
        pendingSteps_ << false;
        return;
    }
    seeking_ = true; // a backward step is a seek
    core_->command({QStringLiteral("frame-back-step")});
}

void Dashcam::setSpeed(double factor)
{
    if (!(factor > 0.0))
        return;
    speed_ = factor;
    core_->setProperty("speed", factor);
    emit speedChanged(factor);
}

void Dashcam::setVolume(int percent)
{
    core_->setProperty("volume", static_cast<double>(std::clamp(percent, 0, 100)));
}

void Dashcam::setMute(bool on)
{
    core_->setProperty("mute", on);
}

int Dashcam::volume() const
{
    return static_cast<int>(std::lround(core_->property("volume").toDouble()));
}

bool Dashcam::isMuted() const
{
    return core_->property("mute").toBool();
}

bool Dashcam::snapshot(const QString &path)
{
    if (load_ != Load::Open || width_ <= 0)
        return false;
    return core_->command({QStringLiteral("screenshot-to-file"), path, QStringLiteral("video")}) &&
           QFileInfo(path).size() > 0;
}

void Dashcam::release()
{
    probe_->cancel();
    ++generation_;
    core_->command({QStringLiteral("stop")});
    load_ = Load::Idle;
    entryId_ = -1;
    pending_ = Pending();
    seeking_ = false;
    stepping_ = false;
    pendingSteps_.clear();
    pendingSeekMs_ = -1;
    mediaPath_.clear();
    samples_.clear();
    fileInfo_ = FileInfo_t();
    durationMs_ = 0;
    width_ = 0;
    height_ = 0;
    updateStatus();
    reportEmpty();
}

void Dashcam::reportEmpty()
{
    emit MediaPathChanged(QString());
    emit lengthChanged(0);
    emit durationChanged(QTime(0, 0));
    emit positionChanged(0);
}

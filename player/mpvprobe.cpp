#include "mpvprobe.h"

#include "mpvcore.h"
#include "mpvmediainfo.h"

MpvProbe::MpvProbe(QObject *parent) : QObject(parent) {}

MpvProbe::~MpvProbe() = default;

void MpvProbe::start(const QStringList &paths)
{
    cancel();
    queue_ = paths;
    if (!core_) {
        // Decodes the first picture only (for its size); no audio, no window, no sound device.
        core_ = std::make_unique<MpvCore>(QList<QPair<QByteArray, QByteArray>>{{"vo", "null"},
                                                                               {"ao", "null"},
                                                                               {"aid", "no"},
                                                                               {"sid", "no"},
                                                                               {"pause", "yes"},
                                                                               {"idle", "yes"},
                                                                               {"hwdec", "no"},
                                                                               {"terminal", "no"}});
        connect(core_.get(), &MpvCore::startFile, this, [this](qint64 id) { startedId_ = id; });
        connect(core_.get(), &MpvCore::fileLoaded, this, [this] {
            if (entryId_ >= 0 && startedId_ == entryId_)
                loaded_ = true;
        });
        connect(core_.get(), &MpvCore::endFile, this, &MpvProbe::onEndFile);
        connect(core_.get(), &MpvCore::playbackRestarted, this, &MpvProbe::onPlaybackRestarted);
    }
    openNext();
}

void MpvProbe::cancel()
{
    queue_.clear();
    if (entryId_ >= 0 && core_)
        core_->command({QStringLiteral("stop")});
    entryId_ = -1;
    loaded_ = false;
}

void MpvProbe::openNext()
{
    while (entryId_ < 0 && !queue_.isEmpty()) {
        currentPath_ = queue_.takeFirst();
        loaded_ = false;
        entryId_ = core_->loadFile(currentPath_);
        if (entryId_ < 0)
            emit failed(currentPath_, tr("The file could not be opened."));
    }
}

void MpvProbe::onEndFile(qint64 entryId, int reason, int error)
{
    if (entryId != entryId_ || reason != MPV_END_FILE_REASON_ERROR)
        return;
    const QString path = currentPath_;
    entryId_ = -1;
    emit failed(path, QString::fromUtf8(mpv_error_string(error)));
    openNext();
}

void MpvProbe::onPlaybackRestarted()
{
    if (entryId_ < 0 || !loaded_)
        return;
    const FileInfo_t info = makeFileInfo(readMediaInfo(*core_, currentPath_));
    core_->command({QStringLiteral("stop")});
    entryId_ = -1;
    emit probed(info);
    // A receiver may have started a new queue already.
    openNext();
}

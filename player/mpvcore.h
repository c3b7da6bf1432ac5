// Owner of one mpv_handle: options, commands, properties and events, drained on the GUI thread.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <mpv/client.h>

#include <atomic>
#include <memory>

class MpvCore : public QObject
{
    Q_OBJECT
public:
    // Options are applied before mpv_initialize, after a base set that turns mpv's scripts off;
    // see Dashcam and MpvProbe for the sets used.
    explicit MpvCore(const QList<QPair<QByteArray, QByteArray>> &options,
                     QObject *parent = nullptr);
    ~MpvCore() override;

    // Null when mpv could not be created or initialised.
    mpv_handle *handle() const { return handle_.get(); }
    bool isValid() const { return handle_ != nullptr; }

    // Runs a command synchronously; false (and a warning) on an mpv error.
    bool command(const QStringList &args);
    // "loadfile <path> replace"; returns the new playlist entry id, -1 on failure.
    qint64 loadFile(const QString &fileOrEdl);

    bool setProperty(const char *name, const QVariant &value);
    // Invalid QVariant when the property is unavailable.
    QVariant property(const char *name) const;
    void observe(const char *name, mpv_format format);

signals:
    // Observed property changed; value is invalid while the property is unavailable.
    void propertyChanged(const QByteArray &name, const QVariant &value);
    void startFile(qint64 entryId);
    // reason is mpv_end_file_reason; error the mpv error code for MPV_END_FILE_REASON_ERROR.
    void endFile(qint64 entryId, int reason, int error);
    void fileLoaded();
    // Playback (re)started after loading or a seek: the first frame at the new position is ready.
    void playbackRestarted();

private:
    static void onWakeup(void *self);
    void drainEvents(); // GUI thread only

    struct Destroyer
    {
        void operator()(mpv_handle *h) const;
    };
    std::unique_ptr<mpv_handle, Destroyer> handle_;
    // One queued drain at a time: a busy player must not flood the GUI thread's queue.
    std::atomic_bool drainQueued_{false};
};

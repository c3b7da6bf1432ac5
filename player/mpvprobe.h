// Opens files one after the other in a hidden mpv instance to learn their play-list rows.
#pragma once

#include "sharedtypes.h"

#include <QObject>
#include <QStringList>

#include <memory>

class MpvCore;

class MpvProbe : public QObject
{
    Q_OBJECT
public:
    explicit MpvProbe(QObject *parent = nullptr);
    ~MpvProbe() override;

    // Replaces the queue; each path is answered by probed or failed, in order.
    void start(const QStringList &paths);
    // Drops the queue and the file being opened; nothing further is reported.
    void cancel();

signals:
    void probed(const FileInfo_t &info);
    // The file could not be opened as media.
    void failed(const QString &path, const QString &message);

private:
    void openNext();
    void onEndFile(qint64 entryId, int reason, int error);
    void onPlaybackRestarted();

    std::unique_ptr<MpvCore> core_; // created on first use
    QStringList queue_;
    QString currentPath_;
    qint64 entryId_ = -1; // entry being opened, -1 when idle
    qint64 startedId_ = -1;
    bool loaded_ = false;
};

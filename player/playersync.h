// Keeps a second camera's player in step with the first and snapshots both.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>

class Dashcam;

class PlayerSync : public QObject
{
    Q_OBJECT
public:
    // Neither player is owned. The follower copies the leader's play, pause, stop, seeks, speed
    // and frame steps; while both play, a drift of more than a frame is corrected.
    PlayerSync(Dashcam *leader, Dashcam *follower, QObject *parent = nullptr);

    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }

    // Follower position less leader position, in ms; 0 unless both have media open.
    qint64 driftMs() const;

    // Writes both cameras' pictures into folder (created when missing) as
    // snapshotFileName(now, ..., 1) and (..., 2); returns the files written.
    QStringList takeSnapshots(const QString &folder, const QDateTime &now) const;
    // "yyyyMMddhhmmss_<base>_<posMs>-<camera>.jpg": base is the leader's file name without
    // suffix, posMs the leader's position.
    static QString snapshotFileName(const QDateTime &now, const QString &baseName, qint64 posMs,
                                    int camera);

private:
    void onLeaderStatus();
    void onLeaderPosition(qint64 ms);
    void correctWhilePlaying();
    void alignPaused(qint64 leaderMs);
    bool bothOpen() const;

    QPointer<Dashcam> leader_;
    QPointer<Dashcam> follower_;
    bool enabled_ = true;
    bool nudging_ = false; // the follower's speed is off the leader's to close a drift
};

#include "playersync.h"

#include "dashcam.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// Positions advance in whole frames, so a drift below half the longer frame is noise.
constexpr double settleFrames = 0.5;
// Beyond this the follower seeks instead of catching up by speed.
constexpr qint64 seekDriftMs = 1000;
// Speed change per ms of drift (a drift is closed in about a second) and its limit. A larger
// gain overshoots: a new speed shows in the positions only after a few ticks.
constexpr double nudgePerMs = 1.0 / 1000.0;
constexpr double maxNudge = 0.25;

} // namespace

PlayerSync::PlayerSync(Dashcam *leader, Dashcam *follower, QObject *parent)
    : QObject(parent), leader_(leader), follower_(follower)
{
    connect(leader, &Dashcam::playStatusChanged, this, &PlayerSync::onLeaderStatus);
    connect(leader, &Dashcam::positionChanged, this, &PlayerSync::onLeaderPosition);
    connect(leader, &Dashcam::seeking, this, [this](qint64 ms) {
        if (enabled_ && bothOpen())
            follower_->setPositionMs(ms);
    });
    connect(leader, &Dashcam::speedChanged, this, [this](double factor) {
        if (enabled_ && follower_) {
            nudging_ = false;
            follower_->setSpeed(factor);
        }
    });
}

void PlayerSync::setEnabled(bool on)
{
    enabled_ = on;
    // Either way the follower drops a catch-up speed and runs at the leader's speed.
    nudging_ = false;
    if (leader_ && follower_)
        follower_->setSpeed(leader_->speed());
}

bool PlayerSync::bothOpen() const
{
    return leader_ && follower_ && !leader_->getMediaPath().isEmpty() &&
           !follower_->getMediaPath().isEmpty();
}

qint64 PlayerSync::driftMs() const
{
    if (!bothOpen())
        return 0;
    const qint64 leaderMs = leader_->positionMs();
    return follower_->positionMs() - leaderMs;
}

void PlayerSync::onLeaderStatus()
{
    if (!enabled_ || !bothOpen())
        return;
    switch (leader_->playStatus()) {
    case PlayingState:
        follower_->play();
        break;
    case PausedState:
        follower_->pause();
        alignPaused(leader_->positionMs());
        break;
    case StoppedState:
        follower_->stop();
        break;
    }
}

void PlayerSync::onLeaderPosition(qint64 ms)
{
    // a stopped leader's follower was stopped with it; seeks reach it by the leader's seeking()
    if (!enabled_ || !bothOpen() || leader_->playStatus() == StoppedState)
        return;
    if (leader_->playStatus() == PlayingState)
        correctWhilePlaying();
    else
        alignPaused(ms); // frame steps and seeks in pause land here
}

void PlayerSync::alignPaused(qint64 leaderMs)
{
    if (follower_->playStatus() == PlayingState)
        follower_->pause();
    const qint64 drift = follower_->positionMs() - leaderMs;
    if (std::abs(drift) * 2 > follower_->frameDurationMs())
        follower_->setPositionMs(leaderMs);
}

void PlayerSync::correctWhilePlaying()
{
    const qint64 leaderMs = leader_->positionMs();
    if (leaderMs >= follower_->durationMs())
        return; // the follower's recording has ended
    if (follower_->playStatus() != PlayingState) {
        follower_->setPositionMs(leaderMs);
        follower_->play();
        return;
    }
    const qint64 drift = follower_->positionMs() - leaderMs;
    const double base = leader_->speed();
    if (std::abs(drift) > seekDriftMs) {
        follower_->setPositionMs(leaderMs);
        return;
    }
    const double frameMs = std::max(leader_->frameDurationMs(), follower_->frameDurationMs());
    if (std::abs(drift) < settleFrames * frameMs) {
        if (nudging_) {
            nudging_ = false;
            follower_->setSpeed(base);
        }
        return;
    }
    const double nudge = std::clamp(-drift * nudgePerMs, -maxNudge, maxNudge);
    nudging_ = true;
    follower_->setSpeed(base * (1.0 + nudge));
}

QString PlayerSync::snapshotFileName(const QDateTime &now, const QString &baseName, qint64 posMs,
                                     int camera)
{
    return now.toString(QStringLiteral("yyyyMMddhhmmss")) +
           QStringLiteral("_%1_%2-%3.jpg").arg(baseName).arg(posMs).arg(camera);
}

QStringList PlayerSync::takeSnapshots(const QString &folder, const QDateTime &now) const
{
    QStringList written;
    if (!leader_ || leader_->getMediaPath().isEmpty() || !QDir().mkpath(folder))
        return written;
    const QString base = QFileInfo(leader_->getMediaPath()).completeBaseName();
    const qint64 posMs = leader_->positionMs();
    Dashcam *const cameras[] = {leader_.data(), follower_.data()};
    for (int i = 0; i < 2; ++i) {
        Dashcam *camera = cameras[i];
        if (!camera || camera->getMediaPath().isEmpty())
            continue;
        const QString path = QDir(folder).filePath(snapshotFileName(now, base, posMs, i + 1));
        if (camera->snapshot(path))
            written << path;
    }
    return written;
}

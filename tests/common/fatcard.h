// A FAT memory card for tests: an image made by mkfs.vfat and mounted through fusefat, as a user
// mounts a card where the kernel has no vfat driver. The driver can be stopped, so that every
// question to the card waits, as on a card or a share that stopped answering.
#pragma once

#include "childprocess.h"

#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <sys/types.h>

// In a test function: skips it where no card can be mounted, else declares card (of the size in
// MiB given after it, if any), mounted.
#define FATCARD_OR_SKIP(card, ...)                                                                 \
    if (!FatCard::unavailableReason().isEmpty())                                                   \
        QSKIP(qPrintable(FatCard::unavailableReason()));                                           \
    FatCard card{__VA_ARGS__};                                                                     \
    QVERIFY2(card.isMounted(), qPrintable(card.error()))

class FatCard
{
public:
    // Why no card can be mounted on this machine (no /dev/fuse it may open), or "" when one can.
    static QString unavailableReason();

    // Makes an image of sizeMiB and mounts it; isMounted() tells whether that worked.
    explicit FatCard(int sizeMiB = 64);
    // Resumes a stopped driver and unmounts the card. Its folder is removed only once nothing is
    // mounted there any more; a card that cannot be unmounted is left where it is, with a warning.
    ~FatCard();
    FatCard(const FatCard &) = delete;
    FatCard &operator=(const FatCard &) = delete;

    bool isMounted() const;
    // Why the card is not mounted, with the driver's output.
    QString error() const { return error_; }
    // The card's root folder, without a trailing "/".
    QString root() const { return dir_.filePath(QStringLiteral("card")); }

    // Stops or resumes the driver (SIGSTOP, SIGCONT): while it is stopped, any access to the card
    // waits, a look at its size included. resumeDriver() may be called from any thread (a
    // watchdog's, while the test's thread waits on the card).
    bool stopDriver();
    bool resumeDriver();

private:
    // Waits, a while at most, until the card is mounted or not; true when it is as asked.
    bool waitUntilMounted(bool mounted) const;

    QTemporaryDir dir_;
    // the driver runs in the foreground with auto_unmount: the card goes with it, even when the
    // test dies
    ChildProcess driver_;
    QString error_;
    std::atomic<pid_t> stoppedPid_{0}; // the driver while stopped, 0 while it runs
};

#include "childprocess.h"

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// Marks every descriptor from 3 on close-on-exec: in one call where the kernel has close_range
// (5.11 on), one by one below openMax otherwise.
void closeOnExecFrom3(long openMax)
{
    if (close_range(3, UINT_MAX, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    for (int fd = 3; fd < openMax; ++fd) {
        const int flags = fcntl(fd, F_GETFD);
        if (flags >= 0 && (flags & FD_CLOEXEC) == 0)
            fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

} // namespace

ChildProcess::ChildProcess(QObject *parent)
    : QProcess(parent), starterPid(getpid()), openMax(sysconf(_SC_OPEN_MAX))
{
}

void ChildProcess::setupChildProcess()
{
    // SIGKILL: a child that handles or ignores a milder signal would run on
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // the program may have ended between the fork and the request: the child, re-parented by
    // then, would get no signal
    if (getppid() != starterPid)
        _exit(127);
    closeOnExecFrom3(openMax);
    for (const int fd : inherited)
        fcntl(fd, F_SETFD, 0);
}

#include "childprocess.h"

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

ChildProcess::ChildProcess(QObject *parent) : QProcess(parent), starterPid(getpid()) {}

void ChildProcess::setupChildProcess()
{
    // SIGKILL: a child that handles or ignores a milder signal would run on
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // the program may have ended between the fork and the request: the child, re-parented by
    // then, would get no signal
    if (getppid() != starterPid)
        _exit(127);
}

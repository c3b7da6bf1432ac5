#include "terminationsignals.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int writeFd = -1; // the handler's end of the pipe

// Async-signal-safe: one write of the signal's number, errno as it was.
void onSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // a full pipe drops the byte: the signals it already holds end the program all the same
    [[maybe_unused]] const ssize_t written = write(writeFd, &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    Q_ASSERT(writeFd < 0);
    int fds[2];
    // close-on-exec: the program's children get no end of it; non-blocking: the handler never
    // waits and the reader stops at an empty pipe
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Termination signals keep their default action: no pipe (%s)",
                 qPrintable(qt_error_string(errno)));
        return;
    }
    readFd = fds[0];
    writeFd = fds[1];
    notifier = new QSocketNotifier(readFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handled.size(); ++i) {
        sigaction(handled[i], nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN)
            continue;
        taken[i] = sigaction(handled[i], &action, nullptr) == 0;
    }
}

TerminationSignals::~TerminationSignals()
{
    delete notifier;
    // the handler goes on writing into the pipe, whose ends stay open (unread, it drops what no
    // longer fits; without a reader the write would raise SIGPIPE)
    if (kept)
        return;
    for (std::size_t i = 0; i < handled.size(); ++i) {
        if (taken[i])
            sigaction(handled[i], &previous[i], nullptr);
    }
    if (readFd < 0)
        return;
    close(readFd);
    close(writeFd);
    writeFd = -1;
}

void TerminationSignals::onReadable()
{
    unsigned char bytes[16];
    ssize_t count;
    while ((count = read(readFd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit received(bytes[i]);
    }
}

// SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, kill, Ctrl+C, a closed terminal) delivered as
// a Qt signal in the event loop, so that the program can end the way closing its window does.
#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

// One instance at a time (the signal handler has only one pipe to write to). GUI thread only.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Takes over the three signals, except one the program was started with ignored (nohup, a
    // background job of a script): that one stays ignored.
    explicit TerminationSignals(QObject *parent = nullptr);
    // Gives the signals back what they had before, unless kept until the process ends.
    ~TerminationSignals() override;

    // The signals stay taken until the process ends: the destructor only stops reading them, and
    // one that comes later, while the program ends, is dropped instead of ending it otherwise.
    void keepUntilExit() { kept = true; }

signals:
    // Once for every signal that arrives.
    void received(int signalNumber);

private:
    void onReadable();

    static constexpr std::array<int, 3> handled{SIGTERM, SIGINT, SIGHUP};
    std::array<struct sigaction, handled.size()> previous{};
    std::array<bool, handled.size()> taken{};
    bool kept = false;
    int readFd = -1;
    QSocketNotifier *notifier = nullptr; // child
};

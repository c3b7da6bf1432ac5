// A child process that never outlives the program: the kernel ends it when the program ends,
// however that happens (a crash or SIGKILL included). It inherits no descriptor of the program
// but its standard ones and those it is handed.
#pragma once

#include <QProcess>

#include <vector>

// Start it only from a thread that lives as long as the program (the GUI thread): the kernel
// ends the child when the thread that started it ends.
class ChildProcess : public QProcess
{
public:
    explicit ChildProcess(QObject *parent = nullptr);

    // The descriptors that the next children inherit at their numbers, besides 0, 1 and 2
    // (which QProcess sets); every other one of the program is closed on exec, also one that
    // a library opened without close-on-exec.
    void setInheritedDescriptors(std::vector<int> fds) { inherited = std::move(fds); }

protected:
    // Runs in the child between fork and exec: async-signal-safe calls only.
    void setupChildProcess() override;

private:
    qint64 starterPid; // this program, as seen before the fork
    long openMax;      // the highest descriptor number bound, read before the fork
    std::vector<int> inherited;
};

// A child process that never outlives the program: the kernel ends it when the program ends,
// however that happens (a crash or SIGKILL included).
#pragma once

#include <QProcess>

// Start it only from a thread that lives as long as the program (the GUI thread): the kernel
// ends the child when the thread that started it ends.
class ChildProcess : public QProcess
{
public:
    explicit ChildProcess(QObject *parent = nullptr);

protected:
    // Runs in the child between fork and exec: async-signal-safe calls only.
    void setupChildProcess() override;

private:
    qint64 starterPid; // this program, as seen before the fork
};

// The real program started from its executable with the user agent plugin
// (tests/app/useragent.cpp) acting as the user inside it, in a data folder of its own; each step
// the agent reaches is a line of its status file.
#pragma once

#include <QProcess>
#include <QTemporaryDir>

class AgentRun
{
public:
    // program: the player's executable; pluginFolder: the folder holding generic/ with the agent;
    // scenario: what the agent does (TALVEX_AGENT_SCENARIO).
    AgentRun(const QString &program, const QString &pluginFolder, const QString &scenario);

    // The environment the program gets: the test's own with the agent's variables, a desktop
    // session folder and XDG_DATA_HOME at dataHome(); change it before start().
    QProcessEnvironment &environment() { return env_; }
    QString dataHome() const { return dir_.filePath(QStringLiteral("share")); }
    // Where the program keeps its files: dataHome() + "/talvex-player".
    QString dataFolder() const { return dataHome() + QStringLiteral("/talvex-player"); }

    // Starts the program from startFolder, the working directory it is given; false when it did
    // not start.
    bool start(const QString &startFolder);
    // Waits until the program has ended, at most timeoutMs; kills it then and returns false.
    bool waitForEnd(int timeoutMs);
    // The steps the agent has reached, one a line.
    QByteArray steps() const;
    QProcess &process() { return process_; }

private:
    QTemporaryDir dir_; // the data home, the session folder and the status file
    QString program_;
    QProcessEnvironment env_;
    QProcess process_;
};

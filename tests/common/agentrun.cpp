#include "agentrun.h"

#include "testsupport.h"

#include <QDir>

AgentRun::AgentRun(const QString &program, const QString &pluginFolder, const QString &scenario)
    : program_(program), env_(QProcessEnvironment::systemEnvironment())
{
    const QString session = dir_.filePath(QStringLiteral("session")); // mode 0700, as a desktop's
    QDir().mkpath(session);
    QFile::setPermissions(session, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(dataHome());
    env_.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("useragent"));
    env_.insert(QStringLiteral("QT_PLUGIN_PATH"), pluginFolder);
    env_.insert(QStringLiteral("TALVEX_AGENT_SCENARIO"), scenario);
    env_.insert(QStringLiteral("TALVEX_AGENT_STATUS"), dir_.filePath(QStringLiteral("status")));
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), session);
    env_.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
}

bool AgentRun::start(const QString &startFolder)
{
    process_.setProcessEnvironment(env_);
    process_.setWorkingDirectory(startFolder);
    process_.start(program_, QStringList());
    return process_.waitForStarted(10000);
}

bool AgentRun::waitForEnd(int timeoutMs)
{
    if (process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs))
        return true;
    process_.kill();
    process_.waitForFinished(10000);
    return false;
}

QByteArray AgentRun::steps() const
{
    return TestSupport::contentOf(dir_.filePath(QStringLiteral("status")));
}

// Starting another program on the user's behalf (an installer handed over by the update wizard).
#pragma once

#include <QString>
#include <QStringList>

class Launcher
{
public:
    virtual ~Launcher() = default;
    // Starts program detached from this one; false when it could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

// QProcess::startDetached.
class ProcessLauncher : public Launcher
{
public:
    bool startDetached(const QString &program, const QStringList &arguments) override;
};

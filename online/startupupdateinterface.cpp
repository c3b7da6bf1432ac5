#include "startupupdateinterface.h"

#include "ui_startupupdateinterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

const QString StartupUpdateInterface::scriptName = QStringLiteral("update_Start.sh");

StartupUpdateInterface::StartupUpdateInterface(QWidget *mainWindow, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::StartupUpdateInterface>()), mainWindow_(mainWindow),
      quit_(&QCoreApplication::quit)
{
    ui->setupUi(this);
}

StartupUpdateInterface::~StartupUpdateInterface() = default;

void StartupUpdateInterface::setQuitFunction(std::function<void()> quit)
{
    quit_ = std::move(quit);
}

void StartupUpdateInterface::onUpdateZqPlayer(QString state)
{
    if (state.contains(QLatin1Char('V'))) {
        ui->la_status->setText(QStringLiteral("Update to ") + state);
    } else if (state == QLatin1String("false")) {
        ui->la_status->setText(QStringLiteral("Latest Version"));
        QTimer::singleShot(500, this, &StartupUpdateInterface::onOpenZqPlayer);
    }
}

QString StartupUpdateInterface::countText() const
{
    return QStringLiteral("Downloading update %1 of %2").arg(total_ - count_).arg(total_);
}

void StartupUpdateInterface::downloadCount(signed char count, signed char total)
{
    count_ = count;
    total_ = total;
    ui->la_progress->setText(countText() + QStringLiteral(" ... 0%"));
}

void StartupUpdateInterface::updateProgress(qlonglong p1, qlonglong p2)
{
    if (p2 <= 0) // size not announced: the count alone
        return ui->la_progress->setText(countText() + QStringLiteral(" ..."));
    const int percent = int(double(p1) / double(p2) * 100);
    ui->la_progress->setText(countText() + QStringLiteral(" ... %1%").arg(percent));
}

void StartupUpdateInterface::onUpdateComplete()
{
    ui->la_complete->show();
    QTimer::singleShot(500, this, &StartupUpdateInterface::onExecuteDat);
}

void StartupUpdateInterface::onExecuteDat()
{
    const QString script = QDir::currentPath() + QLatin1Char('/') + scriptName;
    if (!QFileInfo(script).isFile()) {
        ui->la_status->setText(QStringLiteral("Cannot find %1.").arg(script));
        return;
    }
    script_ = new QProcess(this);
    // The path is one argument: blanks in the working folder are safe.
    connect(script_, &QProcess::errorOccurred, this, [this, script](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ui->la_status->setText(QStringLiteral("Cannot start %1.").arg(script));
    });
    connect(script_, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this] { quit_(); });
    script_->start(QStringLiteral("/bin/sh"), {script}, QIODevice::ReadWrite);
}

void StartupUpdateInterface::onOpenZqPlayer()
{
    if (mainWindow_)
        mainWindow_->show();
    close();
}

// Application update wizard: compares the published player version with the built-in one,
// downloads a newer installer to the Desktop folder, starts it and ends the program.
#pragma once

#include "formupdatewizard.h"

#include <functional>
#include <memory>

class Launcher;

class FormUpdateApplication : public FormUpdateWizard
{
    Q_OBJECT
public:
    enum State
    {
        Prompt = 0,
        Offer = 1,
        Latest = 2,
        Busy = 3,
        NetworkError = 4,
        SaveError = 5
    };

    // The text the published "Ver" is compared with.
    static const QString builtInVersion;
    // The installer name that is started once saved.
    static const QString installerName;

    explicit FormUpdateApplication(QWidget *parent = nullptr);

    // How the installer is started (a ProcessLauncher unless replaced) and how the program ends
    // after it started (QCoreApplication::exit unless replaced).
    void setLauncher(std::shared_ptr<Launcher> launcher);
    void setExitFunction(std::function<void(int)> exitFunction);

private slots:
    void onBack();
    void onNext();
    void onClose();
    void downloadedProcess() override;
    void saveFileFailed(int errorCode) override;
    void saveFileCompleted(QString path, QString name, int filesize) override;
    void downloadError(QNetworkReply::NetworkError error) override;

private:
    void setState(int state);
    void updateStatus();
    void showErrorMessage(int state, const QString &text);
    void enableButtons(bool enabled);

    std::shared_ptr<Launcher> launcher_;
    std::function<void(int)> exit_;
};

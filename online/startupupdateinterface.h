// Progress window of an update run at program start: the update state, the count and per cent
// of the files downloading, then the update script, which ends the program when it ends.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QProcess;

namespace Ui {
class StartupUpdateInterface;
}

class StartupUpdateInterface : public QWidget
{
    Q_OBJECT
public:
    // The script run from the working folder once every file is there.
    static const QString scriptName;

    explicit StartupUpdateInterface(QWidget *mainWindow, QWidget *parent = nullptr);
    ~StartupUpdateInterface() override;

    // How the program ends when the script ends (QCoreApplication::quit unless replaced).
    void setQuitFunction(std::function<void()> quit);

private slots:
    void onUpdateZqPlayer(QString state);
    void downloadCount(signed char count, signed char total);
    void updateProgress(qlonglong p1, qlonglong p2);
    void onUpdateComplete();
    void onExecuteDat();
    void onOpenZqPlayer();

private:
    QString countText() const;

    std::unique_ptr<Ui::StartupUpdateInterface> ui;
    int count_ = 0;
    int total_ = 0;
    QWidget *mainWindow_;
    QProcess *script_ = nullptr; // child
    std::function<void()> quit_;
};

// Consent prompt for an upload: the user agrees before the wizard goes on, and may open a web page
// in the system browser. No window of the player opens it.
#pragma once

#include <QDialog>
#include <QString>

class YoutubePromptDialog : public QDialog
{
    Q_OBJECT
public:
    explicit YoutubePromptDialog(QWidget *parent = nullptr);

    bool cannotMove() const { return cannotMove_; }

signals:
    void cloesd();
    void agress_singnal();

private slots:
    void onClose();
    void onPressedCannotMove();
    void openURL2(QString url);
    void onAgreeEvent();

private:
    bool cannotMove_ = false;
};

#include "youtubepromptdialog.h"

#include "onlinelog.h"

#include <QDesktopServices>
#include <QUrl>

YoutubePromptDialog::YoutubePromptDialog(QWidget *parent) : QDialog(parent) {}

void YoutubePromptDialog::onClose()
{
    close();
}

void YoutubePromptDialog::onPressedCannotMove()
{
    cannotMove_ = true;
}

void YoutubePromptDialog::openURL2(QString url)
{
    qCDebug(lcOnline) << "dsadsadsadsadadsa " << url;
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

void YoutubePromptDialog::onAgreeEvent()
{
    emit agress_singnal();
    close();
}

// Notices of failed operations: a file that cannot be played, settings that cannot be saved.
#include "mainwindow.h"

#include "appglobals.h"
#include "appsettings.h"
#include "dashcam.h"
#include "formlist.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

// The file name of a path or of a URL's text, as the user knows the file.
QString shownFileName(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? pathOrUrl : name;
}

QString localPath(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    return url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
}

} // namespace

void MainWindow::wireNotices()
{
    connect(mainDashcam(), &Dashcam::mediaError, this,
            [this](const QString &path) { onMainMediaError(path); });
    connect(secondDashcam(), &Dashcam::mediaError, this,
            [this](const QString &path) { onSecondMediaError(path); });
}

void MainWindow::showNotice(const QString &text)
{
    if (noticeBox_ && noticeBox_->isVisible()) {
        if (!noticeBox_->text().split(QLatin1Char('\n')).contains(text))
            noticeBox_->setText(noticeBox_->text() + QLatin1Char('\n') + text);
        return;
    }
    if (!noticeBox_) {
        noticeBox_ =
            new QMessageBox(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok, this);
        // the list and the players stay usable while it is shown
        noticeBox_->setWindowModality(Qt::NonModal);
    }
    noticeBox_->setWindowTitle(gLangNotices.value(6));
    noticeBox_->setText(text);
    noticeBox_->show();
}

void MainWindow::onMainMediaError(const QString &path)
{
    showNotice(gLangNotices.value(4).arg(shownFileName(path)));
    // A file that failed to open has left the player empty (the player goes on with the next
    // file of the same request, if any): its mark and the second camera go too. A missing file
    // keeps the open one, unless it is the list's current row, whose mark must not stay on
    // another file.
    if (mainDashcam()->getMediaPath().isEmpty()) {
        list_->clearMainIndexMark();
        onReleaseRightMadia();
    } else if (list_->currentFilePath() == localPath(path)) {
        onReleaseMadia();
    }
}

void MainWindow::onSecondMediaError(const QString &path)
{
    showNotice(gLangNotices.value(4).arg(shownFileName(path)));
    if (secondDashcam()->getMediaPath().isEmpty() || list_->currentSubFilePath() == localPath(path))
        onReleaseRightMadia();
}

void MainWindow::reportSettingsNotSaved()
{
    if (std::exchange(settingsNotSavedReported_, true))
        return;
    showNotice(gLangNotices.value(5).arg(
        QDir::toNativeSeparators(QFileInfo(AppSettings::infoFilePath()).absoluteFilePath())));
}

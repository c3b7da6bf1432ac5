// Main window and the windows it opens on demand: sharing a video, the instruction window and the
// About window. Each is created per use without a parent and deletes itself after it closes.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formabout.h"
#include "formfaq.h"
#include "formshare.h"
#include "uploadserviceconfig.h"

FormShare *MainWindow::shareWindow() const
{
    return share_;
}

FormFAQ *MainWindow::instructionWindow() const
{
    return instruction_;
}

FormAbout *MainWindow::aboutWindow() const
{
    return about_;
}

void MainWindow::wireOnline()
{
    // main window -> instruction window
    connect(this, &MainWindow::languageApplied, this, &MainWindow::refreshInstruction);
}

bool MainWindow::shareIsSetUp()
{
    if (!UploadServiceConfig::current().isPlaceholder())
        return true;
    // no browser is sent to an address that does not exist
    showNotice(gLangShareVideos.value(27));
    return false;
}

void MainWindow::onShare()
{
    mainDashcam()->pause();
    secondDashcam()->pause();
    auto *share = new FormShare;
    share->setLanguageFont();
    share->setStyle(gStyle);
    connect(share, &FormShare::cloesd, share, &QObject::deleteLater);
    // the camera drawn as the main picture
    const Dashcam *camera = gDisplayMode == 1 && gPipSwap == 1 ? secondDashcam() : mainDashcam();
    QString path = camera->getMediaPath();
    if (path == QLatin1String("/"))
        path.clear();
    share->onCurrentVideoPath(path);
    share->onCurrentVideoFileInfo(camera->fileInfo());
    share->show();
    // the window outlives no main window
    connect(this, &QObject::destroyed, share, &QObject::deleteLater);
    share_ = share;
}

void MainWindow::showInstruction()
{
    if (instruction_) {
        instruction_->raise();
        instruction_->activateWindow();
        return;
    }
    auto *faq = new FormFAQ;
    faq->setLanguageFont();
    faq->setStyle(gStyle);
    connect(faq, &FormFAQ::cloesd, faq, &QObject::deleteLater);
    connect(faq, &FormFAQ::cloesd, this, &MainWindow::closeInstuctionSlot);
    connect(this, &QObject::destroyed, faq, &QObject::deleteLater);
    faq->changeLang(Zq_Language(gLanguage));
    faq->show();
    instruction_ = faq;
    instructionOpen_ = true;
}

void MainWindow::closeInstuctionSlot()
{
    instructionOpen_ = false;
}

void MainWindow::refreshInstruction()
{
    if (!instructionOpen_ || !instruction_)
        return;
    instruction_->setStyle(gStyle);
    instruction_->setLanguageFont();
    instruction_->changeLang(Zq_Language(gLanguage));
}

void MainWindow::showAbout()
{
    auto *about = new FormAbout;
    about->setAboutText();
    about->setStyle(gStyle);
    connect(about, &FormAbout::cloesd, about, &QObject::deleteLater);
    connect(this, &QObject::destroyed, about, &QObject::deleteLater);
    about->show();
    about_ = about;
}

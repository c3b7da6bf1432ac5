// The two camera players, their layout in the player area and the play bar.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formcontrol.h"
#include "formcontrolsecond.h"
#include "formdashcampreview.h"
#include "formplayer.h"
#include "formvideosetupwidget.h"
#include "menutexts.h"
#include "playerlayout.h"
#include "playersync.h"
#include "settingkeys.h"
#include "ui_mainwindow.h"
#include "videowidget.h"

#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QToolTip>

Dashcam *MainWindow::mainDashcam() const
{
    return mainPreview_->getDashcam();
}

Dashcam *MainWindow::secondDashcam() const
{
    return secondPreview_->getDashcam();
}

void MainWindow::initPlayers()
{
    playerForm_ = new FormPlayer;
    ui->widgetPlayerArea->layout()->addWidget(playerForm_);
    // the previews are placed by layoutPlayers(), not by a layout
    mainPreview_ = new FormDashcamPreview(playerForm_);
    secondPreview_ = new FormDashcamPreview(playerForm_);
    mainPreview_->hide();
    secondPreview_->hide();
    playerForm_->installEventFilter(this);

    control_ = new FormControl;
    controlSecond_ = new FormControlSecond;
    auto *bars = new QHBoxLayout;
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(0);
    bars->addWidget(control_, 1);
    bars->addWidget(controlSecond_);
    static_cast<QBoxLayout *>(ui->widgetControlArea->layout())->addLayout(bars);

    videoSetup_ = new FormVideoSetupWidget;
    videoSetup_->setWindowFlags(Qt::Tool);
    sync_ = new PlayerSync(mainDashcam(), secondDashcam(), this);
}

void MainWindow::wirePlayers()
{
    Dashcam *main = mainDashcam();
    Dashcam *second = secondDashcam();
    // player -> play bar
    connect(main, &Dashcam::positionChanged, control_, &FormControl::setPosition);
    connect(main, &Dashcam::lengthChanged, control_, &FormControl::setDuration);
    connect(main, &Dashcam::playStatusChanged, control_, &FormControl::setPlayState);
    // a view shows only while its player has media
    connect(main, &Dashcam::MediaPathChanged, this, &MainWindow::layoutPlayers);
    connect(second, &Dashcam::MediaPathChanged, this, &MainWindow::layoutPlayers);

    // video adjustment -> main picture
    connect(videoSetup_, &FormVideoSetupWidget::brightnessChanged, main->getVideoWidget(),
            &VideoWidget::onSetBrightness);
    connect(videoSetup_, &FormVideoSetupWidget::saturationChanged, main->getVideoWidget(),
            &VideoWidget::setSaturation);
    connect(videoSetup_, &FormVideoSetupWidget::verticalFlipChanged, this,
            [this](bool on) { setVerticalFlip(0, on); });
    connect(ui->actionVideo_Adjustment, &QAction::triggered, videoSetup_, &QWidget::show);
    connect(ui->actionSnapshot, &QAction::triggered, this, &MainWindow::onSnapshot);
    applyVerticalFlips();
}

void MainWindow::wireControl()
{
    Dashcam *main = mainDashcam();
    // play bar -> main player; the second player follows through PlayerSync
    connect(control_, &FormControl::playPauseClicked, this, &MainWindow::onPlayPause);
    connect(control_, &FormControl::stop, main, &Dashcam::stop);
    connect(control_, &FormControl::stepBackward, main, &Dashcam::stepBackward);
    connect(control_, &FormControl::stepForward, main, &Dashcam::stepForward);
    connect(control_, &FormControl::positionSliderMoved, main, &Dashcam::setPosition);
    connect(control_, &FormControl::speedChanged, main, &Dashcam::setSpeed);
    connect(control_, &FormControl::volumeChanged, main, &Dashcam::setVolume);
    connect(control_, &FormControl::muteChanged, main, &Dashcam::setMute);
    connect(control_, &FormControl::zoomChanged, this,
            [this](int tenths) { mainDashcam()->getVideoWidget()->setZoom(tenths / 10.0); });
    connect(controlSecond_, &FormControlSecond::zoomChanged, this,
            [this](int tenths) { secondDashcam()->getVideoWidget()->setZoom(tenths / 10.0); });
    connect(control_, &FormControl::fullScreenClicked, this, &MainWindow::toggleFullScreen);
    connect(control_, &FormControl::pipClicked, this, &MainWindow::onPipModeChange);
    connect(control_, &FormControl::syncClicked, this,
            [this] { sync_->setEnabled(!sync_->isEnabled()); });
    connect(control_, &FormControl::editModeRequested, this, &MainWindow::onEditModeRequested);
    connect(this, &MainWindow::languageApplied, control_, &FormControl::applyLanguage);
    connect(this, &MainWindow::languageApplied, controlSecond_, &FormControlSecond::applyLanguage);
    connect(this, &MainWindow::styleApplied, control_, &FormControl::applyStyle);
    connect(this, &MainWindow::styleApplied, controlSecond_, &FormControlSecond::applyStyle);
    control_->applyStyle(gStyle);
    controlSecond_->applyStyle(gStyle);
}

void MainWindow::onPlayPause()
{
    Dashcam *main = mainDashcam();
    if (main->playStatus() == PlayingState)
        main->pause();
    else
        main->play();
}

void MainWindow::onPipModeChange()
{
    pipMode_ = !pipMode_;
    layoutPlayers();
}

void MainWindow::onClearZoomValue()
{
    controlSecond_->onClearZoomValue();
}

void MainWindow::toggleFullScreen()
{
    isFullScreen() ? showNormal() : showFullScreen();
}

void MainWindow::onSnapshot()
{
    const QStringList files =
        sync_->takeSnapshots(QDir::current().filePath(QStringLiteral("Snapshot")),
                             QDateTime::currentDateTime());
    if (!files.isEmpty())
        QToolTip::showText(playerForm_->mapToGlobal(playerForm_->rect().center()),
                           gLangMenuBar.value(MenuText::SnapshotSaved), playerForm_);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == playerForm_ && event->type() == QEvent::Resize)
        layoutPlayers();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::layoutPlayers()
{
    const bool mainOpen = !mainDashcam()->getMediaPath().isEmpty();
    const bool secondOpen = gDisplayMode == 1 && !secondDashcam()->getMediaPath().isEmpty();
    const PlayerLayout layout = PlayerLayout::compute(playerForm_->rect(), secondOpen ? 1 : 0,
                                                      pipMode_, gPipSwap,
                                                      parameterValue(SettingKeys::locationSecond, 7));
    mainPreview_->setGeometry(layout.mainView);
    secondPreview_->setGeometry(layout.secondView);
    mainPreview_->setVisible(mainOpen);
    secondPreview_->setVisible(secondOpen);
    controlSecond_->setVisible(gDisplayMode == 1);
    if (layout.secondOnTop)
        secondPreview_->raise();
    else
        mainPreview_->raise();
}

void MainWindow::applyVerticalFlips()
{
    mainDashcam()->getVideoWidget()->setVerticalFlip(getVerticalFlip(true) == 1);
    secondDashcam()->getVideoWidget()->setVerticalFlip(getVerticalFlip(false) == 1);
}

#include "mainwindow.h"

#include "appfont.h"
#include "appglobals.h"
#include "appsettings.h"
#include "appstyle.h"
#include "dashcam.h"
#include "exportcontroller.h"
#include "ffmpeg_editor_p.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "formmap.h"
#include "formplayer.h"
#include "formvideosetupwidget.h"
#include "languagetable.h"
#include "settingkeys.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int columnSpacing = 3 * 8; // the window's side margins and the gap between its columns
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>())
{
    // first: the web engine starts and the map page loads while the rest is built
    map_ = new FormMap;
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/image/appicon")));

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const int minWidth = available.width() * 8 / 10;
    setMinimumSize(minWidth, minWidth * 209 / 375);

    AppSettings::load();
    gStyle = parameterValue(SettingKeys::style);
    gLanguage = parameterValue(SettingKeys::language);
    gDateFormat = parameterValue(SettingKeys::date);
    gDisplayMode = parameterValue(SettingKeys::displayMode, 1);
    loadLanguage(gLanguage);

    initWidgets();
    initMenus();
    initStatus();
    applyParameters(LoadAtStartUp);
    applySkin();
    // panels' wiring; the map first: its setData fills the samples the later receivers get
    wireMap();
    wirePlayers();
    wireControl();
    wireDialog();
    wireList();
    wireTripBand();
    wireOnline();
    wireRideData();
    wireOverlays();
    wireExport();
    wireNotices();
    wireMarks();
    wireKeys();
    setUiLayout(0);
}

MainWindow::~MainWindow()
{
    delete videoSetup_;
    delete dialog_;
    delete editor_;
}

void MainWindow::initWidgets()
{
    ui->widgetPlaybackArea->hide();
    initPlayers();
}

void MainWindow::initStatus()
{
    ui->actionWatermark->setVisible(false);
    ui->actionUpdate_Firmware->setVisible(false);
    ui->actionUpdate_Application->setVisible(false);
}

void MainWindow::loadLanguage(int language)
{
    LanguageTable table;
    table.load(LanguageTable::defaultPath());
    table.applyToGlobals(language);
    setAppFontForLanguage(language);
}

void MainWindow::applyParameters(LoadParameterMode mode)
{
    Q_UNUSED(mode)
    gStyle = parameterValue(SettingKeys::style);
    gDisplayMode = parameterValue(SettingKeys::displayMode, 1);
    // the list converts its dates from the format they are in, gDateFormat, to the new one
    setDateFormat(parameterValue(SettingKeys::date));
    updateMenuChecks();
}

void MainWindow::applySkin()
{
    setStyleSheet(AppStyle::mainWindowSheet(gStyle));
    emit styleApplied(gStyle);
}

void MainWindow::storeSetting(const QString &key, int value)
{
    // the value stays in memory either way
    if (!AppSettings::set(key, value))
        reportSettingsNotSaved();
}

void MainWindow::fitMinimumWidth()
{
    // the screen's share, or the play bar beside the list's texts at their smallest fonts
    const int screenWidth = screen()->availableGeometry().width();
    const int least = ui->widgetLeftColumn->minimumSizeHint().width() + columnSpacing +
                      list_->narrowestWidth(minimumHeight());
    setMinimumWidth(std::min(std::max(screenWidth * 8 / 10, least), screenWidth));
}

void MainWindow::refreshWidgetSize(int w, int h)
{
    // right column and bottom row scale with the window; the video takes the rest, and gives the
    // list the room its texts need, up to two fifths of the window and down to the play bar's
    // least width
    const int share = qBound(320, w * 30 / 100, 640);
    const int room =
        std::min(w * 2 / 5, w - columnSpacing - ui->widgetLeftColumn->minimumSizeHint().width());
    const int rightWidth = list_ ? std::max(share, std::min(list_->widthForTexts(h), room)) : share;
    ui->widgetRightColumn->setFixedWidth(rightWidth);
    ui->widgetChartArea->setFixedWidth(rightWidth);
    // the map has a fixed size above the list; the list takes the rest of the column
    ui->widgetListArea->setMinimumHeight(0);
    ui->widgetListArea->setMaximumHeight(QWIDGETSIZE_MAX);
    refreshMapSize(rightWidth, h);
    const int bottomHeight = qBound(120, h * 22 / 100, 260);
    ui->widgetShowDataArea->setFixedHeight(bottomHeight);
    ui->widgetChartArea->setFixedHeight(bottomHeight);
    ui->widgetControlArea->setFixedHeight(qMax(56, int((h - 675) * 0.0273 + 20.0) + 36));
    refreshTripBandSize(w, h);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    recordedHeight_ = height();
    refreshWidgetSize(width(), height());
}

void MainWindow::onViewSliderCheanged(OP_Mode mode)
{
    opMode_ = mode;
    control_->setOP_Mode(mode);
    playerForm_->setPlayerBackImage(mode);
    // editing works on the open file: the list cannot change it meanwhile
    ui->widgetListArea->setEnabled(mode == OP_Play);
}

void MainWindow::onDisplayModeChange()
{
    gDisplayMode = gDisplayMode == 0 ? 1 : 0;
    storeSetting(SettingKeys::displayMode, gDisplayMode);
    if (list_)
        onSubIndexMark();
    updateMenuChecks();
    layoutPlayers();
}

void MainWindow::onPIPChange()
{
    gPipSwap = gPipSwap == 0 ? 1 : 0;
    layoutPlayers();
}

void MainWindow::setUiLayout(int mode)
{
    const bool calendar = mode == 1;
    if (!calendar)
        leaveRideDataMode();
    if (calendar)
        storeSetting(SettingKeys::mode, 1);
    else if (gMode == 1)
        storeSetting(SettingKeys::mode, 0);
    gMode = mode;
    if (!calendar)
        placeMap();
    // an area shows only once a panel has been put into it
    const auto showArea = [](QWidget *area, bool on) {
        area->setVisible(on && area->layout()->count() > 0);
    };
    ui->widgetLeftColumn->setVisible(!calendar);
    for (QWidget *area :
         {ui->widgetListArea, ui->widgetMapArea, ui->widgetShowDataArea, ui->widgetChartArea})
        showArea(area, !calendar);
    // isHidden, not isVisibleTo: the column itself may still be hidden here
    ui->widgetRightColumn->setVisible(
        !calendar && (!ui->widgetListArea->isHidden() || !ui->widgetMapArea->isHidden()));
    if (calendar)
        ridePage(); // the page area shows once it holds the page
    showArea(ui->widgetPlaybackArea, calendar);
    ui->actionCalendar->setVisible(!calendar);
    ui->actionPlayer->setVisible(calendar);
    enableFileActions(!calendar);
    if (calendar) {
        enterRideDataMode();
        emit autoCheckMetadataTriggerd();
    } else {
        emit clearMapAll();
        emit clearPlaybackDataAll();
        finishLeavingRideDataMode();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    dialog_->close();
    // the parentless adjustment panel would otherwise keep the program running
    videoSetup_->close();
    // so would the on-demand windows (choosers, sharing, help, wizards, overlay editor, notices),
    // all of them parentless windows of this one
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && !window->parentWidget() && window->isVisible() &&
            !qobject_cast<MainWindow *>(window))
            window->close();
    }
    event->accept();
}

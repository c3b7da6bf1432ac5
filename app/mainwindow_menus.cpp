// Menus of the main window: language, style, units, date format, map source, cameras.
#include "mainwindow.h"

#include "appfont.h"
#include "appglobals.h"
#include "appsettings.h"
#include "formlist.h"
#include "formmap.h"
#include "menutexts.h"
#include "settingkeys.h"
#include "ui_mainwindow.h"

#include <QActionGroup>
#include <QApplication>

namespace {
// Each language's own name; these are never translated.
const char *const languageNames[LanguageCount] = {
    "English", "Deutsch", "Français", "Nederlands", "Italiano", "Español",
    "Português", "Русский", "Polski", "Čeština", "Română", "中文"};

QString menuText(int index)
{
    return gLangMenuBar.value(index);
}

QActionGroup *exclusiveGroup(QObject *parent, const QList<QAction *> &actions)
{
    auto *group = new QActionGroup(parent);
    for (QAction *action : actions)
        group->addAction(action);
    return group;
}
} // namespace

QVector<QAction *> MainWindow::locationActions() const
{
    return {ui->actionleft_top, ui->actiontop,         ui->actionright_top, ui->actionleft,
            ui->actionright,    ui->actionleft_bottom, ui->actionbottom,    ui->actionright_bottom};
}

int MainWindow::locationCode(int formIndex)
{
    // form order left_top, top, right_top, left, right, left_bottom, bottom, right_bottom
    static const int codes[] = {3, 0, 6, 2, 5, 4, 1, 7};
    return formIndex >= 0 && formIndex < 8 ? codes[formIndex] : -1;
}

void MainWindow::initMenus()
{
    for (int i = 0; i < LanguageCount; ++i) {
        QAction *action = ui->menuLanguage->addAction(QString::fromUtf8(languageNames[i]));
        action->setCheckable(true);
        action->setData(i);
        languageActions_.append(action);
    }
    exclusiveGroup(this, languageActions_.toList());
    exclusiveGroup(this, {ui->actionStyle_White, ui->actionStyle_Black});
    exclusiveGroup(this, {ui->actionSpeed_mph, ui->actionSpeed_kmh});
    exclusiveGroup(this, {ui->actionDate_DMY, ui->actionDate_MDY, ui->actionDate_YMD});
    exclusiveGroup(this, {ui->actionMap_Web, ui->actionMap_OSM});

    for (QMenu *menu : {ui->menuFile, ui->menuSettings, ui->menuView, ui->menuTools, ui->menuHelp})
        connect(menu, &QMenu::triggered, this, &MainWindow::triggerMenu);
    retranslateMenus();
}

void MainWindow::triggerMenu(QAction *act)
{
    if (const int language = languageActions_.indexOf(act); language >= 0) {
        setLanguage(language);
    } else if (const int location = locationActions().indexOf(act); location >= 0) {
        setLocation(locationCode(location));
    } else if (act == ui->actionStyle_White || act == ui->actionStyle_Black) {
        setStyle(act == ui->actionStyle_Black ? 1 : 0);
    } else if (act == ui->actionSpeed_mph || act == ui->actionSpeed_kmh) {
        setSpeedUnit(act == ui->actionSpeed_kmh ? SpeedKmh : SpeedMph);
    } else if (act == ui->actionDate_DMY || act == ui->actionDate_MDY || act == ui->actionDate_YMD) {
        const int format = act == ui->actionDate_DMY ? 0 : act == ui->actionDate_MDY ? 1 : 2;
        setDateFormat(format);
        storeSetting(SettingKeys::date, format);
    } else if (act == ui->actionMap_Web || act == ui->actionMap_OSM) {
        setMaps(act == ui->actionMap_OSM ? MapSecondSource : MapWebPage);
    } else if (act == ui->actionAutomatically) {
        storeSetting(SettingKeys::automatically, act->isChecked() ? 1 : 0);
    } else if (act == ui->actionFactory_Settings) {
        onRestoreFactorySettings();
    } else if (act == ui->actionDual_View) {
        onDisplayModeChange();
    } else if (act == ui->actionSwap_Pictures) {
        onPIPChange();
    } else if (act == ui->actionVertical_Flip_Main || act == ui->actionVertical_Flip_Second) {
        setVerticalFlip(act == ui->actionVertical_Flip_Main ? 0 : 1, act->isChecked());
    } else if (act == ui->actionCalendar || act == ui->actionPlayer) {
        setUiLayout(act == ui->actionCalendar ? 1 : 0);
    } else if (act == ui->actionUpdate_Firmware || act == ui->actionUpdate_Application) {
        openUpdateWizard(act == ui->actionUpdate_Firmware);
    } else if (act == ui->actionWatermark) {
        onWatermark();
    } else if (act == ui->actionExit) {
        close();
    } else if (act == ui->actionShare) {
        onCheckShare();
    } else if (act == ui->actionInstruction) {
        showInstruction();
    } else if (act == ui->actionAbout_Player) {
        showAbout();
    }
}

void MainWindow::setLanguage(int language)
{
    if (language < 0 || language >= LanguageCount)
        return;
    gLanguage = language;
    storeSetting(SettingKeys::language, language);
    loadLanguage(language);
    retranslateMenus();
    emit languageApplied();
}

void MainWindow::setStyle(int style)
{
    gStyle = style == 1 ? 1 : 0;
    storeSetting(SettingKeys::style, gStyle);
    applySkin();
    updateMenuChecks();
}

void MainWindow::setSpeedUnit(int unit)
{
    storeSetting(SettingKeys::speedUnit, unit == SpeedKmh ? SpeedKmh : SpeedMph);
    updateMenuChecks();
    applyTripBandSettings();
    applyRideDataSettings();
}

void MainWindow::setDateFormat(int format)
{
    if (list_)
        list_->updateDateFormat(format);
    gDateFormat = format >= 0 && format <= 2 ? format : 0;
    updateMenuChecks();
    applyTripBandSettings();
    applyRideDataSettings();
}

void MainWindow::setMaps(int v)
{
    const Map_e source = v == MapSecondSource ? MapSecondSource : MapWebPage;
    if (source == MapWebPage)
        map_->setDarkMode(gStyle);
    storeSetting(SettingKeys::maps, source);
    map_->changeMap(source);
    updateMenuChecks();
}

void MainWindow::setLocation(int code)
{
    if (code < 0 || code > 7)
        return;
    storeSetting(SettingKeys::locationSecond, code);
    updateMenuChecks();
    layoutPlayers();
}

int MainWindow::getVerticalFlip(bool mainCamera) const
{
    const QString key = mainCamera ? SettingKeys::verticalFlip : SettingKeys::subVerticalFlip;
    if (!gParameters.contains(key))
        return -1;
    const int value = parameterValue(key, -1);
    return value >= 0 && value < 2 ? value : -1;
}

void MainWindow::setVerticalFlip(int camera, bool on)
{
    storeSetting(camera == 0 ? SettingKeys::verticalFlip : SettingKeys::subVerticalFlip, on ? 1 : 0);
    updateMenuChecks();
    applyVerticalFlips();
}

void MainWindow::onRestoreFactorySettings()
{
    if (!AppSettings::restoreFactory())
        reportSettingsNotSaved();
    list_->clearMainIndexMark();
    list_->clearSubIndexMark();
    const int language = parameterValue(SettingKeys::language);
    if (language != gLanguage)
        setLanguage(language);
    applyParameters(LoadAfterFactoryReset);
    applySkin();
    applyVerticalFlips();
    layoutPlayers();
}

void MainWindow::updateMenuChecks()
{
    languageActions_.value(gLanguage)->setChecked(true);
    (gStyle == 1 ? ui->actionStyle_Black : ui->actionStyle_White)->setChecked(true);
    (currentSpeedUnit() == SpeedKmh ? ui->actionSpeed_kmh : ui->actionSpeed_mph)->setChecked(true);
    const QList<QAction *> dates = {ui->actionDate_DMY, ui->actionDate_MDY, ui->actionDate_YMD};
    dates.value(gDateFormat)->setChecked(true);
    (parameterValue(SettingKeys::maps) == MapSecondSource ? ui->actionMap_OSM : ui->actionMap_Web)
        ->setChecked(true);
    ui->actionAutomatically->setChecked(parameterValue(SettingKeys::automatically) == 1);
    ui->actionDual_View->setChecked(gDisplayMode == 1);
    ui->actionVertical_Flip_Main->setChecked(getVerticalFlip(true) == 1);
    ui->actionVertical_Flip_Second->setChecked(getVerticalFlip(false) == 1);

    const int location = parameterValue(SettingKeys::locationSecond, 7);
    const QVector<QAction *> locations = locationActions();
    for (int i = 0; i < locations.size(); ++i) {
        const bool current = locationCode(i) == location;
        locations[i]->setIcon(QIcon(current ? QStringLiteral(":/image/menubarMark")
                                            : QStringLiteral(":/image/menubarUnmark")));
    }
}

void MainWindow::enableFileActions(bool playerMode)
{
    // the ride-data page uses the map meanwhile; Exit stays
    for (QAction *action : {ui->actionAdd_Video, ui->actionClear_File_List, ui->actionSnapshot})
        action->setEnabled(playerMode);
}

void MainWindow::retranslateMenus()
{
    using namespace MenuText;
    const QFont font = getAppFont(false);
    menuBar()->setFont(font);
    const std::pair<QMenu *, int> menus[] = {
        {ui->menuFile, File},         {ui->menuSettings, Settings}, {ui->menuLanguage, Language},
        {ui->menuStyle, Style},       {ui->menuSpeed_Unit, MenuText::SpeedUnit}, {ui->menuDate_Format, DateFormat},
        {ui->menuMaps, Maps},         {ui->menuView, View},         {ui->menuLocation, Location},
        {ui->menuTools, Tools},       {ui->menuHelp, Help}};
    for (const auto &[menu, index] : menus) {
        menu->setTitle(menuText(index));
        menu->setFont(font);
    }
    const std::pair<QAction *, int> actions[] = {
        {ui->actionAdd_Video, AddVideo},
        {ui->actionClear_File_List, ClearFileList},
        {ui->actionSnapshot, Snapshot},
        {ui->actionExit, Exit},
        {ui->actionStyle_White, White},
        {ui->actionStyle_Black, Black},
        {ui->actionSpeed_mph, Mph},
        {ui->actionSpeed_kmh, Kmh},
        {ui->actionDate_DMY, DateDmy},
        {ui->actionDate_MDY, DateMdy},
        {ui->actionDate_YMD, DateYmd},
        {ui->actionMap_Web, WebMap},
        {ui->actionMap_OSM, OpenStreetMap},
        {ui->actionAutomatically, Automatically},
        {ui->actionFactory_Settings, FactorySettings},
        {ui->actionDual_View, DualView},
        {ui->actionSwap_Pictures, SwapPictures},
        {ui->actionleft_top, LeftTop},
        {ui->actiontop, Top},
        {ui->actionright_top, RightTop},
        {ui->actionleft, Left},
        {ui->actionright, Right},
        {ui->actionleft_bottom, LeftBottom},
        {ui->actionbottom, Bottom},
        {ui->actionright_bottom, RightBottom},
        {ui->actionVertical_Flip_Main, FlipMain},
        {ui->actionVertical_Flip_Second, FlipSecond},
        {ui->actionVideo_Adjustment, VideoAdjustment},
        {ui->actionShare, Share},
        {ui->actionCalendar, Calendar},
        {ui->actionPlayer, Player},
        {ui->actionDelete_Ride_Data, DeleteRideData},
        {ui->actionWatermark, Watermark},
        {ui->actionUpdate_Firmware, UpdateFirmware},
        {ui->actionUpdate_Application, UpdateApplication},
        {ui->actionInstruction, Instruction},
        {ui->actionAbout_Player, About},
    };
    for (const auto &[action, index] : actions) {
        action->setText(menuText(index));
        action->setFont(font);
    }
}

// The map in the main window: the main player's track and position go to it; settings and
// style reach it once its page has loaded.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formmap.h"
#include "framelesshelper.h"
#include "settingkeys.h"
#include "ui_mainwindow.h"

#include <QLayout>
#include <QWebEngineView>

namespace {
constexpr int minMapHeight = 200;
constexpr int mapHeightPercent = 40; // of the window's height
} // namespace

void MainWindow::wireMap()
{
    placeMap();

    Dashcam *main = mainDashcam();
    // main player -> map; setData is the first receiver of MediaChanged (see the constructor)
    connect(main, &Dashcam::MediaChanged, map_, &FormMap::setData);
    connect(main, &Dashcam::infoChanged, map_, &FormMap::infoChanged);
    // main window -> map
    connect(this, &MainWindow::clearMapAll, map_, &FormMap::clearMapAll);
    connect(this, &MainWindow::styleApplied, map_, &FormMap::setDarkMode);
    // map page -> main window, after the map's own handler of the same signal
    connect(map_->webView(), &QWebEngineView::loadFinished, this, &MainWindow::onInitParameter);
}

void MainWindow::placeMap()
{
    if (!map_ || map_->parentWidget() == ui->widgetMapArea)
        return;
    ui->widgetMapArea->layout()->addWidget(map_);
    map_->show();
    refreshMapSize(ui->widgetRightColumn->width(), height());
}

void MainWindow::refreshMapSize(int width, int height)
{
    // while the ride-data page has the map, that page sizes it
    if (!map_ || map_->parentWidget() != ui->widgetMapArea)
        return;
    map_->setFixedSize(width, qMax(minMapHeight, height * mapHeightPercent / 100));
    map_->setMask(FramelessHelper::roundedMask(map_->size()));
}

void MainWindow::onInitParameter(bool ok)
{
    if (!ok)
        return;
    applyParameters(LoadAfterMapLoaded);
    map_->changeMap(parameterValue(SettingKeys::maps) == MapSecondSource ? MapSecondSource
                                                                         : MapWebPage);
    map_->setDarkMode(gStyle);
}

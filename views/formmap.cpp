#include "formmap.h"

#include "skin.h"
#include "ui_formmap.h"

#include <QHBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <utility>

namespace {
const QUrl pageUrl(QStringLiteral("qrc:/GoogleMap.html"));
}

FormMap::FormMap(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormMap>()),
      driver_([this](const QString &script) { runScript(script); }, getStylePath())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    // A window of its own once placed: the page's repaints are composed into the map's area
    // alone, not into the whole main window.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_NativeWindow);
    QWebEngineSettings *settings = QWebEngineSettings::globalSettings();
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);

    view_ = new QWebEngineView;
    ui->horizontalLayout->addWidget(view_);
    view_->show();
    // connected before the page is set, so that they see the page's first load
    connect(view_, &QWebEngineView::loadFinished, this, &FormMap::onGoogleLoadFinished);
    connect(view_, &QWebEngineView::loadStarted, this, &FormMap::onGoogleLoadStarted);
    page_ = new QWebEnginePage(this);
    page_->load(pageUrl);
    view_->setPage(page_);
}

FormMap::~FormMap()
{
    // the view goes first: it must not outlive the page it shows
    delete view_;
}

void FormMap::runScript(const QString &script)
{
    if (driver_.isPageLoaded())
        page_->runJavaScript(script);
    else
        waitingScripts_ << script;
}

void FormMap::setDarkMode(int dark)
{
    driver_.setDarkMode(dark);
}

void FormMap::setPlaybackData(QVector<PlaybackInfo_t> &points)
{
    driver_.setPlaybackData(points);
}

void FormMap::setData(QVector<VideoInfo_t> &samples)
{
    drawTrack(samples);
}

void FormMap::drawTrack(QVector<VideoInfo_t> &samples)
{
    if (const std::optional<double> distance = driver_.drawTrack(samples))
        emit distanceTotalLengthTrigger(*distance);
}

void FormMap::infoChanged(VideoInfo_t vi, bool isValid)
{
    Q_UNUSED(isValid)
    driver_.infoChanged(vi);
}

void FormMap::infoPlaybackChanged(PlaybackInfo_t vi)
{
    driver_.infoPlaybackChanged(vi);
}

void FormMap::changeMap(Map_e map)
{
    // Both sources show this page: it is drawn on OpenStreetMap's tiles already.
    if (map == MapWebPage || map == MapSecondSource)
        view_->show();
    mapType_ = map;
}

void FormMap::clearMapAll()
{
    driver_.clearMapAll();
}

void FormMap::onGoogleLoadStarted()
{
    driver_.onLoadStarted();
}

void FormMap::onGoogleLoadFinished(bool ok)
{
    if (ok) {
        // what was asked before the load runs before the driver draws what waited for it
        for (const QString &script : std::exchange(waitingScripts_, {}))
            page_->runJavaScript(script);
    }
    if (const std::optional<double> distance = driver_.onLoadFinished(ok))
        emit distanceTotalLengthTrigger(*distance);
}

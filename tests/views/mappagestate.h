// Test access to the map page: what it shows (its mapState() function) and which requests
// it makes.
#pragma once

#include <QImage>
#include <QJsonObject>
#include <QMutex>
#include <QPoint>
#include <QStringList>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

class QWebEnginePage;
class QWidget;

namespace MapPageTest {

// Runs mapState() in the page and waits for its answer; an empty object when none came.
QJsonObject state(QWebEnginePage *page, int timeoutMs = 5000);
// A point inside the arrow of a mapState() entry ("arrow" or "symbol"), in page pixels: a little
// ahead of its anchor along its heading.
QPoint insideArrow(const QJsonObject &arrow);
// Grabs widget until the grab shows what shows() looks for (the page paints in its own time), at
// most timeoutMs; returns the last grab.
QImage grabShowing(QWidget *widget, const std::function<bool(const QImage &)> &shows,
                   int timeoutMs = 5000);
// Runs a script in the page and waits until it has run.
void run(QWebEnginePage *page, const QString &script);

// Records the requests of the default web profile. Tile requests are blocked, so that tests
// never reach the network; every other request outside the resource bundle is foreign.
class RequestRecorder : public QWebEngineUrlRequestInterceptor
{
public:
    // Installs itself on the default profile.
    RequestRecorder();
    ~RequestRecorder() override;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    QStringList foreignRequests() const;
    int tileRequests() const;

private:
    mutable QMutex mutex_;
    QStringList foreign_;
    int tiles_ = 0;
};

} // namespace MapPageTest

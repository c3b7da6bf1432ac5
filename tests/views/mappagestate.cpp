#include "mappagestate.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWidget>
#include <QtMath>
#include <QtTest>

#include <cmath>

#include <memory>

namespace MapPageTest {

namespace {
// The answer of one script; shared with the callback, which may come after a timeout.
std::shared_ptr<QVariant> runAndWait(QWebEnginePage *page, const QString &script, int timeoutMs)
{
    auto answer = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page->runJavaScript(script, [answer, done](const QVariant &value) {
        *answer = value;
        *done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!*done && timer.elapsed() < timeoutMs)
        QTest::qWait(10);
    return answer;
}
} // namespace

QJsonObject state(QWebEnginePage *page, int timeoutMs)
{
    const auto answer = runAndWait(page, QStringLiteral("JSON.stringify(mapState())"), timeoutMs);
    return QJsonDocument::fromJson(answer->toString().toUtf8()).object();
}

QPoint insideArrow(const QJsonObject &arrow)
{
    const double rad = qDegreesToRadians(arrow.value("rotation").toDouble());
    return QPoint(qRound(arrow.value("x").toDouble() + 12 * std::sin(rad)),
                  qRound(arrow.value("y").toDouble() - 12 * std::cos(rad)));
}

QImage grabShowing(QWidget *widget, const std::function<bool(const QImage &)> &shows, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QImage grab = widget->grab().toImage();
    while (!shows(grab) && timer.elapsed() < timeoutMs) {
        QTest::qWait(50);
        grab = widget->grab().toImage();
    }
    return grab;
}

void run(QWebEnginePage *page, const QString &script)
{
    runAndWait(page, script, 5000);
}

RequestRecorder::RequestRecorder()
{
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(this);
}

RequestRecorder::~RequestRecorder()
{
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(nullptr);
}

void RequestRecorder::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    QMutexLocker lock(&mutex_);
    if (url.scheme() == QLatin1String("qrc") || url.scheme() == QLatin1String("data"))
        return;
    if (url.scheme() == QLatin1String("https") &&
        url.host() == QLatin1String("tile.openstreetmap.org")) {
        ++tiles_;
        info.block(true);
        return;
    }
    foreign_ << url.toString();
    info.block(true);
}

QStringList RequestRecorder::foreignRequests() const
{
    QMutexLocker lock(&mutex_);
    return foreign_;
}

int RequestRecorder::tileRequests() const
{
    QMutexLocker lock(&mutex_);
    return tiles_;
}

} // namespace MapPageTest

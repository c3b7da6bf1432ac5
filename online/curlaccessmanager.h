// A network access manager whose HTTP and HTTPS requests libcurl carries (CurlReply), with the
// manager's redirect policy, transfer timeout and bounds against a slow peer; GET and POST only,
// other schemes and operations end in an error reply. Its callers keep Qt's interface (get, post,
// finished).
#pragma once

#include "networklimits.h"

#include <QNetworkAccessManager>

#include <memory>

class CurlWorker;

class CurlAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit CurlAccessManager(QObject *parent = nullptr);
    ~CurlAccessManager() override;

    // The head's and the body's bounds in time of the requests made from now on (CurlReply);
    // NetworkLimits' by default.
    void setPaceBounds(const NetworkLimits::PaceBounds &bounds) { pace_ = bounds; }

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    std::shared_ptr<CurlWorker> worker_;
    NetworkLimits::PaceBounds pace_;
};

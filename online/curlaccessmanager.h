// A network access manager whose HTTP and HTTPS requests libcurl carries (CurlReply), with the
// manager's redirect policy and transfer timeout; GET and POST only, other schemes and
// operations end in an error reply. Its callers keep Qt's interface (get, post, finished).
#pragma once

#include <QNetworkAccessManager>

#include <memory>

class CurlWorker;

class CurlAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit CurlAccessManager(QObject *parent = nullptr);
    ~CurlAccessManager() override;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    std::shared_ptr<CurlWorker> worker_;
};

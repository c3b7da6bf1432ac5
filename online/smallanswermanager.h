// A network access manager for requests that carry a credential and get a small answer (the
// sign-in's token exchange, the video upload): every reply is held to the small-answer bounds
// (AnswerGuard), and no redirect is followed, so the credential goes nowhere else: a redirect
// answer ends the request as an answer that is no success.
#pragma once

#include "curlaccessmanager.h"
#include "networklimits.h"

class SmallAnswerManager : public CurlAccessManager
{
    Q_OBJECT
public:
    explicit SmallAnswerManager(QObject *parent = nullptr);

    // Milliseconds an answer may take once its request is sent (the body of an upload included).
    void setAnswerDeadline(int ms) { answerDeadlineMs_ = ms; }

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    int answerDeadlineMs_ = NetworkLimits::smallAnswerDeadlineMs;
};

// Holds one network reply to its bounds: the body it may hold ahead of the reader, the
// size of an answer that is read only at its end, and the time the answer may take.
#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QTimer>

class AnswerGuard : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        qint64 readBufferBytes = 0; // the most the reply holds unread; 0: its default
        qint64 unreadMaxBytes = 0;  // unread answer bytes past which the reply ends; 0: unchecked
        int deadlineMs = 0;         // time the answer may take once the request is sent; 0: none
    };

    // A small answer read at its end: at most NetworkLimits::smallAnswerMaxBytes, within
    // deadlineMs.
    static Limits smallAnswer(int deadlineMs);

    // Guards reply from now on (the guard is its child). A reply the guard ends is aborted: it
    // finishes with OperationCanceledError, and endOf() tells why.
    static void guard(QNetworkReply *reply, const Limits &limits);
    // UnknownContentError for an answer past its size, TimeoutError past the deadline; NoError
    // when no guard ended reply.
    static QNetworkReply::NetworkError endOf(const QNetworkReply *reply);

private:
    AnswerGuard(QNetworkReply *reply, const Limits &limits);
    void onReadyRead();
    void onUploadProgress(qint64 sent, qint64 total);
    void stop(QNetworkReply::NetworkError why);

    QNetworkReply *reply_; // the parent
    const Limits limits_;
    QTimer deadline_;
    QNetworkReply::NetworkError end_ = QNetworkReply::NoError;
};

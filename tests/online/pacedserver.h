// A server on 127.0.0.1 that answers each request with pieces of bytes, one every intervalMs, from
// the test's own event loop (a test that waits with QTRY_* or QSignalSpy::wait keeps it going):
// a slow but steady peer, head lines and body bytes alike.
#pragma once

#include <QByteArrayList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

class PacedServer : public QObject
{
public:
    bool start()
    {
        connect(&server_, &QTcpServer::newConnection, this, &PacedServer::onConnection);
        return server_.listen(QHostAddress::LocalHost);
    }
    // The answer to every later request.
    void setAnswer(const QByteArrayList &pieces, int intervalMs)
    {
        pieces_ = pieces;
        intervalMs_ = intervalMs;
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()); }

private:
    void onConnection()
    {
        while (QTcpSocket *socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            // the request's head: the answer starts once it is whole
            auto request = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                const bool answering = request->contains("\r\n\r\n");
                *request += socket->readAll();
                if (!answering && request->contains("\r\n\r\n"))
                    send(socket, 0);
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void send(QTcpSocket *socket, int index)
    {
        if (index == pieces_.size()) {
            socket->disconnectFromHost();
            return;
        }
        socket->write(pieces_.at(index));
        QTimer::singleShot(intervalMs_, socket, [this, socket, index] { send(socket, index + 1); });
    }

    QTcpServer server_;
    QByteArrayList pieces_;
    int intervalMs_ = 0;
};

#pragma once
// A web site and a forwarding proxy on the loopback address, run by the test
// on its own event loop: the site answers GET requests from a table of
// pages (404 otherwise) and logs the paths it was asked for; the proxy logs
// the absolute addresses it was asked for and passes the bytes on.
#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// The request head ("GET target HTTP/1.1 ... \r\n\r\n") once it is complete;
// the target of its first line.
inline bool RequestTarget(const QByteArray& received, QByteArray& target)
{
    if (!received.contains("\r\n\r\n"))
        return false;
    const QList<QByteArray> first = received.left(received.indexOf("\r\n")).split(' ');
    target = first.size() >= 2 ? first[1] : QByteArray();
    return true;
}

class LoopbackSite : public QTcpServer {
public:
    LoopbackSite()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Serve(socket); });
            }
        });
    }

    QString Address(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }

    QMap<QByteArray, QByteArray> pages;  // path -> body
    QStringList requests;                // the paths asked for, in order

private:
    void Serve(QTcpSocket* socket)
    {
        QByteArray& received = buffers_[socket];
        received += socket->readAll();
        QByteArray target;
        if (!RequestTarget(received, target))
            return;
        buffers_.remove(socket);
        // Through a proxy the target is the absolute address.
        const QByteArray path = target.startsWith('/') ? target : QUrl(QString::fromLatin1(target)).path().toLatin1();
        requests << QString::fromLatin1(path);
        const bool found = pages.contains(path);
        const QByteArray body = found ? pages.value(path) : QByteArray("<html>not here</html>");
        socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                      QByteArray("Content-Type: text/html\r\nConnection: close\r\nContent-Length: ") +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QMap<QTcpSocket*, QByteArray> buffers_;
};

class LoopbackProxy : public QTcpServer {
public:
    LoopbackProxy()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = nextPendingConnection())
                Forward(client);
        });
    }

    QString Setting() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

    QStringList requests;  // the absolute addresses asked for, in order

private:
    void Forward(QTcpSocket* client)
    {
        auto* received = new QByteArray;
        auto* upstream = new QTcpSocket(client);
        connect(client, &QTcpSocket::disconnected, client, [client, received] {
            delete received;
            client->deleteLater();
        });
        connect(client, &QTcpSocket::readyRead, client, [this, client, upstream, received] {
            *received += client->readAll();
            if (upstream->state() != QAbstractSocket::UnconnectedState)
                return;
            QByteArray target;
            if (!RequestTarget(*received, target))
                return;
            requests << QString::fromLatin1(target);
            const QUrl url(QString::fromLatin1(target));
            connect(upstream, &QTcpSocket::connected, upstream, [upstream, received] { upstream->write(*received); });
            connect(upstream, &QTcpSocket::readyRead, client, [client, upstream] { client->write(upstream->readAll()); });
            connect(upstream, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
            upstream->connectToHost(url.host(), static_cast<quint16>(url.port(80)));
        });
    }
};

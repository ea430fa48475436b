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
#include <QTimer>
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

// A site whose pages never end: after the head it sends `chunk` bytes each
// time the last ones have left (intervalMs 0, as fast as the reader takes
// them) or every `intervalMs`, and counts what it wrote. With `silent` it
// takes connections and never answers at all.
class EndlessSite : public QTcpServer {
public:
    explicit EndlessSite(int intervalMs = 0, int chunk = 65536, bool silent = false)
        : intervalMs_(intervalMs), chunk_(chunk, ' '), silent_(silent)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Serve(socket); });
            }
        });
    }

    QString Address(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }

    int connections = 0;
    qint64 written = 0;  // body bytes handed to the sockets

private:
    void Serve(QTcpSocket* socket)
    {
        socket->readAll();
        if (silent_ || socket->property("answered").toBool())
            return;
        socket->setProperty("answered", true);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n<html>");
        if (intervalMs_ == 0) {
            connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] {
                if (socket->bytesToWrite() == 0)
                    Send(socket);
            });
            Send(socket);
        } else {
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [this, socket] { Send(socket); });
            timer->start(intervalMs_);
        }
    }
    void Send(QTcpSocket* socket)
    {
        if (socket->state() == QAbstractSocket::ConnectedState)
            written += socket->write(chunk_);
    }

    int intervalMs_;
    QByteArray chunk_;
    bool silent_;
};

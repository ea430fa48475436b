#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the download tests: each path
// answers as a route says (a file, a redirect, a status, a length that is
// announced but never sent, or no answer at all), one request per
// connection, in the test's own event loop.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class LoopbackHttpServer : public QObject {
public:
    struct Route {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/octet-stream";
        QByteArray location;         // for a redirect
        bool sendLength = true;      // Content-Length, or the body ends with the connection
        qint64 declaredLength = -1;  // a length other than the body's
        bool silent = false;         // reads the request and never answers
    };

    LoopbackHttpServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRequest(socket); });
            }
        });
    }

    QUrl Url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    void Add(const QByteArray& path, Route route) { routes_.insert(path, std::move(route)); }
    void File(const QByteArray& path, const QByteArray& body, const QByteArray& type)
    {
        Route r;
        r.body = body;
        r.contentType = type;
        Add(path, r);
    }
    void Redirect(const QByteArray& path, const QByteArray& location, int status = 302)
    {
        Route r;
        r.status = status;
        r.location = location;
        Add(path, r);
    }
    // Requests seen, by path (without the query).
    QList<QByteArray> requests;

private:
    void OnRequest(QTcpSocket* socket)
    {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> line = buffer.left(buffer.indexOf("\r\n")).split(' ');
        const QByteArray target = line.size() > 1 ? line[1] : QByteArray("/");
        const QByteArray path = target.contains('?') ? target.left(target.indexOf('?')) : target;
        pending_.remove(socket);
        requests << path;
        const auto found = routes_.constFind(path);
        if (found == routes_.cend()) {
            Answer(socket, 404, "Not Found", {}, "text/plain", "", true, -1);
            return;
        }
        const Route& r = *found;
        if (r.silent)
            return;
        Answer(socket, r.status, r.status == 200 ? "OK" : r.status < 400 ? "Found" : "Error", r.location,
               r.contentType, r.body, r.sendLength, r.declaredLength);
    }

    static void Answer(QTcpSocket* socket, int status, const QByteArray& reason, const QByteArray& location,
                       const QByteArray& type, const QByteArray& body, bool sendLength, qint64 declared)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " " + reason + "\r\n";
        head += "Content-Type: " + type + "\r\nConnection: close\r\n";
        if (!location.isEmpty())
            head += "Location: " + location + "\r\n";
        if (sendLength)
            head += "Content-Length: " + QByteArray::number(declared >= 0 ? declared : body.size()) + "\r\n";
        socket->write(head + "\r\n" + body);
        // A length announced beyond the body keeps the connection open.
        if (declared < 0 || declared <= body.size())
            socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QByteArray, Route> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

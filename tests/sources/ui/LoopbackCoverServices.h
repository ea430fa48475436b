#pragma once
// MusicBrainz and the Cover Art Archive on the loopback address, answering
// in their documented shapes: the release search, the disc-ID look-up and
// the archive's release listing, whose pictures are reached through a
// redirect as on the real archive. The MusicBrainz part can be switched to
// a 503 "slow down", a malformed answer or silence; every request is logged
// with the moment it arrived and its User-Agent.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QImage>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

inline constexpr const char* kReleaseWithArt = "11111111-1111-4111-8111-111111111111";
inline constexpr const char* kReleaseWithoutArt = "22222222-2222-4222-8222-222222222222";
inline constexpr const char* kTestDiscId = "49HHV7Eb8UKF3aQiNmu1GR8vKTY-";  // of the six-track table below
inline const std::vector<int> kTestDiscOffsets{95462, 150, 15363, 32314, 46592, 63414, 80489};

inline QByteArray PngOf(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class LoopbackCoverServices : public QTcpServer {
public:
    enum class Mode { Normal, SlowDown, Malformed, Silent };
    struct Request {
        QByteArray path;
        qint64 atMs;
        QByteArray userAgent;
    };

    LoopbackCoverServices()
    {
        clock_.start();
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Serve(socket); });
            }
        });
        files_["/files/front.png"] = PngOf(600, 600, QColor(220, 30, 30));   // a CD front, red
        files_["/files/back.png"] = PngOf(750, 590, QColor(30, 30, 220));    // a CD back, blue
        files_["/files/thumb.png"] = PngOf(50, 50, QColor(220, 30, 30));
    }

    QString Address() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
    // The requests that reached the MusicBrainz part.
    QList<Request> MusicBrainzRequests() const
    {
        QList<Request> mb;
        for (const Request& r : requests)
            if (r.path.startsWith("/ws/2/"))
                mb << r;
        return mb;
    }
    bool Asked(const QByteArray& path) const
    {
        for (const Request& r : requests)
            if (r.path == path)
                return true;
        return false;
    }

    Mode mode = Mode::Normal;
    QList<Request> requests;

private:
    static QByteArray Release(const char* id, const char* title)
    {
        return QByteArray(R"({"id":")") + id + R"(","title":")" + title +
               R"(","status":"Official","date":"1999-03-01","country":"DE","track-count":11,)"
               R"("artist-credit":[{"name":"Test Artist","artist":{"id":"a","name":"Test Artist"}}],)"
               R"("media":[{"format":"CD","disc-count":1,"track-count":11}]})";
    }

    QByteArray Listing() const
    {
        const QByteArray base = Address().toLatin1() + "/release/" + kReleaseWithArt;
        return R"({"images":[{"types":["Front"],"front":true,"back":false,"approved":true,"image":")" + base +
               R"(/1.png","thumbnails":{"250":")" + Address().toLatin1() +
               R"(/files/thumb.png","small":")" + Address().toLatin1() + R"(/files/thumb.png"}},)"
               R"({"types":["Back"],"front":false,"back":true,"approved":true,"image":")" + base +
               R"(/2.png","thumbnails":{}}],"release":"https://musicbrainz.org/release/)" + kReleaseWithArt + "\"}";
    }

    void Answer(QTcpSocket* socket, const QByteArray& status, const QByteArray& body,
                const QByteArray& extra = {}, const QByteArray& type = "application/json")
    {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\n" + extra +
                      "Connection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    void Serve(QTcpSocket* socket)
    {
        QByteArray& received = buffers_[socket];
        received += socket->readAll();
        if (!received.contains("\r\n\r\n"))
            return;
        const QByteArray head = received.left(received.indexOf("\r\n\r\n"));
        buffers_.remove(socket);
        const QList<QByteArray> lines = head.split('\n');
        const QByteArray target = lines.front().split(' ').value(1);
        QByteArray agent;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                agent = line.mid(11).trimmed();
        const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
        requests << Request{target, clock_.elapsed(), agent};

        if (path.startsWith("/ws/2/")) {
            if (mode == Mode::Silent)
                return;  // the connection stays open, unanswered
            if (mode == Mode::SlowDown)
                return Answer(socket, "503 Service Unavailable",
                              R"({"error":"Your requests are exceeding the allowable rate limit. Please slow down."})");
            if (mode == Mode::Malformed)
                return Answer(socket, "200 OK", R"({"releases":[{"id":)");
        }
        if (path == "/ws/2/release")
            return Answer(socket, "200 OK",
                          R"({"created":"2026-01-01T00:00:00.000Z","count":2,"offset":0,"releases":[)" +
                              Release(kReleaseWithoutArt, "Test Album (Demo)") + "," +
                              Release(kReleaseWithArt, "Test Album") + "]}");
        if (path == QByteArray("/ws/2/discid/") + kTestDiscId)
            return Answer(socket, "200 OK",
                          QByteArray(R"({"id":")") + kTestDiscId + R"(","offset-count":6,"sectors":95462,"releases":[)" +
                              Release(kReleaseWithArt, "Test Album") + "]}");
        if (path.startsWith("/ws/2/discid/"))
            return Answer(socket, "404 Not Found", R"({"error":"Not Found"})");
        if (path == QByteArray("/release/") + kReleaseWithArt)
            return Answer(socket, "200 OK", Listing());
        // The archive sends its pictures on from another address.
        if (path == QByteArray("/release/") + kReleaseWithArt + "/1.png")
            return Answer(socket, "307 Temporary Redirect", {}, "Location: /files/front.png\r\n", "text/plain");
        if (path == QByteArray("/release/") + kReleaseWithArt + "/2.png")
            return Answer(socket, "307 Temporary Redirect", {}, "Location: " + Address().toLatin1() + "/files/back.png\r\n",
                          "text/plain");
        if (files_.contains(path))
            return Answer(socket, "200 OK", files_.value(path), {}, "image/png");
        Answer(socket, "404 Not Found", "Not Found", {}, "text/plain");
    }

    QElapsedTimer clock_;
    QMap<QByteArray, QByteArray> files_;
    QMap<QTcpSocket*, QByteArray> buffers_;
};

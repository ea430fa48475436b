#include "sources/ui/ServiceClient.h"

#include "settings/UpdateCheck.h"
#include "settings/WebAddress.h"
#include "sources/CoverCache.h"
#include "sources/RateLimiter.h"
#include "sources/ServiceRequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kCancelPollMs = 30;

ServiceReply Failed(ServiceFailure failure, const QString& detail)
{
    ServiceReply r;
    r.failure = failure;
    r.detail = detail;
    return r;
}

// "Preconfigured access": the system's own proxy settings for each request.
class SystemProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

}  // namespace

CServiceClient::CServiceClient(CoverServiceSettings settings, const std::atomic<bool>* cancel)
    : settings_(std::move(settings)), cancel_(cancel), network_(std::make_unique<QNetworkAccessManager>())
{
    const auto proxy = settings_.useProxy == 1 ? ParseProxySetting(settings_.proxy) : std::nullopt;
    if (proxy) {
        QString host = QString::fromStdString(proxy->host);
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
        network_->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, static_cast<quint16>(proxy->port)));
    } else {
        network_->setProxyFactory(new SystemProxies);
    }
}

CServiceClient::~CServiceClient() = default;

bool CServiceClient::WaitForTurn()
{
    // This process's turn, and the turn among every Korvane process.
    const auto wait = std::max<std::chrono::steady_clock::duration>(
        MusicBrainzLimiter().Reserve(),
        ReserveAcrossProcesses(CoverCacheFolder() + "/../musicbrainz-next-request", std::chrono::seconds(1)));
    const auto until = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < until) {
        if (Cancelled())
            return false;
        QThread::msleep(kCancelPollMs / 3);
    }
    return !Cancelled();
}

ServiceReply CServiceClient::Get(const std::string& address, qint64 limit, bool musicBrainz)
{
    QUrl url(QString::fromStdString(address));
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const std::string text = url.toString(QUrl::FullyEncoded).toStdString();
        if (!IsWebAddress(text))
            return Failed(ServiceFailure::Network, QStringLiteral("not an http(s) address: %1").arg(url.toString()));
        if (musicBrainz && hop == 0 && !WaitForTurn())
            return Failed(ServiceFailure::Cancelled, {});
        if (Cancelled())
            return Failed(ServiceFailure::Cancelled, {});

        QNetworkRequest request(url);
        request.setRawHeader("User-Agent", QByteArray::fromStdString(ServiceUserAgent(settings_.contact)));
        request.setRawHeader("Accept", musicBrainz ? "application/json" : "*/*");
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply* reply = network_->get(request);
        QByteArray body;
        bool timedOut = false, cancelled = false, tooLarge = false;
        QEventLoop loop;
        QTimer silence;  // restarted by every arrival: a slow picture may take its time
        silence.setSingleShot(true);
        QTimer poll;
        QObject::connect(&silence, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            reply->abort();
        });
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (Cancelled()) {
                cancelled = true;
                reply->abort();
            }
        });
        QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
            silence.start(settings_.timeoutMs);
            body += reply->read(limit + 1 - body.size());
            if (body.size() > limit) {
                tooLarge = true;
                reply->abort();
            }
        });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        silence.start(settings_.timeoutMs);
        poll.start(kCancelPollMs);
        if (!reply->isFinished())
            loop.exec();
        if (!tooLarge && !timedOut && !cancelled)
            body += reply->read(limit + 1 - body.size());
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        // The raw header: a relative address is no valid LocationHeader.
        const QUrl location = QUrl::fromEncoded(reply->rawHeader("Location").trimmed());
        const QNetworkReply::NetworkError error = reply->error();
        const QString errorText = reply->errorString();
        reply->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        if (cancelled)
            return Failed(ServiceFailure::Cancelled, {});
        if (timedOut)
            return Failed(ServiceFailure::TimedOut, {});
        if (tooLarge || body.size() > limit)
            return Failed(ServiceFailure::TooLarge, {});
        if (IsRedirect(status) && location.isValid() && !location.isEmpty()) {
            url = url.resolved(location);
            if (CheckRedirect(hop, SchemeOf(url.toString().toStdString()), DownloadLimits{}) != DownloadRefusal::None)
                return Failed(ServiceFailure::Network, QStringLiteral("sent on to %1").arg(url.toString()));
            continue;
        }
        if (status == 404)
            return Failed(ServiceFailure::NotFound, QStringLiteral("404 %1").arg(reason));
        if (status >= 400 || (status != 0 && status != 200))
            return Failed(ServiceFailure::Refused, QStringLiteral("%1 %2").arg(status).arg(reason).trimmed());
        if (error != QNetworkReply::NoError || status == 0)
            return Failed(ServiceFailure::Network, errorText);
        ServiceReply ok;
        ok.body = body;
        return ok;
    }
    return Failed(ServiceFailure::Network, QStringLiteral("too many redirects"));
}

ReleaseReply CServiceClient::Releases(const std::string& address)
{
    ReleaseReply result;
    const ServiceReply reply = Get(address, static_cast<qint64>(kMaxAnswerBytes), true);
    result.failure = reply.failure;
    result.detail = reply.detail;
    if (!reply.ok())
        return result;
    const ReleaseAnswer answer = ParseReleases(std::string_view(reply.body.constData(), reply.body.size()));
    if (!answer.ok) {
        result.failure = ServiceFailure::Malformed;
        result.detail = QString::fromStdString(answer.error);
        return result;
    }
    result.releases = answer.releases;
    return result;
}

ReleaseReply CServiceClient::Search(const std::string& artist, const std::string& album)
{
    return Releases(ReleaseSearchAddress(settings_.musicBrainzServer, artist, album));
}

ReleaseReply CServiceClient::LookUpDisc(const std::string& discId)
{
    if (!IsDiscId(discId)) {
        ReleaseReply r;
        r.failure = ServiceFailure::NotFound;
        return r;
    }
    return Releases(DiscIdAddress(settings_.musicBrainzServer, discId));
}

CoverArtReply CServiceClient::CoverArt(const std::string& releaseId)
{
    CoverArtReply result;
    if (!IsMusicBrainzId(releaseId)) {
        result.failure = ServiceFailure::NotFound;
        return result;
    }
    const ServiceReply reply =
        Get(CoverArtAddress(settings_.coverArtServer, releaseId), static_cast<qint64>(kMaxAnswerBytes), false);
    result.failure = reply.failure;
    result.detail = reply.detail;
    if (!reply.ok())
        return result;
    const CoverArtAnswer answer = ParseCoverArt(std::string_view(reply.body.constData(), reply.body.size()));
    if (!answer.ok) {
        result.failure = ServiceFailure::Malformed;
        result.detail = QString::fromStdString(answer.error);
        return result;
    }
    result.images = answer.images;
    if (!result.images.HasArt())
        result.failure = ServiceFailure::NotFound;
    return result;
}

ServiceReply CServiceClient::Picture(const std::string& address, qint64 limit) { return Get(address, limit, false); }

ServiceReply CServiceClient::SavePicture(const std::string& address, const std::string& path)
{
    ServiceReply reply = Picture(address);
    if (!reply.ok())
        return reply;
    const QString file = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(reply.body) != reply.body.size() || !out.commit())
        return Failed(ServiceFailure::Network, out.errorString());
    return reply;
}

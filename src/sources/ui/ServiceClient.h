#pragma once
// Talking to the online cover services over Qt Network, one request at a
// time on the calling thread (a worker thread in the window, the main
// thread in korvane-cli). Every request carries the program's User-Agent;
// those to MusicBrainz wait their turn (one a second); redirects are
// followed by hand, to http and https addresses only; answers and pictures
// have size limits; an unanswered request ends after the time-out; a set
// cancel flag ends the request under way within a few hundredths of a second.
#include "sources/DownloadRules.h"
#include "sources/ServiceAnswers.h"
#include "sources/ServiceSettings.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <string>

class QNetworkAccessManager;

enum class ServiceFailure {
    None,
    Network,    // no connection, a refused address, too many redirects
    Refused,    // the service said no (503 "slow down", 429, another error status)
    TimedOut,
    Malformed,  // an answer that cannot be read
    NotFound,   // 404: no such release, disc or art
    Cancelled,
    TooLarge,
};

struct ServiceReply {
    ServiceFailure failure = ServiceFailure::None;
    QByteArray body;
    QString detail;  // for the message: the status or Qt's words
    bool ok() const { return failure == ServiceFailure::None; }
};

struct ReleaseReply {
    ServiceFailure failure = ServiceFailure::None;
    QString detail;
    std::vector<ReleaseInfo> releases;
};

struct CoverArtReply {
    ServiceFailure failure = ServiceFailure::None;  // NotFound: the release has no art
    QString detail;
    CoverArtImages images;
};

class CServiceClient {
public:
    // The picture downloads' own rules (sources/DownloadRules.h).
    static constexpr int kMaxRedirects = DownloadLimits{}.maxRedirects;
    static constexpr qint64 kPictureLimit = DownloadLimits{}.maxBytes;
    static constexpr qint64 kThumbnailLimit = 4 << 20;

    CServiceClient(CoverServiceSettings settings, const std::atomic<bool>* cancel = nullptr);
    ~CServiceClient();
    CServiceClient(const CServiceClient&) = delete;
    CServiceClient& operator=(const CServiceClient&) = delete;

    ReleaseReply Search(const std::string& artist, const std::string& album);
    ReleaseReply LookUpDisc(const std::string& discId);
    CoverArtReply CoverArt(const std::string& releaseId);
    // A picture's bytes (up to `limit`).
    ServiceReply Picture(const std::string& address, qint64 limit = kPictureLimit);
    // A picture saved to `path` (its folder made; written whole or not at all).
    ServiceReply SavePicture(const std::string& address, const std::string& path);

    // One GET; `musicBrainz` requests wait for the rate limiter.
    ServiceReply Get(const std::string& address, qint64 limit, bool musicBrainz);

private:
    bool Cancelled() const { return cancel_ && cancel_->load(); }
    bool WaitForTurn();
    ReleaseReply Releases(const std::string& address);

    CoverServiceSettings settings_;
    const std::atomic<bool>* cancel_;
    std::unique_ptr<QNetworkAccessManager> network_;
};

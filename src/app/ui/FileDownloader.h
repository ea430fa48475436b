#pragma once
// CFileDownloader: fetches one file over http or https into a folder,
// through Qt Network, without blocking the event loop, by the download rules
// (DownloadRules.h): only http and https, redirects followed by hand and
// counted, every redirect's scheme checked, a size limit checked from the
// declared length before the body and again while it comes, and given up
// when no data came for a while. The file is written beside its final name
// and appears under it only when complete.
#include "sources/DownloadRules.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <memory>

class QNetworkReply;

class CFileDownloader : public QObject {
    Q_OBJECT
public:
    enum class Failure {
        Scheme,            // detail: the address
        RedirectScheme,    // detail: the address it was sent on to
        TooManyRedirects,  // detail: the limit
        TooLarge,          // detail: the limit in MB
        TimedOut,          // detail: the seconds without data
        HttpStatus,        // detail: "404 Not Found"
        Network,           // detail: the network's own words
        NotSaved,          // detail: the file and why
        WebPage,           // a web page came instead of a picture; detail: its address
    };
    Q_ENUM(Failure)

    explicit CFileDownloader(QObject* parent = nullptr);
    ~CFileDownloader() override;

    void SetLimits(const DownloadLimits& limits) { limits_ = limits; }
    const DownloadLimits& Limits() const { return limits_; }

    // Downloads `address` into `folder` (made when missing) under the name
    // of the address's file (CacheFileName; a name without extension gets
    // the one of the picture kind the server names). A download under way
    // is cancelled first. A refused address fails at once, before returning.
    void Start(const QUrl& address, const QString& folder);
    // Stops the download under way; its partial file is removed.
    void Cancel();
    bool Busy() const { return busy_; }
    // The address of the download under way or the last one.
    QUrl Address() const { return address_; }

signals:
    // Bytes received and expected (-1 while unknown).
    void Progress(qint64 received, qint64 total);
    void Finished(const QString& path);
    void Failed(CFileDownloader::Failure failure, const QString& detail);
    void Cancelled();

private:
    void Request(const QUrl& url);
    void OnMetaData();
    void OnData();
    void OnFinished();
    void Fail(Failure failure, const QString& detail);
    // Drops the reply and the partial file.
    void Stop();
    bool Redirecting() const;
    bool OpenFile();

    QNetworkAccessManager network_;
    DownloadLimits limits_;
    QPointer<QNetworkReply> reply_;
    std::unique_ptr<QSaveFile> file_;
    QTimer idle_;
    QUrl address_;
    QString folder_;
    bool busy_ = false;  // from Start to the end, redirects included
    int redirects_ = 0;
    qint64 received_ = 0;
};

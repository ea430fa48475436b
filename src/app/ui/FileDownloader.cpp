#include "app/ui/FileDownloader.h"

#include "settings/AppSettings.h"

#include <QDir>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

int StatusOf(const QNetworkReply* reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool IsRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

CFileDownloader::CFileDownloader(QObject* parent) : QObject(parent)
{
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this,
            [this] { Fail(Failure::TimedOut, QString::number(limits_.idleSeconds)); });
}

CFileDownloader::~CFileDownloader()
{
    Stop();
}

void CFileDownloader::Start(const QUrl& address, const QString& folder)
{
    if (Busy())
        Cancel();
    address_ = address;
    folder_ = folder;
    redirects_ = 0;
    if (!address.isValid() || !IsDownloadScheme(address.scheme().toStdString())) {
        emit Failed(Failure::Scheme, address.toDisplayString());
        return;
    }
    busy_ = true;
    Request(address);
}

void CFileDownloader::Cancel()
{
    if (!Busy())
        return;
    Stop();
    busy_ = false;
    emit Cancelled();
}

void CFileDownloader::Request(const QUrl& url)
{
    QNetworkRequest request(url);
    // Redirects are followed here, so that each one is counted and checked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Korvane/%1").arg(QString::fromLatin1(kVersionText)));
    received_ = 0;
    QNetworkReply* reply = network_.get(request);
    reply_ = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, &CFileDownloader::OnMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &CFileDownloader::OnData);
    connect(reply, &QNetworkReply::finished, this, &CFileDownloader::OnFinished);
    idle_.start(limits_.idleSeconds * 1000);
}

bool CFileDownloader::Redirecting() const
{
    return reply_ && IsRedirectStatus(StatusOf(reply_)) && !reply_->rawHeader("Location").isEmpty();
}

bool CFileDownloader::OpenFile()
{
    if (file_)
        return true;
    const std::string extension =
        ExtensionForMimeType(reply_->header(QNetworkRequest::ContentTypeHeader).toString().toStdString());
    // The name the user's address gave, unless it gave none (then the name
    // of the address the server sent the download on to).
    std::string name = CacheFileName(address_.toString(QUrl::FullyEncoded).toStdString(), extension, "");
    if (name.empty())
        name = CacheFileName(reply_->url().toString(QUrl::FullyEncoded).toStdString(), extension);
    if (!QDir().mkpath(folder_)) {
        Fail(Failure::NotSaved, folder_);
        return false;
    }
    file_ = std::make_unique<QSaveFile>(QDir(folder_).filePath(QString::fromStdString(name)));
    if (!file_->open(QIODevice::WriteOnly)) {
        Fail(Failure::NotSaved, file_->fileName() + QStringLiteral("\n") + file_->errorString());
        return false;
    }
    return true;
}

void CFileDownloader::OnMetaData()
{
    if (!reply_)
        return;
    idle_.start(limits_.idleSeconds * 1000);
    const int status = StatusOf(reply_);
    if (status < 200 || status >= 300)
        return;  // a redirect or an error: its body is not kept
    // A link to the page that shows the picture gives the page: said at
    // once rather than kept and refused as a picture of no known kind.
    const QString type = reply_->header(QNetworkRequest::ContentTypeHeader).toString().toLower();
    if (type.startsWith(QLatin1String("text/html")) || type.startsWith(QLatin1String("application/xhtml"))) {
        Fail(Failure::WebPage, reply_->url().toDisplayString());
        return;
    }
    // Refused before the body comes when the server says it is too large.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && BeyondSizeLimit(length.toLongLong(), limits_)) {
        Fail(Failure::TooLarge, QString::number(limits_.maxBytes >> 20));
        return;
    }
    emit Progress(0, length.isValid() ? length.toLongLong() : -1);
}

void CFileDownloader::OnData()
{
    if (!reply_)
        return;
    idle_.start(limits_.idleSeconds * 1000);
    const int status = StatusOf(reply_);
    if (status < 200 || status >= 300) {
        reply_->readAll();
        return;
    }
    if (!OpenFile())
        return;
    const QByteArray bytes = reply_->readAll();
    received_ += bytes.size();
    // A server that says nothing of the size, or says too little, is stopped
    // once the body passes the limit.
    if (BeyondSizeLimit(received_, limits_)) {
        Fail(Failure::TooLarge, QString::number(limits_.maxBytes >> 20));
        return;
    }
    if (file_->write(bytes) != bytes.size()) {
        Fail(Failure::NotSaved, file_->fileName() + QStringLiteral("\n") + file_->errorString());
        return;
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    emit Progress(received_, length.isValid() ? length.toLongLong() : -1);
}

void CFileDownloader::OnFinished()
{
    if (!reply_)
        return;
    const int status = StatusOf(reply_);
    if (Redirecting()) {
        const QUrl target = reply_->url().resolved(QUrl::fromEncoded(reply_->rawHeader("Location").trimmed()));
        switch (CheckRedirect(redirects_, target.scheme().toStdString(), limits_)) {
        case DownloadRefusal::RedirectScheme:
            Fail(Failure::RedirectScheme, target.toDisplayString());
            return;
        case DownloadRefusal::TooManyRedirects:
            Fail(Failure::TooManyRedirects, QString::number(limits_.maxRedirects));
            return;
        default:
            break;
        }
        ++redirects_;
        Stop();
        Request(target);
        return;
    }
    if (status >= 300 || (status != 0 && status < 200)) {
        const QString reason = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        Fail(Failure::HttpStatus, QString::number(status) + (reason.isEmpty() ? QString() : QStringLiteral(" ") + reason));
        return;
    }
    if (reply_->error() != QNetworkReply::NoError) {
        Fail(Failure::Network, reply_->errorString());
        return;
    }
    OnData();  // what is left
    if (!reply_ || !OpenFile())
        return;
    const QString path = file_->fileName();
    if (!file_->commit()) {
        const QString why = file_->errorString();
        Fail(Failure::NotSaved, path + QStringLiteral("\n") + why);
        return;
    }
    file_.reset();
    Stop();
    busy_ = false;
    emit Finished(path);
}

void CFileDownloader::Fail(Failure failure, const QString& detail)
{
    Stop();
    busy_ = false;
    emit Failed(failure, detail);
}

void CFileDownloader::Stop()
{
    idle_.stop();
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
    if (QNetworkReply* reply = reply_.data()) {
        reply_ = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

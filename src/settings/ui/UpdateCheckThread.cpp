#include "settings/ui/UpdateCheckThread.h"

#include "settings/UpdateCheck.h"
#include "settings/WebAddress.h"

#include <algorithm>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

// "Preconfigured access": the system's own proxy settings for each request.
class SystemProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

// Failures of the connection itself (host, network, proxy), as opposed to a
// server that answered with an error page.
bool IsConnectionError(QNetworkReply::NetworkError error)
{
    const int code = static_cast<int>(error);
    return (code >= 1 && code <= 9) || code == QNetworkReply::UnknownNetworkError ||
           (code >= 101 && code <= 199);
}

}  // namespace

CUpdateCheckThread::CUpdateCheckThread(UpdateCheckSetup setup, QObject* parent)
    : QThread(parent), setup_(std::move(setup))
{
}

CUpdateCheckThread::~CUpdateCheckThread()
{
    requestInterruption();
    quit();  // also leaves a fetch's event loop
    wait();
}

void CUpdateCheckThread::run()
{
    QNetworkAccessManager network;
    if (setup_.useProxy == 1) {
        const auto proxy = ParseProxySetting(setup_.proxy);
        if (proxy) {
            QString host = QString::fromStdString(proxy->host);
            if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
                host = host.mid(1, host.size() - 2);
            network.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, static_cast<quint16>(proxy->port)));
        }
    } else {
        network.setProxyFactory(new SystemProxies);
    }

    QString versionPage = setup_.versionPage;
    std::string page;
    if (Fetched(network, setup_.homePage, page)) {
        if (const auto frame = FrameAddress(page)) {
            // Only an http or https page, relative ones taken from the home
            // page's address; anything else ends the check.
            const QString named = QString::fromUtf8(frame->data(), static_cast<qsizetype>(frame->size()));
            versionPage = named.isEmpty()
                              ? QString()
                              : QUrl(setup_.homePage).resolved(QUrl(named)).toString(QUrl::FullyEncoded);
        }
    }
    // A placeholder version page (".example") is no page to ask either.
    const std::string version = versionPage.toStdString();
    if (isInterruptionRequested() || !IsWebAddress(version) || IsReservedExampleHost(AddressHost(version)))
        return;
    if (!Fetched(network, versionPage, page))
        return;
    const auto remote = PageVersionNumber(page);
    if (remote && IsNewerThanOwnVersion(*remote) && !isInterruptionRequested())
        emit NewVersionAvailable();
}

bool CUpdateCheckThread::Fetched(QNetworkAccessManager& network, const QString& address, std::string& text)
{
    const Fetch result = FetchUrlText(network, address, text, kUpdatePageLimit);
    if (result == Fetch::NoConnection && !connectionReported_ && !isInterruptionRequested()) {
        connectionReported_ = true;
        emit ConnectionFailed();
    }
    return result == Fetch::Read;
}

CUpdateCheckThread::Fetch CUpdateCheckThread::FetchUrlText(QNetworkAccessManager& network, const QString& address,
                                                           std::string& text, int limit)
{
    text.clear();
    if (!IsWebAddress(address.toStdString()))
        return Fetch::NotRead;
    if (setup_.useProxy == 1 && !ParseProxySetting(setup_.proxy))
        return Fetch::NoConnection;  // no proxy to go through

    if (isInterruptionRequested())
        return Fetch::NotRead;
    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply* reply = network.get(request);
    // The network thread holds no more than this unread, however much the
    // site sends; what is read is taken only up to the limit.
    reply->setReadBufferSize(kReadBufferBytes);
    bool overLimit = false;
    bool pastDeadline = false;
    QEventLoop loop;
    connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        while (!overLimit && reply->bytesAvailable() > 0) {
            const qint64 wanted = limit < 0 ? kReadBufferBytes : limit + 1 - static_cast<qint64>(text.size());
            const QByteArray block = reply->read(wanted);
            if (block.isEmpty())
                break;
            text.append(block.constData(), static_cast<std::size_t>(block.size()));
            if (limit >= 0 && text.size() > static_cast<std::size_t>(limit)) {
                overLimit = true;
                text.resize(static_cast<std::size_t>(limit));
                reply->abort();
            }
        }
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&] {
        pastDeadline = true;
        loop.quit();
    });
    deadline.start(std::max(1, setup_.fetchDeadlineMs));
    // The program closing ends the wait at once, whenever it asks.
    QTimer interruption;
    connect(&interruption, &QTimer::timeout, &loop, [&] {
        if (isInterruptionRequested())
            loop.quit();
    });
    interruption.start(kInterruptionPollMs);
    if (!reply->isFinished() && !isInterruptionRequested())
        loop.exec();
    Fetch result = Fetch::Read;
    if (pastDeadline && !overLimit) {
        result = Fetch::NoConnection;  // as a site that stops sending
    } else if (isInterruptionRequested() || !reply->isFinished()) {
        result = Fetch::NotRead;
    } else if (!overLimit) {
        const QByteArray rest = reply->read(limit < 0 ? kReadBufferBytes : limit + 1);
        text.append(rest.constData(), static_cast<std::size_t>(rest.size()));
        if (limit >= 0 && text.size() > static_cast<std::size_t>(limit))
            text.resize(static_cast<std::size_t>(limit));
        if (reply->error() != QNetworkReply::NoError)
            result = IsConnectionError(reply->error()) ? Fetch::NoConnection : Fetch::NotRead;
    }
    reply->abort();
    delete reply;
    if (result != Fetch::Read)
        text.clear();
    return result;
}

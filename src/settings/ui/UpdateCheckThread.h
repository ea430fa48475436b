#pragma once
// The update check's worker thread: fetches the home page and the version
// page with Qt Network and reports what it found by signals; the messages are
// shown by the receiver on the main thread. It copies what it needs at
// construction and touches nothing else of the program.
#include <QString>
#include <QThread>

#include <string>

class QNetworkAccessManager;

struct UpdateCheckSetup {
    QString homePage;       // fetched first, opened when the offer is taken
    QString versionPage;    // used when the home page names no other
    int useProxy = 0;       // 1: through `proxy` ("host:port")
    std::string proxy;
    // Each page is given up after this long, however it trickles in.
    int fetchDeadlineMs = 20000;
};

class CUpdateCheckThread : public QThread {
    Q_OBJECT
public:
    // A page that neither finishes nor sends anything for this long fails.
    static constexpr int kTransferTimeoutMs = 30000;
    // What the reply holds unread at most: the network stops reading there.
    static constexpr int kReadBufferBytes = 16384;
    // How often a fetch looks whether the program is closing.
    static constexpr int kInterruptionPollMs = 50;

    explicit CUpdateCheckThread(UpdateCheckSetup setup, QObject* parent = nullptr);
    // Ends a check still running (the program is closing) and waits for it.
    ~CUpdateCheckThread() override;

signals:
    // No connection to the site or its proxy; at most once per check.
    void ConnectionFailed();
    // The site offers a newer version.
    void NewVersionAvailable();

protected:
    // The check: the home page, the version page named in its frame tag (or
    // the default one), the version tag compared with ours.
    void run() override;

private:
    enum class Fetch { Read, NotRead, NoConnection };
    // Reads the page at `address` into `text`, at most `limit` characters
    // (-1: all), within the fetch deadline.
    Fetch FetchUrlText(QNetworkAccessManager& network, const QString& address, std::string& text, int limit);
    bool Fetched(QNetworkAccessManager& network, const QString& address, std::string& text);

    const UpdateCheckSetup setup_;
    bool connectionReported_ = false;
};

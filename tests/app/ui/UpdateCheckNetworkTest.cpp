// The update check end to end: a real web site (and proxy) on the loopback
// address, the worker thread fetching from it, the messages on the main
// thread, and the program starting the check only when CheckForUpdates is 1.
#include "LoopbackHttp.h"
#include "../../app/ui/UiTestHome.h"

#include "app/ui/KorvaneApp.h"
#include "app/ui/TheView.h"
#include "app/ui/UpdateChecker.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSignalSpy>

namespace {

const QByteArray kFramedHome = "<html><frameset><frame src=\"version.html\"></frameset></html>";

QByteArray VersionPage(const char* version)
{
    return QByteArray("<html><head><meta name=\"version\" content=\"") + version + "\"></head></html>";
}

// Answers every message box that comes up with `button` and keeps its text.
class MessageBoxWatch : public QObject {
public:
    explicit MessageBoxWatch(QMessageBox::StandardButton button) : button_(button)
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box == last_)
                return;
            last_ = box;
            texts << box->text();
            QAbstractButton* b = box->button(button_);
            if (!b)
                b = box->button(QMessageBox::Ok);
            b->click();
        });
        timer_.start();
    }
    QStringList texts;

private:
    QMessageBox::StandardButton button_;
    QTimer timer_;
    QPointer<QMessageBox> last_;
};

// Opening web pages goes to the test, never to a browser.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
    }
    ~OpenedUrls() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QStringList urls;
public slots:
    void Open(const QUrl& url) { urls << url.toString(); }
};

}  // namespace

class UpdateCheckNetworkTest : public QObject {
    Q_OBJECT

    // Runs one check to its end and lets its messages come up.
    static void RunCheck(const UpdateCheckSetup& setup)
    {
        QWidget window;
        CUpdateChecker checker(&window);
        QSignalSpy finished(&checker, &CUpdateChecker::Finished);
        checker.Start(setup);
        QVERIFY(finished.wait(20000));
        QTest::qWait(100);
    }

private slots:
    void initTestCase()
    {
        // The system's proxy must not stand between the test and its site.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            qunsetenv(name);
    }

    void offersANewerVersionAndOpensTheHomePage()
    {
        LoopbackSite site;
        site.pages["/"] = kFramedHome;
        site.pages["/version.html"] = VersionPage("1.24");
        OpenedUrls opened;
        MessageBoxWatch boxes(QMessageBox::Yes);
        RunCheck({site.Address(), site.Address(QStringLiteral("/default.html")), 0, "server:port"});
        // The home page first, then the page its frame tag names (relative to it).
        QCOMPARE(site.requests, QStringList({QStringLiteral("/"), QStringLiteral("/version.html")}));
        QCOMPARE(boxes.texts, QStringList(QStringLiteral(
                                  "A new version of Korvane is available.\n\nWould you like to visit the Korvane web site?")));
        QCOMPARE(opened.urls, QStringList(site.Address()));
    }

    void sameOrOlderVersionIsNotOffered_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("1.23") << QByteArray("1.23");
        QTest::newRow("1.2") << QByteArray("1.2");
    }
    void sameOrOlderVersionIsNotOffered()
    {
        QFETCH(QByteArray, version);
        LoopbackSite site;
        site.pages["/"] = kFramedHome;
        site.pages["/version.html"] = VersionPage(version.constData());
        MessageBoxWatch boxes(QMessageBox::No);
        RunCheck({site.Address(), site.Address(QStringLiteral("/default.html")), 0, "server:port"});
        QCOMPARE(site.requests.size(), 2);
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join(QLatin1Char('|'))));
    }

    void homePageWithoutFrameUsesTheDefaultPage()
    {
        LoopbackSite site;
        // Only the first 1000 characters are read: this frame tag is never seen.
        site.pages["/"] = QByteArray(1000, ' ') + kFramedHome;
        site.pages["/default.html"] = VersionPage("10.0");
        MessageBoxWatch boxes(QMessageBox::No);
        RunCheck({site.Address(), site.Address(QStringLiteral("/default.html")), 0, "server:port"});
        QCOMPARE(site.requests, QStringList({QStringLiteral("/"), QStringLiteral("/default.html")}));
        QCOMPARE(boxes.texts.size(), 1);

        // A default page left at the placeholder domain is not asked: no message.
        site.requests.clear();
        boxes.texts.clear();
        RunCheck({site.Address(), QStringLiteral("https://korvane.example/version.html"), 0, "server:port"});
        QCOMPARE(site.requests, QStringList(QStringLiteral("/")));
        QVERIFY(boxes.texts.isEmpty());
    }

    void frameAddressFromTheSiteRoot()
    {
        LoopbackSite site;
        site.pages["/start/index.html"] = "<frame src=\"/news/version 2.html\">";
        site.pages["/news/version%202.html"] = VersionPage("1.30");
        MessageBoxWatch boxes(QMessageBox::No);
        RunCheck({site.Address(QStringLiteral("/start/index.html")), QString(), 0, "server:port"});
        QCOMPARE(site.requests,
                 QStringList({QStringLiteral("/start/index.html"), QStringLiteral("/news/version%202.html")}));
        QCOMPARE(boxes.texts.size(), 1);
    }

    void frameToAnotherSchemeEndsTheCheck_data()
    {
        QTest::addColumn<QByteArray>("home");
        QTest::newRow("file") << QByteArray("<frame src=\"file:///etc/passwd\">");
        QTest::newRow("ftp") << QByteArray("<frame src=\"ftp://127.0.0.1/version.html\">");
        QTest::newRow("no closing quote") << QByteArray("<frame src=\"version.html");
    }
    void frameToAnotherSchemeEndsTheCheck()
    {
        QFETCH(QByteArray, home);
        LoopbackSite site;
        site.pages["/"] = home;
        site.pages["/default.html"] = VersionPage("9.99");
        site.pages["/version.html"] = VersionPage("9.99");
        MessageBoxWatch boxes(QMessageBox::No);
        RunCheck({site.Address(), site.Address(QStringLiteral("/default.html")), 0, "server:port"});
        QCOMPARE(site.requests, QStringList(QStringLiteral("/")));
        QVERIFY(boxes.texts.isEmpty());
    }

    void unreachableSiteGivesOneMessage()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString home = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
        MessageBoxWatch boxes(QMessageBox::Ok);
        RunCheck({home, home + QStringLiteral("version.html"), 0, "server:port"});
        QCOMPARE(boxes.texts, QStringList(QStringLiteral("Could not connect to the internet.")));
    }

    void throughTheProxy()
    {
        LoopbackSite site;
        site.pages["/"] = kFramedHome;
        site.pages["/version.html"] = VersionPage("1.24");
        LoopbackProxy proxy;
        {
            MessageBoxWatch boxes(QMessageBox::No);
            RunCheck({site.Address(), site.Address(QStringLiteral("/default.html")), 1, proxy.Setting().toStdString()});
            QCOMPARE(proxy.requests, QStringList({site.Address(), site.Address(QStringLiteral("/version.html"))}));
            QCOMPARE(site.requests, QStringList({QStringLiteral("/"), QStringLiteral("/version.html")}));
            QCOMPARE(boxes.texts.size(), 1);
            QVERIFY(boxes.texts[0].startsWith(QStringLiteral("A new version of Korvane is available.")));
        }

        // A proxy setting that names no proxy cannot connect: one message.
        MessageBoxWatch noProxy(QMessageBox::Ok);
        RunCheck({site.Address(), site.Address(QStringLiteral("/default.html")), 1, "server:port"});
        QCOMPARE(noProxy.texts, QStringList(QStringLiteral("Could not connect to the internet.")));
        QCOMPARE(site.requests.size(), 2);
    }

    void anEndlessPageIsReadOnlyAsFarAsTheCheckNeeds()
    {
        EndlessSite site;
        MessageBoxWatch boxes(QMessageBox::Ok);
        RunCheck({site.Address(), site.Address(QStringLiteral("/version.html")), 0, "server:port"});
        // No frame tag in the home page's first 1000 characters: the default
        // page is asked next; both are cut off, neither is a version page.
        QCOMPARE(site.connections, 2);
        QVERIFY(boxes.texts.isEmpty());
        // What the site could push into the system's buffers, not gigabytes.
        qInfo("the endless site wrote %lld bytes", static_cast<long long>(site.written));
        QVERIFY2(site.written < 64 * 1024 * 1024, qPrintable(QString::number(site.written)));
    }

    void aPageThatTricklesInIsGivenUpAtItsDeadline()
    {
        // A byte every 50 ms never trips the transfer timeout, and 1000
        // characters would take almost a minute.
        EndlessSite site(50, 1);
        MessageBoxWatch boxes(QMessageBox::Ok);
        UpdateCheckSetup setup{site.Address(), site.Address(QStringLiteral("/version.html")), 0, "server:port"};
        setup.fetchDeadlineMs = 700;
        RunCheck(setup);
        QCOMPARE(site.connections, 2);
        QCOMPARE(boxes.texts, QStringList(QStringLiteral("Could not connect to the internet.")));
    }

    void closingTheWindowEndsABlockedOrEndlessCheckAtOnce_data()
    {
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<bool>("silent");
        QTest::newRow("never answers") << 0 << true;
        QTest::newRow("trickles forever") << 50 << false;
    }
    void closingTheWindowEndsABlockedOrEndlessCheckAtOnce()
    {
        QFETCH(int, intervalMs);
        QFETCH(bool, silent);
        EndlessSite site(intervalMs, 1, silent);
        auto window = std::make_unique<QWidget>();
        auto* checker = new CUpdateChecker(window.get());
        checker->Start({site.Address(), site.Address(QStringLiteral("/version.html")), 0, "server:port"});
        QTRY_VERIFY(site.connections >= 1);
        QTest::qWait(300);
        QVERIFY(checker->IsRunning());
        QElapsedTimer closing;
        closing.start();
        window.reset();  // the checker and its thread go with the window
        // Not the 20 s deadline or the 30 s transfer timeout: at once.
        QVERIFY2(closing.elapsed() < 2000, qPrintable(QString::number(closing.elapsed())));
    }

    // The program itself: timer 1 starts the check only when CheckForUpdates is 1.
    void programChecksOnlyWhenAsked_data()
    {
        QTest::addColumn<int>("checkForUpdates");
        QTest::newRow("off") << 0;
        QTest::newRow("on") << 1;
    }
    void programChecksOnlyWhenAsked()
    {
        QFETCH(int, checkForUpdates);
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = " + QByteArray::number(checkForUpdates) +
                      "\r\n");
        LoopbackSite site;
        site.pages["/"] = kFramedHome;
        site.pages["/version.html"] = VersionPage("1.24");
        qputenv("KORVANE_HOME_URL", site.Address().toUtf8());
        qputenv("KORVANE_VERSION_URL", site.Address(QStringLiteral("/default.html")).toUtf8());
        MessageBoxWatch boxes(QMessageBox::No);
        {
            CKorvaneApp app;
            QVERIFY(app.InitInstance());
            QTest::qWait(300);
            auto* checker = app.View()->findChild<CUpdateChecker*>();
            QCOMPARE(checker != nullptr, checkForUpdates == 1);
            if (checker)
                QTRY_VERIFY_WITH_TIMEOUT(!checker->IsRunning(), 20000);
            QTest::qWait(100);
        }
        qunsetenv("KORVANE_HOME_URL");
        qunsetenv("KORVANE_VERSION_URL");
        if (checkForUpdates == 0) {
            QVERIFY(site.requests.isEmpty());
            QVERIFY(boxes.texts.isEmpty());
        } else {
            QCOMPARE(site.requests, QStringList({QStringLiteral("/"), QStringLiteral("/version.html")}));
            QCOMPARE(boxes.texts.size(), 1);
        }
    }
};

QTEST_MAIN(UpdateCheckNetworkTest)
#include "UpdateCheckNetworkTest.moc"

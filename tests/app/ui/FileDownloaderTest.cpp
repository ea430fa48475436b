// The downloader against a loopback server: what it keeps, what it follows,
// and where it stops, with the event loop running all the while.
#include "LoopbackHttpServer.h"

#include "app/ui/FileDownloader.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Outcome {
    QString path;
    CFileDownloader::Failure failure{};
    QString detail;
    bool failed = false;
    bool finished = false;
    int ticks = 0;  // timer ticks seen while waiting: the loop kept running
};

Outcome Run(CFileDownloader& downloader, const QUrl& url, const QString& folder, int timeoutMs = 20000)
{
    Outcome out;
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++out.ticks; });
    tick.start(20);
    auto a = QObject::connect(&downloader, &CFileDownloader::Finished, [&](const QString& p) {
        out.path = p;
        out.finished = true;
        loop.quit();
    });
    auto b = QObject::connect(&downloader, &CFileDownloader::Failed,
                              [&](CFileDownloader::Failure f, const QString& d) {
                                  out.failure = f;
                                  out.detail = d;
                                  out.failed = true;
                                  loop.quit();
                              });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    downloader.Start(url, folder);
    if (!out.failed && !out.finished)
        loop.exec();
    QObject::disconnect(a);
    QObject::disconnect(b);
    return out;
}

// The folder's files apart from the ones QSaveFile is still writing.
QStringList Files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

class FileDownloaderTest : public QObject {
    Q_OBJECT

private slots:
    void keepsTheFileUnderItsAddressesNameAfterRedirects()
    {
        LoopbackHttpServer server;
        QTemporaryDir dir;
        const QByteArray picture(5000, 'p');
        server.File("/final/hash123", picture, "image/webp");
        // Five redirects, relative and absolute, are followed.
        server.Redirect("/Album%20Front.jpg", "/r1");
        server.Redirect("/r1", server.Url("/r2").toEncoded(), 301);
        server.Redirect("/r2", "r3", 307);
        server.Redirect("/r3", "/r4", 308);
        server.Redirect("/r4", "/final/hash123", 303);
        CFileDownloader downloader;
        QSignalSpy progress(&downloader, &CFileDownloader::Progress);
        const Outcome out = Run(downloader, server.Url("/Album%20Front.jpg"), dir.filePath("covers"));
        QVERIFY2(out.finished, qPrintable(out.detail));
        QCOMPARE(QFileInfo(out.path).fileName(), QStringLiteral("Album Front.jpg"));
        QFile f(out.path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), picture);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toLongLong(), 5000);
        QCOMPARE(Files(dir.filePath("covers")), QStringList{QStringLiteral("Album Front.jpg")});

        // An address without a file name: the server's type names the kind.
        server.File("/get", picture, "image/png");
        const Outcome nameless = Run(downloader, server.Url("/get?id=7"), dir.filePath("covers"));
        QVERIFY(nameless.finished);
        QCOMPARE(QFileInfo(nameless.path).fileName(), QStringLiteral("get.png"));
    }

    void refusesWhatTheRulesRefuseAndLeavesNoFileBehind()
    {
        LoopbackHttpServer server;
        QTemporaryDir dir;
        const QString folder = dir.filePath("covers");
        CFileDownloader downloader;

        const Outcome ftp = Run(downloader, QUrl(QStringLiteral("ftp://127.0.0.1/a.jpg")), folder);
        QVERIFY(ftp.failed);
        QCOMPARE(ftp.failure, CFileDownloader::Failure::Scheme);

        server.Redirect("/to-file", "file:///etc/passwd");
        const Outcome toFile = Run(downloader, server.Url("/to-file"), folder);
        QVERIFY(toFile.failed);
        QCOMPARE(toFile.failure, CFileDownloader::Failure::RedirectScheme);
        QCOMPARE(toFile.detail, QStringLiteral("file:///etc/passwd"));

        // Six redirects are one too many.
        for (int i = 0; i < 6; ++i)
            server.Redirect("/loop" + QByteArray::number(i), "/loop" + QByteArray::number(i + 1));
        server.File("/loop6", "never", "image/png");
        const Outcome loop = Run(downloader, server.Url("/loop0"), folder);
        QVERIFY(loop.failed);
        QCOMPARE(loop.failure, CFileDownloader::Failure::TooManyRedirects);
        QVERIFY(!server.requests.contains("/loop6"));

        // Announced too large: refused before the body. Sent too large
        // without a length: stopped once past the limit.
        LoopbackHttpServer::Route huge;
        huge.body = QByteArray(1000, 'x');
        huge.declaredLength = (64ll << 20) + 1;
        server.Add("/huge.jpg", huge);
        const Outcome announced = Run(downloader, server.Url("/huge.jpg"), folder);
        QVERIFY(announced.failed);
        QCOMPARE(announced.failure, CFileDownloader::Failure::TooLarge);
        QCOMPARE(announced.detail, QStringLiteral("64"));
        DownloadLimits small;
        small.maxBytes = 100 * 1024;
        downloader.SetLimits(small);
        LoopbackHttpServer::Route endless;
        endless.body = QByteArray(300 * 1024, 'y');
        endless.sendLength = false;
        server.Add("/endless.jpg", endless);
        const Outcome sent = Run(downloader, server.Url("/endless.jpg"), folder);
        QVERIFY(sent.failed);
        QCOMPARE(sent.failure, CFileDownloader::Failure::TooLarge);

        // A link to the page around the picture, not to the picture.
        server.File("/album.html", "<html><body><img src=\"front.jpg\"></body></html>", "text/html; charset=utf-8");
        const Outcome page = Run(downloader, server.Url("/album.html"), folder);
        QVERIFY(page.failed);
        QCOMPARE(page.failure, CFileDownloader::Failure::WebPage);

        const Outcome missing = Run(downloader, server.Url("/missing.jpg"), folder);
        QVERIFY(missing.failed);
        QCOMPARE(missing.failure, CFileDownloader::Failure::HttpStatus);
        QCOMPARE(missing.detail, QStringLiteral("404 Not Found"));

        // No data for a second: given up, the loop running meanwhile.
        DownloadLimits quick;
        quick.idleSeconds = 1;
        downloader.SetLimits(quick);
        LoopbackHttpServer::Route silent;
        silent.silent = true;
        server.Add("/silent.jpg", silent);
        QElapsedTimer clock;
        clock.start();
        const Outcome timedOut = Run(downloader, server.Url("/silent.jpg"), folder);
        QVERIFY(timedOut.failed);
        QCOMPARE(timedOut.failure, CFileDownloader::Failure::TimedOut);
        QVERIFY(clock.elapsed() >= 900);
        QVERIFY(timedOut.ticks > 20);

        QVERIFY2(Files(folder).isEmpty(), qPrintable(Files(folder).join(QLatin1Char(' '))));
    }

    void cancelStopsAtOnceAndRemovesThePartialFile()
    {
        LoopbackHttpServer server;
        QTemporaryDir dir;
        LoopbackHttpServer::Route slow;
        slow.body = QByteArray(2000, 'z');
        slow.declaredLength = 1 << 20;  // the rest never comes
        slow.contentType = "image/jpeg";
        server.Add("/slow.jpg", slow);
        CFileDownloader downloader;
        QSignalSpy cancelled(&downloader, &CFileDownloader::Cancelled);
        QSignalSpy progress(&downloader, &CFileDownloader::Progress);
        downloader.Start(server.Url("/slow.jpg"), dir.path());
        QTRY_VERIFY(progress.count() >= 2);
        QVERIFY(downloader.Busy());
        downloader.Cancel();
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!downloader.Busy());
        QVERIFY(Files(dir.path()).isEmpty());
    }
};

QTEST_MAIN(FileDownloaderTest)
#include "FileDownloaderTest.moc"

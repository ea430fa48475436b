// Pictures as other programs hand them over: picture data, file lists and
// web addresses dropped on the papers (the addresses served by a loopback
// server of the test), files copied in a file manager and pasted; the right
// slot gets the picture or the window says why, and the event loop runs on.
#include "DropFiles.h"
#include "LoopbackHttpServer.h"
#include "MessageBoxes.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/ui/DownloadProgress.h"
#include "app/ui/FileDownloader.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SlotIntake.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "settings/AppSettings.h"

#include <QBuffer>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

namespace {

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

QImage Cover(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Counts timer ticks: a loop that keeps counting did not freeze.
class Ticks : public QObject {
public:
    Ticks()
    {
        connect(&timer_, &QTimer::timeout, this, [this] { ++count; });
        timer_.start(20);
    }
    int count = 0;

private:
    QTimer timer_;
};

}  // namespace

class IntakeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<QTemporaryDir> cache_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }
    CPaper* Paper(Slot s) { return View()->Paper(s); }
    QString Name(Slot s) { return QString::fromStdString(View()->State().name(s)); }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        cache_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CACHE_HOME", cache_->path().toUtf8());
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(80);
        QVERIFY(CSlotIntake::CoverCacheFolder().startsWith(cache_->path()));
    }

    void cleanup()
    {
        app_->ExitInstance();
        app_.reset();
        home_.reset();
        cache_.reset();
    }

    void pictureDataAndFileListsEnterTheSlots()
    {
        RunningValues().autoDetectFormat = 0;
        // PNG bytes as a picture program drags them.
        QMimeData png;
        png.setData(QStringLiteral("image/png"), Encoded(Cover(300, 300, Qt::red), "PNG"));
        DropData(Paper(Slot::Left), png);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        QCOMPARE(Doc().leftImage.GetWidth(), 300);
        QVERIFY2(Name(Slot::Left).startsWith(QStringLiteral("dropped picture ")), qPrintable(Name(Slot::Left)));
        QVERIFY(Name(Slot::Left).endsWith(QStringLiteral(".png")));
        const QString kept = QString::fromStdString(RunningValues().recentFileLeft);
        QVERIFY(kept.startsWith(CSlotIntake::CoverCacheFolder()));
        // The open dialog is not sent to the cache folder.
        QVERIFY(!QString::fromStdString(GetCfgString("Paths", "LastUsed", "")).startsWith(cache_->path()));

        // A browser's JPEG with its address: kept byte for byte under the
        // address's name.
        QMimeData jpeg;
        const QByteArray jpegBytes = Encoded(Cover(200, 280, Qt::blue), "JPG");
        jpeg.setData(QStringLiteral("image/jpeg"), jpegBytes);
        jpeg.setUrls({QUrl(QStringLiteral("https://covers.example/a/Album%20Front.jpg?w=200"))});
        DropData(Paper(Slot::Right), jpeg);
        QTRY_COMPARE(Name(Slot::Right), QStringLiteral("Album Front.jpg"));
        QCOMPARE(FileBytes(QString::fromStdString(RunningValues().recentFileRight)), jpegBytes);
        QCOMPARE(Doc().rightImage.GetHeight(), 280);

        // Qt's own image (another Qt program, or a picture copied within one).
        QMimeData qtImage;
        qtImage.setImageData(Cover(120, 90, Qt::green));
        DropData(Paper(Slot::Left), qtImage);
        QTRY_COMPARE(Doc().leftImage.GetWidth(), 120);
        QCOMPARE(Doc().leftImage.GetPixelColor(5, 5).g, 255);

        // Two files dropped on the right paper: the first for it, the second
        // for the left one.
        const QString one = home_->MakePicture(QStringLiteral("drop/One.png"), 310, 310);
        const QString two = home_->MakePicture(QStringLiteral("drop/Two.png"), 320, 320);
        Drop(Paper(Slot::Right), {one, two});
        QTRY_COMPARE(Name(Slot::Left), QStringLiteral("Two.png"));
        QTRY_COMPARE(Name(Slot::Right), QStringLiteral("One.png"));
        QCOMPARE(Doc().rightImage.GetWidth(), 310);
    }

    void addressesAreDownloadedOrRefusedSayingWhy()
    {
        LoopbackHttpServer server;
        const QByteArray front = Encoded(Cover(300, 300, Qt::yellow), "PNG");
        server.File("/covers/Album%20Front.png", front, "image/png");
        LoopbackHttpServer::Route huge;
        huge.body = QByteArray(1000, 'x');
        huge.declaredLength = 100ll << 20;
        server.Add("/huge.jpg", huge);
        LoopbackHttpServer::Route silent;
        silent.silent = true;
        server.Add("/silent.jpg", silent);
        server.Redirect("/sneaky.jpg", "file:///etc/passwd");
        DownloadLimits quick;
        quick.idleSeconds = 1;
        View()->Intake()->Downloader()->SetLimits(quick);

        QMimeData link;
        link.setUrls({server.Url(QStringLiteral("/covers/Album%20Front.png"))});
        DropData(Paper(Slot::Right), link);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(Name(Slot::Right), QStringLiteral("Album Front.png"));
        QCOMPARE(FileBytes(QDir(CSlotIntake::CoverCacheFolder()).filePath(QStringLiteral("Album Front.png"))), front);
        QVERIFY(!View()->Intake()->DownloadBand()->isVisible());

        Boxes boxes;
        auto dropAddress = [&](const QString& path) {
            QMimeData data;
            data.setUrls({server.Url(path)});
            DropData(Paper(Slot::Left), data);
        };
        dropAddress(QStringLiteral("/huge.jpg"));
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], QStringLiteral("The picture could not be downloaded:\n") +
                                     server.Url(QStringLiteral("/huge.jpg")).toString() +
                                     QStringLiteral("\n\nThe picture is larger than 64 MB."));
        QCOMPARE(boxes.icons[0], QMessageBox::Critical);

        // A server that never answers: the band shows, the window goes on,
        // and after the (shortened) time-out the window says so.
        Ticks ticks;
        dropAddress(QStringLiteral("/silent.jpg"));
        QVERIFY(View()->Intake()->DownloadBand()->isVisible());
        QCOMPARE(View()->Intake()->DownloadBand()->CancelButton()->text(), QStringLiteral("Cancel"));
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 2, 10000);
        QVERIFY(boxes.texts[1].endsWith(QStringLiteral("\n\nThe server sent nothing for 1 seconds.")));
        QVERIFY2(ticks.count >= 30, qPrintable(QString::number(ticks.count)));
        QVERIFY(!View()->Intake()->DownloadBand()->isVisible());

        // Cancel, clicked while it waits, stops it without a word.
        quick.idleSeconds = 30;
        View()->Intake()->Downloader()->SetLimits(quick);
        dropAddress(QStringLiteral("/silent.jpg"));
        QTest::qWait(100);
        QTest::mouseClick(View()->Intake()->DownloadBand()->CancelButton(), Qt::LeftButton);
        QVERIFY(!View()->Intake()->DownloadBand()->isVisible());
        QVERIFY(!View()->Intake()->Downloader()->Busy());

        dropAddress(QStringLiteral("/sneaky.jpg"));
        QTRY_COMPARE(boxes.texts.size(), 3);
        QVERIFY2(boxes.texts[2].endsWith(QStringLiteral(
                     "\n\nThe server sent the download on to an address that is not http or https:\nfile:///etc/passwd")),
                 qPrintable(boxes.texts[2]));

        QMimeData ftp;
        ftp.setUrls({QUrl(QStringLiteral("ftp://127.0.0.1/cover.jpg"))});
        DropData(Paper(Slot::Left), ftp);
        QTRY_COMPARE(boxes.texts.size(), 4);
        QVERIFY(boxes.texts[3].endsWith(QStringLiteral("\n\nOnly http and https addresses can be downloaded.")));

        // None of it touched the slots or left a file behind.
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        QCOMPARE(QDir(CSlotIntake::CoverCacheFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Album Front.png")});
    }

    void twoAddressesGoToTheSlotDroppedOnAndTheOther()
    {
        LoopbackHttpServer server;
        server.File("/a/Front.png", Encoded(Cover(300, 300, Qt::yellow), "PNG"), "image/png");
        server.File("/b/Inlay.png", Encoded(Cover(310, 240, Qt::blue), "PNG"), "image/png");
        QMimeData links;
        links.setUrls({server.Url(QStringLiteral("/a/Front.png")), server.Url(QStringLiteral("/b/Inlay.png"))});
        DropData(Paper(Slot::Right), links);
        QTRY_COMPARE(Name(Slot::Right), QStringLiteral("Front.png"));
        QTRY_COMPARE(Name(Slot::Left), QStringLiteral("Inlay.png"));
        QCOMPARE(Doc().leftImage.GetFileWidth() + Doc().leftImage.GetFileHeight(), 550);
        QCOMPARE(Doc().rightImage.GetFileWidth(), 300);
        QTRY_VERIFY(!View()->Intake()->Downloader()->Busy());
        QVERIFY(!View()->Intake()->DownloadBand()->isVisible());
    }

    void aCopiedFileIsPastedAsThatFileAndPictureDataAsBefore()
    {
        const QString path = home_->MakePicture(QStringLiteral("copied/Album Front.png"), 300, 300);
        const QString back = home_->MakePicture(QStringLiteral("copied/Album back.png"), 301, 301);
        auto* frame = app_->Frame();
        frame->activateWindow();
        // As GNOME Files copies it.
        auto* files = new QMimeData;
        files->setData(QStringLiteral("x-special/gnome-copied-files"),
                       "copy\n" + QUrl::fromLocalFile(path).toEncoded());
        QGuiApplication::clipboard()->setMimeData(files);
        QTest::keyClick(frame, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(Name(Slot::Left), QStringLiteral("Album Front.png"));
        // As a file, its back cover comes along.
        QTRY_COMPARE(Name(Slot::Right), QStringLiteral("Album back.png"));

        // Picture data on the clipboard is pasted as before.
        RunningValues().autoDetectFormat = 0;
        QGuiApplication::clipboard()->setImage(Cover(150, 100, Qt::magenta));
        QTest::keyClick(frame, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(Doc().leftImage.GetWidth(), 150);
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("Image from Clipboard"));
        QCOMPARE(Name(Slot::Left), QStringLiteral("Album Front.png"));  // a paste keeps the name
    }

    void filesNamedOnTheCommandLineGoToTheirSlots()
    {
        const QString front = home_->MakePicture(QStringLiteral("given/Album Front.png"), 300, 300);
        home_->MakePicture(QStringLiteral("given/Album back.png"), 301, 301);
        const QString other = home_->MakePicture(QStringLiteral("given/Other.png"), 302, 302);
        // A fresh start with FRONT and BACK given: BACK wins over the back
        // cover FRONT brings.
        app_->ExitInstance();
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        View()->SetStartFiles(front.toStdString(), other.toStdString());
        QTRY_COMPARE(Name(Slot::Left), QStringLiteral("Album Front.png"));
        QTRY_COMPARE(Name(Slot::Right), QStringLiteral("Other.png"));
        QTest::qWait(200);
        QCOMPARE(Name(Slot::Right), QStringLiteral("Other.png"));
        QCOMPARE(Doc().rightImage.GetWidth(), 302);

        // A file that is not there: said, not a crash; the window goes on.
        app_->ExitInstance();
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        Boxes boxes;
        const QString missing = home_->FilePath(QStringLiteral("given/Not there.webp"));
        View()->SetStartFiles(missing.toStdString(), {});
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("The picture could not be loaded:\n") + missing),
                 qPrintable(boxes.texts[0]));
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        QVERIFY(app_->Frame()->isVisible());
    }

    void helpAndVersionAnswerWithoutAWindowOrADisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        auto run = [&](const QStringList& args, QByteArray* err = nullptr) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(KORVANE_BIN_DIR "/korvane"), args);
            [&] { QVERIFY(p.waitForFinished(30000)); }();
            if (err)
                *err = p.readAllStandardError();
            return std::make_pair(p.exitCode(), p.readAllStandardOutput());
        };
        const auto help = run({QStringLiteral("--help")});
        QCOMPARE(help.first, 0);
        QVERIFY2(help.second.startsWith("Usage: korvane [FRONT [BACK]]\n"), help.second.constData());
        QVERIFY(help.second.contains("--version"));
        const auto version = run({QStringLiteral("--version")});
        QCOMPARE(version.first, 0);
        QCOMPARE(version.second, QByteArray("Korvane 1.23\n"));
        // A wrong command line says so on standard error; with a display
        // (offscreen here), as Qt's own options are taken out first.
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QByteArray err;
        const auto wrong = run({QStringLiteral("--print"), QStringLiteral("a.jpg")}, &err);
        QCOMPARE(wrong.first, 2);
        QVERIFY2(err.endsWith("\nkorvane: unknown option --print (see --help)\n") ||
                     err == "korvane: unknown option --print (see --help)\n",
                 err.constData());
        QVERIFY(wrong.second.isEmpty());
    }
};

QTEST_MAIN(IntakeTest)
#include "IntakeTest.moc"

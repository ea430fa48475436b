// File > Find Cover Online... on the real main window against MusicBrainz
// and the Cover Art Archive stood in for on the loopback address: the search
// and the disc look-up fill both papers with the right pictures, the
// services' rules hold (User-Agent, one MusicBrainz request a second), each
// failure shows its message, closing during a request ends at once; and
// korvane-cli find does the same from the command line.
#include "../../app/ui/UiTestHome.h"
#include "LoopbackCoverServices.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "sources/DiscId.h"
#include "sources/SourceTexts.h"
#include "sources/ui/CoverSearchDialog.h"
#include "sources/ui/ServiceMessages.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

class CoverSearchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<LoopbackCoverServices> services_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }

    void Start(const QByteArray& extraSettings = {})
    {
        const QByteArray server = services_->Address().toLatin1();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\n[Cover Search]\r\nMusicBrainzServer = \"" + server +
                        "\"\r\nCoverArtServer = \"" + server + "\"\r\n" + extraSettings);
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(50);
    }

    CCoverSearchDialog* OpenDialog()
    {
        app_->Frame()->Menu()->Action(Cmd::FindCoverOnline)->trigger();
        CCoverSearchDialog* dialog = nullptr;
        [&] { QTRY_VERIFY((dialog = View()->findChild<CCoverSearchDialog*>()) && dialog->isVisible()); }();
        return dialog;
    }
    template <class T>
    static T* Part(QWidget* dialog, const char* name)
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    static QString Status(QWidget* dialog) { return Part<QLabel>(dialog, "status")->text(); }
    static void Click(QWidget* dialog, const char* button)
    {
        QTest::mouseClick(Part<QPushButton>(dialog, button), Qt::LeftButton);
    }
    static void ClickRow(QWidget* dialog, int row)
    {
        auto* results = Part<QTreeWidget>(dialog, "results");
        const QRect r = results->visualItemRect(results->topLevelItem(row));
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, r.center());
    }
    static void Type(QWidget* dialog, const char* field, const QString& text)
    {
        QLineEdit* edit = Part<QLineEdit>(dialog, field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    void VerifyBothCovers()
    {
        QTRY_VERIFY_WITH_TIMEOUT(Doc().IsLoaded(Slot::Left) && Doc().IsLoaded(Slot::Right), 20000);
        QCOMPARE(Doc().leftImage.GetPixelColor(5, 5), (Rgb{220, 30, 30}));
        QCOMPARE(Doc().rightImage.GetPixelColor(5, 5), (Rgb{30, 30, 220}));
        QCOMPARE(View()->State().leftFormat, 0);   // CD Front
        QCOMPARE(View()->State().rightFormat, 1);  // CD Back
        QCOMPARE(View()->State().leftName, std::string("Test Artist - Test Album - Front.png"));
        QCOMPARE(View()->State().rightName, std::string("Test Artist - Test Album - Back.png"));
    }

    // MusicBrainz's rule, over everything the stand-in was asked.
    void VerifyOneRequestASecond()
    {
        const auto mb = services_->MusicBrainzRequests();
        for (int i = 1; i < mb.size(); ++i)
            QVERIFY2(mb[i].atMs - mb[i - 1].atMs >= 950,
                     qPrintable(QStringLiteral("%1 ms apart").arg(mb[i].atMs - mb[i - 1].atMs)));
        for (const auto& r : services_->requests)
            QVERIFY2(r.userAgent.startsWith(QByteArray("Korvane/") + kVersionText + " ( ") && r.userAgent.endsWith(" )"),
                     r.userAgent.constData());
    }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        qputenv("XDG_CACHE_HOME", home_->FilePath(QStringLiteral("cache")).toUtf8());
        services_ = std::make_unique<LoopbackCoverServices>();
    }

    void cleanup()
    {
        if (app_)
            app_->ExitInstance();
        app_.reset();
        services_.reset();
        home_.reset();
    }

    void searchFillsBothPapersFromTheLeftFilesName()
    {
        Start();
        QVERIFY(services_->requests.isEmpty());  // nothing is sent unasked
        const QString named = home_->MakePicture(QStringLiteral("Test Artist - Test Album - Front.jpg"), 300, 300);
        QVERIFY(Doc().LoadLeftImage(named.toStdString(), true));
        QCOMPARE(View()->State().leftName, std::string("Test Artist - Test Album - Front.jpg"));

        CCoverSearchDialog* dialog = OpenDialog();
        QVERIFY(dialog);
        QCOMPARE(Part<QLineEdit>(dialog, "artist")->text(), QStringLiteral("Test Artist"));
        QCOMPARE(Part<QLineEdit>(dialog, "album")->text(), QStringLiteral("Test Album"));
        QVERIFY(services_->requests.isEmpty());
        Click(dialog, "search");
        auto* results = Part<QTreeWidget>(dialog, "results");
        QTRY_COMPARE_WITH_TIMEOUT(results->topLevelItemCount(), 2, 10000);
        QCOMPARE(results->topLevelItem(1)->text(1), QStringLiteral("Test Artist"));
        QCOMPARE(results->topLevelItem(1)->text(2), QStringLiteral("Test Album"));
        QCOMPARE(results->topLevelItem(1)->text(3), QStringLiteral("1999"));
        QCOMPARE(results->topLevelItem(1)->text(4), QStringLiteral("DE"));
        QCOMPARE(results->topLevelItem(1)->text(5), QStringLiteral("CD"));
        QCOMPARE(results->topLevelItem(1)->text(6), QStringLiteral("11"));
        // The release without art says so; the other shows its thumbnail.
        QTRY_COMPARE_WITH_TIMEOUT(results->topLevelItem(0)->text(0), SourceTextOf(SourceText::NoArt), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!results->topLevelItem(1)->icon(0).isNull(), 10000);
        ClickRow(dialog, 0);
        Click(dialog, "useCovers");
        QTRY_COMPARE_WITH_TIMEOUT(Status(dialog), SourceTextOf(SourceText::NoArt), 10000);
        QVERIFY(!Doc().IsLoaded(Slot::Right));

        ClickRow(dialog, 1);
        QElapsedTimer chosen;
        chosen.start();
        Click(dialog, "useCovers");
        VerifyBothCovers();
        QTest::qWait(0);  // the papers' paint events
        qInfo("from the choice to both papers: %lld ms", static_cast<long long>(chosen.elapsed()));
        // Both pictures came through the archive's redirect and are cached.
        QVERIFY(services_->Asked("/files/front.png") && services_->Asked("/files/back.png"));
        const QString cached = home_->FilePath(QStringLiteral("cache/korvane/covers/%1/Test Artist - Test Album - Front.png")
                                                   .arg(QLatin1String(kReleaseWithArt)));
        QVERIFY(QFile::exists(cached));
        VerifyOneRequestASecond();
    }

    void everyFailureGivesItsMessage()
    {
        Start("Timeout = 400\r\n");
        CCoverSearchDialog* dialog = OpenDialog();
        Type(dialog, "artist", QStringLiteral("Test Artist"));
        const struct {
            LoopbackCoverServices::Mode mode;
            QString message;
        } failures[] = {
            {LoopbackCoverServices::Mode::SlowDown,
             ServiceFailureText(ServiceFailure::Refused, QStringLiteral("503 Service Unavailable"))},
            {LoopbackCoverServices::Mode::Malformed,
             ServiceFailureText(ServiceFailure::Malformed, QStringLiteral("the answer is not a JSON object"))},
            {LoopbackCoverServices::Mode::Silent, SourceTextOf(SourceText::TimedOut)},
        };
        for (const auto& f : failures) {
            services_->mode = f.mode;
            Click(dialog, "search");
            QTRY_COMPARE_WITH_TIMEOUT(Status(dialog), f.message, 10000);
            QCOMPARE(Part<QTreeWidget>(dialog, "results")->topLevelItemCount(), 0);
        }
        // A server that is not there at all.
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close), Qt::LeftButton);
        QTRY_VERIFY(!View()->findChild<CCoverSearchDialog*>());
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost);
        const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(gone.serverPort());
        gone.close();
        WriteCfgString("Cover Search", "MusicBrainzServer", closed.toStdString());
        dialog = OpenDialog();
        Type(dialog, "album", QStringLiteral("Test Album"));
        QTest::keyClick(Part<QLineEdit>(dialog, "album"), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(Status(dialog).startsWith(SourceTextOf(SourceText::NoConnection).section('%', 0, 0)),
                                 10000);
        QVERIFY(Status(dialog).contains(QStringLiteral("refused"), Qt::CaseInsensitive));
        QVERIFY(!Doc().IsLoaded(Slot::Left) && !Doc().IsLoaded(Slot::Right));
        VerifyOneRequestASecond();
    }

    void theDiscInTheDriveGoesStraightToItsCovers()
    {
        Start();
        CCoverSearchDialog* dialog = OpenDialog();
        if (DiscDrives().empty()) {
            Click(dialog, "readDisc");
            QCOMPARE(Status(dialog), SourceTextOf(SourceText::NoDrive));
        }
        // No disc in the drive: said, and the text search still works.
        dialog->SetDiscReader([](const std::string&) {
            DiscReading none;
            none.message = "cannot read table of contents";
            return none;
        });
        Click(dialog, "readDisc");
        QTRY_VERIFY(Status(dialog).endsWith(QStringLiteral("cannot read table of contents")));
        QVERIFY(services_->requests.isEmpty());
        // The drive is hardware this machine may not have: the stand-in
        // gives libdiscid the table of contents a drive would read.
        dialog->SetDiscReader([](const std::string&) { return DiscIdOfToc(1, 6, kTestDiscOffsets); });
        Click(dialog, "readDisc");
        VerifyBothCovers();
        const auto mb = services_->MusicBrainzRequests();
        QCOMPARE(mb.size(), 1);
        QCOMPARE(mb[0].path, QByteArray("/ws/2/discid/") + kTestDiscId + "?inc=artist-credits&fmt=json");
        VerifyOneRequestASecond();
    }

    void closingDuringARequestEndsAtOnce()
    {
        Start("Timeout = 60000\r\n");
        services_->mode = LoopbackCoverServices::Mode::Silent;
        QPointer<CCoverSearchDialog> dialog = OpenDialog();
        Type(dialog, "artist", QStringLiteral("Someone"));
        Click(dialog, "search");
        QTRY_COMPARE_WITH_TIMEOUT(services_->MusicBrainzRequests().size(), 1, 10000);
        QElapsedTimer closing;
        closing.start();
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QVERIFY2(closing.elapsed() < 3000, qPrintable(QString::number(closing.elapsed())));
    }

    void commandLineFindSavesTheFirstReleaseWithArt()
    {
        const QString server = services_->Address();
        auto run = [&](const QStringList& args, int& status, QString& err) {
            QProcess cli;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KORVANE_HOME"), home_->Path());
            cli.setProcessEnvironment(env);
            cli.start(QStringLiteral(KORVANE_BIN_DIR "/korvane-cli"),
                      QStringList{QStringLiteral("find"), QStringLiteral("--musicbrainz-server"), server,
                                  QStringLiteral("--coverart-server"), server} + args);
            QVERIFY(cli.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(cli.state() == QProcess::NotRunning, 30000);
            status = cli.exitCode();
            err = QString::fromUtf8(cli.readAllStandardError());
        };
        const QString front = home_->FilePath(QStringLiteral("f.png"));
        const QString back = home_->FilePath(QStringLiteral("b.png"));
        int status = -1;
        QString err;
        run({QStringLiteral("--artist"), QStringLiteral("Test Artist"), QStringLiteral("--album"),
             QStringLiteral("Test Album"), QStringLiteral("--front"), front, QStringLiteral("--back"), back},
            status, err);
        QVERIFY2(status == 0, qPrintable(err));
        QCOMPARE(QImage(front).pixelColor(3, 3), QColor(220, 30, 30));
        QCOMPARE(QImage(back).pixelColor(3, 3), QColor(30, 30, 220));

        QFile::remove(front);
        QStringList toc{QStringLiteral("1"), QStringLiteral("6")};
        for (int o : kTestDiscOffsets)
            toc << QString::number(o);
        run({QStringLiteral("--toc"), toc.join(QLatin1Char(' ')), QStringLiteral("--front"), front}, status, err);
        QCOMPARE(status, 0);
        QVERIFY(err.contains(QLatin1String(kTestDiscId)));
        QVERIFY(QFile::exists(front));

        services_->mode = LoopbackCoverServices::Mode::SlowDown;
        run({QStringLiteral("--album"), QStringLiteral("X"), QStringLiteral("--front"), front}, status, err);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains(QStringLiteral("refused the request (503")), qPrintable(err));
        VerifyOneRequestASecond();
    }
};

QTEST_MAIN(CoverSearchTest)
#include "CoverSearchTest.moc"

// What the window says when a file dropped on a paper cannot be loaded or
// loads only in part, when a chosen skin cannot be used, and when a Help
// link finds no program to open it with: real drops with real MIME data,
// real menu items, the message boxes read and answered as a user would.
#include "DropFiles.h"
#include "MessageBoxes.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace

class LoadMessagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(80);
    }

    void cleanup()
    {
        app_->ExitInstance();
        app_.reset();
        home_.reset();
    }

    void aTextFileNamedJpgIsRefusedSayingWhy()
    {
        const QString notes = home_->FilePath(QStringLiteral("drop/notes.jpg"));
        WriteBytes(notes, "Just some notes, not a picture.\n");
        Boxes boxes;
        Drop(View()->Paper(Slot::Left), {notes});
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("The picture could not be loaded:\n") + notes + "\n\n"),
                 qPrintable(boxes.texts[0]));
        QVERIFY(boxes.texts[0].contains(QStringLiteral("JPEG")));
        QCOMPARE(boxes.icons[0], QMessageBox::Critical);
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
    }

    void aPictureOfAKindTheSlotsDoNotTakeIsNamed()
    {
        const QString scan = home_->FilePath(QStringLiteral("drop/scan.psd"));
        WriteBytes(scan, QByteArray("8BPS\0\1\0\0\0\0\0\0\0\3", 14));
        Boxes boxes;
        Drop(View()->Paper(Slot::Right), {scan});
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], QStringLiteral("Korvane cannot load pictures of this kind:\n") + scan);
        QVERIFY(!Doc().IsLoaded(Slot::Right));
    }

    void aCutShortJpegLoadsWithAWarningNamingIt()
    {
        const QString path = home_->MakePicture(QStringLiteral("cut/Album Front.jpg"), 600, 600);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() * 2 / 5));
        f.close();
        Boxes boxes;
        Drop(View()->Paper(Slot::Left), {path});
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], QStringLiteral("Only part of the picture could be read; the rest shows grey:\n") + path +
                                     QStringLiteral("\n\nTruncated data: the JPEG file ends early"));
        QCOMPARE(boxes.icons[0], QMessageBox::Warning);
        QCOMPARE(View()->State().leftName, std::string("Album Front.jpg"));
        // A whole picture dropped afterwards says nothing.
        const QString whole = home_->MakePicture(QStringLiteral("cut/Whole.jpg"), 600, 600);
        Drop(View()->Paper(Slot::Left), {whole});
        QTRY_COMPARE(View()->State().leftName, std::string("Whole.jpg"));
        QTest::qWait(100);
        QCOMPARE(boxes.texts.size(), 1);
    }

    void aSkinWhoseSkinIniIsTooLargeIsRefusedSayingWhy()
    {
        app_->ExitInstance();
        app_.reset();
        WriteBytes(home_->FilePath(QStringLiteral("skins/Huge/skin.ini")), QByteArray(1024 * 1024 + 1, ';'));
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        CMainMenu* menu = app_->Frame()->Menu();
        QCOMPARE(menu->SkinFolderCount(), 1);
        Boxes boxes;
        emit menu->MenuAboutToShow();
        menu->SkinFolderItem(0)->trigger();
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], QStringLiteral("The skin \"Huge\" could not be used: its skin.ini could not be read "
                                                "(it is 1025 KiB; at most 1024 KiB are read)."));
        QCOMPARE(boxes.icons[0], QMessageBox::Warning);
    }

    void theHelpLinksSayOnceThatNothingCanOpenThem()
    {
        // No browser, no mail program: nothing on the search path at all.
        QTemporaryDir empty;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", empty.path().toUtf8());
        qunsetenv("BROWSER");
        Boxes boxes;
        CMainMenu* menu = app_->Frame()->Menu();
        emit menu->MenuAboutToShow();
        QAction* help = menu->Action(Cmd::OnlineHelp);
        QVERIFY(help && help->isEnabled());
        help->trigger();
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("No web browser or mail program was found to open\nhttp")),
                 qPrintable(boxes.texts[0]));
        // Said once: the next links fail quietly.
        menu->Action(Cmd::Website)->trigger();
        help->trigger();
        QTest::qWait(150);
        qputenv("PATH", path);
        QCOMPARE(boxes.texts.size(), 1);
    }
};

QTEST_MAIN(LoadMessagesTest)
#include "LoadMessagesTest.moc"

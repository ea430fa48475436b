// The commands of the main window on the real windows: opening, recognising
// and matching covers, print commands and their enabling, paste, rotate,
// New, the papers' pop-up menu and dropped files.
#include "ChooseFiles.h"
#include "DropFiles.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "image/ui/ExtendedFileDialog.h"
#include "print/ui/PaperWidget.h"
#include "settings/AppSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace {

struct PrintCall {
    int mode;
    bool preview;
};

// Chooses a command in the next pop-up menu (the Rotate items in its sub-menu).
void ChooseInNextPopup(int commandId, QStringList* texts = nullptr)
{
    AnswerNextPopup([commandId, texts](QWidget* w) {
        auto* menu = qobject_cast<QMenu*>(w);
        QVERIFY(menu);
        if (texts) {
            for (QAction* a : menu->actions())
                *texts << a->text();
        }
        for (QAction* a : menu->actions()) {
            if (a->data().toInt() == commandId) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
            if (QMenu* sub = a->menu()) {
                for (QAction* s : sub->actions()) {
                    if (s->data().toInt() != commandId)
                        continue;
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Right);
                    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                    QVERIFY(open == sub);
                    sub->setActiveAction(s);
                    QTest::keyClick(sub, Qt::Key_Return);
                    return;
                }
            }
        }
        menu->close();
        QFAIL("command not in the menu");
    });
}

}  // namespace

class SlotsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;
    std::vector<PrintCall> prints_;
    std::vector<std::vector<std::string>> batches_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }
    QAction* Item(int id) { return app_->Frame()->Menu()->Action(id); }
    // The menu's states as they are when it opens.
    bool ItemEnabled(int id)
    {
        emit app_->Frame()->Menu()->MenuAboutToShow();
        return Item(id)->isEnabled();
    }
    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(View()->Control(id)); }

    void InstallRecordingHooks()
    {
        PrintHooks hooks;
        hooks.runPrintJob = [this](PrintMode mode, bool preview) { prints_.push_back({PrintModeNumber(mode), preview}); };
        hooks.runBatchPrint = [this](const std::vector<std::string>& files) { batches_.push_back(files); };
        hooks.printSetup = [] {};
        View()->SetPrintHooks(hooks);
    }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(80);
        prints_.clear();
        batches_.clear();
    }

    void cleanup()
    {
        app_->ExitInstance();
        app_.reset();
        home_.reset();
    }

    void openLeftRecognisesTheFrontAndLoadsItsBack()
    {
        const QString front = home_->MakePicture(QStringLiteral("covers/Album front.jpg"), 600, 600);
        home_->MakePicture(QStringLiteral("covers/Album back.jpg"), 750, 590);
        ChooseInNextDialog({front});
        Item(Cmd::OpenLeft)->trigger();
        // Loaded on the view's short timer after the dialog has gone.
        QCOMPARE(View()->State().pendingLeftPath, front.toStdString());
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        QVERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->State().leftFormat, 0);   // CD Front
        QCOMPARE(View()->State().rightFormat, 1);  // CD Back
        QCOMPARE(View()->Combo(Slot::Left)->currentText(), QStringLiteral("CD Front"));
        QCOMPARE(View()->Combo(Slot::Right)->currentText(), QStringLiteral("CD Back"));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("Album front.jpg"));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Album back.jpg"));
        QCOMPARE(QString::fromStdString(GetCfgString("Paths", "LastUsed", "")), QFileInfo(front).path());
        // The papers show the slots: the left one also holds the back cover
        // for a single page.
        const PaperView& left = View()->Paper(Slot::Left)->View();
        const PaperView& right = View()->Paper(Slot::Right)->View();
        QCOMPARE(left.firstImage, &Doc().leftImage);
        QCOMPARE(left.secondImage, &Doc().rightImage);
        QCOMPARE(left.firstFormat, LeftFormat(0));
        QCOMPARE(left.secondFormat, RightFormat(1));
        QCOMPARE(right.firstImage, &Doc().rightImage);
        QCOMPARE(right.firstFormat, RightFormat(1));
        // A landscape front + inside scan is turned upright and recognised.
        const QString booklet = home_->MakePicture(QStringLiteral("Booklet.png"), 2400, 1200);
        QVERIFY(Doc().LoadLeftImage(booklet.toStdString(), true));
        QCOMPARE(View()->State().leftFormat, 2);
        QCOMPARE(Doc().leftImage.GetWidth(), 1200);
        QCOMPARE(Doc().leftImage.GetHeight(), 2400);
    }

    void openRightLoadsAtOnceAndTheRightPaperOpensToo()
    {
        const QString cover = home_->MakePicture(QStringLiteral("elsewhere/Tray.bmp"), 750, 590);
        ChooseInNextDialog({cover});
        Item(Cmd::OpenRight)->trigger();
        QVERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->State().rightName, std::string("Tray.bmp"));
        // A click on the right paper opens the dialog for the right slot.
        const QString other = home_->MakePicture(QStringLiteral("elsewhere/Other.png"), 100, 100);
        ChooseInNextDialog({other});
        // (A paper that shows a picture waits to see whether a double-click
        // follows before it opens the dialog.)
        QTest::mouseClick(View()->Paper(Slot::Right), Qt::LeftButton);
        QTRY_COMPARE(View()->State().rightName, std::string("Other.png"));
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        // Cancelling changes nothing.
        AnswerNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QTest::mouseClick(View()->Paper(Slot::Left), Qt::LeftButton);
        QVERIFY(!Doc().IsLoaded(Slot::Left));
    }

    void printCommandsNeedThePrintWindows()
    {
        View()->SetPrintHooks(PrintHooks{});
        const QString front = home_->MakePicture(QStringLiteral("A front.jpg"), 300, 300);
        const QString back = home_->MakePicture(QStringLiteral("A back.jpg"), 750, 590);
        QVERIFY(Doc().LoadLeftImage(front.toStdString(), true));
        QVERIFY(Doc().IsLoaded(Slot::Right));
        // Without the print windows' hooks the commands are there but disabled.
        for (int id : {Cmd::PrintLeft, Cmd::PrintRight, Cmd::PrintBoth, Cmd::PrintPreview, Cmd::PrintSetup}) {
            QVERIFY(Item(id));
            QVERIFY(!ItemEnabled(id));
        }
        for (int id : {Ctl::PrintLeft, Ctl::PrintBoth, Ctl::PrintRight})
            QVERIFY(!Button(id)->isEnabled());
        QCOMPARE(Button(Ctl::PrintLeft)->text(), QStringLiteral("Print Left"));
        QCOMPARE(Button(Ctl::PrintBoth)->text(), QStringLiteral("Print Both"));
        QCOMPARE(Button(Ctl::PrintRight)->text(), QStringLiteral("Print Right"));
    }

    void printEnablingFollowsTheSlotsAndTheSinglePage()
    {
        InstallRecordingHooks();
        auto states = [this] {
            return QList<bool>{ItemEnabled(Cmd::PrintLeft), ItemEnabled(Cmd::PrintRight), ItemEnabled(Cmd::PrintBoth),
                               ItemEnabled(Cmd::PrintPreview), Button(Ctl::PrintLeft)->isEnabled(),
                               Button(Ctl::PrintRight)->isEnabled(), Button(Ctl::PrintBoth)->isEnabled()};
        };
        QCOMPARE(states(), (QList<bool>{false, false, false, false, false, false, false}));
        QVERIFY(ItemEnabled(Cmd::PrintSetup));
        const QString left = home_->MakePicture(QStringLiteral("Solo.png"), 300, 300);
        QVERIFY(Doc().LoadLeftImage(left.toStdString(), true));
        QCOMPARE(states(), (QList<bool>{true, false, false, true, true, false, false}));
        const QString right = home_->MakePicture(QStringLiteral("Tray.png"), 750, 590);
        QVERIFY(Doc().LoadRightImage(right.toStdString(), true));
        QCOMPARE(states(), (QList<bool>{true, true, true, true, true, true, true}));

        // "Print on a Single Page": the right paper hides, Right and Both go grey.
        auto* single = qobject_cast<QCheckBox*>(View()->Control(Ctl::SinglePage));
        QTest::mouseClick(single, Qt::LeftButton);
        QCOMPARE(View()->State().singlePage, 1);
        QVERIFY(View()->Paper(Slot::Right)->isHidden());
        QVERIFY(View()->Paper(Slot::Left)->View().singlePage);
        QCOMPARE(states(), (QList<bool>{true, false, false, true, true, false, false}));
        // Its label switches it too.
        QTest::mouseClick(View()->Control(Ctl::SinglePageLabel), Qt::LeftButton);
        QCOMPARE(View()->State().singlePage, 0);
        QVERIFY(!single->isChecked());
        QVERIFY(!View()->Paper(Slot::Right)->isHidden());
        QTest::mouseClick(View()->Control(Ctl::CutLinesLabel), Qt::LeftButton);
        QCOMPARE(View()->State().drawCutLines, 0);
        QVERIFY(!View()->Paper(Slot::Left)->View().drawCutLines);

        // The buttons and the menu's items set the mode their names say.
        QTest::mouseClick(Button(Ctl::PrintLeft), Qt::LeftButton);
        Item(Cmd::PrintBoth)->trigger();
        QTest::mouseClick(Button(Ctl::PrintBoth), Qt::LeftButton);
        Item(Cmd::PrintRight)->trigger();
        Item(Cmd::PrintPreview)->trigger();
        QCOMPARE(prints_.size(), std::size_t{5});
        QCOMPARE(prints_[0].mode, 0);
        QCOMPARE(prints_[1].mode, 2);
        QCOMPARE(prints_[2].mode, 2);
        QCOMPARE(prints_[3].mode, 1);
        QCOMPARE(prints_[4].mode, 1);
        QVERIFY(prints_[4].preview && !prints_[3].preview);
        QCOMPARE(View()->State().printMode, PrintMode::Right);
    }

    void pasteFillsEitherSlot()
    {
        QImage picture(320, 240, QImage::Format_ARGB32);
        picture.fill(QColor(10, 200, 30));
        QGuiApplication::clipboard()->setImage(picture);
        QVERIFY(ItemEnabled(Cmd::Paste));
        Item(Cmd::Paste)->trigger();
        QVERIFY(Doc().IsLoaded(Slot::Left));
        QCOMPARE(Doc().leftImage.GetWidth() * Doc().leftImage.GetHeight(), 320 * 240);
        const Rgb c = Doc().leftImage.GetPixelColor(5, 5);
        QCOMPARE(c, (Rgb{10, 200, 30}));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("Image from Clipboard"));
        QVERIFY(!Doc().IsLoaded(Slot::Right));
        // The right paper's pop-up pastes into the right slot.
        QGuiApplication::clipboard()->setImage(QImage(50, 70, QImage::Format_RGB32));
        ChooseInNextPopup(Cmd::PaperPaste);
        QTest::mouseClick(View()->Paper(Slot::Right), Qt::RightButton);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Image from Clipboard"));
        // Nothing on the clipboard: nothing happens.
        QGuiApplication::clipboard()->clear();
        Item(Cmd::New)->trigger();
        Item(Cmd::Paste)->trigger();
        QVERIFY(!Doc().IsLoaded(Slot::Left));
    }

    void rotateAndNew()
    {
        const QString a = home_->MakePicture(QStringLiteral("Wide.png"), 600, 400);
        const QString b = home_->MakePicture(QStringLiteral("Tall.png"), 100, 300);
        QVERIFY(!ItemEnabled(Cmd::RotateLeft));
        QVERIFY(Doc().LoadLeftImage(a.toStdString(), true));
        QVERIFY(Doc().LoadRightImage(b.toStdString(), true));
        const int leftW = Doc().leftImage.GetWidth();
        const int leftH = Doc().leftImage.GetHeight();
        QVERIFY(ItemEnabled(Cmd::RotateLeft));
        Item(Cmd::RotateLeft)->trigger();
        QCOMPARE(Doc().leftImage.GetWidth(), leftH);
        QCOMPARE(Doc().leftImage.GetHeight(), leftW);
        Item(Cmd::RotateRight)->trigger();
        QCOMPARE(Doc().rightImage.GetWidth(), 300);
        // The right paper's pop-up turns the right image back.
        ChooseInNextPopup(Cmd::PaperRotateCcw);
        QTest::mouseClick(View()->Paper(Slot::Right), Qt::RightButton);
        QTRY_COMPARE(Doc().rightImage.GetWidth(), 100);
        QCOMPARE(Doc().leftImage.GetWidth(), leftH);

        Item(Cmd::New)->trigger();
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        QVERIFY(!Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("no image selected"));
        QVERIFY(View()->Paper(Slot::Left)->View().firstImage == nullptr);
        QVERIFY(View()->Paper(Slot::Left)->View().secondImage == nullptr);
        QVERIFY(RunningValues().recentFileLeft.empty());
        QVERIFY(RunningValues().recentFileRight.empty());
    }

    void popupActsOnThePaperThatOwnsIt()
    {
        InstallRecordingHooks();
        // An empty slot greys New, Print and Rotate.
        {
            std::unique_ptr<QMenu> menu(View()->Paper(Slot::Left)->BuildMenu(nullptr));
            const QList<QAction*> items = menu->actions();
            QCOMPARE(items.size(), 9);  // ..., a separator, Find Cover Online..., Scan Cover...
            QCOMPARE(items[0]->text(), QStringLiteral("Load Image..."));
            QVERIFY(items[0]->isEnabled());
            QCOMPARE(items[1]->text(), QStringLiteral("Paste"));
            QVERIFY(items[1]->isEnabled());
            QCOMPARE(items[2]->text(), QStringLiteral("Rotate"));
            QVERIFY(!items[2]->isEnabled());
            // How the picture fills its cover can be chosen before there is one.
            QCOMPARE(items[3]->text(), QStringLiteral("Picture"));
            QVERIFY(items[3]->isEnabled());
            QCOMPARE(items[4]->text(), QStringLiteral("New"));
            QVERIFY(!items[4]->isEnabled());
            QCOMPARE(items[5]->text(), QStringLiteral("Print..."));
            QVERIFY(!items[5]->isEnabled());
            QCOMPARE(items[7]->data().toInt(), Cmd::PaperFindCover);
            QCOMPARE(items[8]->data().toInt(), Cmd::PaperScanCover);
            QVERIFY(items[7]->isEnabled() && items[8]->isEnabled());
        }
        const QString a = home_->MakePicture(QStringLiteral("Left one.png"), 300, 300);
        const QString b = home_->MakePicture(QStringLiteral("Right one.png"), 750, 590);
        QVERIFY(Doc().LoadLeftImage(a.toStdString(), true));
        QVERIFY(Doc().LoadRightImage(b.toStdString(), true));

        ChooseInNextPopup(Cmd::PaperNew);
        QTest::mouseClick(View()->Paper(Slot::Right), Qt::RightButton);
        QTRY_VERIFY(!Doc().IsLoaded(Slot::Right));
        QVERIFY(Doc().IsLoaded(Slot::Left));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("no image selected"));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("Left one.png"));
        QVERIFY(!View()->Paper(Slot::Left)->TakeMenuFlag());
        QVERIFY(View()->Paper(Slot::Left)->View().secondImage == nullptr);

        ChooseInNextPopup(Cmd::PaperPrint);
        QTest::mouseClick(View()->Paper(Slot::Left), Qt::RightButton);
        QTRY_COMPARE(prints_.size(), std::size_t{1});
        QCOMPARE(prints_[0].mode, 0);

        // "Load Image..." on the right paper opens the dialog for the right slot.
        ChooseInNextPopup(Cmd::PaperLoad);
        ChooseInNextDialog({b});
        QTest::mouseClick(View()->Paper(Slot::Right), Qt::RightButton);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->State().leftName, std::string("Left one.png"));
    }

    void droppedFilesGoToThePaperOrTheBatch()
    {
        InstallRecordingHooks();
        const QString a = home_->MakePicture(QStringLiteral("drop/One.png"), 300, 300);
        const QString b = home_->MakePicture(QStringLiteral("drop/Two.jpg"), 300, 300);
        const QString c = home_->MakePicture(QStringLiteral("drop/Three.bmp"), 300, 300);
        Drop(View()->Paper(Slot::Right), {a});
        QCOMPARE(View()->State().rightName, std::string("One.png"));
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        // Without batch mode the first of several files goes to the paper
        // dropped on, the second to the other one, the rest are left.
        Drop(View()->Paper(Slot::Left), {b, c, a});
        QTRY_COMPARE(View()->State().rightName, std::string("Three.bmp"));
        QCOMPARE(View()->State().leftName, std::string("Two.jpg"));
        QVERIFY(batches_.empty());
        QCOMPARE(QString::fromStdString(GetCfgString("Paths", "LastUsed", "")), QFileInfo(a).path());
        // In batch mode they make one job, in drop order; unreadable ones are left out.
        RunningValues().batchMode = 1;
        Drop(View()->Paper(Slot::Right), {c, home_->FilePath(QStringLiteral("drop/missing.png")), a, b});
        QCOMPARE(batches_.size(), std::size_t{1});
        QCOMPARE(batches_[0], (std::vector<std::string>{c.toStdString(), a.toStdString(), b.toStdString()}));
        QCOMPARE(View()->State().batchFiles, batches_[0]);
        // One file is not a batch.
        Drop(View()->Paper(Slot::Right), {c});
        QCOMPARE(batches_.size(), std::size_t{1});
        QCOMPARE(View()->State().rightName, std::string("Three.bmp"));
        // Several files chosen at the left paper go to the batch job too.
        ChooseInNextDialog({a, b});
        QTest::mouseClick(View()->Paper(Slot::Left), Qt::LeftButton);
        QTRY_COMPARE(batches_.size(), std::size_t{2});
        QCOMPARE(batches_[1].size(), std::size_t{2});
    }

    void pathsOfAnyLengthLoad()
    {
        QString folder = QStringLiteral("deep");
        while (folder.size() < 300)
            folder += QStringLiteral("/a folder with a rather long name");
        const QString path = home_->MakePicture(folder + QStringLiteral("/Album front.png"), 300, 300);
        home_->MakePicture(folder + QStringLiteral("/Album back.png"), 750, 590);
        QVERIFY(path.size() > 300);
        Drop(View()->Paper(Slot::Left), {path});
        QVERIFY(Doc().IsLoaded(Slot::Left));
        QVERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(QString::fromStdString(RunningValues().recentFileLeft), path);
        QCOMPARE(QString::fromStdString(GetCfgString("Paths", "LastUsed", "")), QFileInfo(path).path());
        // A name wider than its label is cut at the front.
        const QString longName = home_->MakePicture(
            QStringLiteral("A very long file name that will never fit under the little paper preview.png"), 200, 200);
        Drop(View()->Paper(Slot::Right), {longName});
        const QString shown = View()->SlotLabel(Slot::Right)->text();
        QVERIFY(shown.startsWith(QStringLiteral("...")));
        QVERIFY(shown.endsWith(QStringLiteral("preview.png")));
    }

    void unsupportedFilesAreIgnored()
    {
        // A Photoshop file: a signature no decoder of ours knows.
        const QString tif = home_->FilePath(QStringLiteral("cover.psd"));
        QFile f(tif);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("8BPS\0\1\0\0\0\0\0\0\0\3");
        f.close();
        // Nothing is loaded; the box says why.
        QString said;
        AnswerNextModal([&](QWidget* w) {
            said = static_cast<QMessageBox*>(w)->text();
            w->close();
        }, 20000);
        Drop(View()->Paper(Slot::Left), {tif});
        QCOMPARE(said, QStringLiteral("Korvane cannot load pictures of this kind:\n") + tif);
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
    }
};

QTEST_MAIN(SlotsTest)
#include "SlotsTest.moc"

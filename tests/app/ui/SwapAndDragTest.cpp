// Swapping the slots from the File menu, and dragging a picture from one
// paper onto the other: a move, or a copy with Ctrl held. The offscreen
// platform runs no drag loop (QDrag::exec returns at once), so the drag is
// started with real mouse events on one paper and the drop events it would
// bring, with the very data it carried, are delivered to the other paper.
#include "DropFiles.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/SlotDrag.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "settings/AppSettings.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

namespace {

// Opens the File menu with a click on its title and walks down to `item`
// with the arrow keys, then presses Return.
void ChooseFromFileMenu(QMenuBar* bar, QAction* item)
{
    AnswerNextPopup([item](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        QVERIFY(menu);
        for (int k = 0; k < 30 && menu->activeAction() != item; ++k)
            QTest::keyClick(menu, Qt::Key_Down);
        QCOMPARE(menu->activeAction(), item);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QAction* file = bar->actions().at(0);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(file).center());
}

}  // namespace

class SwapAndDragTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;
    QString front_, tray_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }
    CPaper* Paper(Slot s) { return View()->Paper(s); }

    // A front cover left and a tray inlay right, both recognised.
    void LoadBoth()
    {
        front_ = home_->MakePicture(QStringLiteral("a/Front.png"), 600, 600, QColor(200, 40, 40));
        tray_ = home_->MakePicture(QStringLiteral("b/Tray.png"), 750, 590, QColor(40, 40, 200));
        Doc().LoadLeftImage(front_.toStdString(), true);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        Doc().LoadRightImage(tray_.toStdString(), true);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->State().leftFormat, 0);   // CD Front
        QCOMPARE(View()->State().rightFormat, 1);  // CD Back
    }

    // Presses on `from`'s paper and moves past the drag distance; returns the
    // data of the drag that started (empty when none did).
    QByteArray StartDrag(Slot from)
    {
        QByteArray carried;
        int started = 0;
        auto connection = connect(View()->SlotDrag(), &CSlotDrag::DragStarted, this,
                                  [&](Slot s, const QMimeData* data) {
                                      ++started;
                                      if (s == from)
                                          carried = data->data(QString::fromLatin1(CSlotDrag::kMimeType));
                                  });
        CPaper* paper = Paper(from);
        const QPoint p = paper->rect().center();
        QTest::mousePress(paper, Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseMove(paper, p + QPoint(4, 4));
        QTest::mouseMove(paper, p + QPoint(QApplication::startDragDistance() + 10, 20));
        QTest::mouseRelease(paper, Qt::LeftButton, Qt::NoModifier, p + QPoint(QApplication::startDragDistance() + 10, 20));
        disconnect(connection);
        return started == 1 ? carried : QByteArray();
    }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nAutoLoad2ndImage = 0\r\n");
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(80);
        app_->Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app_->Frame()));
    }

    void cleanup()
    {
        app_->ExitInstance();
        app_.reset();
        home_.reset();
    }

    void swapExchangesPicturesPathsLabelsAndFormats()
    {
        QAction* swap = app_->Frame()->Menu()->Action(Cmd::SwapSlots);
        QVERIFY(swap);
        emit app_->Frame()->Menu()->MenuAboutToShow();
        QVERIFY(!swap->isEnabled());  // nothing to swap
        LoadBoth();
        const Rgb leftColour = Doc().leftImage.GetPixelColor(590, 590);
        const Rgb rightColour = Doc().rightImage.GetPixelColor(740, 580);
        ChooseFromFileMenu(app_->Frame()->menuBar(), swap);
        QTRY_COMPARE(View()->State().leftName, std::string("Tray.png"));
        QCOMPARE(View()->State().rightName, std::string("Front.png"));
        QCOMPARE(Doc().leftImage.GetWidth(), 750);
        QCOMPARE(Doc().rightImage.GetWidth(), 600);
        QCOMPARE(Doc().leftImage.GetPixelColor(740, 580), rightColour);
        QCOMPARE(Doc().rightImage.GetPixelColor(590, 590), leftColour);
        QCOMPARE(View()->State().leftFormat, 1);
        QCOMPARE(View()->State().rightFormat, 0);
        QCOMPARE(View()->Combo(Slot::Left)->currentIndex(), 1);
        QCOMPARE(View()->Combo(Slot::Right)->currentIndex(), 0);
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("Tray.png"));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Front.png"));
        QCOMPARE(RunningValues().recentFileLeft, tray_.toStdString());
        QCOMPARE(RunningValues().recentFileRight, front_.toStdString());
        // The papers show the swapped slots: the right one at POSITION2.
        QCOMPARE(Paper(Slot::Left)->View().firstImage, &Doc().leftImage);
        QCOMPARE(Paper(Slot::Left)->View().firstFormat, LeftFormat(1));
        QCOMPARE(Paper(Slot::Right)->View().firstFormat, RightFormat(0));
        // A slot that is empty swaps too: the picture goes over, "no image
        // selected" comes back.
        Doc().ClearSlot(Slot::Right);
        ChooseFromFileMenu(app_->Frame()->menuBar(), swap);
        QTRY_VERIFY(!Doc().IsLoaded(Slot::Left));
        QVERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Tray.png"));
    }

    void draggingMovesAPictureToTheOtherPaper()
    {
        LoadBoth();
        const QByteArray carried = StartDrag(Slot::Left);
        QVERIFY(!carried.isEmpty());
        // The press became a drag, not a click: no file dialog opened.
        QTest::qWait(50);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QMimeData data;
        data.setData(QString::fromLatin1(CSlotDrag::kMimeType), carried);
        // The paper it came from does not take it back.
        QVERIFY(!DeliverDrop(Paper(Slot::Left), data, Qt::NoModifier, nullptr));
        Qt::DropAction action = Qt::IgnoreAction;
        QVERIFY(DeliverDrop(Paper(Slot::Right), data, Qt::NoModifier, &action));
        QCOMPARE(action, Qt::MoveAction);
        QVERIFY(!Doc().IsLoaded(Slot::Left));
        QCOMPARE(Doc().rightImage.GetWidth(), 600);
        QCOMPARE(View()->State().rightName, std::string("Front.png"));
        QCOMPARE(View()->State().rightFormat, 0);
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Front.png"));
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
        QCOMPARE(RunningValues().recentFileRight, front_.toStdString());
        QCOMPARE(RunningValues().recentFileLeft, std::string());
        // An empty paper starts no drag: the press stays a click, which
        // opens the file dialog.
        bool dialogOpened = false;
        AnswerNextModal([&](QWidget* w) {
            dialogOpened = true;
            qobject_cast<QDialog*>(w)->reject();
        });
        QVERIFY(StartDrag(Slot::Left).isEmpty());
        QTRY_VERIFY(dialogOpened);
    }

    void draggingWithCtrlCopies()
    {
        LoadBoth();
        const QByteArray carried = StartDrag(Slot::Right);
        QVERIFY(!carried.isEmpty());
        QMimeData data;
        data.setData(QString::fromLatin1(CSlotDrag::kMimeType), carried);
        Qt::DropAction action = Qt::IgnoreAction;
        QVERIFY(DeliverDrop(Paper(Slot::Left), data, Qt::ControlModifier, &action));
        QCOMPARE(action, Qt::CopyAction);
        QCOMPARE(Doc().leftImage.GetWidth(), 750);
        QCOMPARE(Doc().rightImage.GetWidth(), 750);
        QCOMPARE(View()->State().leftName, std::string("Tray.png"));
        QCOMPARE(View()->State().rightName, std::string("Tray.png"));
        QCOMPARE(View()->State().leftFormat, 1);
        QCOMPARE(View()->State().rightFormat, 1);
        // Data of another process, or any other kind, is not a slot drag.
        QMimeData foreign;
        foreign.setData(QString::fromLatin1(CSlotDrag::kMimeType), "1:left");
        QVERIFY(!CSlotDrag::SlotOf(&foreign));
        QVERIFY(!DeliverDrop(Paper(Slot::Right), foreign, Qt::NoModifier, nullptr));
        QCOMPARE(View()->State().rightName, std::string("Tray.png"));
    }
};

QTEST_MAIN(SwapAndDragTest)
#include "SwapAndDragTest.moc"

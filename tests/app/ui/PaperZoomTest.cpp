// Fit and fill chosen from a paper's pop-up menu, and the zoom view a
// double-click on a paper opens: wheel zoom, drag pan, a drag that moves a
// fill's crop, and the 100% view, all with real mouse events.
#include "MenuChoices.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperMenuCommands.h"
#include "print/ui/PaperWidget.h"
#include "print/ui/PaperZoomView.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QWheelEvent>

namespace {

void Wheel(QWidget* w, const QPoint& at, int notches)
{
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

}  // namespace

class PaperZoomTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\nAutoload2ndImage = 0\r\n");
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

    void thePaperMenuChoosesStretchFitOrFill()
    {
        // A square cover is recognised; the picture is a little wider.
        const QString path = home_->MakePicture(QStringLiteral("front.png"), 330, 300);
        QVERIFY(Doc().LoadLeftImage(path.toStdString(), true));
        CPaper* paper = View()->Paper(Slot::Left);
        QCOMPARE(View()->State().leftFill.fit, CoverFit::Stretch);
        QCOMPARE(paper->View().firstFill.fit, CoverFit::Stretch);

        ChooseInSubMenu(Cmd::PaperFill);
        QTest::mouseClick(paper, Qt::RightButton);
        QTRY_COMPARE(View()->State().leftFill.fit, CoverFit::Fill);
        QCOMPARE(paper->View().firstFill.fit, CoverFit::Fill);
        QCOMPARE(View()->State().rightFill.fit, CoverFit::Stretch);
        // The menu shows the choice.
        std::unique_ptr<QMenu> menu(paper->BuildMenu(nullptr));
        QMenu* picture = menu->actions()[3]->menu();
        QVERIFY(picture);
        QCOMPARE(picture->actions().size(), 3);
        QVERIFY(!picture->actions()[0]->isChecked());
        QVERIFY(picture->actions()[2]->isChecked());

        ChooseInSubMenu(Cmd::PaperFit);
        QTest::mouseClick(paper, Qt::RightButton);
        QTRY_COMPARE(View()->State().leftFill.fit, CoverFit::Fit);
        // The print job reads the slot's choice.
        QCOMPARE(paper->View().firstFill.fit, CoverFit::Fit);
    }

    void doubleClickOpensTheZoomViewThatZoomsPansAndMovesTheCrop()
    {
        const QString path = home_->MakePicture(QStringLiteral("front.png"), 600, 400);
        QVERIFY(Doc().LoadLeftImage(path.toStdString(), true));
        CPaper* paper = View()->Paper(Slot::Left);
        QVERIFY(!View()->ZoomView(Slot::Left));
        QTest::mouseDClick(paper, Qt::LeftButton, Qt::NoModifier, paper->rect().center());
        QTRY_VERIFY(View()->ZoomView(Slot::Left) && View()->ZoomView(Slot::Left)->isVisible());
        CPaperZoomView* zoom = View()->ZoomView(Slot::Left);
        // The double-click opened no file dialog.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QVERIFY(!QApplication::activeModalWidget());

        // Resizable, and the page follows the window while it shows whole.
        zoom->resize(500, 700);
        QTest::qWait(20);
        QWidget* area = zoom->PageArea();
        const double whole = zoom->Zoom();
        QVERIFY(whole > 0);

        // The wheel zooms about the pointer.
        const QPoint at = area->rect().center();
        Wheel(area, at, 2);
        QVERIFY(zoom->Zoom() > whole * 1.5);
        const double zoomed = zoom->Zoom();

        // A drag on a stretched picture pans the page.
        const QPointF before = zoom->PaperOrigin();
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseMove(area, at + QPoint(40, 30));
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, at + QPoint(40, 30));
        const QPointF moved = zoom->PaperOrigin() - before;
        QVERIFY(moved.x() > 0 || moved.y() > 0);
        QCOMPARE(zoom->Zoom(), zoomed);

        // On a filled picture a drag moves the crop; the paper shows it.
        Doc().SetSlotFit(Slot::Left, CoverFit::Fill);
        QCOMPARE(View()->State().leftFill.cropX, 0.5);
        QPushButton* wholePage = nullptr;
        for (QPushButton* b : zoom->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Whole Page"))
                wholePage = b;
        QVERIFY(wholePage);
        QTest::mouseClick(wholePage, Qt::LeftButton);
        const PaperView shown = paper->View();
        const PaperCoverBoxes onPage =
            FirstCoverBoxes(shown, static_cast<int>(std::lround(shown.paperWidth * zoom->Zoom())),
                            static_cast<int>(std::lround(shown.paperHeight * zoom->Zoom())));
        QVERIFY(onPage.picture.clipped);
        const QPoint cover = (zoom->PaperOrigin() + QPointF((onPage.cover.left + onPage.cover.right) / 2.0,
                                                            (onPage.cover.top + onPage.cover.bottom) / 2.0))
                                 .toPoint();
        QVERIFY(area->rect().contains(cover));
        const QImage centred = zoom->Render();
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, cover);
        QTest::mouseMove(area, cover + QPoint(30, 30));
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, cover + QPoint(30, 30));
        // The picture followed the pointer along the axis it is cropped on.
        const PictureFill dragged = View()->State().leftFill;
        QVERIFY(dragged.cropX < 0.5 || dragged.cropY < 0.5);
        QVERIFY(dragged.cropX == 0.5 || dragged.cropY == 0.5);
        QCOMPARE(dragged.fit, CoverFit::Fill);
        QCOMPARE(paper->View().firstFill, dragged);
        QVERIFY(zoom->Render() != centred);

        // 100%: one picture pixel to one screen pixel.
        QPushButton* actual = nullptr;
        for (QPushButton* b : zoom->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("100%"))
                actual = b;
        QVERIFY(actual);
        QTest::mouseClick(actual, Qt::LeftButton);
        QVERIFY(std::abs(zoom->Zoom() / zoom->ActualSizeZoom() - 1) < 0.01);
        const PaperCoverBoxes boxes =
            FirstCoverBoxes(shown, static_cast<int>(std::lround(shown.paperWidth * zoom->Zoom())),
                            static_cast<int>(std::lround(shown.paperHeight * zoom->Zoom())));
        QVERIFY(std::abs(boxes.picture.picture.width() - Doc().leftImage.GetFileWidth()) <= 2);

        // Escape closes the zoom view, as a viewer window does, and leaves
        // the program as it was.
        QTest::keyClick(zoom->PageArea(), Qt::Key_Escape);
        QTRY_VERIFY(!View()->ZoomView(Slot::Left));
        QVERIFY(Doc().IsLoaded(Slot::Left));
    }

    void aClickOnAPaperWithAPictureStillOpensTheDialog()
    {
        const QString path = home_->MakePicture(QStringLiteral("front.png"), 300, 300);
        QVERIFY(Doc().LoadLeftImage(path.toStdString(), true));
        bool sawDialog = false;
        AnswerNextModal([&](QWidget* w) {
            sawDialog = true;
            static_cast<QDialog*>(w)->reject();
        });
        QTest::mouseClick(View()->Paper(Slot::Left), Qt::LeftButton);
        QTRY_VERIFY(sawDialog);
        QVERIFY(!View()->ZoomView(Slot::Left));
    }
};

QTEST_MAIN(PaperZoomTest)
#include "PaperZoomTest.moc"

// The window keeps a dropped JPEG decoded only as far as its screen needs,
// with the file's data: the papers, the zoom view at 100 % and the print
// preview show what they showed of the full picture, the format reason
// still tells the file's size, turning, swapping and dragging keep the
// data, and a JPEG too large to hold in full is opened, shown and printed
// from its bytes.
#include "DropFiles.h"
#include "MenuChoices.h"
#include "UiTestHome.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SlotDrag.h"
#include "app/ui/TheView.h"
#include "print/PrintPlan.h"
#include "print/ui/PaperWidget.h"
#include "print/ui/PaperZoomView.h"
#include "print/ui/PrintJobRunner.h"

#include "TestEncoders.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>

#include <cstdlib>

namespace {

// The share of pixels of two pictures of the same size that differ by more
// than the decoders' rounding (colour edges may take either neighbour).
double DifferingShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p(a.pixel(x, y)), q(b.pixel(x, y));
            if (std::abs(p.red() - q.red()) > 24 || std::abs(p.green() - q.green()) > 24 ||
                std::abs(p.blue() - q.blue()) > 24)
                ++differing;
        }
    return static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
}

QString StatusLine(CKorvaneApp& app)
{
    auto* label = app.Frame()->statusBar()->findChild<QLabel*>(QStringLiteral("reason"));
    return label ? label->text() : QString();
}

}  // namespace

class ReducedSlotsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }

    // File > Print Preview: the page as the preview shows it.
    void PreviewShot(QImage& shot)
    {
        shot = QImage();
        AnswerNextModal([&shot](QWidget* w) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
            QVERIFY2(dialog, w->metaObject()->className());
            auto* widget = dialog->findChild<QPrintPreviewWidget*>();
            QVERIFY(widget);
            widget->setViewMode(QPrintPreviewWidget::SinglePageView);
            widget->fitInView();
            QTest::qWait(200);
            shot = widget->grab().toImage();
            dialog->reject();
        });
        ChooseFromMenu(app_->Frame()->menuBar(), 0, Qt::Key_V);
        QTRY_VERIFY_WITH_TIMEOUT(!shot.isNull(), 60000);
    }

private slots:
    void init()
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nAutoLoad2ndImage = 0\r\n");
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

    void aDroppedJpegIsKeptReducedAndEveryViewShowsWhatTheFullPictureShows()
    {
        const QString path = home_->MakePicture(QStringLiteral("front.jpg"), 2400, 2400);
        CPaper* paper = View()->Paper(Slot::Left);
        Drop(paper, {path});
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        const CRasterImage& slot = Doc().leftImage;
        QVERIFY(slot.IsReduced());
        QVERIFY(slot.HasJpegData());
        QVERIFY(slot.GetWidth() < 2400);
        QCOMPARE(slot.GetFileWidth(), 2400);
        // The format reason tells the file's size.
        QVERIFY2(StatusLine(*app_).contains(QStringLiteral("2400 x 2400 px")), qPrintable(StatusLine(*app_)));

        // What the full picture showed, for comparison.
        CRasterImage full;
        QVERIFY(full.Load(path.toStdString(), IMAGE_JPG));
        QVERIFY(!full.IsReduced());
        auto withFull = [&](const std::function<QImage()>& shoot) {
            paper->SetImage(&full);
            const QImage shot = shoot();
            paper->SetImage(&Doc().leftImage);
            return shot;
        };

        const QImage shown = paper->Render();
        QVERIFY(DifferingShare(shown, withFull([&] { return paper->Render(); })) < 0.01);

        // The print preview, drawn at the printer's resolution.
        QImage preview, previewOfFull;
        PreviewShot(preview);
        CRasterImage reduced = std::move(Doc().leftImage);
        Doc().leftImage = full;
        PreviewShot(previewOfFull);
        Doc().leftImage = std::move(reduced);
        QVERIFY(DifferingShare(preview, previewOfFull) < 0.01);
        QVERIFY(Doc().leftImage.IsReduced());

        // The zoom view at 100 %: the picture's own pixels, decoded for it.
        QTest::mouseDClick(paper, Qt::LeftButton, Qt::NoModifier, paper->rect().center());
        QTRY_VERIFY(View()->ZoomView(Slot::Left) && View()->ZoomView(Slot::Left)->isVisible());
        CPaperZoomView* zoom = View()->ZoomView(Slot::Left);
        QPushButton* actual = nullptr;
        for (QPushButton* b : zoom->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("100%"))
                actual = b;
        QVERIFY(actual);
        QTest::mouseClick(actual, Qt::LeftButton);
        QVERIFY(zoom->Zoom() > 10);
        const QImage zoomed = zoom->Render();
        QVERIFY(DifferingShare(zoomed, withFull([&] { return zoom->Render(); })) < 0.01);
        // The slot still holds its reduced decode.
        QVERIFY(Doc().leftImage.IsReduced());
        zoom->close();

        // Turned from the paper's pop-up menu, then swapped from the File
        // menu: the data stays with the picture, which stands as it did.
        const int width = Doc().leftImage.GetWidth();
        ChooseInSubMenu(Cmd::PaperRotateCw);
        QTest::mouseClick(paper, Qt::RightButton);
        QTRY_COMPARE(Doc().leftImage.GetJpegTurn().turns, 1);
        QCOMPARE(Doc().leftImage.GetHeight(), width);
        ChooseFromMenu(app_->Frame()->menuBar(), 0, Qt::Key_W);
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));
        QVERIFY(Doc().rightImage.HasJpegData());
        QCOMPARE(Doc().rightImage.GetFileHeight(), 2400);
        QVERIFY(Doc().rightImage.IsReduced());
        // Dropped back onto the left paper as a copy (Ctrl held), as a drag
        // from the right paper carries it: the same bytes, held once.
        std::unique_ptr<QMimeData> carried(CSlotDrag::MakeData(Slot::Right));
        QVERIFY(DeliverDrop(View()->Paper(Slot::Left), *carried, Qt::ControlModifier));
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        QVERIFY(Doc().leftImage.IsReduced());
        QCOMPARE(Doc().leftImage.GetJpegSource(), Doc().rightImage.GetJpegSource());
        QCOMPARE(Doc().leftImage.GetJpegTurn(), Doc().rightImage.GetJpegTurn());
    }

    void aJpegAboveThePictureLimitOpensShowsAndPrintsFromItsBytes()
    {
        // 20000 x 10001: 200.02 megapixels, more than is ever held in full.
        const std::vector<std::uint8_t> bytes = TwoToneGreyJpeg(20000, 10001);
        const QString path = home_->FilePath(QStringLiteral("huge.jpg"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        }
        CPaper* paper = View()->Paper(Slot::Left);
        Drop(paper, {path});
        QTRY_VERIFY_WITH_TIMEOUT(Doc().IsLoaded(Slot::Left), 60000);
        const CRasterImage& slot = Doc().leftImage;
        QVERIFY(slot.HasJpegData());
        QCOMPARE(slot.GetFileWidth() * slot.GetFileHeight(), 20000 * 10001);
        QVERIFY(!paper->Render().isNull());

        // The window's print path into a PDF: the picture goes as its bytes.
        const int format = View()->State().leftFormat;
        QVERIFY(format >= 0);
        CPrintPlan plan(Doc().formats, Doc().leftImage, Doc().rightImage, nullptr);
        PrintJobRequest request;
        request.printMode = PrintMode::Left;
        request.leftFormat = format;
        request.checkForPrintableArea = 0;
        QVERIFY(plan.Prepare(request, false));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = home_->FilePath(QStringLiteral("huge.pdf"));
        printer.setOutputFileName(pdf);
        QCOMPARE(PrintPlanOn(printer, plan).pages, 1);
        const QString folder = home_->FilePath(QStringLiteral("images"));
        QDir().mkpath(folder);
        QProcess::execute(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, folder + QStringLiteral("/x")});
        QFile out(folder + QStringLiteral("/x-000.jpg")), in(path);
        QVERIFY(out.open(QIODevice::ReadOnly) && in.open(QIODevice::ReadOnly));
        QVERIFY(out.readAll() == in.readAll());
    }
};

QTEST_MAIN(ReducedSlotsTest)
#include "ReducedSlotsTest.moc"

// Print jobs through Qt: to PDF files (rasterised and measured at pixel
// level) and to the CUPS test photo queue (job names and options read back
// from the held jobs, their spooled pages rasterised), the preview, the
// print dialog, "Print Setup..." and the printer's lists for the editor.
#include "settings/Prompter.h"
#include "print/CupsPrinter.h"
#include "print/PrinterOptions.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/PrintJobRunner.h"
#include "print/ui/PrintSetupDialog.h"
#include "print/ui/PrinterChoiceCombo.h"
#include "print/ui/QtPrinterSettings.h"

#include "CupsTestQueue.h"
#include "PrintTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace printtest;

namespace {

// The job's request as the view would hand it over.
PrintJobRequest Request(int mode, int singlePage, int left, int right, const std::string& leftName,
                        const std::string& rightName) {
    PrintJobRequest r;
    r.printMode = PrintModeFromNumber(mode);
    r.singlePage = singlePage;
    r.leftFormat = left;
    r.rightFormat = right;
    r.leftName = leftName;
    r.rightName = rightName;
    r.drawCutLines = 0;
    r.printBorder = 0;
    return r;
}

// Unique per test process: jobs of parallel tests never share a name.
std::string Unique(const char* stem) { return std::string(stem) + "-" + std::to_string(QCoreApplication::applicationPid()) + ".png"; }

}  // namespace

class PrintJobTest : public QObject {
    Q_OBJECT

    CoverFormatList formats_ = TestFormats();
    CRasterImage left_ = SolidImage(300, 300, Rgb{128, 128, 128});
    CRasterImage right_ = SolidImage(375, 295, Rgb{200, 200, 200});
    CountingPrompter prompter_;
    QTemporaryDir dir_;

    PrintJobSource Source(const PrintJobRequest& request) {
        PrintJobSource s;
        s.formats = &formats_;
        s.leftImage = &left_;
        s.rightImage = &right_;
        s.prompter = &prompter_;
        s.readControls = [request] { return request; };
        return s;
    }

    bool HaveQueue() { return cupstest::QueueExists(cupstest::kPhotoQueue); }

private slots:
    void init() {
        AppPrinterSettings().Clear();
        prompter_ = CountingPrompter{};
    }

    void printLeftPutsACdFrontOnA4WhereThePlacementSays() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("left.pdf");
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(0, 0, kCdFront, kCdBack, "front.png", "back.png")), dialogs, false);
        QCOMPARE(out.pages, 1);
        QVERIFY(!out.refused && !out.cancelled);
        QCOMPARE(dialogs.firstPage, 1);
        QCOMPARE(dialogs.lastPage, 1);
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Title"), QString("Korvane - front.png"));
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Pages"), QString("1"));
        const QImage page = RasterisePdf(dialogs.pdfPath, 1, 600);
        // 120 mm at 600 dpi is 2834 pixels; centred on 4961 and standing on
        // the middle line (3508).
        QCOMPARE(GreyBounds(page, 128), QRect(1063, 674, 2834, 2834));
        QCOMPARE(GreyBounds(page, 200), QRect());
    }

    void printRightPutsTheRightCoverInTheLowerHalfOnPageTwo() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("right.pdf");
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(1, 0, kCdFront, kCdBack, "front.png", "back.png")), dialogs, false);
        QCOMPARE(out.pages, 1);
        QCOMPARE(dialogs.firstPage, 2);
        QCOMPARE(dialogs.lastPage, 2);
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Title"), QString("Korvane - back.png"));
        const QImage page = RasterisePdf(dialogs.pdfPath, 1, 600);
        // 150 x 118 mm: 3543 x 2787 pixels, centred in the lower half.
        QVERIFY2(Near(GreyBounds(page, 200), QRect((4961 - 3543) / 2, 3508 + (3508 - 2787) / 2, 3543, 2787)),
                 qPrintable(Describe(GreyBounds(page, 200))));
        QCOMPARE(GreyBounds(page, 128), QRect());
    }

    void singlePagePrintsBothCoversOnOnePage() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("single.pdf");
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(0, 1, kCdFront, kCdFront, "a.png", "b.png")), dialogs, false);
        QCOMPARE(out.pages, 1);
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Pages"), QString("1"));
        const QImage page = RasterisePdf(dialogs.pdfPath, 1, 600);
        // The right cover's frame, one pixel outside it, covers the left
        // cover's last row.
        QVERIFY2(Near(GreyBounds(page, 128), QRect(1063, 674, 2834, 2833)), qPrintable(Describe(GreyBounds(page, 128))));
        // A right CD front on a single page hangs from the middle line.
        QVERIFY2(Near(GreyBounds(page, 200), QRect(1063, 3508, 2834, 2834)), qPrintable(Describe(GreyBounds(page, 200))));
    }

    void printBothGivesTwoPagesNamedAfterTheRightFile() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("both.pdf");
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(2, 0, kCdFront, kCdBack, "front.png", "back.png")), dialogs, false);
        QCOMPARE(out.pages, 2);
        QCOMPARE(out.jobName, std::string("Korvane - back.png"));
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Title"), QString("Korvane - back.png"));
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Pages"), QString("2"));
        QCOMPARE(GreyBounds(RasterisePdf(dialogs.pdfPath, 2, 150), 200).isEmpty(), false);
    }

    void maskedJobNameReplacesTheFileName() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("mask.pdf");
        PrintJobRequest r = Request(0, 0, kCdFront, kCdBack, "front.png", "back.png");
        r.maskPrintJobName = 1;
        RunCoverPrintJob(Source(r), dialogs, false);
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Title"), QString("Microsoft Word - Document1"));
    }

    void cancellingTheDialogPrintsNothingAndSaysNothing() {
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::Cancel;
        dialogs.pdfPath = dir_.filePath("never.pdf");
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(0, 0, kCdFront, kCdBack, "front.png", "")), dialogs, false);
        QVERIFY(out.cancelled);
        QCOMPARE(out.pages, 0);
        QCOMPARE(dialogs.couldNotStart, 0);
        QCOMPARE(prompter_.errors + prompter_.informations, 0);
        QVERIFY(!QFile::exists(dialogs.pdfPath));
    }

    void aSlotWithoutFormatIsRefusedBeforeTheDialog() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("noformat.pdf");
        const PrintJobOutcome out = RunCoverPrintJob(Source(Request(0, 0, -1, kCdBack, "f.png", "")), dialogs, false);
        QVERIFY(out.cancelled);
        QCOMPARE(dialogs.printDialogs, 0);
        QCOMPARE(prompter_.errors, 1);
    }

    void aPrinterThatRefusesTheJobGetsCouldNotStart() {
        if (!cupstest::QueueExists(cupstest::kRejectingQueue))
            QSKIP(cupstest::kMissingQueueReason);
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::ToQueue;
        dialogs.queue = cupstest::kRejectingQueue;
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(0, 0, kCdFront, kCdBack, "front.png", "")), dialogs, false);
        QVERIFY2(out.refused, qPrintable(QString("pages %1 cancelled %2").arg(out.pages).arg(out.cancelled)));
        QCOMPARE(out.pages, 0);
        QCOMPARE(out.jobId, 0);
        QCOMPARE(dialogs.couldNotStart, 1);
    }

    void queueJobCarriesItsNameAndThePrintersPage() {
        if (!HaveQueue())
            QSKIP(cupstest::kMissingQueueReason);
        const std::string right = Unique("back");
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::ToQueue;
        dialogs.queue = cupstest::kPhotoQueue;
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(2, 0, kCdFront, kCdBack, "front.png", right)), dialogs, false);
        QCOMPARE(out.pages, 2);
        QVERIFY(!out.refused);
        const std::string name = "Korvane - " + right;
        const std::vector<int> jobs = cupstest::JobsNamed(cupstest::kPhotoQueue, name);
        QCOMPARE(jobs.size(), size_t(1));
        QCOMPARE(out.jobId, jobs[0]);
        const auto attrs = cupstest::JobAttributes(jobs[0]);
        const std::string spooled = cupstest::SpoolFile(jobs[0]);
        const QString pdf = dir_.filePath("spooled.pdf");
        const bool copied = !spooled.empty() && QFile::copy(QString::fromStdString(spooled), pdf);
        cupstest::CancelJob(cupstest::kPhotoQueue, jobs[0]);
        QCOMPARE(attrs.at("job-name"), name);
        QCOMPARE(attrs.at("media"), std::string("A4"));
        QVERIFY(attrs.find("InputSlot") == attrs.end());  // the format asks for none
        if (copied) {
            // The printer's own 600 dpi; the cover inside its printable area.
            QCOMPARE(PdfInfo(pdf, "Pages"), QString("2"));
            QCOMPARE(GreyBounds(RasterisePdf(pdf, 1, 600), 128), QRect(1063, 674, 2834, 2834));
        }
    }

    void discTrayFormatSetsTheTrayAndItStaysForTheNextJob() {
        if (!HaveQueue())
            QSKIP(cupstest::kMissingQueueReason);
        AppPrinterSettings().SelectPrinter(cupstest::kPhotoQueue);
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::ToQueue;
        dialogs.queue = cupstest::kPhotoQueue;
        const std::string tray = Unique("tray");
        RunCoverPrintJob(Source(Request(0, 0, kDiscTray, kCdBack, tray, "")), dialogs, false);
        std::vector<int> jobs = cupstest::JobsNamed(cupstest::kPhotoQueue, "Korvane - " + tray);
        QCOMPARE(jobs.size(), size_t(1));
        auto attrs = cupstest::JobAttributes(jobs[0]);
        cupstest::CancelJob(cupstest::kPhotoQueue, jobs[0]);
        QCOMPARE(attrs["InputSlot"], std::string("CDTray"));
        QCOMPARE(attrs["MediaType"], std::string("PrintableDisc"));
        QCOMPARE(attrs["media"], std::string("CDRTray"));

        // A CD front without settings of its own: still the disc tray.
        const std::string next = Unique("next");
        RunCoverPrintJob(Source(Request(0, 0, kCdFront, kCdBack, next, "")), dialogs, false);
        jobs = cupstest::JobsNamed(cupstest::kPhotoQueue, "Korvane - " + next);
        QCOMPARE(jobs.size(), size_t(1));
        attrs = cupstest::JobAttributes(jobs[0]);
        cupstest::CancelJob(cupstest::kPhotoQueue, jobs[0]);
        QCOMPARE(attrs["InputSlot"], std::string("CDTray"));
    }

    void mediaTypeAloneLeavesThePaperSource() {
        if (!HaveQueue())
            QSKIP(cupstest::kMissingQueueReason);
        AppPrinterSettings().SelectPrinter(cupstest::kPhotoQueue);
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::ToQueue;
        dialogs.queue = cupstest::kPhotoQueue;
        const std::string name = Unique("glossy");
        // Printing only the right cover: the left slot's format still decides.
        RunCoverPrintJob(Source(Request(1, 0, kGlossyPhoto, kCdBack, "", name)), dialogs, false);
        const std::vector<int> jobs = cupstest::JobsNamed(cupstest::kPhotoQueue, "Korvane - " + name);
        QCOMPARE(jobs.size(), size_t(1));
        const auto attrs = cupstest::JobAttributes(jobs[0]);
        cupstest::CancelJob(cupstest::kPhotoQueue, jobs[0]);
        QCOMPARE(attrs.at("MediaType"), std::string("Glossy"));
        QVERIFY(attrs.find("InputSlot") == attrs.end());
    }

    void thePrintDialogOpensAndKeepsTheFormatsTray() {
        if (!HaveQueue())
            QSKIP(cupstest::kMissingQueueReason);
        AppPrinterSettings().SelectPrinter(cupstest::kPhotoQueue);
        QWidget parent;
        CQtPrintDialogs dialogs(&parent);
        bool sawDialog = false;
        QString shownPrinter;
        QTimer::singleShot(200, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            sawDialog = true;
            shownPrinter = dialog->printer()->printerName();
            dialog->accept();
        });
        const std::string name = Unique("dialog");
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(0, 0, kDiscTray, kCdBack, name, "")), dialogs, false);
        QVERIFY(sawDialog);
        QCOMPARE(shownPrinter, QString(cupstest::kPhotoQueue));
        QCOMPARE(out.pages, 1);
        const std::vector<int> jobs = cupstest::JobsNamed(cupstest::kPhotoQueue, "Korvane - " + name);
        QCOMPARE(jobs.size(), size_t(1));
        const auto attrs = cupstest::JobAttributes(jobs[0]);
        cupstest::CancelJob(cupstest::kPhotoQueue, jobs[0]);
        // Qt's dialog replaces the job options; the tray's come back.
        QCOMPARE(attrs.at("InputSlot"), std::string("CDTray"));
        QCOMPARE(attrs.at("MediaType"), std::string("PrintableDisc"));
    }

    void thePreviewShowsTheSamePagesWithRedMarks() {
        QWidget parent;
        CQtPrintDialogs dialogs(&parent);
        int pageCount = -1;
        QImage shot;
        QTimer::singleShot(300, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto* widget = dialog->findChild<QPrintPreviewWidget*>();
            if (widget) {
                pageCount = widget->pageCount();
                widget->setViewMode(QPrintPreviewWidget::SinglePageView);
                widget->fitInView();
                shot = widget->grab().toImage();
            }
            dialog->reject();
        });
        const PrintJobOutcome out =
            RunCoverPrintJob(Source(Request(2, 0, kCdFront, kCdBack, "front.png", "back.png")), dialogs, true);
        QCOMPARE(pageCount, 2);
        QCOMPARE(out.pages, 2);
        QVERIFY(!shot.isNull());
        if (!qEnvironmentVariableIsEmpty("KORVANE_SHOT"))
            shot.save(qEnvironmentVariable("KORVANE_SHOT"));
        QVERIFY(CountRed(shot) > 20);
    }

    void previewOfTheRightCoverShowsItOnBothPages() {
        QWidget parent;
        CQtPrintDialogs dialogs(&parent);
        int pageCount = -1;
        QTimer::singleShot(300, [&] {
            if (auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                if (auto* widget = dialog->findChild<QPrintPreviewWidget*>())
                    pageCount = widget->pageCount();
                dialog->reject();
            }
        });
        RunCoverPrintJob(Source(Request(1, 0, kCdFront, kCdBack, "front.png", "back.png")), dialogs, true);
        QCOMPARE(pageCount, 2);
    }

    void printSetupChoosesThePrinterAndSource() {
        if (!HaveQueue())
            QSKIP(cupstest::kMissingQueueReason);
        CPrinterSettings settings;
        CPrintSetupDialog dialog(settings);
        dialog.PrinterCombo()->setCurrentText(cupstest::kPhotoQueue);
        QCOMPARE(dialog.SourceCombo()->count(), 4);
        QCOMPARE(dialog.SourceCombo()->currentData().toInt(), kPrinterDefaultChoice);
        QCOMPARE(dialog.PaperCombo()->currentData().toString(), QString("A4"));
        QVERIFY(SelectPrinterChoice(dialog.SourceCombo(), 257));
        dialog.PaperCombo()->setCurrentIndex(dialog.PaperCombo()->findData(QString("Letter")));
        dialog.Apply(settings);
        QCOMPARE(settings.PrinterName(), std::string(cupstest::kPhotoQueue));
        QCOMPARE(settings.JobOption("InputSlot"), std::string("Rear"));
        QCOMPARE(settings.PaperKeyword(), std::string("Letter"));

        // Opened again it shows what was set; "Use printer default" clears it.
        CPrintSetupDialog again(settings);
        QCOMPARE(again.SourceCombo()->currentData().toInt(), 257);
        QCOMPARE(again.PaperCombo()->currentData().toString(), QString("Letter"));
        again.SourceCombo()->setCurrentIndex(again.SourceCombo()->count() - 1);
        again.Apply(settings);
        QCOMPARE(settings.JobOption("InputSlot"), std::string());
    }

    void theEditorsListsComeFromThePrintersDriver() {
        if (!HaveQueue())
            QSKIP(cupstest::kMissingQueueReason);
        AppPrinterSettings().SelectPrinter(cupstest::kPhotoQueue);
        QComboBox media, source;
        FillMediaTypeCombo(&media);
        FillPaperSourceCombo(&source);
        QCOMPARE(media.count(), 4);
        QCOMPARE(media.itemText(1), QString("Glossy Photo Paper"));
        QCOMPARE(media.itemData(1).toInt(), 3);
        QCOMPARE(media.itemData(2).toInt(), 258);
        QCOMPARE(media.itemText(3), QString("Use printer default"));
        QCOMPARE(media.currentIndex(), 3);
        QCOMPARE(source.itemText(0), QString("Automatic"));
        QCOMPARE(source.itemData(0).toInt(), 7);
        QCOMPARE(source.currentData().toInt(), -1);

        // No printer: the lists stay empty, without even the default entry.
        AppPrinterSettings().SelectPrinter("KorvaneNoSuchQueue");
        FillMediaTypeCombo(&media);
        QCOMPARE(media.count(), 0);
    }
};

QTEST_MAIN(PrintJobTest)
#include "PrintJobTest.moc"

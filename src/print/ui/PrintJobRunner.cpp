#include "print/ui/PrintJobRunner.h"

#include "image/ui/ScreenPixels.h"
#include "print/CupsPrinter.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/QtPrinterSettings.h"
#include "print/ui/QtPrinterSink.h"

#include <QPrintEngine>
#include <QPrinter>

namespace {

std::string ResolvedPrinter(const CPrinterSettings& settings) {
    return settings.PrinterName().empty() ? CupsDefaultPrinter() : settings.PrinterName();
}

bool WritesPdf(const QPrinter& printer) { return printer.outputFormat() == QPrinter::PdfFormat; }

// After the print dialog: keep what it chose, and give a printer chosen there
// the format's settings too.
void TakeDialogChoice(QPrinter& printer, CPrinterSettings& settings, const PrinterRequest& request) {
    const std::string before = ResolvedPrinter(settings);
    MergeAfterPrintDialog(settings, printer);
    if (WritesPdf(printer) || printer.printerName().toStdString() == before)
        return;
    PrinterCapabilities caps;
    ReadPrinterCapabilities(settings.PrinterName(), caps);
    if (request.any())
        ApplyPrinterRequest(settings, caps, request.discTray, request.mediaType, request.paperSource);
    ApplyToPrinter(settings, caps, printer);
}

}  // namespace

void SetUpPrinter(QPrinter& printer, CPrinterSettings& settings, const PrinterRequest& request) {
    PrinterCapabilities caps;
    ReadPrinterCapabilities(settings.PrinterName(), caps);
    if (request.any())
        ApplyPrinterRequest(settings, caps, request.discTray, request.mediaType, request.paperSource);
    ApplyToPrinter(settings, caps, printer);
}

PrintJobOutcome PrintPlanOn(QPrinter& printer, CPrintPlan& plan, const PageMetrics* metrics) {
    PrintJobOutcome outcome;
    outcome.jobName = plan.JobName();
    CQtPrinterSink sink = metrics ? CQtPrinterSink(printer, *metrics) : CQtPrinterSink(printer);
    outcome.pages = RunPrintJob(plan, sink, false);
    outcome.refused = sink.Refused();
    outcome.jobId = sink.JobId();
    return outcome;
}

PrintJobOutcome RunCoverPrintJob(const PrintJobSource& source, IPrintDialogs& dialogs, bool preview) {
    PrintJobOutcome outcome;
    CPrintPlan plan(*source.formats, *source.leftImage, *source.rightImage, source.prompter);
    if (!plan.Prepare(source.readControls(), preview)) {
        outcome.cancelled = true;
        return outcome;
    }
    outcome.jobName = plan.JobName();
    CPrinterSettings& settings = AppPrinterSettings();
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, settings, plan.Printer());
    printer.setDocName(QString::fromStdString(plan.JobName()));

    if (preview) {
        // The preview draws onto its own engine; its Print button prints on
        // the printer's real one, without the preview's marks.
        QPrintEngine* realEngine = printer.printEngine();
        dialogs.Preview(printer, [&](QPrinter& target) {
            const bool forPreview = target.printEngine() != realEngine;
            if (forPreview) {
                plan.UpdateRequest(source.readControls());
                CQtPrinterSink sink(target);
                sink.SetPreview(true);
                outcome.pages = RunPrintJob(plan, sink, true);
                return;
            }
            CPrintPlan printPlan(*source.formats, *source.leftImage, *source.rightImage, source.prompter);
            if (!printPlan.Prepare(source.readControls(), false))
                return;
            MergeAfterPrintDialog(settings, target);
            printPlan.UpdateRequest(source.readControls());
            const PrintJobOutcome printed = PrintPlanOn(target, printPlan);
            if (printed.refused)
                dialogs.CouldNotStart();
        });
        return outcome;
    }

    const PageRange range = plan.Range();
    if (!dialogs.PrintDialog(printer, range.first, range.last, false)) {
        outcome.cancelled = true;
        return outcome;
    }
    TakeDialogChoice(printer, settings, plan.Printer());
    printer.setDocName(QString::fromStdString(plan.JobName()));
    plan.UpdateRequest(source.readControls());
    const PrintJobOutcome printed = PrintPlanOn(printer, plan);
    outcome.pages = printed.pages;
    outcome.refused = printed.refused;
    outcome.jobId = printed.jobId;
    if (outcome.refused)
        dialogs.CouldNotStart();
    return outcome;
}

bool RunPrintSetup(IPrintDialogs& dialogs) { return dialogs.PrintSetup(AppPrinterSettings()); }

BatchPrintOutcome RunBatchPrintJob(const BatchPrintSource& source, IPrintDialogs& dialogs) {
    BatchPrintOutcome outcome;
    outcome.leftFormat = source.job.format;
    BatchJob job = source.job;
    const int count = static_cast<int>(job.files.size());
    int format = -1;
    if (!dialogs.BatchDialog(count, job.format, *source.formats, format)) {
        outcome.cancelled = true;
        return outcome;
    }
    job.format = format;
    outcome.leftFormat = format;
    // The pages take JPEG data as it is; the slot is left holding the last
    // picture decoded as the window decodes its pictures.
    const QSize view = LargestScreenPixels();
    job.decodeForPrinting = 1;
    job.decodeViewWidth = view.width();
    job.decodeViewHeight = view.height();

    // A batch job takes the printer as it is set: no format's settings.
    CPrinterSettings& settings = AppPrinterSettings();
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, settings, PrinterRequest{});
    if (!dialogs.PrintDialog(printer, 1, std::max(1, count), true)) {
        outcome.cancelled = true;
        return outcome;
    }
    TakeDialogChoice(printer, settings, PrinterRequest{});

    CQtPrinterSink sink(printer);
    sink.SetProgress([&](int pages) { return dialogs.BatchProgress(pages, count); });
    dialogs.BatchProgress(0, count);
    outcome.result = BatchPrint(job, *source.formats, *source.leftImage, source.recognition, sink, source.prompter);
    dialogs.BatchDone();
    outcome.leftFormat = outcome.result.lastFormat;
    outcome.refused = sink.Refused();
    if (outcome.refused)
        dialogs.CouldNotStart();
    return outcome;
}

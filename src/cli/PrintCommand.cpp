// korvane-cli print: the program's print job without dialogs, for scripts.
// The pages go to a PDF file (--pdf, its page the sheet of the paper
// options) or to a CUPS queue (--printer, with the printer's own paper,
// margins and resolution, and the paper source and media type the left
// format asks for). --batch prints many files, one left cover per page.
#include "app/FormatRecognition.h"
#include "app/SlotFiles.h"
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "cli/QtPrintOutput.h"
#include "print/BatchPrint.h"
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverStrips.h"
#include "print/CupsPrinter.h"
#include "print/PrintPlan.h"
#include "print/PrinterOptions.h"
#include "print/ui/PrintJobRunner.h"
#include "print/ui/QtPrinterSink.h"

#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

int Fail(int status, const std::string& message) { return CliFail(status, message); }

int Print(CCliArgs& args) {
    const bool batch = args.TakeFlag("batch");
    const std::vector<std::string> batchFiles = args.TakeOperands();
    const bool paperOptionGiven = HasPaperOption(args);

    std::string formatsPath, leftPath, rightPath, leftText, rightText, pdfPath, printerName, jobName;
    const bool hasFormats = args.TakeValue("formats", formatsPath);
    const bool hasLeftImage = args.TakeValue("left", leftPath);
    const bool hasRightImage = args.TakeValue("right", rightPath);
    const bool hasLeftFormat = args.TakeValue("left-format", leftText);
    const bool hasRightFormat = args.TakeValue("right-format", rightText);
    const PrintMode printMode = TakePrintMode(args);
    const bool toPdf = args.TakeValue("pdf", pdfPath);
    const bool toPrinter = args.TakeValue("printer", printerName);
    const bool hasJobName = args.TakeValue("job-name", jobName);
    const bool singlePage = args.TakeFlag("single-page");
    const bool noCutLines = args.TakeFlag("no-cut-lines");
    const bool noBorder = args.TakeFlag("no-border");
    PictureFill fill;
    double bleedMm = 0;
    TakeFillOptions(args, fill, bleedMm);
    const PageMetrics page = TakePaperOptions(args);
    if (!hasFormats)
        args.SetError("--formats FILE is required");
    CheckPrintDestination(args, toPdf, toPrinter, pdfPath, paperOptionGiven);
    if (batch && batchFiles.empty())
        args.SetError("--batch needs at least one file");
    if (!batch && !batchFiles.empty())
        args.SetError("unexpected argument '" + batchFiles.front() + "' (files to print go after --batch)");
    if (batch && (hasLeftImage || hasRightImage))
        args.SetError("--batch prints its own files; --left and --right do not go with it");
    if (hasJobName && jobName.empty())
        args.SetError("--job-name needs a name");
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("print", error);
    CPdfOutput pdfOutput(pdfPath);
    if (toPdf && pdfOutput.DrawPath().empty())
        return Fail(1, "no room for a temporary file");

    CoverFormatList formats;
    if (!LoadFormatsFile(formatsPath, formats, error))
        return Fail(1, error);
    if (toPrinter && !CupsPrinterExists(printerName))
        return Fail(1, "no printer queue named '" + printerName + "'");

    // A PDF file is written by cairo alone; only a queue needs Qt's printer
    // (which asks the printing system for its printers when it is made).
    std::unique_ptr<QGuiApplication> app;
    std::unique_ptr<QPrinter> printer;
    if (toPrinter) {
        app = MakeCliApplication();
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    CPrinterSettings& settings = AppPrinterSettings();
    CCollectingPrompter prompter;
    std::unique_ptr<CQtPrinterSink> queueSink;
    std::unique_ptr<CCairoPdfSink> pdfSink;
    IPageSink* sink = nullptr;
    auto makeSink = [&] {
        if (toPdf) {
            pdfSink = std::make_unique<CCairoPdfSink>(pdfOutput.DrawPath(), page);
            if (hasJobName)
                pdfSink->SetTitle(jobName);
            sink = pdfSink.get();
        } else {
            queueSink = std::make_unique<CQtPrinterSink>(*printer);
            if (hasJobName)
                queueSink->SetJobName(jobName);
            sink = queueSink.get();
        }
    };
    auto refused = [&] { return pdfSink ? pdfSink->Failed() : queueSink->Refused(); };
    auto refusalReason = [&] { return pdfSink ? pdfSink->Error() : queueSink->RefusalReason(); };
    auto report = [&](int pages, const std::string& name) -> bool {
        for (const std::string& text : prompter.shown)
            std::fprintf(stderr, "korvane-cli: %s\n", text.c_str());
        if (toPdf && !pdfOutput.Deliver()) {
            std::fprintf(stderr, "korvane-cli: standard output took not all of the PDF\n");
            return false;
        }
        if (!toPdf)
            std::printf("request id is %s-%d (%d page(s), \"%s\")\n", printerName.c_str(), queueSink->JobId(), pages,
                        (hasJobName ? jobName : name).c_str());
        return true;
    };

    if (batch) {
        BatchJob job;
        job.files = batchFiles;
        job.drawCutLines = noCutLines ? 0 : 1;
        job.printBorder = noBorder ? 0 : 1;
        job.fill = fill;
        job.bleedMm = bleedMm;
        job.decodeForPrinting = 1;
        if (hasLeftFormat && (job.format = ResolveFormat(formats, leftText, error)) < 0)
            return CliUsageError("print", error);
        // A batch job takes the printer as it is: no format's settings.
        if (toPrinter) {
            settings.SelectPrinter(printerName);
            SetUpPrinter(*printer, settings, PrinterRequest{});
        }
        makeSink();
        CRasterImage leftImage;
        const BatchResult result =
            BatchPrint(job, formats, leftImage, BatchRecognitionFor(formats, 1, nullptr), *sink, &prompter);
        for (const std::string& text : prompter.errors)
            std::fprintf(stderr, "korvane-cli: %s\n", text.c_str());
        for (const std::string& text : result.skipped)
            std::fprintf(stderr, "korvane-cli: skipped %s\n", text.c_str());
        for (const std::string& text : result.partlyRead)
            std::fprintf(stderr, "korvane-cli: only partly read %s\n", text.c_str());
        if (!result.started || refused())
            return Fail(1, "could not start print job" + (refusalReason().empty() ? "" : ": " + refusalReason()));
        // No page means no PDF file and no job in the queue: nothing to name.
        if (result.pages == 0)
            return Fail(1, "none of the files could be printed; nothing was written");
        if (!report(result.pages, kBatchJobName))
            return 1;
        return 0;
    }

    // Every page goes through cairo (a PDF file, or a PDF for the queue),
    // which takes a JPEG's own data: such pictures are decoded only as far
    // as recognising them needs.
    CRasterImage leftImage, rightImage;
    leftImage.SetDecodeForPrinting(true);
    rightImage.SetDecodeForPrinting(true);
    PrintJobRequest request;
    request.printMode = printMode;
    request.singlePage = singlePage ? 1 : 0;
    request.drawCutLines = noCutLines ? 0 : 1;
    request.printBorder = noBorder ? 0 : 1;
    request.leftFill = request.rightFill = fill;
    request.bleedMm = bleedMm;
    if ((hasLeftFormat && (request.leftFormat = ResolveFormat(formats, leftText, error)) < 0) ||
        (hasRightFormat && (request.rightFormat = ResolveFormat(formats, rightText, error)) < 0))
        return CliUsageError("print", error);
    if ((hasLeftImage && !LoadSlotImage(leftPath, leftImage, error)) ||
        (hasRightImage && !LoadSlotImage(rightPath, rightImage, error)))
        return Fail(1, error);
    // A slot without a format is recognised from its image, asking nothing.
    if (!hasLeftFormat && leftImage.IsValid() && formats.count() > 0)
        request.leftFormat = DetectFormat(leftImage, formats, 1, nullptr);
    if (!hasRightFormat && rightImage.IsValid() && formats.count() > 0)
        request.rightFormat = DetectFormat(rightImage, formats, 1, nullptr);
    request.leftName = FileNameOf(leftPath);
    request.rightName = FileNameOf(rightPath);
    for (auto [image, format] : {std::pair{&leftImage, request.leftFormat}, std::pair{&rightImage, request.rightFormat}}) {
        const int f = format;
        if (image->IsValid() && f >= 0 && f < formats.count() && !FullPixelsWhereNeeded(*image, formats.at(f).type, true))
            return Fail(1, image->GetLastError());
    }

    CPrintPlan plan(formats, leftImage, rightImage, &prompter);
    if (!plan.Prepare(request, false))
        return Fail(1, plan.RefusalText());
    if (toPrinter) {
        settings.SelectPrinter(printerName);
        SetUpPrinter(*printer, settings, plan.Printer());
    }
    makeSink();
    const int pages = RunPrintJob(plan, *sink, false);
    if (refused() || pages != plan.Range().count())
        return Fail(1, "could not start print job" + (refusalReason().empty() ? "" : ": " + refusalReason()));
    if (!report(pages, plan.JobName()))
        return 1;
    return 0;
}

CliCommand reg({"print",
                "--formats FILE [--left IMG] [--left-format F] [--right IMG] [--right-format F] "
                "[--mode left|right|both] [--single-page] [--no-cut-lines] [--no-border] [--fit|--fill [--crop X,Y]] [--bleed MM] [--job-name NAME] "
                "[--batch FILE...] (--pdf OUT.pdf [PAPER OPTIONS] | --printer QUEUE)",
                "print covers into a PDF file or to a CUPS queue, as the program's print job does",
                WithPaperOptions(WithCoverJobOptions("print", {
                    {"job-name", "NAME", "the job's name (default: from the pictures' names)"},
                    {"batch", "", "print the FILEs given as arguments, one left cover per page"},
                    {"pdf", "OUT.pdf", "write the pages into a PDF file of the paper options' sheet; "
                                       "\"-\" is standard output"},
                    {"printer", "QUEUE", "print to a CUPS queue, on its own paper, margins and resolution"},
                })),
                {{"FILE...", "with --batch: the pictures to print"}},
                Print});

}  // namespace

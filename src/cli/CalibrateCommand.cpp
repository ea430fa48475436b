// korvane-cli calibrate: prints the calibration page through the same path
// as covers, moved by the formats file's CALIBRATEX / CALIBRATEY, into a PDF
// (the sheet of the paper options) or to a CUPS queue (its own paper).
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "cli/QtPrintOutput.h"
#include "print/CalibrationPage.h"
#include "print/CupsPrinter.h"
#include "print/ui/PrintJobRunner.h"
#include "print/ui/QtPrinterSink.h"
#include "settings/ProgramFolder.h"

#include <QPrinter>

#include <cstdio>
#include <memory>

namespace {

int Calibrate(CCliArgs& args) {
    const bool paperOptionGiven = HasPaperOption(args);
    std::string formatsPath, pdfPath, printerName;
    args.TakeValue("formats", formatsPath);
    const bool toPdf = args.TakeValue("pdf", pdfPath);
    const bool toPrinter = args.TakeValue("printer", printerName);
    const PageMetrics page = TakePaperOptions(args);
    CheckPrintDestination(args, toPdf, toPrinter, pdfPath, paperOptionGiven);
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("calibrate", error);
    CPdfOutput pdfOutput(pdfPath);
    if (toPdf && pdfOutput.DrawPath().empty())
        return CliFail(kCliFailed, "no room for a temporary file");

    if (formatsPath.empty())
        formatsPath = JoinPath(ProgramFolder(), "Korvane.dat");
    CoverFormatList formats;
    if (!LoadFormatsFile(formatsPath, formats, error))
        return CliFail(kCliFailed, error);
    if (toPrinter && !CupsPrinterExists(printerName))
        return CliFail(kCliFailed, "no printer queue named '" + printerName + "'");

    const auto app = MakeCliApplication();
    QPrinter printer(QPrinter::HighResolution);
    if (toPdf) {
        SetUpPdf(printer, pdfOutput.DrawPath(), page);
    } else {
        // The printer as it is set up: no format asks for a tray or media.
        CPrinterSettings& settings = AppPrinterSettings();
        settings.SelectPrinter(printerName);
        SetUpPrinter(printer, settings, PrinterRequest{});
    }
    CQtPrinterSink sink = toPdf ? CQtPrinterSink(printer, page) : CQtPrinterSink(printer);
    if (!PrintCalibrationPage(sink, Calibration{formats.calibrateX, formats.calibrateY}) || sink.Refused())
        return CliFail(kCliFailed, "could not start print job" + (sink.RefusalReason().empty() ? "" : ": " + sink.RefusalReason()));
    if (toPdf && !pdfOutput.Deliver())
        return CliFail(kCliFailed, "standard output took not all of the PDF");
    if (!toPdf)
        std::printf("request id is %s-%d (1 page(s), \"%s\")\n", printerName.c_str(), sink.JobId(), kCalibrationJobName);
    return 0;
}

CliCommand reg({"calibrate", "[--formats FILE] (--pdf OUT.pdf [PAPER OPTIONS] | --printer QUEUE)",
                "print the calibration page, moved by the formats file's CALIBRATEX and CALIBRATEY",
                WithPaperOptions({
                    {"formats", "FILE", "the cover formats file (default: the program's Korvane.dat)"},
                    {"pdf", "OUT.pdf", "write the page into a PDF file of the paper options' sheet; "
                                       "\"-\" is standard output"},
                    {"printer", "QUEUE", "print to a CUPS queue, on its own paper"},
                }),
                {},
                Calibrate});

}  // namespace

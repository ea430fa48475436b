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

constexpr const char* kUsage =
    "calibrate [--formats FILE] (--pdf OUT.pdf [--paper A4|Letter|WxH] [--dpi N] [--margins L,T,R,B] "
    "[--sheet W,H] [--printable X,Y,W,H] | --printer QUEUE)   print the calibration page with the "
    "file's CALIBRATEX / CALIBRATEY (default: the program's Korvane.dat)";

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "korvane-cli calibrate: %s\n", message.c_str());
    return status;
}

int Calibrate(const std::vector<std::string>& argv) {
    const bool paperOptionGiven = HasPaperOption(argv);
    CCliArgs args(argv);
    std::string formatsPath, pdfPath, printerName;
    args.TakeValue("--formats", formatsPath);
    const bool toPdf = args.TakeValue("--pdf", pdfPath);
    const bool toPrinter = args.TakeValue("--printer", printerName);
    const PageMetrics page = TakePaperOptions(args);
    CheckPrintDestination(args, toPdf, toPrinter, pdfPath, paperOptionGiven);
    std::string error;
    if (!args.Finish(error))
        return Fail(2, error);

    if (formatsPath.empty())
        formatsPath = JoinPath(ProgramFolder(), "Korvane.dat");
    CoverFormatList formats;
    if (!LoadFormatsFile(formatsPath, formats, error))
        return Fail(1, error);
    if (toPrinter && !CupsPrinterExists(printerName))
        return Fail(1, "no printer queue named '" + printerName + "'");

    const auto app = MakeCliApplication();
    QPrinter printer(QPrinter::HighResolution);
    if (toPdf) {
        SetUpPdf(printer, pdfPath, page);
    } else {
        // The printer as it is set up: no format asks for a tray or media.
        CPrinterSettings& settings = AppPrinterSettings();
        settings.SelectPrinter(printerName);
        SetUpPrinter(printer, settings, PrinterRequest{});
    }
    CQtPrinterSink sink = toPdf ? CQtPrinterSink(printer, page) : CQtPrinterSink(printer);
    if (!PrintCalibrationPage(sink, Calibration{formats.calibrateX, formats.calibrateY}) || sink.Refused())
        return Fail(1, "could not start print job" + (sink.RefusalReason().empty() ? "" : ": " + sink.RefusalReason()));
    if (toPdf)
        std::printf("%s\n", pdfPath.c_str());
    else
        std::printf("request id is %s-%d (1 page(s), \"%s\")\n", printerName.c_str(), sink.JobId(), kCalibrationJobName);
    return 0;
}

CliCommand reg("calibrate", kUsage, Calibrate);

}  // namespace

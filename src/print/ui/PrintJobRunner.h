#pragma once
// Print jobs through Qt and CUPS: "Print Left", "Print Right", "Print Both",
// the print preview, "Print Setup..." and batch jobs. The covers, formats and
// the view's state come in through small records; the dialogs through
// IPrintDialogs.
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "print/BatchPrint.h"
#include "print/PrintPlan.h"
#include "print/PrinterOptions.h"

#include <functional>
#include <string>
#include <vector>

class IPrintDialogs;
class IPrompter;
class QPrinter;

// What a job prints from.
struct PrintJobSource {
    const CoverFormatList* formats = nullptr;
    const CRasterImage* leftImage = nullptr;
    const CRasterImage* rightImage = nullptr;
    IPrompter* prompter = nullptr;  // may be null
    // "Read the controls": the view's state as a job request, asked at
    // every stage.
    std::function<PrintJobRequest()> readControls;
};

struct PrintJobOutcome {
    bool cancelled = false;  // a dialog was cancelled or the plan refused the job
    bool refused = false;    // the printer refused the job ("Could not start print job.")
    int pages = 0;           // pages printed (or shown by the preview)
    int jobId = 0;           // the queue's id of the job sent, 0 for a file or none
    std::string jobName;
};

// Prints (or previews) the covers the request asks for: the left format's
// printer settings, the print dialog (or preview), then the pages.
PrintJobOutcome RunCoverPrintJob(const PrintJobSource& source, IPrintDialogs& dialogs, bool preview);

// "Print Setup...": chooses the printer for later jobs.
bool RunPrintSetup(IPrintDialogs& dialogs);

// A batch job from the view: the batch dialog, the print dialog, one job.
struct BatchPrintSource {
    const CoverFormatList* formats = nullptr;
    CRasterImage* leftImage = nullptr;  // holds the last file loaded afterwards
    IPrompter* prompter = nullptr;
    BatchRecognition recognition;
    BatchJob job;              // files and flags; job.format is the proposed format
};

struct BatchPrintOutcome {
    bool cancelled = false;    // the batch dialog or the print dialog was cancelled
    bool refused = false;
    int leftFormat = -1;       // the view's left format afterwards
    BatchResult result;
};

BatchPrintOutcome RunBatchPrintJob(const BatchPrintSource& source, IPrintDialogs& dialogs);

// Without dialogs (scripts): a QPrinter set up for the program's printer
// settings and a format's printer request; the caller may then point it at
// a PDF file instead.
void SetUpPrinter(QPrinter& printer, CPrinterSettings& settings, const PrinterRequest& request);
// Draws a prepared plan's pages onto the printer, as a job. The metrics are
// the printer's own unless given.
PrintJobOutcome PrintPlanOn(QPrinter& printer, CPrintPlan& plan, const PageMetrics* metrics = nullptr);

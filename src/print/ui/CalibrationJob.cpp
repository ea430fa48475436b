#include "print/ui/CalibrationJob.h"

#include "print/PrinterOptions.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/PrintJobRunner.h"
#include "print/ui/QtPrinterSettings.h"
#include "print/ui/QtPrinterSink.h"

#include <QPrinter>

bool RunCalibrationPrintJob(IPrintDialogs& dialogs, QPrinter& printer, Calibration calibration, bool askPrinter) {
    CPrinterSettings& settings = AppPrinterSettings();
    if (askPrinter) {
        // The printer as it is set up: no format asks for a tray or media.
        SetUpPrinter(printer, settings, PrinterRequest{});
        if (!dialogs.PrintDialog(printer, 1, 1, false))
            return false;
        MergeAfterPrintDialog(settings, printer);
    }
    printer.setDocName(QString::fromUtf8(kCalibrationJobName));
    CQtPrinterSink sink(printer);
    const bool printed = PrintCalibrationPage(sink, calibration);
    if (!printed || sink.Refused()) {
        dialogs.CouldNotStart();
        return false;
    }
    return true;
}

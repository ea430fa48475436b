#pragma once
// The program's printer settings (CPrinterSettings) carried onto a QPrinter,
// and the page metrics a QPrinter's page gives the layout.
//
// Qt has no call for a paper source or media type. Its CUPS print engine
// passes a list of extra job options (name, value, name, value...) to CUPS
// with the job, kept in an engine property that Qt's own print dialog fills;
// the format's InputSlot / MediaType ride along in that list.
#include "print/PageMetrics.h"
#include "print/PrinterOptions.h"

#include <QStringList>

#include <string>
#include <utility>
#include <vector>

class QPrinter;

// The engine's list of extra CUPS job options.
QStringList CupsJobOptions(const QPrinter& printer);
void SetCupsJobOptions(QPrinter& printer, const QStringList& options);

// The options a job for this printer goes to CUPS with: its paper, copies,
// collation, duplex and orientation as the print dialog set them, then the
// extra job options.
std::vector<std::pair<std::string, std::string>> CupsSubmitOptions(const QPrinter& printer);

// Points the printer at the settings' queue (the system's default queue when
// none is chosen and one exists) with its paper, the driver's resolution and
// the settings' job options. A printer writing a PDF file is left writing it.
void ApplyToPrinter(const CPrinterSettings& settings, const PrinterCapabilities& caps, QPrinter& printer);

// After Qt's print dialog, which replaces the job options with its own: the
// dialog's options are kept, and the settings' options the dialog did not
// set are added again. A paper source or media type chosen in the dialog
// stays in the settings for later jobs.
void MergeAfterPrintDialog(CPrinterSettings& settings, QPrinter& printer);

// The page as the layout sees it, in device pixels at the printer's
// resolution: the sheet, the printable area within it and its offsets.
// The sheet's size comes from its size in millimetres (rounded to pixels).
PageMetrics PrinterPageMetrics(const QPrinter& printer);
// The same for a sheet of widthMm x heightMm with margins in millimetres.
PageMetrics SheetPageMetrics(double widthMm, double heightMm, double leftMm, double topMm,
                             double rightMm, double bottomMm, int dpi);

#pragma once
// "Print Calibration Page...": the calibration page printed through the
// print dialog and the same printer path as covers.
#include "print/CalibrationPage.h"

class IPrintDialogs;
class QPrinter;

// Prints the page on `printer`: first through the print dialog when
// askPrinter is set (false when it is cancelled), else straight to the
// printer chosen before (the check after calibrating). A printer that
// refuses the job gets "Could not start print job." and false.
bool RunCalibrationPrintJob(IPrintDialogs& dialogs, QPrinter& printer, Calibration calibration, bool askPrinter);

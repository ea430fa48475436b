// The main view's calibration command: print the calibration page, take
// what the user measured, save CALIBRATEX / CALIBRATEY into Korvane.dat and
// print the page again to check.
#include "app/KorvaneDoc.h"
#include "app/ui/TheView.h"
#include "print/ui/CalibrationDialog.h"
#include "print/ui/CalibrationJob.h"
#include "print/ui/PrintDialogs.h"
#include "settings/LanguageTable.h"

#include <QPrinter>

namespace {

std::string NotSavedText(const std::string& reason) {
    std::string text = Language().GetText(CalibrationText::NotSaved);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, reason);
    return text;
}

}  // namespace

void CTheView::RunCalibration()
{
    CoverFormatList& formats = doc_.formats;
    const Calibration printedWith{formats.calibrateX, formats.calibrateY};
    CQtPrintDialogs dialogs(this);
    QPrinter printer(QPrinter::HighResolution);
    if (!RunCalibrationPrintJob(dialogs, printer, printedWith, true))
        return;

    CCalibrationDialog dialog(printedWith, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Calibration chosen = dialog.Result();
    formats.calibrateX = chosen.x;
    formats.calibrateY = chosen.y;
    std::string error;
    if (!formats.save(&error)) {
        // Nothing half-done: the covers keep printing as the file says.
        formats.calibrateX = printedWith.x;
        formats.calibrateY = printedWith.y;
        Prompter().Error(NotSavedText(error));
        return;
    }
    if (dialog.Reprint())
        RunCalibrationPrintJob(dialogs, printer, chosen, false);
}

#include "app/ui/FormatCommands.h"

#include "app/ViewState.h"
#include "app/ui/FormatEditDialog.h"
#include "formats/ui/TextEditorLauncher.h"
#include "print/ui/CalibrationDialog.h"
#include "print/ui/CalibrationJob.h"
#include "print/ui/PrintDialogs.h"
#include "settings/LanguageTable.h"
#include "settings/ProgramFolder.h"
#include "settings/Prompter.h"

#include <QPrinter>

namespace {

std::string FormatsFilePath(const CoverFormatList& formats)
{
    return formats.filePath.empty() ? JoinPath(ProgramFolder(), "Korvane.dat") : formats.filePath;
}

std::string NotSavedText(const std::string& reason)
{
    std::string text = Language().GetText(CalibrationText::NotSaved);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, reason);
    return text;
}

}  // namespace

void OpenFormatsFileInTextEditor(const CoverFormatList& formats, QWidget* parent)
{
    OpenInTextEditor(FormatsFilePath(formats), EditorEnvironment::Process(), parent);
}

bool RunFormatEditor(CoverFormatList& formats, const CRasterImage* leftImage, ViewState& state, QWidget* parent)
{
    // A formats file missing at start is created by the editor's OK.
    if (formats.filePath.empty())
        formats.filePath = FormatsFilePath(formats);
    CFormatEditDialog dialog(formats, leftImage, state.leftFormat, CFormatEditDialog::PrinterLists::Read(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Indices may have moved: selections past the end are dropped.
    const int count = formats.count();
    if (state.leftFormat >= count)
        state.leftFormat = -1;
    if (state.rightFormat >= count)
        state.rightFormat = -1;
    return true;
}

void RunPrinterCalibration(CoverFormatList& formats, IPrompter& prompter, QWidget* parent)
{
    const Calibration printedWith{formats.calibrateX, formats.calibrateY};
    CQtPrintDialogs dialogs(parent);
    QPrinter printer(QPrinter::HighResolution);
    if (!RunCalibrationPrintJob(dialogs, printer, printedWith, true))
        return;

    CCalibrationDialog dialog(printedWith, parent);
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
        prompter.Error(NotSavedText(error));
        return;
    }
    if (dialog.Reprint())
        RunCalibrationPrintJob(dialogs, printer, chosen, false);
}

// The main view's format commands: the format editor and the formats file
// in a text editor.
#include "app/ui/TheView.h"

#include "app/KorvaneDoc.h"
#include "app/ui/FormatEditDialog.h"
#include "formats/ui/TextEditorLauncher.h"
#include "settings/ProgramFolder.h"

namespace {
std::string FormatsFilePath(const CoverFormatList& formats)
{
    return formats.filePath.empty() ? JoinPath(ProgramFolder(), "Korvane.dat") : formats.filePath;
}
}  // namespace

void CTheView::EditFormatsFile()
{
    OpenInTextEditor(FormatsFilePath(doc_.formats), EditorEnvironment::Process(), this);
}

void CTheView::EditFormats()
{
    CoverFormatList& formats = doc_.formats;
    // A formats file missing at start is created by the editor's OK.
    if (formats.filePath.empty())
        formats.filePath = FormatsFilePath(formats);
    const CRasterImage* left = doc_.leftImage.IsValid() ? &doc_.leftImage : nullptr;
    CFormatEditDialog dialog(formats, left, state_.leftFormat, CFormatEditDialog::PrinterLists::Read(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Indices may have moved: selections past the end are dropped.
    const int count = formats.count();
    if (state_.leftFormat >= count)
        state_.leftFormat = -1;
    if (state_.rightFormat >= count)
        state_.rightFormat = -1;
    FillCombos();
    Refresh();
}

#pragma once
// Where the print windows plug into the main view. The view installs the
// print windows' entry points at start; a test may install its own. A print
// command whose hook is empty stays present but disabled.
#include "base/CoverSlot.h"

#include <functional>
#include <string>
#include <vector>

class CKorvaneDoc;
class IPrompter;
class QWidget;
struct ViewState;

struct PrintHooks {
    // A print job (or its preview) in the view's current printMode, which the
    // command has set before.
    std::function<void(PrintMode printMode, bool preview)> runPrintJob;
    // The batch job over these files (several chosen or dropped in batch mode).
    std::function<void(const std::vector<std::string>& files)> runBatchPrint;
    // The platform's printer set-up dialog.
    std::function<void()> printSetup;
};

// The print windows' entry points (src/print/ui) for the main view `view`:
// jobs read the document and the view's state when they start, their
// dialogs and messages come up over the view.
PrintHooks PrintWindowHooks(CKorvaneDoc& doc, const ViewState& state, IPrompter& prompter, QWidget& view);

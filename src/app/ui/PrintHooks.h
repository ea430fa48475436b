#pragma once
// Where the print windows plug into the main view. Until they are built the
// hooks are empty and the print commands stay present but disabled.
#include <functional>
#include <string>
#include <vector>

class CTheView;

struct PrintHooks {
    // A print job (or its preview) in the view's current printMode, which the
    // command has set before.
    std::function<void(int printMode, bool preview)> runPrintJob;
    // The batch job over these files (several chosen or dropped in batch mode).
    std::function<void(const std::vector<std::string>& files)> runBatchPrint;
    // The platform's printer set-up dialog.
    std::function<void()> printSetup;
};

// Fills the view's hooks with the print windows' entry points; defined in
// ViewPrinting.cpp, which the print windows replace.
void InstallPrintHooks(CTheView& view);

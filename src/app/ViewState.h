#pragma once
// The main view's per-run state that the slot operations and the print job
// read and write. The main window owns one (tests and the CLI own theirs);
// the document reaches it through IDocView::State().
#include "base/CoverSlot.h"

#include <string>
#include <vector>

struct ViewState {
    PrintMode printMode = PrintMode::Both;
    int singlePage = 0;    // "Print on a Single Page"; not persisted
    int drawCutLines = 1;  // "Draw Cut / Fold lines"
    int leftFormat = 0;    // index into the format list, -1 = none
    int rightFormat = 0;
    std::string leftLabel = "no image selected";   // under the papers
    std::string rightLabel = "no image selected";
    std::string leftName;   // file name without its folder; names print jobs
    std::string rightName;
    std::string pendingLeftPath;          // "Open Left Image...", loaded on timer 2
    std::vector<std::string> batchFiles;  // files of the pending batch job

    int& format(Slot s) { return s == Slot::Left ? leftFormat : rightFormat; }
    int format(Slot s) const { return s == Slot::Left ? leftFormat : rightFormat; }
    std::string& name(Slot s) { return s == Slot::Left ? leftName : rightName; }
    const std::string& name(Slot s) const { return s == Slot::Left ? leftName : rightName; }
    std::string& label(Slot s) { return s == Slot::Left ? leftLabel : rightLabel; }
    const std::string& label(Slot s) const { return s == Slot::Left ? leftLabel : rightLabel; }
};

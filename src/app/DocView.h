#pragma once
// What the document's slot operations need from the main view. The Qt view
// implements it; tests and the CLI use small stand-ins.
#include "app/ViewState.h"

#include <string>

class IDocView {
public:
    virtual ~IDocView() = default;

    // The view's per-run state (formats, names, labels...).
    virtual ViewState& State() = 0;

    // Writes the state (labels, format selections, check boxes) to the controls.
    virtual void WriteControls() = 0;
    // Gives the papers the slot's current image and format: the left slot goes
    // to the left paper; the right slot to the right paper and, as its second
    // image, to the left paper. An empty image means "forget it".
    virtual void UpdatePapers(Slot slot) = 0;
    // The refresh of controls and papers after every change, then a repaint.
    virtual void Refresh() = 0;
    // Wait cursor on (true) or the arrow cursor back (false).
    virtual void SetWaitCursor(bool wait) = 0;

    // For fitting a file name under a paper: the width of the slot's label
    // control, and the width of a text on the view's own device context.
    virtual int LabelWidth(Slot slot) const = 0;
    virtual int TextWidth(const std::string& text) const = 0;
};

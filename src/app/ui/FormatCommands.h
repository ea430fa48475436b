#pragma once
// The main view's format commands: the format editor, the formats file in a
// text editor, and the printer's calibration (saved into the formats file).
class CoverFormatList;
class CRasterImage;
class IPrompter;
class QWidget;
struct ViewState;

// The format editor over `formats`, its previews showing `leftImage` (may be
// null) and the left slot's format selected. After OK the slots' formats
// past the list's end are dropped; returns whether OK was chosen.
bool RunFormatEditor(CoverFormatList& formats, const CRasterImage* leftImage, ViewState& state, QWidget* parent);
// The formats file in the user's text editor.
void OpenFormatsFileInTextEditor(const CoverFormatList& formats, QWidget* parent);
// Prints the calibration page, takes what the user measured, saves
// CALIBRATEX / CALIBRATEY into Korvane.dat and prints the page again to check.
void RunPrinterCalibration(CoverFormatList& formats, IPrompter& prompter, QWidget* parent);

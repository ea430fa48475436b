#pragma once
// The format editor's rules that need no window: where a position switched to
// "Manual" starts, the names of added and copied formats, and one step of a
// length's spin arrows.
#include <string>

class CoverFormatList;

struct ManualPosition {
    double x = 0, y = 0;
};

// The left position of a cover width x height: centred across an A4 sheet
// in its upper half, or centred on the whole sheet when it is taller than
// that half.
ManualPosition ManualLeftPosition(double width, double height);
// The right position: the same in the lower half, or centred on the whole
// sheet when it would run off the bottom.
ManualPosition ManualRightPosition(double width, double height);

// `base` when no format has exactly that name, else the first of
// "base 1", "base 2", ... that no format has.
std::string UnusedFormatName(const CoverFormatList& formats, const std::string& base);
// "Copy of CD Front" from "Copy of" and the copied format's shown name.
std::string CopyName(const std::string& copyOf, const std::string& shownName);

// One step of a spin arrow: 0.1 mm, or 0.01 inch (0.254 mm) in inch mode;
// up adds a step, down takes one away. A result below 0 becomes 0 and
// `belowZero` is set (the editor beeps).
double SpinStep(double mm, bool up, bool inches, bool& belowZero);

#pragma once
// Covers that run into the margin a printer cannot print on: a cover larger
// than the printable area (centred over it, not scaled), or one placed
// outside it while the correction into the printable area is off. Such a
// cover is printed as placed; the user is told once, before the job, which
// cover it is and by how much, and may still print.
#include "print/CoverPlacement.h"
#include "print/PageMetrics.h"

#include <functional>
#include <string>
#include <vector>

// Language text of the warning: the cover, then the millimetres.
inline constexpr int kTextMarginOverrun = 4020;

// Overruns below this are within the placement's own tolerance and not told.
inline constexpr double kMarginOverrunShownMm = 0.1;

// How far a placed cover reaches past the printable area, in millimetres:
// the largest of its four sides; 0 when it lies within the area.
double MarginOverrunMm(const CoverPlacement& placement, const PageMetrics& page);

struct CoverOverrun {
    std::string cover;  // the file name and the format's name, as shown
    double mm = 0;      // MarginOverrunMm
};

// How a cover is named in the warning: "\"Album.jpg\" (DVD Sleeve)", or the
// format's name alone when the slot has no file name (a pasted picture).
std::string OverrunCoverName(const std::string& fileName, const std::string& formatName);

// Millimetres as the warning gives them: one decimal, rounded down, so that
// 3.15 mm reads "3.1" (the C locale's point, whatever the user's locale).
std::string OverrunMmText(double mm);

// One paragraph of text kTextMarginOverrun (from `textOf`) per cover; empty
// when the list is.
std::string MarginOverrunText(const std::vector<CoverOverrun>& overruns, const std::function<std::string(int)>& textOf);

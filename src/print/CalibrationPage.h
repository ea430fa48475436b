#pragma once
// The calibration page: millimetre rulers along the printable area's edges
// and numbered crosshairs at known places (20 mm in from each corner of the
// sheet, and its centre). Everything on it is moved by CALIBRATEX and
// CALIBRATEY as covers with a fixed position are, so a page printed after
// calibrating shows its marks where they are meant to be. The user measures
// where crosshair 1 landed and the program turns that into new offsets.
#include "image/DrawContext.h"
#include "print/PageMetrics.h"

#include <string>
#include <vector>

class IPageSink;

// Crosshairs 1 to 4 sit this far in from the sheet's corners.
inline constexpr double kCalibrationInsetMm = 20.0;

struct CalibrationMark {
    int number = 0;   // 1 top left, 2 top right, 3 centre, 4 bottom left, 5 bottom right
    double xMm = 0;   // where it is meant to be, from the sheet's left edge ...
    double yMm = 0;   // ... and from its top edge, without calibration
};

// The offsets every mark and cover with a fixed position is moved by (mm).
struct Calibration {
    double x = 0;
    double y = 0;
};

// The page's crosshairs, in the order of their numbers.
std::vector<CalibrationMark> CalibrationMarks(const PageMetrics& page);
// Where a mark's centre is printed: the sheet pixel (from the sheet's
// top-left corner) that holds its position plus the calibration.
SurfacePoint CalibrationMarkPixel(const PageMetrics& page, const CalibrationMark& mark, Calibration calibration);

// Draws the page; the surface's origin is the printable area's corner.
void DrawCalibrationPage(CDrawContext& surface, const PageMetrics& page, Calibration calibration);

// Prints the page as a one-page job named kCalibrationJobName through the
// sink, as covers are printed. False when the printer refused it or the
// job was stopped.
bool PrintCalibrationPage(IPageSink& sink, Calibration calibration);
inline constexpr const char* kCalibrationJobName = "Korvane - Calibration page";

// The offset that puts a mark meant at `expectedMm` where it belongs, after
// it was measured at `measuredMm` on a page printed with `currentOffset`.
double CalibratedOffset(double currentOffset, double expectedMm, double measuredMm);

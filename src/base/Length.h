#pragma once
// Millimetres and device pixels: every conversion between them, each named
// for the rule it follows. Lengths in the model are millimetres; pixels exist
// only at a device, whose resolution is given in dots per inch.
//
// The rules differ in where they truncate, and the difference shows:
// 139.7 mm at 360 dpi is 1980 pixels as a cover's size (139.7 / 25.4 comes
// out as 5.5 exactly, times 360) but 1979 as a cut mark (139.7 * 360 comes
// out just below 50292, divided by 25.4).
inline constexpr double kMmPerInch = 25.4;

// Pixels are kept far from the int range so that sums of a few never overflow.
inline constexpr int kMaxLayoutPixels = 1 << 26;

// Any double to an int, truncating toward zero; NaN becomes 0 and values
// beyond +-kMaxLayoutPixels are held there.
int TruncatePixels(double v);

// A cover's size and position: trunc(mm / 25.4 * dpi).
int CoverMmToPixels(double mm, int dpi);
// Cut marks and the spine: trunc(mm * dpi / 25.4).
int MarkMmToPixels(double mm, int dpi);
// A sheet and its margins given in millimetres: mm / 25.4 * dpi rounded to
// the nearest pixel (halves up), so that a sheet of whole inches loses no pixel.
int SheetMmToPixels(double mm, int dpi);
// Device pixels back to millimetres, unrounded.
double PixelsToMm(double pixels, int dpi);

#pragma once
// The printer page in device pixels, and the one place where millimetres
// become printer pixels.
#include <cstdint>

struct PageMetrics {
    int offsetX = 0;          // printable area's distance from the sheet's left edge
    int offsetY = 0;          // ... and from its top edge
    int physicalWidth = 0;    // the whole sheet
    int physicalHeight = 0;
    int printableWidth = 0;   // the printable area
    int printableHeight = 0;
    int dpiX = 0;             // pixels per inch
    int dpiY = 0;
    int halfHeight = 0;       // physicalHeight / 2: the sheet's middle line

    // Metrics of a sheet as a driver reports them; halfHeight is derived.
    static PageMetrics Make(int physicalWidth, int physicalHeight, int offsetX, int offsetY,
                            int printableWidth, int printableHeight, int dpiX, int dpiY);
};

// Pixels are kept far from the int range so that sums of a few never overflow.
inline constexpr int kMaxLayoutPixels = 1 << 26;

// Millimetres to pixels for a cover's size and position: trunc(mm / 25.4 * dpi).
int CoverMmToPixels(double mm, int dpi);
// Millimetres to pixels for cut marks and the spine: trunc(mm * dpi / 25.4).
int MarkMmToPixels(double mm, int dpi);
// Any double to an int, truncating toward zero; NaN becomes 0 and values
// beyond +-kMaxLayoutPixels are held there.
int TruncatePixels(double v);

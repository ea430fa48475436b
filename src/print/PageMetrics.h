#pragma once
// The printer page in device pixels. Millimetres become its pixels through
// the conversions of base/Length.h.
#include "base/Length.h"

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

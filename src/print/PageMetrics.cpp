#include "print/PageMetrics.h"

#include <cmath>

PageMetrics PageMetrics::Make(int physicalWidth, int physicalHeight, int offsetX, int offsetY,
                              int printableWidth, int printableHeight, int dpiX, int dpiY) {
    PageMetrics m;
    m.offsetX = offsetX;
    m.offsetY = offsetY;
    m.physicalWidth = physicalWidth;
    m.physicalHeight = physicalHeight;
    m.printableWidth = printableWidth;
    m.printableHeight = printableHeight;
    m.dpiX = dpiX;
    m.dpiY = dpiY;
    m.halfHeight = physicalHeight / 2;
    return m;
}

int TruncatePixels(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= kMaxLayoutPixels)
        return kMaxLayoutPixels;
    if (v <= -kMaxLayoutPixels)
        return -kMaxLayoutPixels;
    return static_cast<int>(v);  // truncates toward zero
}

int CoverMmToPixels(double mm, int dpi) { return TruncatePixels(mm / 25.4 * dpi); }

int MarkMmToPixels(double mm, int dpi) { return TruncatePixels(mm * dpi / 25.4); }

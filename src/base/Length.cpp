#include "base/Length.h"

#include <cmath>

int TruncatePixels(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= kMaxLayoutPixels)
        return kMaxLayoutPixels;
    if (v <= -kMaxLayoutPixels)
        return -kMaxLayoutPixels;
    return static_cast<int>(v);  // truncates toward zero
}

int CoverMmToPixels(double mm, int dpi) { return TruncatePixels(mm / kMmPerInch * dpi); }

int MarkMmToPixels(double mm, int dpi) { return TruncatePixels(mm * dpi / kMmPerInch); }

int SheetMmToPixels(double mm, int dpi) { return TruncatePixels(std::floor(mm / kMmPerInch * dpi + 0.5)); }

double PixelsToMm(double pixels, int dpi) { return pixels * kMmPerInch / dpi; }

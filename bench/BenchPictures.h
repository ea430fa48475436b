#pragma once
// The pictures the benchmarks draw and turn: 24-bit, side x side, filled
// with a pattern (byte = x * xStep + y * yStep) that no copy could guess
// from a few rows.
#include "image/RasterImage.h"

#include <cstdint>

inline CRasterImage PatternPicture(int side, int xStep, int yStep) {
    CRasterImage image;
    image.Create(side, side, 24, IMAGE_JPG);
    for (int y = 0; y < side; ++y) {
        std::uint8_t* row = image.GetRow(y);
        for (int x = 0; x < side * 3; ++x)
            row[x] = static_cast<std::uint8_t>(x * xStep + y * yStep);
    }
    return image;
}

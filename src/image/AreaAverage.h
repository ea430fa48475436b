#pragma once
// Reducing a picture to fewer pixels by area averaging: every output pixel
// is the mean of the source area it covers, partly covered source pixels
// weighted by the part they cover. Used where a picture is finer than the
// device can show; a flat colour stays exactly that colour.
#include "image/DrawSurface.h"

#include <cstdint>

// Writes the outWidth x outHeight reduction of `src` (outWidth <= src.width,
// outHeight <= src.height) as 32-bit words 0xAARRGGBB, colour premultiplied
// by alpha, rows top-down `outStride` bytes apart. Source pixels whose mask
// byte is non-zero count as transparent; without a mask all are opaque.
void AreaAverage(const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride, int outWidth,
                 int outHeight, std::uint8_t* out, std::ptrdiff_t outStride);

#pragma once
// The decoded picture as 8-bit RGBA rows, top-down, as Draw would show it
// over nothing: colour from the palette or the pixel; alpha from the alpha
// plane, the alpha maximum and palette alpha; 0 under the transparent index
// (or, for 24-bit images, the transparent colour). Used by `korvane-cli
// decode -o` and by the tests that compare with reference decodes.
#include "image/RasterImage.h"

#include <cstdint>
#include <vector>

// Empty when the image is not valid.
std::vector<std::uint8_t> ImageToRgba(const CRasterImage& image);

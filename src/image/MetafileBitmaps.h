#pragma once
// Device-independent bitmaps inside metafile records, as images.
#include "image/RasterImage.h"

#include <cstddef>
#include <cstdint>

// A bitmap given as its information block (header, masks, palette; the
// block may be longer than that, or its palette shorter than the header
// says) and its bits, which may also be a whole JPEG or PNG file.
bool ImageFromDib(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits, std::size_t bitsBytes,
                  CRasterImage& out);

// A packed bitmap: header, masks, palette and bits one after the other.
bool ImageFromPackedDib(const std::uint8_t* dib, std::size_t bytes, CRasterImage& out);

#pragma once
// Writes PNG files for korvane-cli (rendered pages, decoded images). The core
// never saves images; only the command-line companion does.
#include "image/DrawSurface.h"

#include <cstdint>
#include <functional>
#include <string>

// Fills one output row: `width` pixels of `channels` bytes each, in the
// order red, green, blue (and alpha for 4 channels). y counts from the top.
using PngRowFunction = std::function<void(int y, std::uint8_t* row)>;

// Writes a width x height PNG of 3 (RGB) or 4 (RGBA) channels, 8 bits each,
// asking for one row at a time; to standard output for the path "-". Returns false with a reason in `error`.
// A resolution (dotsPerInch > 0) is written as the pHYs chunk, so that the
// picture's physical size is known to whoever opens it.
bool WritePng(const std::string& path, int width, int height, int channels, const PngRowFunction& fillRow,
              std::string* error = nullptr, int dotsPerInch = 0);

// Writes a block of 24-bit blue-green-red rows (a raster surface) as RGB.
bool WritePngBgr(const std::string& path, const PixelBlock& block, std::string* error = nullptr);

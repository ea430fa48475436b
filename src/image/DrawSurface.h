#pragma once
// The values every drawing is made of: boxes, points, colours, pens,
// brushes and blocks of pixels. How shapes are turned into pixels is written
// down once, in DrawContext.h.
#include "base/Rgb.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct SurfaceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    SurfaceRect intersected(const SurfaceRect& o) const;
    bool operator==(const SurfaceRect&) const = default;
};

struct SurfacePoint {
    int x = 0, y = 0;
    bool operator==(const SurfacePoint&) const = default;
};

enum class PenStyle { Solid, Dotted, Null };

struct Pen {
    Rgb color{};
    int width = 0;  // 0 and 1 both draw one device pixel
    PenStyle style = PenStyle::Solid;
};

// A brush either fills with a colour or is hollow (the null brush).
struct Brush {
    Rgb color{255, 255, 255};
    bool hollow = true;
};

// A block of 24-bit pixels: blue, green, red per pixel, rows top-down.
// `stride` may be negative so that bottom-up image rows can be passed
// without copying (first points at the top row).
struct PixelBlock {
    const std::uint8_t* first = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
};

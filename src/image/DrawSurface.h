#pragma once
// The drawing surface every picture, preview and printed page is drawn onto.
// Conventions (those of the old platform, which the layout rules rely on):
// rectangles and ellipses take (left, top, right, bottom) with right and bottom
// exclusive; a line's end point is not drawn; scaled writes drop or repeat rows
// and columns (nearest neighbour) without blending.
#include <cstddef>
#include <cstdint>
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
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
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

class CDrawSurface {
public:
    virtual ~CDrawSurface() = default;

    // Size of the whole surface in device pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Clip: the current clip box; IntersectClip narrows it and returns the
    // previous box so that the caller can put it back with SetClip.
    virtual SurfaceRect GetClipBox() const = 0;
    virtual SurfaceRect IntersectClip(const SurfaceRect& r) = 0;
    virtual void SetClip(const SurfaceRect& r) = 0;

    // Reads a rectangle back as 24-bit BGR rows, top-down, `stride` bytes apart.
    // Pixels outside the surface read as white. Returns false when unsupported.
    virtual bool ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const = 0;

    // Writes the block unscaled with its top-left corner at (x, y), clipped.
    virtual void WritePixels(int x, int y, const PixelBlock& src) = 0;

    // Writes the block scaled into dst by nearest-neighbour sampling, clipped.
    virtual void StretchPixels(const SurfaceRect& dst, const PixelBlock& src) = 0;

    // As StretchPixels, but target pixels under mask bytes that are non-zero
    // stay unchanged. The mask has src.width x src.height bytes, rows top-down.
    virtual void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src,
                                     const std::uint8_t* mask, std::ptrdiff_t maskStride) = 0;

    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetBrush(const Brush& brush) = 0;

    // Outline with the pen, inside filled with the brush (unless hollow).
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Polygon(const std::vector<SurfacePoint>& points) = 0;
    // Lines with the pen; the final end point is not drawn.
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    virtual void Polyline(const std::vector<SurfacePoint>& points) = 0;
    // Fills a rectangle with a colour, no outline.
    virtual void FillRect(const SurfaceRect& r, Rgb color) = 0;
    virtual void SetPixel(int x, int y, Rgb color) = 0;

    // Background colour used by masked blits (white by default).
    virtual Rgb BackgroundColor() const = 0;
    virtual void SetBackgroundColor(Rgb c) = 0;
};

#pragma once
// The drawing surface every picture, preview and printed page is drawn onto.
//
// Conventions (those of the old platform's GDI, which the layout rules rely
// on; CRasterSurface implements them exactly and every other surface must
// give the same pixels):
// - Coordinates are device pixels, x to the right, y downwards; pixel (x, y)
//   covers the unit square [x, x+1) x [y, y+1).
// - Rectangles and ellipses take (left, top, right, bottom), right and bottom
//   exclusive: with a one-pixel pen the outline of Rectangle(l, t, r, b)
//   covers columns l..r-1 and rows t..b-1; the brush fills the inside
//   (l+1..r-2, t+1..b-2). With the null pen the brush fills l..r-1, t..b-1.
//   Boxes with right <= left or bottom <= top draw nothing.
// - Ellipse(l, t, r, b): the pixels whose centres lie inside the ellipse
//   inscribed in the box [l, r] x [t, b] form the figure; the outline is
//   the figure's pixels that have a 4-neighbour outside it, so it touches
//   all four sides of the box and stays inside it; the brush fills the rest.
// - Line(x1, y1, x2, y2): Bresenham from the start point; the end point is
//   not drawn (a line from (0, 0) to (10, 0) covers x = 0..9). Ties step
//   the minor axis when the error reaches half a pixel.
// - Pens: width 0 and 1 draw one pixel. Wider pens stamp a width x width
//   square centred on every point of the path (from p - width/2 to
//   p - width/2 + width - 1), so thick lines stay centred on their path;
//   outlines of rectangles and ellipses are centred on the same path as the
//   one-pixel outline.
// - Dotted pen (PenStyle::Dotted, GDI's cosmetic PS_DOT): along each line,
//   3 pixels drawn, 3 pixels skipped, starting with a drawn run; the
//   pattern runs on across the segments of one Polyline, Polygon or
//   Rectangle outline and restarts with every drawing call. Wide dotted
//   pens stamp their square on the drawn points only.
// - Polygon: filled by the brush with the even-odd rule at pixel centres,
//   then outlined by the pen along the closed path.
// - Scaled writes (StretchPixels) sample the nearest source pixel, column
//   (dx - dst.left) * src.width / dst.width and row
//   (dy - dst.top) * src.height / dst.height in integers: rows and columns
//   are dropped or repeated, never blended (GDI's colour-on-colour mode).
// - Masked writes leave the target unchanged wherever the mask byte of the
//   sampled source pixel is non-zero.
// - Everything is clipped to the clip box, which starts as the whole surface.
// - A new surface starts like a fresh GDI device context: black solid
//   one-pixel pen, solid white brush, white background colour.
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
    // Pixels outside the surface read as white. Returns false when unsupported
    // (a printer), in which case callers fall back to masked writes.
    virtual bool ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const = 0;

    // Writes the block unscaled with its top-left corner at (x, y), clipped.
    virtual void WritePixels(int x, int y, const PixelBlock& src) = 0;

    // Writes the block scaled into dst by nearest-neighbour sampling, clipped.
    virtual void StretchPixels(const SurfaceRect& dst, const PixelBlock& src) = 0;

    // As StretchPixels, but target pixels under mask bytes that are non-zero
    // stay unchanged. The mask has src.width x src.height bytes, rows top-down.
    virtual void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src,
                                     const std::uint8_t* mask, std::ptrdiff_t maskStride) = 0;

    // A whole picture of width x height pixels that is the clean decoding of
    // `jpeg` (its file's bytes), scaled into dst. A surface that can keep
    // the JPEG data as it is (a PDF page) does so and returns true; the
    // others return false and the caller writes the pixels.
    // True for a surface whose StretchJpeg keeps JPEG data: the picture's
    // data is only prepared (turned) for such a surface.
    virtual bool KeepsJpegData() const { return false; }
    virtual bool StretchJpeg(const SurfaceRect& /*dst*/, const std::shared_ptr<const std::vector<std::uint8_t>>& /*jpeg*/,
                             int /*width*/, int /*height*/) {
        return false;
    }

    // Vector surfaces (a PDF page) clip what follows to the ring between the
    // ellipses inscribed in `outer` and `hole` and paint the rest of `outer`
    // white, with true curves; EndDiscClip ends it. Pixel surfaces return
    // false and the caller builds the disc from pixels.
    virtual bool BeginDiscClip(const SurfaceRect& /*outer*/, const SurfaceRect& /*hole*/) { return false; }
    virtual void EndDiscClip() {}

    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetBrush(const Brush& brush) = 0;

    // Outline with the pen, inside filled with the brush (unless hollow).
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Polygon(const std::vector<SurfacePoint>& points) = 0;
    // Several closed rings filled together by the even-odd rule (holes stay
    // open), then each ring outlined. The default fills ring by ring.
    virtual void PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings) {
        for (const std::vector<SurfacePoint>& ring : rings)
            Polygon(ring);
    }
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

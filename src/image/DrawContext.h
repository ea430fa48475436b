#pragma once
// The drawing context every picture, preview and printed page is drawn
// through. It keeps the pen, brush, background colour, origin and clip, and
// turns every shape into the pixel operations of a device (PixelBackend.h):
// the raster, the QPainter, the cairo PDF page, the metafile's coverage
// recorder. The shapes are worked out here once (ShapeRasterizer.h), so
// every device gives the same pixels.
//
// Conventions (those of the old platform's GDI, which the layout rules rely
// on):
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
// - Coordinates are relative to the context's origin; everything is clipped
//   to the clip box, which starts as the context's whole area and never
//   grows beyond it.
// - A new context starts like a fresh GDI device context: black solid
//   one-pixel pen, solid white brush, white background colour.
#include "image/DrawSurface.h"
#include "image/PixelBackend.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDrawContext final {
public:
    // Draws onto the whole of `backend` (not owned, outlives the context).
    explicit CDrawContext(IPixelBackend& backend);
    // Draws onto `area` of `backend` (in its pixels): the origin is the
    // area's top-left corner and nothing is drawn outside the area, as on a
    // printer's page within its printable area.
    CDrawContext(IPixelBackend& backend, const SurfaceRect& area);

    // Size of the area drawn on.
    int Width() const { return width_; }
    int Height() const { return height_; }
    IPixelBackend& Backend() const { return *backend_; }

    // Clip: the current clip box; IntersectClip narrows it and returns the
    // previous box so that the caller can put it back with SetClip.
    SurfaceRect GetClipBox() const { return FromDevice(clip_); }
    SurfaceRect IntersectClip(const SurfaceRect& r);
    void SetClip(const SurfaceRect& r);

    // Reads a rectangle back as 24-bit BGR rows, top-down, `stride` bytes
    // apart. Pixels outside the device read as white. False when the device
    // cannot be read (a printer), in which case callers fall back to masked
    // writes.
    bool ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const;
    // The block unscaled with its top-left corner at (x, y), clipped.
    void WritePixels(int x, int y, const PixelBlock& src);
    // The block scaled into dst by nearest-neighbour sampling, clipped.
    void StretchPixels(const SurfaceRect& dst, const PixelBlock& src);
    // As StretchPixels, but target pixels under mask bytes that are non-zero
    // stay unchanged. The mask has src.width x src.height bytes, rows top-down.
    void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                             std::ptrdiff_t maskStride);
    // A block stored otherwise than shown (mirrored, then turned as `turn`
    // says) scaled into dst by a device that turns pictures by its
    // transform (a PDF page); `mask` as for StretchPixelsMasked, or null.
    // False when the device does not, and the caller turns the pixels.
    bool StretchPixelsTurned(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                             std::ptrdiff_t maskStride, PictureTurn turn);

    // True when the device keeps JPEG data (a PDF page). StretchJpeg draws
    // the whole picture that is the clean decoding of `jpeg`, standing as
    // `turn` says, into dst from that data, in the colour space `colour`
    // records (null: the data's own); false when the device does not,
    // and the caller writes the pixels.
    bool KeepsJpegData() const { return backend_->KeepsJpegData(); }
    bool StretchJpeg(const SurfaceRect& dst, const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg,
                     PictureTurn turn, const std::shared_ptr<const PictureColour>& colour = nullptr);
    // The whole picture from the samples of its file's colour record,
    // standing as `turn` says; false when the device draws pixels only.
    bool StretchColourSamples(const SurfaceRect& dst, const std::shared_ptr<const PictureColour>& colour,
                              PictureTurn turn);

    // Vector devices (a PDF page) clip what follows to the ring between the
    // ellipses inscribed in `outer` and `hole` and paint the rest of `outer`
    // white, with true curves; EndDiscClip ends it. Pixel devices return
    // false and the caller builds the disc from pixels.
    bool BeginDiscClip(const SurfaceRect& outer, const SurfaceRect& hole);
    void EndDiscClip() { backend_->EndDiscClip(); }

    void SetPen(const Pen& pen) { pen_ = pen; }
    void SetBrush(const Brush& brush) { brush_ = brush; }
    const Pen& GetPen() const { return pen_; }
    const Brush& GetBrush() const { return brush_; }

    // Outline with the pen, inside filled with the brush (unless hollow).
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void Polygon(const std::vector<SurfacePoint>& points);
    // Several closed rings filled together by the even-odd rule (or, with
    // `winding`, the non-zero winding rule; holes stay open), then each ring
    // outlined.
    void PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings, bool winding = false);
    // Lines with the pen; the final end point is not drawn.
    void Line(int x1, int y1, int x2, int y2);
    void Polyline(const std::vector<SurfacePoint>& points);
    // Fills a rectangle with a colour, no outline.
    void FillRect(const SurfaceRect& r, Rgb color);
    void SetPixel(int x, int y, Rgb color);

    // Background colour used by masked blits (white by default).
    Rgb BackgroundColor() const { return background_; }
    void SetBackgroundColor(Rgb c) { background_ = c; }

private:
    SurfaceRect ToDevice(const SurfaceRect& r) const;
    SurfaceRect FromDevice(const SurfaceRect& r) const;
    std::vector<SurfacePoint> ToDevice(const std::vector<SurfacePoint>& points) const;
    void Outline(OutlineShape shape, const std::vector<SurfacePoint>& points);

    IPixelBackend* backend_;
    int originX_ = 0;
    int originY_ = 0;
    int width_ = 0;
    int height_ = 0;
    SurfaceRect limit_;  // the area within the device: the widest clip
    SurfaceRect clip_;   // in device pixels
    Pen pen_;
    Brush brush_{Rgb{255, 255, 255}, false};
    Rgb background_{255, 255, 255};
};

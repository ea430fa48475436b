#pragma once
// What a device must do to be drawn on: the pixel operations under a
// CDrawContext (DrawContext.h), which keeps the pen, brush, origin and clip
// and turns every shape into these operations. All coordinates here are the
// device's own pixels; the clip box handed over always lies inside the
// device.
#include "image/DrawSurface.h"
#include "image/PictureColour.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// How a picture's stored pixels stand as it is shown: first mirrored left to
// right when `mirrored`, then turned `turns` quarter turns clockwise (0-3).
struct PictureTurn {
    int turns = 0;
    bool mirrored = false;
    bool upright() const { return turns == 0 && !mirrored; }
    bool operator==(const PictureTurn&) const = default;
};

// The outlines a device may draw itself (see IPixelBackend::DrawsOutlines).
enum class OutlineShape { Rectangle, Ellipse, Polygon, Line, Polyline };

class IPixelBackend {
public:
    virtual ~IPixelBackend() = default;

    // Size of the device in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Fills `box`, which already lies inside the clip box, with a colour.
    virtual void FillRect(const SurfaceRect& box, Rgb color) = 0;
    // One pixel inside the clip box.
    virtual void SetPixel(int x, int y, Rgb color) { FillRect(SurfaceRect{x, y, x + 1, y + 1}, color); }

    // Reads a rectangle back as 24-bit BGR rows, top-down, `stride` bytes
    // apart; pixels outside the device read as white. False when the device
    // cannot be read (a printer).
    virtual bool ReadRows(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const = 0;
    // The block unscaled with its top-left corner at (x, y), within `clip`.
    virtual void WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip) = 0;
    // The block scaled into dst by nearest-neighbour sampling, within `clip`.
    virtual void Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip) = 0;
    // As Stretch, but pixels whose mask byte is non-zero are transparent: the
    // device keeps what it has there. The mask has src.width x src.height
    // bytes, rows top-down.
    virtual void StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                               std::ptrdiff_t maskStride, const SurfaceRect& clip) = 0;

    // --- optional ---------------------------------------------------------
    // The clip box changed; devices with a clip of their own follow it.
    virtual void ClipChanged(const SurfaceRect& /*clip*/) {}

    // A device that can keep JPEG data as it is (a PDF page) says so, and
    // then draws a picture that is the clean decoding of `jpeg`, standing as
    // `turn` says, scaled into dst from that data: the device turns it by
    // its transform, so the data stays the file's own whatever the turn.
    // `colour`, when not null, is the colour space the data is in.
    // False leaves the picture to be written as pixels.
    virtual bool KeepsJpegData() const { return false; }
    virtual bool StretchJpeg(const SurfaceRect& /*dst*/, const std::shared_ptr<const std::vector<std::uint8_t>>& /*jpeg*/,
                             PictureTurn /*turn*/, const std::shared_ptr<const PictureColour>& /*colour*/,
                             const SurfaceRect& /*clip*/) {
        return false;
    }
    // The same device draws pixels stored otherwise than shown (`src`
    // mirrored, then turned, as `turn` says) scaled into dst by its
    // transform, without turning them; `mask` (src's size, or null) as for
    // StretchMasked. False leaves the pixels to be turned by the caller.
    virtual bool StretchTurned(const SurfaceRect& /*dst*/, const PixelBlock& /*src*/, const std::uint8_t* /*mask*/,
                               std::ptrdiff_t /*maskStride*/, PictureTurn /*turn*/, const SurfaceRect& /*clip*/) {
        return false;
    }
    // The same device draws a picture from the samples its file holds, in
    // the file's colour space (`colour`), standing as `turn` says. False
    // leaves the picture to be written as its (sRGB) pixels.
    virtual bool StretchColourSamples(const SurfaceRect& /*dst*/, const std::shared_ptr<const PictureColour>& /*colour*/,
                                      PictureTurn /*turn*/, const SurfaceRect& /*clip*/) {
        return false;
    }

    // A vector device shows what is drawn until EndDiscClip only on the ring
    // between the ellipses inscribed in `outer` and `hole`: the rest of
    // `outer` ends white, with true curves. It returns true. Pixel devices
    // return false and the disc is built from pixels.
    virtual bool BeginDiscClip(const SurfaceRect& /*outer*/, const SurfaceRect& /*hole*/) { return false; }
    virtual void EndDiscClip() {}

    // A device that shows a page shrunk (the print preview) draws lines and
    // outlines itself, with lines at least one screen pixel wide, instead of
    // the device pixels of the shapes. Rectangle and Ellipse get their box
    // as two points (left, top) and (right, bottom); Line its two ends.
    virtual bool DrawsOutlines() const { return false; }
    virtual void DrawOutline(OutlineShape /*shape*/, const std::vector<SurfacePoint>& /*points*/, const Pen& /*pen*/,
                             const Brush& /*brush*/) {}
};

#pragma once
// The pixel backend of one PDF page, drawn with cairo. Marks (lines,
// rectangles, ellipses, polygons) come from the drawing context as boxes of
// device pixels, so they stand exactly where they stand on the
// raster surface. Pictures go in without loss: a picture that is still the
// clean decoding of a JPEG file as that file's own data, turned or mirrored
// by the page's transform, every other one as
// lossless pixels at its own size (as stored: a turned or mirrored one too),
// scaled and turned by the page's transform; only a
// picture finer than the page's resolution is first reduced to it, by area
// averaging. A picture in a colour space of its own (a profile, CMYK) goes
// in as its file's data or samples, noted in the job's CPdfColourPictures
// for the file to get that colour space. A disc label's outline and hole
// are true curves: white painted around the disc and into the hole over the
// label's picture.
#include "image/PixelBackend.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class CPdfColourPictures;

class CCairoPdfSurface final : public IPixelBackend {
public:
    // Draws through `cr` (not owned), whose user space is already the page's
    // device pixels with the origin at the top-left corner of a width x
    // height area; nothing is drawn outside that area. The pictures drawn
    // are held until the surface goes, after the page is shown. Without
    // `colours` (not owned) every picture goes in as sRGB.
    CCairoPdfSurface(cairo_t* cr, int width, int height, CPdfColourPictures* colours = nullptr);
    ~CCairoPdfSurface() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void FillRect(const SurfaceRect& box, Rgb color) override;
    bool ReadRows(const SurfaceRect&, std::uint8_t*, std::ptrdiff_t) const override { return false; }
    void WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip) override;
    void Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip) override;
    void StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                       std::ptrdiff_t maskStride, const SurfaceRect& clip) override;
    void ClipChanged(const SurfaceRect& clip) override;
    bool KeepsJpegData() const override { return true; }
    bool StretchTurned(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride,
                       PictureTurn turn, const SurfaceRect& clip) override;
    bool StretchJpeg(const SurfaceRect& dst, const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg,
                     PictureTurn turn, const std::shared_ptr<const PictureColour>& colour,
                     const SurfaceRect& clip) override;
    bool StretchColourSamples(const SurfaceRect& dst, const std::shared_ptr<const PictureColour>& colour,
                              PictureTurn turn, const SurfaceRect& clip) override;
    bool BeginDiscClip(const SurfaceRect& outer, const SurfaceRect& hole) override;
    void EndDiscClip() override;

private:
    void ApplyClip();
    void StretchAny(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride,
                    const SurfaceRect& clip, PictureTurn turn = {});

    cairo_t* cr_;
    CPdfColourPictures* colours_;
    std::vector<cairo_surface_t*> pictures_;
    int width_;
    int height_;
    SurfaceRect clip_;  // the context's, kept as cairo's clip
    bool discClip_ = false;
    SurfaceRect disc_, hole_;
};

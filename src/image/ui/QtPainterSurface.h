#pragma once
// The pixel backend over a QPainter: the screen (through an off-screen
// QImage), the printer and the print preview. The shapes reach it from the
// drawing context (DrawContext.h) as runs of filled pixels, so a preview
// painted here matches the raster exactly and printed marks are device
// pixels, never smoothed. On a QImage the scaled blits are sampled here too
// and pixels can be read back; on other devices (printer, PDF) the painter
// scales the pictures itself, without smoothing.
#include "image/DrawContext.h"  // what draws on it
#include "image/PixelBackend.h"

#include <cstdint>
#include <vector>

class QPainter;
class QImage;

class CQtPainterSurface final : public IPixelBackend {
public:
    // Draws through `painter` (active, not owned) onto a device area of
    // width x height pixels with its top-left corner at the painter's origin.
    CQtPainterSurface(QPainter& painter, int width, int height);
    ~CQtPainterSurface() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void FillRect(const SurfaceRect& box, Rgb color) override;
    bool ReadRows(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const override;
    void WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip) override;
    void Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip) override;
    void StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                       std::ptrdiff_t maskStride, const SurfaceRect& clip) override;
    void ClipChanged(const SurfaceRect& clip) override;

    // The print preview shows the printer's page shrunk to the screen, where
    // lines one printer pixel wide would all but vanish: with this on, lines
    // and outlines are drawn with cosmetic pens (at least one screen pixel),
    // everything else as on the printer.
    void SetCosmeticOutlines(bool on) { cosmetic_ = on; }
    bool DrawsOutlines() const override { return cosmetic_; }
    void DrawOutline(OutlineShape shape, const std::vector<SurfacePoint>& points, const Pen& pen,
                     const Brush& brush) override;

    // True when the painter draws onto a QImage (exact blits, read-back).
    bool IsRaster() const { return image_ != nullptr; }

private:
    void StretchAny(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride,
                    const SurfaceRect& clip);
    bool WritesStraightIntoImage() const;
    void StretchIntoImage(const SurfaceRect& dst, const SurfaceRect& box, const PixelBlock& src,
                          const std::uint8_t* mask, std::ptrdiff_t maskStride);
    void UseCosmeticPen(const Pen& pen, const Brush* brush);

    QPainter& painter_;
    QImage* image_ = nullptr;
    int width_;
    int height_;
    bool cosmetic_ = false;
};

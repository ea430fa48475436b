#pragma once
// The in-memory 24-bit device: the exact pixel backend every test, preview,
// rendered page and metafile picture is drawn into (through a CDrawContext).
#include "image/DrawContext.h"  // what draws on it
#include "image/PixelBackend.h"

#include <cstdint>
#include <vector>

class CRasterSurface final : public IPixelBackend {
public:
    CRasterSurface(int width, int height, Rgb fill = Rgb{255, 255, 255});

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void FillRect(const SurfaceRect& box, Rgb color) override;
    void SetPixel(int x, int y, Rgb color) override;
    bool ReadRows(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const override;
    void WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip) override;
    void Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip) override;
    void StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                       std::ptrdiff_t maskStride, const SurfaceRect& clip) override;

    // Direct access for tests and for turning a page into an image.
    Rgb GetPixel(int x, int y) const;
    const std::uint8_t* Bits() const { return bits_.data(); }  // BGR, top-down
    std::ptrdiff_t Stride() const { return stride_; }
    PixelBlock Block() const { return PixelBlock{bits_.data(), stride_, width_, height_}; }

private:
    int width_;
    int height_;
    std::ptrdiff_t stride_;
    std::vector<std::uint8_t> bits_;
};

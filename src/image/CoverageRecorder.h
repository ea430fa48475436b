#pragma once
// A device that only notes which pixels a shape covers, so that the metafile
// canvas can combine them with the picture one by one (raster operations,
// pattern brushes, clip regions). The shapes reach it through a CDrawContext.
#include "image/PixelBackend.h"

#include <algorithm>
#include <cstring>
#include <vector>

class CCoverageRecorder final : public IPixelBackend {
public:
    CCoverageRecorder(int width, int height)
        : width_(width), height_(height), cover_(static_cast<std::size_t>(width) * height, 0) {}

    // Starts a new shape.
    void Begin() { dirty_ = SurfaceRect{}; }
    const SurfaceRect& Dirty() const { return dirty_; }
    bool Covered(int x, int y) const { return cover_[static_cast<std::size_t>(y) * width_ + x] != 0; }
    void ClearDirty() {
        for (int y = dirty_.top; y < dirty_.bottom; ++y)
            std::memset(cover_.data() + static_cast<std::size_t>(y) * width_ + dirty_.left, 0, dirty_.width());
        dirty_ = SurfaceRect{};
    }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void FillRect(const SurfaceRect& box, Rgb) override {
        for (int y = box.top; y < box.bottom; ++y)
            std::memset(cover_.data() + static_cast<std::size_t>(y) * width_ + box.left, 1, box.width());
        dirty_ = dirty_.empty() ? box
                                : SurfaceRect{std::min(dirty_.left, box.left), std::min(dirty_.top, box.top),
                                              std::max(dirty_.right, box.right), std::max(dirty_.bottom, box.bottom)};
    }
    bool ReadRows(const SurfaceRect&, std::uint8_t*, std::ptrdiff_t) const override { return false; }
    void WriteRows(int, int, const PixelBlock&, const SurfaceRect&) override {}
    void Stretch(const SurfaceRect&, const PixelBlock&, const SurfaceRect&) override {}
    void StretchMasked(const SurfaceRect&, const PixelBlock&, const std::uint8_t*, std::ptrdiff_t,
                       const SurfaceRect&) override {}

private:
    int width_, height_;
    std::vector<std::uint8_t> cover_;
    SurfaceRect dirty_;
};

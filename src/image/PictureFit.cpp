#include "image/PictureFit.h"

#include "image/AreaAverage.h"

#include <algorithm>
#include <cmath>
#include <vector>

void FittedSize(int width, int height, int areaWidth, int areaHeight, int& fitWidth, int& fitHeight) {
    fitWidth = width;
    fitHeight = height;
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0 || (width <= areaWidth && height <= areaHeight))
        return;
    const double scale = std::min(static_cast<double>(areaWidth) / width, static_cast<double>(areaHeight) / height);
    fitWidth = std::clamp(static_cast<int>(std::lround(width * scale)), 1, areaWidth);
    fitHeight = std::clamp(static_cast<int>(std::lround(height * scale)), 1, areaHeight);
}

namespace {
// The source pixel column or row that the middle of output cell i falls on.
int Nearest(int i, int from, int to) {
    return static_cast<int>(std::min<std::int64_t>(from - 1, ((2 * std::int64_t{i} + 1) * from) / (2 * std::int64_t{to})));
}

bool ReducePalette(const CRasterImage& src, CRasterImage& out, int w, int h) {
    if (!out.Create(w, h, src.GetBpp(), src.GetType()))
        return false;
    for (int i = 0; i < src.GetPaletteSize(); ++i) {
        const PaletteEntry& e = src.GetPalette()[i];
        out.SetPaletteEntry(i, e.red, e.green, e.blue, e.alpha);
    }
    out.EnablePaletteAlpha(src.IsPaletteAlphaEnabled());
    if (src.HasAlpha())
        out.CreateAlpha();
    for (int y = 0; y < h; ++y) {
        const int sy = Nearest(y, src.GetHeight(), h);
        for (int x = 0; x < w; ++x) {
            const int sx = Nearest(x, src.GetWidth(), w);
            out.SetPixelIndex(x, y, src.GetPixelIndex(sx, sy));
            if (src.HasAlpha())
                out.SetAlpha(x, y, src.GetAlpha(sx, sy));
        }
    }
    return true;
}

bool ReduceColour(const CRasterImage& src, CRasterImage& out, int w, int h) {
    const int sw = src.GetWidth(), sh = src.GetHeight();
    // Rows top-down: our rows are stored bottom-up.
    const PixelBlock block{src.GetRow(sh - 1), -static_cast<std::ptrdiff_t>(src.GetStride()), sw, sh};
    // Alpha is averaged as coverage: pixels less than half opaque count as
    // transparent, the rest as opaque.
    std::vector<std::uint8_t> mask;
    if (src.HasAlpha()) {
        mask.resize(static_cast<std::size_t>(sw) * sh);
        for (int y = 0; y < sh; ++y) {
            const std::uint8_t* a = src.GetAlphaRow(sh - 1 - y);
            for (int x = 0; x < sw; ++x)
                mask[static_cast<std::size_t>(y) * sw + x] = a[x] < 128;
        }
    }
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    AreaAverage(block, mask.empty() ? nullptr : mask.data(), sw, w, h, reinterpret_cast<std::uint8_t*>(argb.data()),
                static_cast<std::ptrdiff_t>(w) * 4);
    if (!out.Create(w, h, 24, src.GetType()))
        return false;
    if (src.HasAlpha())
        out.CreateAlpha();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = out.GetRow(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = argb[static_cast<std::size_t>(y) * w + x];
            const std::uint32_t a = v >> 24;
            // Colours come premultiplied by the coverage.
            const auto channel = [&](int shift) {
                const std::uint32_t c = (v >> shift) & 0xFF;
                return static_cast<std::uint8_t>(a == 0 ? 0 : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
            };
            row[3 * x] = channel(0);
            row[3 * x + 1] = channel(8);
            row[3 * x + 2] = channel(16);
            if (src.HasAlpha())
                out.GetAlphaRow(h - 1 - y)[x] = static_cast<std::uint8_t>(a);
        }
    }
    return true;
}
}  // namespace

bool ReduceToFit(CRasterImage& image, int areaWidth, int areaHeight) {
    if (!image.IsValid())
        return false;
    int w = 0, h = 0;
    FittedSize(image.GetWidth(), image.GetHeight(), areaWidth, areaHeight, w, h);
    if (w == image.GetWidth() && h == image.GetHeight())
        return false;
    CRasterImage out;
    const bool made = image.GetBpp() <= 8 ? ReducePalette(image, out, w, h) : ReduceColour(image, out, w, h);
    if (!made)
        return false;
    out.SetTransparentIndex(image.GetTransparentIndex());
    out.SetTransparentColor(image.GetTransparentColor());
    out.SetAlphaMax(image.GetAlphaMax());
    out.SetXDpi(image.GetXDpi());
    out.SetYDpi(image.GetYDpi());
    image = std::move(out);
    return true;
}

// Scaled writes must take exactly the pixels of the sampling rule (column
// (x - dst.left) * src.width / dst.width, rows likewise) on every path, and
// never read outside the source rows: the sources here are allocated to the
// byte, so a read past the last row's end is caught by the address sanitizer.
#include "image/RasterSurface.h"
#include "image/StretchSampler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A source of w x h pixels whose rows lie `gap` bytes apart beyond their
// own width, top-down or bottom-up, in a buffer that ends where the last row
// in memory ends.
struct Source {
    std::vector<std::uint8_t> bytes;
    PixelBlock block;

    Source(int w, int h, int gap, bool bottomUp) {
        const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(w) * 3 + gap;
        bytes.resize(static_cast<std::size_t>(step) * (h - 1) + static_cast<std::size_t>(w) * 3);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 131 + i / 7);
        block = bottomUp ? PixelBlock{bytes.data() + step * (h - 1), -step, w, h} : PixelBlock{bytes.data(), step, w, h};
    }
    const std::uint8_t* Pixel(int x, int y) const { return block.first + y * block.stride + x * 3; }
};

// The rule, written plainly.
int SourceColumn(const SurfaceRect& dst, int x, int srcWidth) {
    return static_cast<int>((std::int64_t{x} - dst.left) * srcWidth / dst.width());
}
int SourceRow(const SurfaceRect& dst, int y, int srcHeight) {
    return static_cast<int>((std::int64_t{y} - dst.top) * srcHeight / dst.height());
}

// Every box column on every path, for both targets and both row orders, in
// one geometry; returns a description of the first wrong pixel, or nothing.
std::string CheckRows(const SurfaceRect& dst, const SurfaceRect& box, int sw, int sh) {
    using Path = CStretchSampler::Path;
    using Target = CStretchSampler::Target;
    const int w = box.width();
    for (const bool bottomUp : {false, true}) {
        const Source src(sw, sh, bottomUp ? 0 : 5, bottomUp);
        for (const Path path : {Path::Fastest, Path::Shuffle16, Path::Portable})
            for (const Target target : {Target::Bgr24, Target::Argb32}) {
                const CStretchSampler sampler(dst, box, sw, sh, target, path);
                const std::string where = " on path " + std::to_string(static_cast<int>(path)) + " for target " +
                                          std::to_string(static_cast<int>(target));
                // One guard pixel after the row: the gather must stop at the box's end.
                std::vector<std::uint8_t> out24((w + 1) * 3, 0xA5);
                std::vector<std::uint32_t> out32(w + 1, 0xA5A5A5A5u);
                for (int y = box.top; y < box.bottom; ++y) {
                    const int sy = sampler.SourceRow(y);
                    if (sy != SourceRow(dst, y, sh))
                        return "row " + std::to_string(y) + where;
                    const std::uint8_t* row = src.block.first + sy * src.block.stride;
                    sampler.Gather24(row, out24.data());
                    sampler.Gather32(row, out32.data());
                    for (int i = 0; i < w; ++i) {
                        const std::uint8_t* p = src.Pixel(SourceColumn(dst, box.left + i, sw), sy);
                        const std::uint32_t argb = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
                        if (out24[i * 3] != p[0] || out24[i * 3 + 1] != p[1] || out24[i * 3 + 2] != p[2] ||
                            out32[i] != argb)
                            return "column " + std::to_string(box.left + i) + " of row " + std::to_string(y) + where;
                    }
                    if (out24[w * 3] != 0xA5 || out24[w * 3 + 1] != 0xA5 || out24[w * 3 + 2] != 0xA5 ||
                        out32[w] != 0xA5A5A5A5u)
                        return "write past the box in row " + std::to_string(y) + where;
                }
            }
    }
    return {};
}

}  // namespace

TEST(StretchSampler, EverySmallSizeTakesTheRulesPixels) {
    // Source and target widths 1..17 each way (up, down and equal), whole
    // boxes and boxes cut on either side, so that the last box column falls
    // on or near the source row's last pixel.
    for (int sw = 1; sw <= 17; ++sw)
        for (int dw = 1; dw <= 17; ++dw) {
            const SurfaceRect dst{3, 2, 3 + dw, 2 + 4};
            const SurfaceRect boxes[] = {dst, {dst.left + dw / 3, 2, dst.right, 6}, {dst.left, 3, dst.right - dw / 4, 5}};
            for (const SurfaceRect& box : boxes) {
                if (box.empty())
                    continue;
                const std::string wrong = CheckRows(dst, box, sw, 3);
                ASSERT_TRUE(wrong.empty()) << sw << " -> " << dw << " columns: " << wrong;
            }
        }
}

TEST(StretchSampler, WideRowsOfEveryScale) {
    // Long rows, where the fast paths do most of the work: strong and mild
    // reductions, the cover's 4000 -> 2834, enlargements, a box cut into
    // from both sides, and a target left of the surface's origin.
    struct Case {
        int sw, dw, left, cutLeft, cutRight;
    };
    const Case cases[] = {{4000, 2834, 0, 0, 0}, {401, 283, 7, 0, 0},  {300, 37, 0, 5, 3},  {97, 300, 0, 0, 0},
                          {100, 501, 2, 33, 41}, {64, 65, 0, 0, 1},    {65, 64, 0, 1, 0},   {250, 251, -30, 30, 0},
                          {1000, 999, 0, 0, 0},  {33, 1000, 0, 990, 0}, {1000, 3, 0, 0, 0}, {7, 48, 0, 0, 47}};
    for (const Case& c : cases) {
        const SurfaceRect dst{c.left, 0, c.left + c.dw, 5};
        const SurfaceRect box{dst.left + c.cutLeft, 1, dst.right - c.cutRight, 5};
        const std::string wrong = CheckRows(dst, box, c.sw, 9);
        EXPECT_TRUE(wrong.empty()) << c.sw << " -> " << c.dw << " columns: " << wrong;
    }
}

// The raster surface's writes, plain and masked, clipped, from rows running
// either way, compared with the rule pixel for pixel; pixels outside the
// clip box keep the background.
TEST(RasterSurfaceStretch, ClippedWritesMatchTheRuleInBothRowOrders) {
    const Rgb background{1, 2, 3};
    struct Case {
        SurfaceRect dst, clip;
        int sw, sh;
    };
    const Case cases[] = {{{-7, -5, 60, 41}, {0, 0, 50, 30}, 13, 9},   {{5, 4, 45, 24}, {12, 9, 44, 23}, 97, 61},
                          {{0, 0, 50, 30}, {0, 0, 50, 30}, 50, 30},    {{10, 0, 27, 30}, {11, 3, 26, 29}, 17, 1},
                          {{3, 3, 4, 29}, {0, 0, 50, 30}, 200, 3},     {{2, 1, 49, 29}, {30, 0, 48, 30}, 1, 1}};
    for (const Case& c : cases)
        for (const bool bottomUp : {false, true})
            for (const bool masked : {false, true}) {
                const Source src(c.sw, c.sh, 2, bottomUp);
                std::vector<std::uint8_t> mask(static_cast<std::size_t>(c.sw) * c.sh);
                for (std::size_t i = 0; i < mask.size(); ++i)
                    mask[i] = (i % 5 == 1 || i % 7 == 0) ? 1 : 0;
                CRasterSurface s(50, 30, background);
                CDrawContext sDraw(s);
                sDraw.SetClip(c.clip);
                if (masked)
                    sDraw.StretchPixelsMasked(c.dst, src.block, mask.data(), c.sw);
                else
                    sDraw.StretchPixels(c.dst, src.block);
                const SurfaceRect box = c.dst.intersected(c.clip);
                for (int y = 0; y < 30; ++y)
                    for (int x = 0; x < 50; ++x) {
                        Rgb want = background;
                        if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) {
                            const int sx = SourceColumn(c.dst, x, c.sw);
                            const int sy = SourceRow(c.dst, y, c.sh);
                            const std::uint8_t* p = src.Pixel(sx, sy);
                            if (!masked || !mask[static_cast<std::size_t>(sy) * c.sw + sx])
                                want = Rgb{p[2], p[1], p[0]};
                        }
                        ASSERT_EQ(s.GetPixel(x, y), want) << "at " << x << "," << y << " bottom-up " << bottomUp
                                                          << " masked " << masked << " from " << c.sw << "x" << c.sh;
                    }
            }
}

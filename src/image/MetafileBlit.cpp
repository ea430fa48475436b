#include "image/MetafileBlit.h"

#include "image/DrawContext.h"
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

#include <algorithm>
#include <cmath>

namespace {
// A ternary raster operation's truth table is the third byte of its code:
// bit (pattern << 2 | source << 1 | destination) gives the result.
std::uint8_t Rop3(std::uint8_t table, std::uint8_t p, std::uint8_t s, std::uint8_t d) {
    std::uint8_t out = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(table & (1 << i)))
            continue;
        out |= static_cast<std::uint8_t>((i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d));
    }
    return out;
}

bool DependsOnSource(std::uint8_t t) { return ((t & 0xCC) >> 2) != (t & 0x33); }
}  // namespace

void BlitOntoBox(MetaBlitTarget& target, SurfaceRect dst, const CRasterImage* bitmap, int srcX, int srcY, int srcW,
                 int srcH, std::uint32_t rop) {
    const std::uint8_t table = static_cast<std::uint8_t>(rop >> 16);
    const bool usesSource = DependsOnSource(table);
    if (usesSource && (!bitmap || !bitmap->IsValid() || srcW <= 0 || srcH <= 0))
        return;
    if (usesSource) {
        // Only the part of the source rectangle inside the bitmap is drawn,
        // onto the matching part of the destination.
        const std::int64_t sx0 = std::max<std::int64_t>(srcX, 0), sy0 = std::max<std::int64_t>(srcY, 0);
        const std::int64_t sx1 = std::min<std::int64_t>(std::int64_t{srcX} + srcW, bitmap->GetWidth());
        const std::int64_t sy1 = std::min<std::int64_t>(std::int64_t{srcY} + srcH, bitmap->GetHeight());
        if (sx1 <= sx0 || sy1 <= sy0)
            return;
        const double fx = static_cast<double>(dst.width()) / srcW, fy = static_cast<double>(dst.height()) / srcH;
        dst = SurfaceRect{dst.left + static_cast<int>(std::lround((sx0 - srcX) * fx)),
                          dst.top + static_cast<int>(std::lround((sy0 - srcY) * fy)),
                          dst.left + static_cast<int>(std::lround((sx1 - srcX) * fx)),
                          dst.top + static_cast<int>(std::lround((sy1 - srcY) * fy))};
        srcX = static_cast<int>(sx0);
        srcY = static_cast<int>(sy0);
        srcW = static_cast<int>(sx1 - sx0);
        srcH = static_cast<int>(sy1 - sy0);
    }
    const SurfaceRect box = dst.intersected(target.clip.box);
    if (box.empty())
        return;
    if (table == 0xCC && !target.clip.mask) {  // SRCCOPY
        bitmap->DrawRegion(&target.surface, dst.left, dst.top, dst.width(), dst.height(), srcX, srcY, srcW, srcH);
        return;
    }
    // Other operations combine the (stretched) source, the brush and what is there.
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bw) * bh * 3);
    target.surface.ReadPixels(box, pixels.data(), bw * 3);
    CRasterSurface source(usesSource ? bw : 0, usesSource ? bh : 0);
    CDrawContext sourceContext(source);
    if (usesSource)
        bitmap->DrawRegion(&sourceContext, dst.left - box.left, dst.top - box.top, dst.width(), dst.height(), srcX, srcY,
                           srcW, srcH);
    for (int j = 0; j < bh; ++j) {
        const std::uint8_t* s = usesSource ? source.Bits() + j * source.Stride() : nullptr;
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(j) * bw * 3;
        for (int i = 0; i < bw; ++i, d += 3) {
            if (!target.clip.Visible(box.left + i, box.top + j))
                continue;
            Rgb brush;
            if (!BrushColorAt(target.brush, target.colours, box.left + i, box.top + j, brush))
                brush = target.colours.background;
            const std::uint8_t pat[3] = {brush.b, brush.g, brush.r};
            for (int c = 0; c < 3; ++c)
                d[c] = Rop3(table, pat[c], s ? s[i * 3 + c] : 0, d[c]);
        }
    }
    target.surface.WritePixels(box.left, box.top, PixelBlock{pixels.data(), bw * 3, bw, bh});
}

void BlitOntoQuad(MetaBlitTarget& target, MetaPoint p0, MetaPoint p1, MetaPoint p2, const CRasterImage* bitmap,
                  int srcX, int srcY, int srcW, int srcH, std::uint32_t rop, const MetaTransfer& extra) {
    const std::uint8_t fore = static_cast<std::uint8_t>(rop >> 16), back = static_cast<std::uint8_t>(rop >> 24);
    const bool usesSource = DependsOnSource(fore) || (extra.mask && DependsOnSource(back)) || extra.blend;
    if (usesSource && (!bitmap || !bitmap->IsValid() || srcW == 0 || srcH == 0))
        return;
    // Destination pixel centres back to the unit square of the source.
    const double ax = p1.x - p0.x, ay = p1.y - p0.y, bx = p2.x - p0.x, by = p2.y - p0.y;
    const double det = ax * by - ay * bx;
    if (!(std::abs(det) > 1e-9) || !std::isfinite(det))
        return;
    const double x3 = p1.x + bx, y3 = p1.y + by;
    auto lo = [](double a, double b, double c, double d) { return std::floor(std::min({a, b, c, d})); };
    auto hi = [](double a, double b, double c, double d) { return std::ceil(std::max({a, b, c, d})); };
    const double l = lo(p0.x, p1.x, p2.x, x3), t = lo(p0.y, p1.y, p2.y, y3);
    const double r = hi(p0.x, p1.x, p2.x, x3), b = hi(p0.y, p1.y, p2.y, y3);
    if (!(l < 1e8 && t < 1e8 && r > -1e8 && b > -1e8))
        return;
    const SurfaceRect box = SurfaceRect{static_cast<int>(std::max(l, -1e8)), static_cast<int>(std::max(t, -1e8)),
                                        static_cast<int>(std::min(r, 1e8)), static_cast<int>(std::min(b, 1e8))}
                                .intersected(target.clip.box);
    if (box.empty())
        return;
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bw) * bh * 3);
    target.surface.ReadPixels(box, pixels.data(), bw * 3);
    const int imgW = bitmap && bitmap->IsValid() ? bitmap->GetWidth() : 0;
    const int imgH = bitmap && bitmap->IsValid() ? bitmap->GetHeight() : 0;
    const bool imageAlpha = extra.blend && !extra.alpha && bitmap && bitmap->HasAlpha();
    for (int j = 0; j < bh; ++j) {
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(j) * bw * 3;
        for (int i = 0; i < bw; ++i, d += 3) {
            const int x = box.left + i, y = box.top + j;
            if (!target.clip.Visible(x, y))
                continue;
            const double px = x + 0.5 - p0.x, py = y + 0.5 - p0.y;
            const double u = (px * by - py * bx) / det, v = (ax * py - ay * px) / det;
            if (!(u >= 0 && u < 1 && v >= 0 && v < 1))
                continue;
            // A negative source extent mirrors the picture.
            const int fx = srcW > 0 ? srcX + static_cast<int>(u * srcW) : srcX - 1 - static_cast<int>(u * -srcW);
            const int fy = srcH > 0 ? srcY + static_cast<int>(v * srcH) : srcY - 1 - static_cast<int>(v * -srcH);
            Rgb s{};
            if (usesSource) {
                if (fx < 0 || fy < 0 || fx >= imgW || fy >= imgH)
                    continue;
                s = bitmap->GetPixelColor(fx, imgH - 1 - fy);
            }
            if (extra.transparent && s == extra.key)
                continue;
            if (extra.blend) {
                // Premultiplied source over the target, as AlphaBlend does.
                unsigned a = 255;
                if (extra.alpha) {
                    const std::size_t at = static_cast<std::size_t>(fy) * imgW + fx;
                    a = at < extra.alpha->size() ? (*extra.alpha)[at] : 255;
                } else if (imageAlpha) {
                    a = bitmap->GetAlphaRow(imgH - 1 - fy)[fx];
                }
                const unsigned ca = static_cast<unsigned>(std::clamp(extra.constantAlpha, 0, 255));
                const std::uint8_t src[3] = {s.b, s.g, s.r};
                // Straight colours (a whole picture's alpha) are premultiplied first.
                const bool straight = imageAlpha || !extra.alpha;
                const unsigned total = a * ca / 255;
                for (int c = 0; c < 3; ++c) {
                    const unsigned sc = straight ? src[c] * a / 255 : std::min<unsigned>(src[c], a);
                    d[c] = static_cast<std::uint8_t>(std::min<unsigned>(255, (sc * ca + d[c] * (255 - total) + 127) / 255));
                }
                continue;
            }
            std::uint8_t table = fore;
            if (extra.mask) {
                // Mask pixels outside the mask read as set.
                const int mxp = extra.maskX + (fx - srcX), myp = extra.maskY + (fy - srcY);
                bool set = true;
                if (mxp >= 0 && myp >= 0 && mxp < extra.mask->GetWidth() && myp < extra.mask->GetHeight()) {
                    const Rgb m = extra.mask->GetPixelColor(mxp, extra.mask->GetHeight() - 1 - myp);
                    set = m.r + m.g + m.b >= 384;
                }
                table = set ? fore : back;
            }
            Rgb brush;
            if (!BrushColorAt(target.brush, target.colours, x, y, brush))
                brush = target.colours.background;
            const std::uint8_t pat[3] = {brush.b, brush.g, brush.r}, src[3] = {s.b, s.g, s.r};
            for (int c = 0; c < 3; ++c)
                d[c] = Rop3(table, pat[c], src[c], d[c]);
        }
    }
    target.surface.WritePixels(box.left, box.top, PixelBlock{pixels.data(), bw * 3, bw, bh});
}

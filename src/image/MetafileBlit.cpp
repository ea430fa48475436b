// CMetafileCanvas: bitmap blits under any ternary raster operation.
#include "image/MetafileCanvas.h"

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

void CMetafileCanvas::Blit(double x, double y, double w, double h, const CRasterImage* bitmap, int srcX, int srcY,
                           int srcW, int srcH, std::uint32_t rop) {
    const SurfacePoint p = Map(x, y), q = Map(x + w, y + h);
    SurfaceRect dst{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
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
    const SurfaceRect box = dst.intersected(state_.clipBox);
    if (box.empty())
        return;
    if (table == 0xCC && ClipIsRectangle()) {  // SRCCOPY
        bitmap->DrawRegion(&surface_, dst.left, dst.top, dst.width(), dst.height(), srcX, srcY, srcW, srcH);
        return;
    }
    // Other operations combine the (stretched) source, the brush and what is there.
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> target(static_cast<std::size_t>(bw) * bh * 3);
    surface_.ReadPixels(box, target.data(), bw * 3);
    CRasterSurface source(usesSource ? bw : 0, usesSource ? bh : 0);
    CDrawContext sourceContext(source);
    if (usesSource)
        bitmap->DrawRegion(&sourceContext, dst.left - box.left, dst.top - box.top, dst.width(), dst.height(), srcX, srcY,
                           srcW, srcH);
    for (int j = 0; j < bh; ++j) {
        const std::uint8_t* s = usesSource ? source.Bits() + j * source.Stride() : nullptr;
        std::uint8_t* d = target.data() + static_cast<std::size_t>(j) * bw * 3;
        for (int i = 0; i < bw; ++i, d += 3) {
            if (!Visible(box.left + i, box.top + j))
                continue;
            Rgb brush;
            if (!BrushColorAt(state_.brush, box.left + i, box.top + j, brush))
                brush = state_.bkColor;
            const std::uint8_t pat[3] = {brush.b, brush.g, brush.r};
            for (int c = 0; c < 3; ++c)
                d[c] = Rop3(table, pat[c], s ? s[i * 3 + c] : 0, d[c]);
        }
    }
    surface_.WritePixels(box.left, box.top, PixelBlock{target.data(), bw * 3, bw, bh});
}

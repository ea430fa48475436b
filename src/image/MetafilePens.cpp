#include "image/MetafilePens.h"

#include <algorithm>
#include <cmath>

namespace {
// Dash runs (drawn, skipped, ...) of `runs` times `unit` pixels; a list of
// odd length runs twice, so that its drawn and skipped runs swap. Empty
// when nothing would be skipped or drawn.
std::vector<std::uint32_t> Dashes(const std::vector<double>& runs, double unit) {
    std::vector<std::uint32_t> out;
    for (int pass = 0; pass < 2 && out.size() < 32; ++pass) {
        for (double r : runs) {
            if (out.size() >= 32)
                break;
            const double px = std::isfinite(r * unit) ? std::clamp(r * unit + 0.5, 0.0, 1e6) : 1.0;
            out.push_back(static_cast<std::uint32_t>(px));
        }
        if (out.size() % 2 == 0)
            break;
    }
    std::uint64_t drawn = 0, skipped = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        (i % 2 ? skipped : drawn) += out[i];
    if (drawn == 0 || skipped == 0 || out.size() % 2)
        return {};
    return out;
}
}  // namespace

Pen DevicePen(const MetaPen& p, const CMetaMapper& mapper) {
    Pen pen;
    pen.color = p.color;
    pen.style = (p.style & 0x0F) == 5 ? PenStyle::Null : PenStyle::Solid;
    // Pen widths are logical units: scale them like horizontal distances.
    // A mapping that makes no number (a damaged file) leaves the thinnest pen.
    const double width = mapper.MappedLength(p.width, 0) + 0.5;
    pen.width = std::isfinite(width) ? static_cast<int>(std::clamp(width, 1.0, 256.0)) : 1;
    return pen;
}

std::vector<std::uint32_t> DashRuns(const MetaPen& p, const CMetaMapper& mapper) {
    const int style = p.style & 0x0F;
    const bool geometric = p.extended && (p.style & 0x000F0000) == 0x00010000;
    // GDI draws a pen from CREATEPEN that is wider than one logical unit
    // solid whatever its style; some renderers dash it anyway.
    if (style < 1 || style > 8 || style == 5 || style == 6 || (!p.extended && p.width > 1 && style <= 4))
        return {};
    if (style == 8)  // PS_ALTERNATE: every other pixel
        return {1, 1};
    if (style == 7)  // PS_USERSTYLE: logical units for geometric pens, pixels for cosmetic ones
        return Dashes(p.userStyle, geometric ? mapper.MappedLength(1, 0) : 1);
    // GDI's own patterns: a cosmetic pen's in pixels, a geometric pen's in
    // multiples of its width.
    const double unit = geometric ? DevicePen(p, mapper).width : 1;
    switch (style) {
    case 1: return Dashes(geometric ? std::vector<double>{3, 1} : std::vector<double>{18, 6}, unit);
    case 2: return Dashes(geometric ? std::vector<double>{1, 1} : std::vector<double>{3, 3}, unit);
    case 3: return Dashes(geometric ? std::vector<double>{3, 1, 1, 1} : std::vector<double>{9, 6, 3, 6}, unit);
    default:
        return Dashes(geometric ? std::vector<double>{3, 1, 1, 1, 1, 1} : std::vector<double>{9, 3, 3, 3, 3, 3}, unit);
    }
}

// The drawn runs of a dashed outline as lines: the steps of each segment
// are counted along its longer axis, and the pattern runs on from one
// segment to the next.
std::vector<std::pair<SurfacePoint, SurfacePoint>> DashLines(const MetaOutlines& outlines,
                                                             const std::vector<std::uint32_t>& runs,
                                                             const SurfaceRect& visible) {
    std::vector<std::pair<SurfacePoint, SurfacePoint>> lines;
    std::uint64_t period = 0;
    for (std::uint32_t r : runs)
        period += r;
    if (period == 0)
        return lines;
    constexpr std::size_t kMaxLines = 1u << 20;
    for (const auto& [points, closed] : outlines) {
        std::uint64_t step = 0;
        const std::size_t n = points.size();
        const std::size_t segments = closed ? n : (n ? n - 1 : 0);
        for (std::size_t i = 0; i < segments && lines.size() < kMaxLines; ++i) {
            const SurfacePoint a = points[i], b = points[(i + 1) % n];
            const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
            const std::int64_t len = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
            auto at = [&](std::int64_t k) {
                return SurfacePoint{static_cast<int>(a.x + (dx * k + (dx >= 0 ? len / 2 : -len / 2)) / std::max<std::int64_t>(len, 1)),
                                    static_cast<int>(a.y + (dy * k + (dy >= 0 ? len / 2 : -len / 2)) / std::max<std::int64_t>(len, 1))};
            };
            // Only the steps that can be seen are walked; the pattern still
            // counts the others.
            double t0 = 0, t1 = static_cast<double>(len);
            auto cut = [&](double p, double q) {  // p t <= q
                if (p == 0)
                    return q >= 0;
                const double r = q / p;
                if (p < 0)
                    t0 = std::max(t0, r);
                else
                    t1 = std::min(t1, r);
                return t0 <= t1;
            };
            const double ux = len ? static_cast<double>(dx) / len : 0, uy = len ? static_cast<double>(dy) / len : 0;
            const bool seen = cut(-ux, a.x - (visible.left - 1.0)) && cut(ux, (visible.right + 1.0) - a.x) &&
                              cut(-uy, a.y - (visible.top - 1.0)) && cut(uy, (visible.bottom + 1.0) - a.y);
            if (!seen) {
                step += static_cast<std::uint64_t>(len);
                continue;
            }
            std::int64_t k = std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(t0)), 0, len);
            const std::int64_t last = std::clamp<std::int64_t>(static_cast<std::int64_t>(std::ceil(t1)) + 1, 0, len);
            const std::uint64_t after = step + static_cast<std::uint64_t>(len);
            step += static_cast<std::uint64_t>(k);
            while (k < last && lines.size() < kMaxLines) {
                // Where in the pattern this step falls, and how far its run goes on.
                std::uint64_t phase = step % period;
                std::size_t run = 0;
                while (phase >= runs[run]) {
                    phase -= runs[run];
                    ++run;
                }
                const std::int64_t left = static_cast<std::int64_t>(runs[run] - phase);
                const std::int64_t end = std::min(len, k + left);
                if (run % 2 == 0)
                    lines.emplace_back(at(k), at(end));
                step += static_cast<std::uint64_t>(end - k);
                k = end;
            }
            step = after;
        }
    }
    return lines;
}

// CMetafileCanvas: text. The selected logical font is matched to a system
// face (FontEngine.h) at the size the mapping gives it; glyphs are blended
// into the picture anti-aliased, placed by the text alignment, the spacing
// array or the font's own advances, and turned by the escapement.
#include "image/CodecUtil.h"
#include "image/FontEngine.h"
#include "image/MetafileCanvas.h"
#include "image/TextCharsets.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxEmPixels = 2048;
// Text alignment flags.
constexpr int kUpdateCp = 1, kRight = 2, kCenter = 6, kBottom = 8, kBaseline = 24;
// EXTTEXTOUT options.
constexpr int kOpaque = 2, kClipped = 4;
}  // namespace

void CMetafileCanvas::BlendGlyph(int x, int y, const GlyphImage& g, Rgb color, const SurfaceRect& limit) {
    const SurfaceRect box = SurfaceRect{x, y, x + g.width, y + g.height}.intersected(limit);
    if (box.empty())
        return;
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bw) * bh * 3);
    surface_.ReadPixels(box, pixels.data(), bw * 3);
    const std::uint8_t col[3] = {color.b, color.g, color.r};
    for (int j = 0; j < bh; ++j) {
        const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(box.top + j - y) * g.width + (box.left - x);
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(j) * bw * 3;
        for (int i = 0; i < bw; ++i, d += 3) {
            const unsigned a = cov[i];
            if (a == 0 || (state_.clipMask && !Visible(box.left + i, box.top + j)))
                continue;
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<std::uint8_t>((col[c] * a + d[c] * (255 - a) + 127) / 255);
        }
    }
    surface_.WritePixels(box.left, box.top, PixelBlock{pixels.data(), bw * 3, bw, bh});
}

void CMetafileCanvas::Text(const MetaText& text) {
    const MetaFont& font = state_.font;
    const int align = state_.textAlign;
    const MetaPoint ref = (align & kUpdateCp) ? state_.position : MetaPoint{text.x, text.y};
    const MetaPoint origin = MapExact(ref.x, ref.y);

    // The opaque rectangle is painted even without characters.
    SurfaceRect limit = state_.clipBox;
    if (text.options & (kOpaque | kClipped)) {
        const SurfacePoint a = Map(text.rectLeft, text.rectTop), b = Map(text.rectRight, text.rectBottom);
        const SurfaceRect rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        if (text.options & kOpaque)
            FillDeviceQuad({{double(rect.left), double(rect.top)}, {double(rect.right), double(rect.top)},
                            {double(rect.right), double(rect.bottom)}, {double(rect.left), double(rect.bottom)}},
                           state_.bkColor);
        if (text.options & kClipped)
            limit = limit.intersected(rect);
    }
    if (text.chars.empty() || limit.empty() || !std::isfinite(origin.x) || !std::isfinite(origin.y))
        return;

    CFontEngine& engine = CFontEngine::Instance();
    const auto lock = engine.Lock();
    const int face = engine.FindFace(FontRequest{font.family, font.weight, font.italic});
    if (face < 0)
        return;
    const FontMetrics m = engine.Metrics(face);
    // Height: negative is the em, positive the cell (ascent + descent);
    // 0 asks for the default size.
    const double logicalHeight = font.height != 0 ? std::abs(font.height) : 12;
    const double height = MappedLength(0, logicalHeight);
    double emY = (font.height < 0) ? height : height / std::max(0.1, m.ascent + m.descent);
    double emX = font.width > 0 ? MappedLength(font.width, 0) / std::max(0.05, m.averageWidth) : emY;
    if (!std::isfinite(emY) || !std::isfinite(emX) || emY < 0.5 || emX < 0.5)
        return;
    emY = std::min(emY, kMaxEmPixels);
    emX = std::min(emX, kMaxEmPixels * 4);
    int angle = font.escapement % 3600;
    if (angle < 0)
        angle += 3600;
    SizedFont sized{face, static_cast<int>(emX * 64 + 0.5), static_cast<int>(emY * 64 + 0.5), angle,
                    font.weight >= 600 && !engine.FaceIsBold(face), font.italic && !engine.FaceIsItalic(face)};
    const double a = angle / 10.0 * kPi / 180.0;
    const MetaPoint dir{std::cos(a), -std::sin(a)}, down{std::sin(a), std::cos(a)};

    // Advances along the baseline, in pixels: the spacing array's, or the
    // glyphs' own plus the character extra.
    const double extra = state_.charExtra != 0 ? MappedLength(state_.charExtra, 0) : 0;
    const double breakExtra = state_.breakExtra != 0 ? MappedLength(state_.breakExtra, 0) : 0;
    std::vector<double> advances(text.chars.size(), 0.0);
    std::vector<int> faces(text.chars.size(), face);
    double total = 0;
    for (std::size_t i = 0; i < text.chars.size(); ++i) {
        const char32_t ch = text.chars[i];
        if (ch != 0)
            faces[i] = engine.FaceFor(face, ch);
        if (i < text.advances.size()) {
            const double v = text.advances[i];
            advances[i] = std::isfinite(v) ? std::copysign(MappedLength(std::abs(v), 0), v) : 0;
        } else if (ch != 0) {
            sized.face = faces[i];
            advances[i] = engine.Advance(sized, ch) + extra + (ch == U' ' ? breakExtra : 0);
        }
        total += advances[i];
    }
    const double ascent = m.ascent * emY, descent = m.descent * emY;
    double shift = 0;
    if ((align & kCenter) == kCenter)
        shift = total / 2;
    else if ((align & kCenter) == kRight)
        shift = total;
    double rise = 0;  // from the reference point down to the baseline
    if ((align & kBaseline) == kBaseline)
        rise = 0;
    else if ((align & kBaseline) == kBottom)
        rise = -descent;
    else
        rise = ascent;
    const MetaPoint start{origin.x - dir.x * shift + down.x * rise, origin.y - dir.y * shift + down.y * rise};
    auto along = [&](double s, double t) {  // s along the baseline, t below it
        return MetaPoint{start.x + dir.x * s + down.x * t, start.y + dir.y * s + down.y * t};
    };

    // Backgrounds and bars stay inside the clipping rectangle as the glyphs do.
    const SurfaceRect clipBefore = state_.clipBox;
    state_.clipBox = limit;
    ApplyClip();
    if (state_.bkMode == 2 && !(text.options & kOpaque))
        FillDeviceQuad({along(0, -ascent), along(total, -ascent), along(total, descent), along(0, descent)},
                       state_.bkColor);

    // Glyphs are rendered only where they can be seen.
    const double reach = 2 * std::max(emX, emY);
    double pen = 0;
    for (std::size_t i = 0; i < text.chars.size(); ++i) {
        const char32_t ch = text.chars[i];
        const MetaPoint near = along(pen, 0);
        const bool visible = near.x + reach >= limit.left && near.x - reach <= limit.right &&
                             near.y + reach >= limit.top && near.y - reach <= limit.bottom;
        if (ch != 0 && ch != U' ' && visible) {
            sized.face = faces[i];
            if (const GlyphImage* g = engine.Glyph(sized, ch); g && g->width > 0) {
                const MetaPoint at = along(pen, 0);
                BlendGlyph(static_cast<int>(std::floor(at.x + 0.5)) + g->left,
                           static_cast<int>(std::floor(at.y + 0.5)) + g->top, *g, state_.textColor, limit);
            }
        }
        pen += advances[i];
    }

    // Underline and strike-out: bars along the baseline in the text colour.
    auto bar = [&](double position, double thickness) {
        const double t = std::max(1.0, thickness * emY);
        const double top = -position * emY - t / 2;
        FillDeviceQuad({along(0, top), along(total, top), along(total, top + t), along(0, top + t)}, state_.textColor);
    };
    if (font.underline)
        bar(m.underlinePosition, m.underlineThickness);
    if (font.strikeOut)
        bar(m.strikeoutPosition, m.strikeoutThickness);
    state_.clipBox = clipBefore;
    ApplyClip();

    if (align & kUpdateCp) {
        // The current position moves on by the text's width, in logical units.
        const double unit = MappedLength(1, 0);
        if (unit > 0) {
            const double sign = MapExact(1, 0).x >= MapExact(0, 0).x ? 1 : -1;
            state_.position.x += sign * total / unit * std::cos(a);
            state_.position.y -= total / unit * std::sin(a) * (MapExact(0, 1).y >= MapExact(0, 0).y ? 1 : -1);
        }
    }
}

std::u32string CMetafileCanvas::DecodeText(const std::uint8_t* bytes, std::size_t count) const {
    const SymbolTable table = SymbolTableFor(state_.font.family, state_.font.charset);
    std::u32string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(CharFromByte(bytes[i], state_.font.charset, table));
    return out;
}

std::u32string CMetafileCanvas::DecodeWideText(const std::uint8_t* units, std::size_t count) const {
    const SymbolTable table = SymbolTableFor(state_.font.family, state_.font.charset);
    std::u32string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = LoadLE16(units + i * 2);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < count) {
            const char32_t low = LoadLE16(units + (i + 1) * 2);
            if (low >= 0xDC00 && low < 0xE000) {
                out.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                out.push_back(0);
                ++i;
                continue;
            }
        }
        out.push_back(u >= 0xD800 && u < 0xE000 ? 0 : CharFromWide(u, table));
    }
    return out;
}

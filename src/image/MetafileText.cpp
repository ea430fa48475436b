#include "image/MetafileText.h"

#include "image/CodecUtil.h"
#include "image/DrawContext.h"
#include "image/FontEngine.h"
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

void BlendGlyph(CDrawContext& surface, const MetaClipView& clip, int x, int y, const GlyphImage& g, Rgb color,
                const SurfaceRect& limit) {
    const SurfaceRect box = SurfaceRect{x, y, x + g.width, y + g.height}.intersected(limit);
    if (box.empty())
        return;
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bw) * bh * 3);
    surface.ReadPixels(box, pixels.data(), bw * 3);
    const std::uint8_t col[3] = {color.b, color.g, color.r};
    for (int j = 0; j < bh; ++j) {
        const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(box.top + j - y) * g.width + (box.left - x);
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(j) * bw * 3;
        for (int i = 0; i < bw; ++i, d += 3) {
            const unsigned a = cov[i];
            if (a == 0 || (clip.mask && !clip.Visible(box.left + i, box.top + j)))
                continue;
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<std::uint8_t>((col[c] * a + d[c] * (255 - a) + 127) / 255);
        }
    }
    surface.WritePixels(box.left, box.top, PixelBlock{pixels.data(), bw * 3, bw, bh});
}

}  // namespace

MetaPoint DrawMetaText(const MetaText& text, const MetaTextState& state, const CMetaMapper& mapper,
                       const MetaTextTarget& target) {
    const MetaFont& font = state.font;
    const int align = state.align;
    const MetaPoint ref = (align & kUpdateCp) ? state.position : MetaPoint{text.x, text.y};
    const MetaPoint origin = mapper.MapExact(ref.x, ref.y);
    // A world transform turns and shears the whole text, glyphs included;
    // sizes below are those of the page mapping alone.
    const MetaLinear world = mapper.WorldInPicture();
    double pageX = 1, pageY = 1;
    mapper.PageScale(pageX, pageY);
    pageX = std::abs(pageX);
    pageY = std::abs(pageY);

    // The opaque rectangle is painted even without characters.
    SurfaceRect limit = state.clipBox;
    if (text.options & (kOpaque | kClipped)) {
        const MetaPoint c[4] = {mapper.MapExact(text.rectLeft, text.rectTop), mapper.MapExact(text.rectRight, text.rectTop),
                                mapper.MapExact(text.rectRight, text.rectBottom), mapper.MapExact(text.rectLeft, text.rectBottom)};
        auto px = [](double v) { return static_cast<int>(std::floor(std::clamp(v, -1e8, 1e8) + 0.5)); };
        const SurfaceRect rect{px(std::min({c[0].x, c[1].x, c[2].x, c[3].x})), px(std::min({c[0].y, c[1].y, c[2].y, c[3].y})),
                               px(std::max({c[0].x, c[1].x, c[2].x, c[3].x})), px(std::max({c[0].y, c[1].y, c[2].y, c[3].y}))};
        if (text.options & kOpaque)
            target.fillQuad({c[0], c[1], c[2], c[3]}, state.colours.background);
        // A turned clipping rectangle clips to its bounding box.
        if (text.options & kClipped)
            limit = limit.intersected(rect);
    }
    if (text.chars.empty() || limit.empty() || !std::isfinite(origin.x) || !std::isfinite(origin.y))
        return state.position;

    CFontEngine& engine = CFontEngine::Instance();
    const auto lock = engine.Lock();
    const int face = engine.FindFace(FontRequest{font.family, font.weight, font.italic});
    if (face < 0)
        return state.position;
    const FontMetrics m = engine.Metrics(face);
    // Height: negative is the em, positive the cell (ascent + descent);
    // 0 asks for the default size.
    const double logicalHeight = font.height != 0 ? std::abs(font.height) : 12;
    const double height = pageY * logicalHeight;
    double emY = (font.height < 0) ? height : height / std::max(0.1, m.ascent + m.descent);
    // A width condenses or widens the face so that its average character
    // is that wide, as GDI scales it.
    double emX = font.width > 0 ? pageX * font.width / std::max(0.05, m.averageWidth) : emY;
    if (!std::isfinite(emY) || !std::isfinite(emX) || emY < 0.5 || emX < 0.5)
        return state.position;
    emY = std::min(emY, kMaxEmPixels);
    emX = std::min(emX, kMaxEmPixels * 4);
    int angle = font.escapement % 3600;
    if (angle < 0)
        angle += 3600;
    SizedFont sized{face, static_cast<int>(emX * 64 + 0.5), static_cast<int>(emY * 64 + 0.5), angle,
                    font.weight >= 600 && !engine.FaceIsBold(face), font.italic && !engine.FaceIsItalic(face)};
    // Advances are measured untransformed; glyphs are drawn transformed.
    auto fixed = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -64.0, 64.0) * 65536.0); };
    SizedFont drawn = sized;
    drawn.xx = fixed(world.xx);
    drawn.xy = fixed(world.xy);
    drawn.yx = fixed(world.yx);
    drawn.yy = fixed(world.yy);
    const double a = angle / 10.0 * kPi / 180.0;
    const MetaPoint dir{std::cos(a), -std::sin(a)}, down{std::sin(a), std::cos(a)};

    // Advances along the baseline, in pixels: the spacing array's, or the
    // glyphs' own plus the character extra.
    const double extra = state.charExtra * pageX;
    const double breakExtra = state.breakExtra * pageX;
    std::u32string chars = text.chars;
    std::vector<double> advances(chars.size(), 0.0);
    std::vector<int> faces(chars.size(), face);
    double total = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        char32_t& ch = chars[i];
        if (ch != 0)
            faces[i] = engine.FaceFor(face, ch);
        // A symbol font's sign that no font here has: the older look-alike.
        if (ch != 0 && !(ch & kGlyphIndexBit) && engine.CharGlyphIndex(faces[i], ch) == 0) {
            if (const char32_t standIn = SymbolStandIn(ch)) {
                ch = standIn;
                faces[i] = engine.FaceFor(face, ch);
            }
        }
        if (i < text.advances.size()) {
            const double v = text.advances[i];
            advances[i] = std::isfinite(v) ? v * pageX : 0;
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
    auto along = [&](double s, double t) {  // s along the baseline, t below it, then the world
        const double ox = dir.x * (s - shift) + down.x * (t + rise), oy = dir.y * (s - shift) + down.y * (t + rise);
        return MetaPoint{origin.x + world.xx * ox + world.xy * oy, origin.y + world.yx * ox + world.yy * oy};
    };

    // Backgrounds and bars stay inside the clipping rectangle as the glyphs do.
    const SurfaceRect clipBefore = state.clipBox;
    target.setClipBox(limit);
    if (state.colours.backgroundMode == 2 && !(text.options & kOpaque))
        target.fillQuad({along(0, -ascent), along(total, -ascent), along(total, descent), along(0, descent)},
                        state.colours.background);
    const MetaClipView clip = target.clip();

    // Glyphs are rendered only where they can be seen.
    const double reach = 2 * std::max(emX, emY) * (1 + std::abs(world.xx) + std::abs(world.xy) + std::abs(world.yx) + std::abs(world.yy));
    double pen = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t ch = chars[i];
        const MetaPoint near = along(pen, 0);
        const bool visible = near.x + reach >= limit.left && near.x - reach <= limit.right &&
                             near.y + reach >= limit.top && near.y - reach <= limit.bottom;
        if (ch != 0 && ch != U' ' && visible) {
            drawn.face = faces[i];
            if (const GlyphImage* g = engine.Glyph(drawn, ch); g && g->width > 0) {
                // A mark that sits on the letter before it in Unicode (an
                // accent of MT Extra) is a sign of its own cell in a
                // symbol font: its ink is centred on that cell.
                double centre = 0;
                if (g->advanceX == 0 && g->advanceY == 0)
                    centre = std::clamp(advances[i] / 2 - (g->left + g->width / 2.0), -reach, reach);
                const MetaPoint at = along(pen + centre, 0);
                // A cell far beyond the page (a font of absurd size) holds nothing to see.
                if (std::abs(at.x) < 1e9 && std::abs(at.y) < 1e9)
                    BlendGlyph(target.surface, clip, static_cast<int>(std::floor(at.x + 0.5)) + g->left,
                               static_cast<int>(std::floor(at.y + 0.5)) + g->top, *g, state.colours.text, limit);
            }
        }
        pen += advances[i];
    }

    // Underline and strike-out: bars along the baseline in the text colour.
    auto bar = [&](double position, double thickness) {
        const double t = std::max(1.0, thickness * emY);
        const double top = -position * emY - t / 2;
        target.fillQuad({along(0, top), along(total, top), along(total, top + t), along(0, top + t)}, state.colours.text);
    };
    if (font.underline)
        bar(m.underlinePosition, m.underlineThickness);
    if (font.strikeOut)
        bar(m.strikeoutPosition, m.strikeoutThickness);
    target.setClipBox(clipBefore);

    MetaPoint position = state.position;
    if (align & kUpdateCp) {
        // The current position moves on by the text's width, in logical units.
        const double unit = pageX;
        if (unit > 0) {
            const double sign = mapper.MapExact(1, 0).x >= mapper.MapExact(0, 0).x ? 1 : -1;
            position.x += sign * total / unit * std::cos(a);
            position.y -= total / unit * std::sin(a) * (mapper.MapExact(0, 1).y >= mapper.MapExact(0, 0).y ? 1 : -1);
        }
    }
    return position;
}

std::u32string DecodeMetaText(const std::uint8_t* bytes, std::size_t count, const MetaFont& font) {
    const SymbolTable table = SymbolTableFor(font.family, font.charset);
    if (table == SymbolTable::None && IsMultiByteCharset(font.charset))
        return DecodeMultiByte(bytes, count, font.charset);
    std::u32string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(CharFromByte(bytes[i], font.charset, table));
    return out;
}

std::u32string DecodeMetaWideText(const std::uint8_t* units, std::size_t count, const MetaFont& font) {
    const SymbolTable table = SymbolTableFor(font.family, font.charset);
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

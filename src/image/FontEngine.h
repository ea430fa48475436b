#pragma once
// The fonts metafile text is drawn with: faces found through fontconfig,
// glyphs rendered by FreeType as anti-aliased 8-bit coverage and cached.
// One lock guards FreeType and the caches; callers hold it (Lock) for as
// long as they use the glyphs they were given.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct FontRequest {
    std::string family;  // as the metafile names it
    int weight = 400;    // 100..900, 0 = normal
    bool italic = false;
};

// A face's vertical metrics as fractions of its em.
struct FontMetrics {
    double ascent = 0.8, descent = 0.2;   // the Windows cell: ascent + descent is the cell height
    double averageWidth = 0.5;
    double underlinePosition = -0.1, underlineThickness = 0.05;  // y up from the baseline
    double strikeoutPosition = 0.25, strikeoutThickness = 0.05;
};

// One rendered glyph: coverage rows top-down, placed relative to the pen
// position (device pixels, y down), and the pen's advance.
struct GlyphImage {
    int left = 0, top = 0;  // top-left corner of the bitmap from the pen
    int width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
    double advanceX = 0, advanceY = 0;
};

// A face at a size and angle: what a glyph is rendered with.
struct SizedFont {
    int face = -1;
    int emX = 0, emY = 0;      // em width and height in 1/64 device pixel
    int angle = 0;             // tenths of a degree, counter-clockwise
    bool bold = false;         // embolden (the face has no bold of its own)
    bool oblique = false;      // slant (the face has no italic of its own)
    // A further turn or shear of the glyphs (a metafile's world transform)
    // in device pixels, y down, 16.16 fixed point.
    std::int32_t xx = 65536, xy = 0, yx = 0, yy = 65536;
    bool operator==(const SizedFont&) const = default;
};

// Characters with this bit set name a glyph of the face by its index
// (text the writing program laid out itself) instead of a character.
constexpr char32_t kGlyphIndexBit = 0x80000000u;

class CFontEngine {
public:
    static CFontEngine& Instance();
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

    // Everything below needs the lock held.

    // The face fontconfig gives for the request, the metric-compatible
    // Liberation fonts standing in for Arial, Times New Roman and Courier
    // New. -1 when the system has no usable font at all.
    int FindFace(const FontRequest& request);
    bool FaceIsBold(int face) const;
    bool FaceIsItalic(int face) const;
    FontMetrics Metrics(int face) const;
    // The face that has `ch`: `face` itself, else one fontconfig offers
    // in its place; `face` when none has it.
    int FaceFor(int face, char32_t ch);
    // The index of the glyph of `ch` in the face; 0 when it has none.
    unsigned CharGlyphIndex(int face, char32_t ch) const;
    // The pen's advance after `ch` in pixels (the glyph is not rendered).
    double Advance(const SizedFont& font, char32_t ch);
    // The glyph of `ch` in `font`; null when it cannot be rendered. Valid
    // until the next call (the cache may be emptied then).
    const GlyphImage* Glyph(const SizedFont& font, char32_t ch);

    ~CFontEngine();

private:
    CFontEngine();
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::mutex mutex_;
};

// The family that stands in for a family name Windows pictures use, or
// the name itself (fontconfig matches it).
std::string SubstituteFamily(const std::string& family);

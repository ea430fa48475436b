// CFontEngine: fontconfig finds the faces, FreeType renders the glyphs.
#include "image/FontEngine.h"

#include "base/AsciiText.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace {
constexpr std::size_t kMaxCachedGlyphs = 20000;
constexpr std::size_t kMaxCachedBytes = 64u << 20;
constexpr double kPi = 3.14159265358979323846;

struct GlyphKey {
    SizedFont font;
    char32_t ch;
    bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
    std::size_t operator()(const GlyphKey& k) const {
        std::size_t h = static_cast<std::size_t>(k.font.face) * 1000003u;
        h ^= static_cast<std::size_t>(k.font.emX) * 7919u + static_cast<std::size_t>(k.font.emY) * 104729u;
        h ^= static_cast<std::size_t>(k.font.angle) * 31u + (k.font.bold ? 17u : 0u) + (k.font.oblique ? 29u : 0u);
        h ^= static_cast<std::size_t>(k.font.xy) * 131u + static_cast<std::size_t>(k.font.yx) * 8191u +
             static_cast<std::size_t>(k.font.xx ^ k.font.yy) * 524287u;
        return h ^ (static_cast<std::size_t>(k.ch) * 2654435761u);
    }
};
}  // namespace

std::string SubstituteFamily(const std::string& family) {
    // Metric-compatible stand-ins: text keeps the width it was laid out with.
    static const std::map<std::string, std::string> kStandIns = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"arial narrow", "Liberation Sans Narrow"},
        {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
        // Symbol text arrives as Unicode (SymbolCharsets.h): a serif face
        // with Greek and mathematical signs draws it as the Symbol font would.
        {"symbol", "Liberation Serif"},
        {"mt extra", "DejaVu Serif"},
        {"wingdings", "DejaVu Sans"},
        {"wingdings 2", "DejaVu Sans"},
        {"wingdings 3", "DejaVu Sans"},
        {"webdings", "DejaVu Sans"},
    };
    const auto it = kStandIns.find(AsciiLower(family));
    return it == kStandIns.end() ? family : it->second;
}

struct CFontEngine::Impl {
    struct Face {
        FT_Face face = nullptr;
        std::string file;
        int index = 0;
        bool bold = false, italic = false;
        FontMetrics metrics;
        FcPattern* pattern = nullptr;  // what it was found for (fallbacks)
    };
    FT_Library library = nullptr;
    bool fontconfigReady = false;
    std::vector<Face> faces;
    std::map<std::string, int> byRequest;
    std::map<std::pair<std::string, int>, int> byFile;
    std::map<std::pair<int, char32_t>, int> fallback;
    std::unordered_map<GlyphKey, GlyphImage, GlyphKeyHash> glyphs;
    std::unordered_map<GlyphKey, double, GlyphKeyHash> advances;
    std::size_t glyphBytes = 0;

    ~Impl() {
        for (Face& f : faces) {
            if (f.face)
                FT_Done_Face(f.face);
            if (f.pattern)
                FcPatternDestroy(f.pattern);
        }
        if (library)
            FT_Done_FreeType(library);
    }

    int Open(const std::string& file, int index, FcPattern* pattern) {
        const auto key = std::make_pair(file, index);
        const auto it = byFile.find(key);
        if (it != byFile.end()) {
            if (pattern)
                FcPatternDestroy(pattern);
            return it->second;
        }
        Face f;
        if (FT_New_Face(library, file.c_str(), index, &f.face) != 0 || !f.face) {
            if (pattern)
                FcPatternDestroy(pattern);
            return -1;
        }
        f.file = file;
        f.index = index;
        f.pattern = pattern;
        f.bold = (f.face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        f.italic = (f.face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        if (FT_IS_SCALABLE(f.face))
            FillMetrics(f);
        faces.push_back(f);
        const int id = static_cast<int>(faces.size()) - 1;
        byFile[key] = id;
        return id;
    }

    static void FillMetrics(Face& f) {
        const double em = f.face->units_per_EM > 0 ? f.face->units_per_EM : 2048;
        FontMetrics& m = f.metrics;
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f.face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            m.ascent = os2->usWinAscent / em;
            m.descent = os2->usWinDescent / em;
            if (os2->xAvgCharWidth > 0)
                m.averageWidth = os2->xAvgCharWidth / em;
            if (os2->yStrikeoutSize > 0) {
                m.strikeoutPosition = os2->yStrikeoutPosition / em;
                m.strikeoutThickness = os2->yStrikeoutSize / em;
            }
        } else if (f.face->ascender - f.face->descender > 0) {
            m.ascent = f.face->ascender / em;
            m.descent = -f.face->descender / em;
        }
        // GDI condenses a font by its average character width as the fonts
        // Windows pictures were made with give it: the weighted average of
        // the lower-case letters and the space. Newer faces (the Liberation
        // stand-ins among them) store an average over all their glyphs
        // instead, which would condense their text too little.
        static const int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                         56, 17, 4,  49, 56, 71,  31, 10, 18, 3,  18, 2, 166};
        double sum = 0;
        bool complete = true;
        for (int i = 0; i < 27 && complete; ++i) {
            const FT_UInt glyph = FT_Get_Char_Index(f.face, i < 26 ? 'a' + i : ' ');
            if (glyph == 0 || FT_Load_Glyph(f.face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) {
                complete = false;
                break;
            }
            sum += kWeights[i] * static_cast<double>(f.face->glyph->metrics.horiAdvance);
        }
        if (complete && sum > 0)
            m.averageWidth = sum / 1000 / em;
        if (f.face->underline_thickness > 0) {
            m.underlinePosition = f.face->underline_position / em;
            m.underlineThickness = f.face->underline_thickness / em;
        }
    }

    int Match(FcPattern* pattern) {
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        int id = -1;
        if (match) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                id = Open(reinterpret_cast<const char*>(file), index, FcPatternDuplicate(pattern));
            }
            FcPatternDestroy(match);
        }
        return id;
    }
};

CFontEngine::CFontEngine() : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->library) != 0)
        impl_->library = nullptr;
    impl_->fontconfigReady = FcInit() == FcTrue;
}

CFontEngine::~CFontEngine() = default;

CFontEngine& CFontEngine::Instance() {
    static CFontEngine engine;
    return engine;
}

int CFontEngine::FindFace(const FontRequest& request) {
    if (!impl_->library || !impl_->fontconfigReady)
        return -1;
    const int weight = request.weight <= 0 ? 400 : std::clamp(request.weight, 100, 900);
    const std::string family = SubstituteFamily(request.family.empty() ? std::string("Liberation Sans")
                                                                        : request.family);
    const std::string key = AsciiLower(family) + '|' + std::to_string(weight) + (request.italic ? "|i" : "|r");
    const auto it = impl_->byRequest.find(key);
    if (it != impl_->byRequest.end())
        return it->second;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    const int id = impl_->Match(pattern);
    FcPatternDestroy(pattern);
    impl_->byRequest[key] = id;
    return id;
}

bool CFontEngine::FaceIsBold(int face) const {
    return face >= 0 && face < static_cast<int>(impl_->faces.size()) && impl_->faces[face].bold;
}

bool CFontEngine::FaceIsItalic(int face) const {
    return face >= 0 && face < static_cast<int>(impl_->faces.size()) && impl_->faces[face].italic;
}

FontMetrics CFontEngine::Metrics(int face) const {
    if (face < 0 || face >= static_cast<int>(impl_->faces.size()))
        return FontMetrics{};
    return impl_->faces[face].metrics;
}

unsigned CFontEngine::CharGlyphIndex(int face, char32_t ch) const {
    if (face < 0 || face >= static_cast<int>(impl_->faces.size()))
        return 0;
    return FT_Get_Char_Index(impl_->faces[face].face, ch);
}

int CFontEngine::FaceFor(int face, char32_t ch) {
    if (face < 0 || face >= static_cast<int>(impl_->faces.size()) || (ch & kGlyphIndexBit))
        return face;
    if (FT_Get_Char_Index(impl_->faces[face].face, ch) != 0)
        return face;
    const auto key = std::make_pair(face, ch);
    const auto it = impl_->fallback.find(key);
    if (it != impl_->fallback.end())
        return it->second;
    // The fonts fontconfig would put in this face's place, best first: the
    // first that has the character.
    int found = face;
    FcPattern* pattern = FcPatternDuplicate(impl_->faces[face].pattern);
    if (pattern) {
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
        if (set) {
            for (int i = 0; i < set->nfont; ++i) {
                FcCharSet* chars = nullptr;
                FcChar8* file = nullptr;
                if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch ||
                    !FcCharSetHasChar(chars, ch) ||
                    FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
                    continue;
                int index = 0;
                FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
                const int id = impl_->Open(reinterpret_cast<const char*>(file), index,
                                           FcPatternDuplicate(impl_->faces[face].pattern));
                if (id >= 0 && FT_Get_Char_Index(impl_->faces[id].face, ch) != 0) {
                    found = id;
                    break;
                }
            }
            FcFontSetDestroy(set);
        }
        FcPatternDestroy(pattern);
    }
    impl_->fallback[key] = found;
    return found;
}

// Sets the face's size and the transform of `font`; false when FreeType refuses.
static bool Prepare(FT_Face face, const SizedFont& font) {
    if (FT_Set_Char_Size(face, font.emX, font.emY, 72, 72) != 0)
        return false;
    // Rotation by the escapement and, for a face without italic, a slant;
    // then the further transform (given y down, FreeType's y is up).
    const double a = font.angle / 10.0 * kPi / 180.0;
    const double c = std::cos(a), s = std::sin(a), shear = font.oblique ? 0.2 : 0.0;
    const double r11 = c, r12 = c * shear - s, r21 = s, r22 = s * shear + c;
    const double w11 = font.xx / 65536.0, w12 = -font.xy / 65536.0, w21 = -font.yx / 65536.0, w22 = font.yy / 65536.0;
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>((w11 * r11 + w12 * r21) * 65536.0);
    m.xy = static_cast<FT_Fixed>((w11 * r12 + w12 * r22) * 65536.0);
    m.yx = static_cast<FT_Fixed>((w21 * r11 + w22 * r21) * 65536.0);
    m.yy = static_cast<FT_Fixed>((w21 * r12 + w22 * r22) * 65536.0);
    FT_Set_Transform(face, &m, nullptr);
    return true;
}

// The glyph of a character, or the glyph an index names.
static FT_UInt GlyphIndex(FT_Face face, char32_t ch) {
    if (ch & kGlyphIndexBit) {
        const FT_ULong id = ch & ~kGlyphIndexBit;
        return id < static_cast<FT_ULong>(face->num_glyphs) ? static_cast<FT_UInt>(id) : 0;
    }
    return FT_Get_Char_Index(face, ch);
}

static FT_Int32 LoadFlags(const SizedFont& font) {
    const bool turned = font.angle != 0 || font.oblique || font.xy != 0 || font.yx != 0;
    return FT_LOAD_NO_BITMAP | (turned ? FT_LOAD_NO_HINTING : 0);
}

// The extra width of an emboldened glyph, in 1/64 pixel.
static FT_Pos Emboldening(const SizedFont& font) { return std::max<FT_Pos>(font.emY / 24, 16); }

double CFontEngine::Advance(const SizedFont& font, char32_t ch) {
    if (font.face < 0 || font.face >= static_cast<int>(impl_->faces.size()) || font.emX <= 0 || font.emY <= 0)
        return 0;
    const GlyphKey key{font, ch};
    if (const auto g = impl_->glyphs.find(key); g != impl_->glyphs.end())
        return std::hypot(g->second.advanceX, g->second.advanceY);
    if (const auto a = impl_->advances.find(key); a != impl_->advances.end())
        return a->second;
    if (impl_->advances.size() >= kMaxCachedGlyphs)
        impl_->advances.clear();
    double& advance = impl_->advances[key];
    FT_Face face = impl_->faces[font.face].face;
    if (!Prepare(face, font) || FT_Load_Glyph(face, GlyphIndex(face, ch), LoadFlags(font)) != 0)
        return advance = 0;
    advance = std::hypot(face->glyph->advance.x / 64.0, face->glyph->advance.y / 64.0);
    if (font.bold)
        advance += Emboldening(font) / 64.0;
    return advance;
}

const GlyphImage* CFontEngine::Glyph(const SizedFont& font, char32_t ch) {
    if (font.face < 0 || font.face >= static_cast<int>(impl_->faces.size()) || font.emX <= 0 || font.emY <= 0)
        return nullptr;
    const GlyphKey key{font, ch};
    const auto it = impl_->glyphs.find(key);
    if (it != impl_->glyphs.end())
        return &it->second;
    // A glyph is used at once and never kept by callers, so the cache may
    // be emptied here.
    if (impl_->glyphs.size() >= kMaxCachedGlyphs || impl_->glyphBytes > kMaxCachedBytes) {
        impl_->glyphs.clear();
        impl_->glyphBytes = 0;
    }
    FT_Face face = impl_->faces[font.face].face;
    GlyphImage& g = impl_->glyphs[key];
    if (!Prepare(face, font) || FT_Load_Glyph(face, GlyphIndex(face, ch), LoadFlags(font)) != 0)
        return &g;
    FT_GlyphSlot slot = face->glyph;
    if (font.bold && slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Embolden(&slot->outline, Emboldening(font));
    // Advances in device pixels, y down.
    g.advanceX = slot->advance.x / 64.0;
    g.advanceY = -slot->advance.y / 64.0;
    if (font.bold) {
        const double a = font.angle / 10.0 * kPi / 180.0;
        g.advanceX += std::cos(a) * Emboldening(font) / 64.0;
        g.advanceY -= std::sin(a) * Emboldening(font) / 64.0;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return &g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0)
        return &g;
    g.left = slot->bitmap_left;
    g.top = -slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
    impl_->glyphBytes += g.coverage.size();
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = bm.pitch >= 0 ? bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch
                                                 : bm.buffer + static_cast<std::ptrdiff_t>(g.height - 1 - y) * -bm.pitch;
        std::copy(row, row + g.width, g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
    }
    return &g;
}

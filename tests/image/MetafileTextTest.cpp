// Metafile text: where the glyphs land (font metrics, alignment, spacing,
// rotation), fonts by name and character set, backgrounds and decorations.
#include "image/RasterImage.h"
#include "image/FontEngine.h"
#include "image/TextCharsets.h"

#include "MetafileWriter.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// The box of dark pixels (columns and rows from the top), or empty.
struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    bool empty() const { return right < 0; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

InkBox Ink(const CRasterImage& img, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
    InkBox box;
    if (x1 < 0)
        x1 = img.GetWidth();
    if (y1 < 0)
        y1 = img.GetHeight();
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Rgb c = img.GetPixelColor(x, img.GetHeight() - 1 - y);
            if (c.r + c.g + c.b < 3 * 128) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    return box;
}

// A placeable metafile of w x h pixels, one unit per pixel, with a font.
Wmf TextWmf(int w, int h, int height, const std::string& face, int charset = 0, int escapement = 0) {
    Wmf m;
    m.Record(0x020C, {h, w});  // SetWindowExt
    m.Record(0x02FB, {height, 0, escapement, escapement, 400}, WmfFontTail(face, charset));
    m.Record(0x012D, {0});
    m.Record(0x0102, {1});  // transparent background
    return m;
}

void TextOut(Wmf& m, int x, int y, const std::string& s) {
    std::vector<int> words = {static_cast<int>(s.size())};
    std::vector<std::uint8_t> bytes = Bytes(s);
    bytes.resize((bytes.size() + 1) / 2 * 2, 0);
    for (std::size_t i = 0; i < bytes.size(); i += 2)
        words.push_back(bytes[i] | (bytes[i + 1] << 8));
    words.push_back(y);
    words.push_back(x);
    m.Record(0x0521, words);
}

CRasterImage Play(const std::vector<std::uint8_t>& file) {
    CRasterImage img;
    EXPECT_TRUE(DecodeBytes(img, file, IMAGE_WMF)) << img.GetLastError();
    return img;
}

// EMF text: EXTCREATEFONTINDIRECTW, select, EXTTEXTOUTW at (x, y) with
// no spacing array. The picture is w x h pixels at 96 dpi.
Emf TextEmf(int height, const std::u16string& face, int charset) {
    Emf e;
    std::vector<std::int32_t> font = {1, height, 0, 0, 0, 400, charset << 24, 0};
    std::vector<std::uint8_t> name = Utf16(face);
    name.resize(64, 0);
    e.Record(82, font, name);
    e.Record(37, {1});
    e.Record(18, {1});  // transparent background
    return e;
}

void TextOutW(Emf& e, int x, int y, const std::u16string& s) {
    // bounds, mode, scales, EMRTEXT (reference, count, string offset,
    // options, rectangle, spacing offset), then the string at offset 76.
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, x, y, static_cast<std::int32_t>(s.size()), 76, 0, 0, 0, 0, 0, 0}, Utf16(s));
}
}  // namespace

TEST(MetafileText, GlyphsSitOnTheBaselineTheAlignmentGives) {
    // Liberation Sans (for Arial) at an em of 40 pixels: capitals are 0.69 em
    // high, the cell's ascent is 0.905 em.
    Wmf m = TextWmf(300, 100, -40, "Arial");
    m.Record(0x012E, {24});  // baseline
    TextOut(m, 20, 70, "H");
    m.Record(0x012E, {0});  // top
    TextOut(m, 100, 10, "H");
    m.Record(0x012E, {6 | 8});  // centre, bottom
    TextOut(m, 250, 90, "HH");
    const CRasterImage img = Play(m.File(300, 100, 96));
    const InkBox base = Ink(img, 0, 0, 90);
    ASSERT_FALSE(base.empty());
    EXPECT_NEAR(base.bottom, 69, 1);
    EXPECT_NEAR(base.top, 70 - 27.5, 2);
    EXPECT_NEAR(base.left, 23, 2);  // the H's side bearing
    const InkBox top = Ink(img, 90, 0, 180);
    EXPECT_NEAR(top.bottom, 10 + 36.2 - 1, 1.5);
    const InkBox centred = Ink(img, 180, 0);
    EXPECT_NEAR((centred.left + centred.right) / 2.0, 250, 2);
    // Bottom alignment: the descent (0.212 em) lies below the ink.
    EXPECT_NEAR(centred.bottom, 90 - 8.5 - 1, 1.5);
}

TEST(MetafileText, CellHeightSpacingArrayAndOpaqueRectangle) {
    // A positive height is the cell: ascent + descent = 1.117 em, so a cell
    // of 45 gives an em of about 40 and the same capital height.
    Wmf m = TextWmf(300, 100, 45, "Arial");
    m.Record(0x012E, {24});
    m.Record(0x0201, {0x00FF, 0x0000});  // background colour red
    // ExtTextOut: y, x, count, options (opaque), rectangle, "II", spacing 60, 0.
    m.Record(0x0A32, {70, 20, 2, 2, 150, 5, 200, 30, 'I' | ('I' << 8), 60, 0});
    const CRasterImage img = Play(m.File(300, 100, 96));
    EXPECT_EQ(img.GetPixelColor(160, 99 - 10), (Rgb{255, 0, 0}));  // the opaque rectangle
    EXPECT_EQ(img.GetPixelColor(140, 99 - 10), (Rgb{255, 255, 255}));
    const InkBox first = Ink(img, 0, 0, 60), second = Ink(img, 60, 0, 140);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NEAR(first.height(), 27.5, 2);
    EXPECT_EQ(second.left - first.left, 60);
}

TEST(MetafileText, EscapementTurnsTheText) {
    Wmf m = TextWmf(100, 200, -30, "Arial", 0, 900);  // 90 degrees: upwards
    m.Record(0x012E, {24});
    TextOut(m, 50, 180, "HHHH");
    const CRasterImage img = Play(m.File(100, 200, 96));
    const InkBox box = Ink(img);
    ASSERT_FALSE(box.empty());
    EXPECT_GT(box.height(), 2 * box.width());
    EXPECT_NEAR(box.bottom, 180 - 2, 3);  // starts at the reference point...
    EXPECT_LE(box.right, 50);             // ...and stands left of it (the glyphs' tops point left)
}

TEST(MetafileText, SymbolFontLineReadsAsGreek) {
    // An equation editor's line in the Symbol font, against the same line
    // written in Unicode with Times New Roman: the same pixels.
    Wmf symbol = TextWmf(200, 60, -30, "Symbol", 2);
    symbol.Record(0x012E, {24});
    TextOut(symbol, 10, 40, "a+b=p");
    Emf unicode = TextEmf(-30, u"Times New Roman", 0);
    unicode.Record(22, {24});
    TextOutW(unicode, 10, 40, u"\u03B1+\u03B2=\u03C0");
    const CRasterImage a = Play(symbol.File(200, 60, 96));
    const CRasterImage b = Play(unicode.File(200 * 2540 / 96, 60 * 2540 / 96));
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_FALSE(Ink(a).empty());
    int differ = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            differ += !(a.GetPixelColor(x, y) == b.GetPixelColor(x, y));
    EXPECT_EQ(differ, 0);
    // Plain Latin letters in their place would look different.
    Wmf latin = TextWmf(200, 60, -30, "Times New Roman");
    latin.Record(0x012E, {24});
    TextOut(latin, 10, 40, "a+b=p");
    const CRasterImage c = Play(latin.File(200, 60, 96));
    int differLatin = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            differLatin += !(a.GetPixelColor(x, y) == c.GetPixelColor(x, y));
    EXPECT_GT(differLatin, 50);
}

TEST(MetafileText, SymbolFontsMapToUnicode) {
    EXPECT_EQ(CharFromByte('p', 2, SymbolTableFor("Symbol", 2)), U'\u03C0');
    EXPECT_EQ(CharFromByte(0xE5, 2, SymbolTableFor("SYMBOL", 2)), U'\u2211');  // summation
    EXPECT_EQ(CharFromByte(0xF2, 2, SymbolTableFor("Symbol", 2)), U'\u222B');  // integral
    EXPECT_EQ(CharFromByte('L', 2, SymbolTableFor("MT Extra", 2)), U'\u22EF');
    EXPECT_EQ(CharFromByte('J', 2, SymbolTableFor("Wingdings", 2)), U'\u263A');
    EXPECT_EQ(CharFromWide(0xF070, SymbolTableFor("Symbol", 2)), U'\u03C0');
    EXPECT_EQ(CharFromByte(0x80, 0, SymbolTable::None), U'\u20AC');  // Windows-1252
    EXPECT_EQ(CharFromByte(0xC0, 204, SymbolTable::None), U'\u0410');
    EXPECT_EQ(CharFromWide(0xF070, SymbolTable::None), char32_t{0xF070});
}

TEST(MetafileText, UnderlineStrikeOutAndClipping) {
    Wmf m;
    m.Record(0x020C, {100, 300});
    m.Record(0x02FB, {-40, 0, 0, 0, 400}, WmfFontTail("Arial", 0, false, true, true));
    m.Record(0x012D, {0});
    m.Record(0x0102, {1});
    m.Record(0x012E, {24});
    TextOut(m, 10, 60, "o");
    // Clipped: ExtTextOut with ETO_CLIPPED to a rectangle ending at x = 160.
    m.Record(0x0A32, {60, 140, 2, 4, 140, 0, 160, 100, 'H' | ('H' << 8)});
    const CRasterImage img = Play(m.File(300, 100, 96));
    // The underline runs below the baseline, the strike-out through the x-height.
    const InkBox below = Ink(img, 0, 61, 100, 70);
    EXPECT_FALSE(below.empty());
    const Rgb strike = img.GetPixelColor(10 + 20, 99 - (60 - 11));
    EXPECT_LT(strike.r, 128);
    const InkBox clipped = Ink(img, 130, 0);
    ASSERT_FALSE(clipped.empty());
    EXPECT_LE(clipped.right, 159);
}

// Symbol faces no system here has: MT Extra's formula signs and every sign
// of Wingdings are drawn, each in the cell its record gives it, an accent
// over the letter's place in the upper part of the cell.
TEST(MetafileText, SymbolFacesDrawEverySign) {
    constexpr int kCell = 40, kPerRow = 16;
    auto cellInk = [](const CRasterImage& img, int i) {
        const int x = 10 + (i % kPerRow) * kCell, y = 10 + (i / kPerRow) * kCell;
        return std::make_pair(Ink(img, x, y, x + kCell, y + kCell), x);
    };
    auto signs = [&](const std::string& face, const std::vector<int>& codes) {
        const int rows = (static_cast<int>(codes.size()) + kPerRow - 1) / kPerRow;
        Wmf m = TextWmf(20 + kPerRow * kCell, 20 + rows * kCell, -30, face, 2);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const int x = 10 + static_cast<int>(i % kPerRow) * kCell, y = 10 + static_cast<int>(i / kPerRow) * kCell;
            m.Record(0x0A32, {y, x, 1, 0, codes[i], kCell});  // EXTTEXTOUT, one sign, one cell
        }
        return Play(m.File(20 + kPerRow * kCell, 20 + rows * kCell, 96));
    };

    const std::vector<int> mtExtra = {'#', '$', '&', '\'', '(', ')', '*', 'L', 'M', 'N', 'O', '[', ']', '`', 'h', 'k', 'l'};
    const CRasterImage formula = signs("MT Extra", mtExtra);
    for (std::size_t i = 0; i < mtExtra.size(); ++i) {
        const auto [ink, x] = cellInk(formula, static_cast<int>(i));
        ASSERT_FALSE(ink.empty()) << "MT Extra " << char(mtExtra[i]);
        EXPECT_GE(ink.left, x - 1) << char(mtExtra[i]);
        EXPECT_LE(ink.right, x + kCell) << char(mtExtra[i]);
    }
    for (int accent : {'&', '\'', '(', ')', '*'}) {
        const auto at = std::find(mtExtra.begin(), mtExtra.end(), accent) - mtExtra.begin();
        const auto [ink, x] = cellInk(formula, static_cast<int>(at));
        const int y = 10 + static_cast<int>(at / kPerRow) * kCell;
        EXPECT_LT(ink.bottom, y + 30 / 2) << "above the letter: " << char(accent);
        EXPECT_NEAR((ink.left + ink.right) / 2.0, x + kCell / 2.0, 3) << "centred in its cell: " << char(accent);
    }

    std::vector<int> wingdings;
    for (int c = 0x21; c <= 0xFE; ++c)
        if (c != 0x7F)
            wingdings.push_back(c);
    const CRasterImage dingbats = signs("Wingdings", wingdings);
    for (std::size_t i = 0; i < wingdings.size(); ++i)
        EXPECT_FALSE(cellInk(dingbats, static_cast<int>(i)).first.empty()) << "Wingdings 0x" << std::hex << wingdings[i];
    // The ink is a sign, not the box of a missing glyph: some font has it.
    CFontEngine& engine = CFontEngine::Instance();
    const auto lock = engine.Lock();
    auto hasSign = [&](const std::string& face, SymbolTable table, int code) {
        const int base = engine.FindFace(FontRequest{face});
        char32_t ch = CharFromByte(static_cast<unsigned>(code), 2, table);
        if (engine.CharGlyphIndex(engine.FaceFor(base, ch), ch) == 0 && SymbolStandIn(ch))
            ch = SymbolStandIn(ch);
        return engine.CharGlyphIndex(engine.FaceFor(base, ch), ch) != 0;
    };
    int missing = 0;
    for (int code : wingdings)
        missing += hasSign("Wingdings", SymbolTable::Wingdings, code) ? 0 : 1;
    for (int code : mtExtra)
        EXPECT_TRUE(hasSign("MT Extra", SymbolTable::MtExtra, code)) << "MT Extra " << char(code);
    EXPECT_EQ(missing, 0) << "Wingdings signs that no font here has, nor a look-alike";
    EXPECT_EQ(CharFromByte(0xFC, 2, SymbolTable::Wingdings), U'\u2714');
    EXPECT_EQ(SymbolStandIn(CharFromByte(0xFB, 2, SymbolTable::Wingdings)), U'\u2717');
}

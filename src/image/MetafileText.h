#pragma once
// Text of the metafile player. The selected logical font is matched to a
// system face (FontEngine.h) at the size the mapping gives it; glyphs are
// blended into the picture anti-aliased, placed by the text alignment, the
// spacing array or the font's own advances, and turned by the escapement.
#include "image/DrawSurface.h"
#include "image/MetafileMapping.h"
#include "image/MetafilePixels.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CDrawContext;

// A logical font as the font records give it; sizes in logical units.
struct MetaFont {
    double height = 0;   // < 0: character (em) height, > 0: cell height, 0: default
    double width = 0;    // average character width, 0: natural
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    int charset = 0;
    std::string family;
};

// Text of one output call, as Unicode, with optional advances (logical
// units, one per character) and the options of EXTTEXTOUT.
struct MetaText {
    std::u32string chars;
    std::vector<double> advances;
    bool glyphIndices = false;  // chars are glyph ids of the font (ETO_GLYPH_INDEX)
    double x = 0, y = 0;
    int options = 0;  // ETO_OPAQUE = 2, ETO_CLIPPED = 4
    double rectLeft = 0, rectTop = 0, rectRight = 0, rectBottom = 0;
};

// The canvas's state a text call reads.
struct MetaTextState {
    const MetaFont& font;
    int align = 0;          // TA_* flags
    MetaPoint position;     // the current position, for TA_UPDATECP
    SurfaceRect clipBox;
    MetaColours colours;    // text colour, background colour and mode
    double charExtra = 0;   // logical units after every character
    double breakExtra = 0;  // logical units after every break character
};

// Where a text call draws: the picture, the clip it sees, and the canvas's
// own filling of quadrilaterals (picture pixels) through its brush, pen
// operation and clip.
struct MetaTextTarget {
    CDrawContext& surface;
    std::function<MetaClipView()> clip;
    // Backgrounds and bars stay inside the text's clipping rectangle, which
    // the canvas takes for a while.
    std::function<void(const SurfaceRect& box)> setClipBox;
    std::function<void(const std::vector<MetaPoint>& quad, Rgb color)> fillQuad;
};

// Draws the text; returns the current position, moved on by the text when
// the alignment asks for it.
MetaPoint DrawMetaText(const MetaText& text, const MetaTextState& state, const CMetaMapper& mapper,
                       const MetaTextTarget& target);

// Characters of the font's character set (8-bit), or UTF-16 units, as
// Unicode: one character per byte or unit, 0 where nothing is drawn (the
// second half of a surrogate pair, empty symbol codes).
std::u32string DecodeMetaText(const std::uint8_t* bytes, std::size_t count, const MetaFont& font);
std::u32string DecodeMetaWideText(const std::uint8_t* units, std::size_t count, const MetaFont& font);

// Bitmaps of metafile records: the pieces are put together in the layout
// of a clipboard bitmap (header, masks, palette, rows) and read as one.
#include "image/MetafileBitmaps.h"

#include "image/BitmapRows.h"
#include "image/ByteSource.h"
#include "image/CodecUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr std::uint32_t kJpeg = 4, kPng = 5;

struct DibLayout {
    DibHeader header;
    std::size_t masks = 0;    // bytes of bit-field masks after the header
    std::size_t palette = 0;  // bytes of palette after them
};

bool Layout(const std::uint8_t* info, std::size_t bytes, DibLayout& out) {
    if (!info || bytes < 12)
        return false;
    DibHeader& h = out.header;
    h.size = LoadLE32(info);
    if ((h.size != 12 && h.size < 40) || h.size > bytes)
        return false;
    ParseDibHeader(info, bytes, h);
    out.masks = h.size == 40 && h.compression == DIB_BITFIELDS && (h.bitCount == 16 || h.bitCount == 32) ? 12 : 0;
    // As the clipboard reader counts it: no palette for 32-bit rows.
    const std::uint64_t count = h.bitCount == 32 ? 0 : (h.bitCount <= 8 || h.colorsUsed ? DibPaletteCount(h) : 0);
    out.palette = static_cast<std::size_t>(std::min<std::uint64_t>(count, 256)) * (h.core() ? 3 : 4);
    if (count > 256)
        out.palette = 0;
    return true;
}
}  // namespace

bool ImageFromDib(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits, std::size_t bitsBytes,
                  CRasterImage& out) {
    DibLayout l;
    if (!Layout(info, infoBytes, l))
        return false;
    const DibHeader& h = l.header;
    if (!h.core() && (h.compression == kJpeg || h.compression == kPng)) {
        // The bits are a whole JPEG or PNG file.
        if (!bits || bitsBytes == 0)
            return false;
        CMemorySource source(bits, bitsBytes);
        return out.Decode(source, h.compression == kJpeg ? IMAGE_JPG : IMAGE_PNG);
    }
    if (h.colorsUsed > 256 && h.bitCount <= 8)
        return false;
    // Header, masks and as much palette as the block holds (missing entries
    // stay black), then the bits.
    const std::size_t head = h.size + l.masks + l.palette;
    std::vector<std::uint8_t> block(head + bitsBytes, 0);
    std::memcpy(block.data(), info, std::min(head, infoBytes));
    // A colour table the rows do not need and we did not copy is not counted.
    if (!h.core() && h.bitCount > 8 && l.palette == 0)
        std::memset(block.data() + 32, 0, 4);
    if (bitsBytes)
        std::memcpy(block.data() + head, bits, bitsBytes);
    return out.CreateFromClipboard(block.data(), block.size());
}

bool ImageFromPackedDib(const std::uint8_t* dib, std::size_t bytes, CRasterImage& out) {
    DibLayout l;
    if (!Layout(dib, bytes, l))
        return false;
    const std::size_t head = l.header.size + l.masks + l.palette;
    if (head > bytes)
        return ImageFromDib(dib, bytes, nullptr, 0, out);
    return ImageFromDib(dib, head, dib + head, bytes - head, out);
}

#include "image/BitmapRows.h"

#include "image/CodecUtil.h"

#include <bit>
#include <cmath>
#include <cstring>

void ParseDibHeader(const std::uint8_t* p, std::size_t available, DibHeader& h) {
    if (h.size == 12) {
        h.width = LoadLE16(p + 4);
        h.height = LoadLE16(p + 6);
        h.planes = LoadLE16(p + 8);
        h.bitCount = LoadLE16(p + 10);
        return;
    }
    h.width = LoadLE32s(p + 4);
    h.height = LoadLE32s(p + 8);
    h.planes = LoadLE16(p + 12);
    h.bitCount = LoadLE16(p + 14);
    h.compression = LoadLE32(p + 16);
    h.sizeImage = LoadLE32(p + 20);
    h.xPelsPerMeter = LoadLE32s(p + 24);
    h.yPelsPerMeter = LoadLE32s(p + 28);
    h.colorsUsed = LoadLE32(p + 32);
    if (h.size >= 52 && available >= 52) {
        h.redMask = LoadLE32(p + 40);
        h.greenMask = LoadLE32(p + 44);
        h.blueMask = LoadLE32(p + 48);
    }
}

int DpiFromPelsPerMeter(std::int32_t ppm) {
    const int dpi = static_cast<int>(std::floor(ppm * 254.0 / 10000.0 + 0.5));
    return dpi <= 0 ? 96 : dpi;
}

std::uint32_t DibPaletteCount(const DibHeader& h) {
    if (h.colorsUsed != 0)
        return h.colorsUsed;
    if (h.bitCount <= 8)
        return 1u << h.bitCount;
    return 0;
}

void CopyDibPalette(CRasterImage& image, const std::uint8_t* entries, std::uint32_t count, bool core) {
    const std::uint32_t size = static_cast<std::uint32_t>(image.GetPaletteSize());
    const int entryBytes = core ? 3 : 4;
    for (std::uint32_t i = 0; i < count && i < size; ++i) {
        const std::uint8_t* e = entries + static_cast<std::size_t>(i) * entryBytes;
        image.SetPaletteEntry(static_cast<int>(i), e[2], e[1], e[0], 0);
    }
}

void ExpandDibRle(CRasterImage& image, const std::uint8_t* data, std::size_t size, bool rle4) {
    std::memset(image.GetBits(), 0, image.GetBitsSize());
    const int width = image.GetWidth(), height = image.GetHeight();
    std::int64_t x = 0, y = 0;
    std::size_t pos = 0;
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height)
            image.SetPixelIndex(static_cast<int>(x), static_cast<int>(y), index);
        ++x;
    };
    while (pos + 1 < size && y < height) {
        const std::uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i)
                put(rle4 ? static_cast<std::uint8_t>((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return;
        case 2:  // move
            if (pos + 1 >= size)
                return;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            break;
        default: {  // literal run, padded to an even byte count
            const std::size_t bytes = rle4 ? (value + 1u) / 2u : value;
            for (int i = 0; i < value; ++i) {
                const std::size_t at = pos + (rle4 ? static_cast<std::size_t>(i) / 2 : static_cast<std::size_t>(i));
                if (at >= size)
                    return;
                const std::uint8_t b = data[at];
                put(rle4 ? static_cast<std::uint8_t>((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            pos += (bytes + 1) & ~static_cast<std::size_t>(1);
            break;
        }
        }
    }
}

namespace {
// Brings the bits of `value` under `mask` to an 8-bit channel. Narrow
// channels repeat their high bits below themselves, so the largest value
// becomes 255 (31 of 5 bits gives 255, not 248).
inline std::uint8_t Channel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int low = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    return WidenChannel((value & mask) >> low, bits);
}
}  // namespace

std::uint8_t WidenChannel(std::uint32_t v, int bits) {
    if (bits <= 0)
        return 0;
    if (bits >= 8)
        return static_cast<std::uint8_t>(v >> (bits - 8));
    std::uint32_t out = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        out |= shift >= 0 ? v << shift : v >> -shift;
    return static_cast<std::uint8_t>(out);
}

void ConvertDibRow16(const std::uint8_t* src, int width, const ChannelMasks& m, std::uint8_t* dst) {
    const std::uint32_t r = m.red & 0xFFFF, g = m.green & 0xFFFF, b = m.blue & 0xFFFF;
    for (int x = 0; x < width; ++x, src += 2, dst += 3) {
        const std::uint32_t v = LoadLE16(src);
        dst[0] = Channel(v, b);
        dst[1] = Channel(v, g);
        dst[2] = Channel(v, r);
    }
}

void ConvertDibRow32(const std::uint8_t* src, int width, const ChannelMasks* m, std::uint8_t* dst) {
    if (!m || (m->red == 0x00FF0000 && m->green == 0x0000FF00 && m->blue == 0x000000FF)) {
        for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
        return;
    }
    for (int x = 0; x < width; ++x, src += 4, dst += 3) {
        const std::uint32_t v = LoadLE32(src);
        dst[0] = Channel(v, m->blue);
        dst[1] = Channel(v, m->green);
        dst[2] = Channel(v, m->red);
    }
}

std::uint64_t DibRowBytes(std::int64_t width, int bitCount) {
    if (width <= 0 || bitCount <= 0 || width > INT32_MAX)
        return 0;
    return ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32) * 4;
}

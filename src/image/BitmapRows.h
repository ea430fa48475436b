#pragma once
// Device-independent bitmap pieces shared by the BMP codec, the icon codec
// and the clipboard import: the information header, run-length expansion and
// the conversion of 16- and 32-bit rows to 24-bit.
#include "image/RasterImage.h"

#include <cstddef>
#include <cstdint>

struct DibHeader {
    std::uint32_t size = 0;  // 12 (core header), 40, 64, 108, 124...
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: rows stored top-down
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;
    // Bit-field masks, when the header carries them (compression 3 in a
    // header of more than 40 bytes).
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    bool core() const { return size == 12; }
};

enum DibCompression : std::uint32_t { DIB_RGB = 0, DIB_RLE8 = 1, DIB_RLE4 = 2, DIB_BITFIELDS = 3 };

// Reads the fields of a header of `header.size` bytes (already set) from
// `bytes`, of which `available` can be read (at least 12 for a core header,
// 40 for the others); fields beyond `available` keep their defaults.
void ParseDibHeader(const std::uint8_t* bytes, std::size_t available, DibHeader& header);

// The resolution in dots per inch of a pels-per-metre value (96 when unset).
int DpiFromPelsPerMeter(std::int32_t ppm);

// Number of palette entries a header announces: colours used, or 2^bits for
// depths up to 8 when that is 0.
std::uint32_t DibPaletteCount(const DibHeader& header);

// Copies `count` palette entries (4 bytes each, 3 for a core header) into the
// image's palette; entries beyond the image's palette are ignored.
void CopyDibPalette(CRasterImage& image, const std::uint8_t* entries, std::uint32_t count, bool core);

// Expands run-length data (8-bit or 4-bit runs) into the image's rows,
// starting at the bottom row; the image must be created and is cleared to
// index 0 first. Writes beyond a row or the image are dropped; the data ends
// at an end-of-bitmap escape or when it runs out.
void ExpandDibRle(CRasterImage& image, const std::uint8_t* data, std::size_t size, bool rle4);

// Masks of a 16- or 32-bit pixel; the default 16-bit layout is 5-5-5.
struct ChannelMasks {
    std::uint32_t red = 0x7C00, green = 0x03E0, blue = 0x001F;
};

// A channel of `bits` bits brought to 8 bits: narrower ones repeat their
// high bits (5 bits: (v << 3) | (v >> 2)), so full intensity stays 255.
std::uint8_t WidenChannel(std::uint32_t value, int bits);

// Converts one row of 16-bit little-endian pixels to 24-bit blue, green, red:
// each channel is taken from under its mask and widened to 8 bits.
void ConvertDibRow16(const std::uint8_t* src, int width, const ChannelMasks& masks, std::uint8_t* dst);

// Converts one row of 32-bit pixels: blue, green, red from the first three
// bytes, the fourth dropped; with masks (bit fields other than the usual
// byte layout) each channel is taken from under its mask.
void ConvertDibRow32(const std::uint8_t* src, int width, const ChannelMasks* masks, std::uint8_t* dst);

// Bytes of one stored row of a bitmap of that width and depth, or 0 when it
// would overflow.
std::uint64_t DibRowBytes(std::int64_t width, int bitCount);

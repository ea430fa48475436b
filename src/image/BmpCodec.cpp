// CRasterBMP: Windows and OS/2 bitmaps, with or without the file header.
#include "image/BitmapRows.h"
#include "image/CodecUtil.h"
#include "image/RasterCodecs.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
// Largest expansion of run-length data: two bytes give up to 255 pixels.
constexpr std::uint64_t kRleRatio = 256;
// Uncompressed rows: a file cut short still decodes what it holds, but the
// header may not claim far more than the file has.
constexpr std::uint64_t kRawRatio = 4;
}  // namespace

bool CRasterBMP::Decode(CByteSource& source) {
    const std::int64_t base = source.Tell();
    std::uint8_t fileHeader[14];
    if (!source.ReadExact(fileHeader, sizeof fileHeader)) {
        SetLastError("Not a BMP");
        return false;
    }
    std::int64_t bitsOffset = -1;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        bitsOffset = LoadLE32(fileHeader + 10);
    } else if (!source.Seek(base, CByteSource::FromStart)) {
        SetLastError("Not a BMP");
        return false;
    }

    // Information header.
    std::uint8_t info[124] = {};
    if (!source.ReadExact(info, 4)) {
        SetLastError(TruncatedDataText("BMP", "the file ends before its information header"));
        return false;
    }
    DibHeader h;
    h.size = LoadLE32(info);
    if (h.size != 12 && h.size < 40) {
        SetLastError("Error reading BMP info");
        return false;
    }
    const std::uint32_t kept = std::min<std::uint32_t>(h.size, sizeof info);
    if (!source.ReadExact(info + 4, kept - 4)) {
        SetLastError(TruncatedDataText("BMP", "the file ends inside its information header"));
        return false;
    }
    ParseDibHeader(info, kept, h);
    if (h.size > sizeof info && !source.Seek(h.size - sizeof info, CByteSource::FromCurrent)) {
        SetLastError(TruncatedDataText("BMP", "the file ends inside its information header"));
        return false;
    }
    const std::int64_t absHeight = h.height < 0 ? -std::int64_t{h.height} : h.height;
    // Headers of the known larger layouts (52 and 56 bytes with the bit-field
    // masks inside, as image editors write them; OS/2 2.x: 64 bytes; version
    // 4 and 5: 108 and 124 bytes) are read as the 40-byte one; any other size
    // only when it describes a plain uncompressed bitmap.
    if (h.size > 40 && h.size != 52 && h.size != 56 && h.size != 64 && h.size != 108 && h.size != 124) {
        const std::uint64_t computed = DibRowBytes(h.width, h.bitCount) * static_cast<std::uint64_t>(absHeight);
        if (h.planes != 1 || h.compression != DIB_RGB || h.colorsUsed != 0 || h.sizeImage != computed) {
            SetLastError("Error reading BMP info");
            return false;
        }
    }
    const int bits = h.bitCount;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        SetLastError("BMP with " + std::to_string(bits) + " bits per pixel is not supported");
        return false;
    }

    // Bit-field masks of a 40-byte header follow it; larger headers hold them.
    ChannelMasks masks;
    bool haveMasks = false;
    if (h.compression == DIB_BITFIELDS && (bits == 16 || bits == 32)) {
        if (h.size == 40) {
            std::uint8_t m[12];
            if (!source.ReadExact(m, sizeof m)) {
                SetLastError(TruncatedDataText("BMP", "the file ends inside its colour masks"));
                return false;
            }
            masks = ChannelMasks{LoadLE32(m), LoadLE32(m + 4), LoadLE32(m + 8)};
        } else {
            masks = ChannelMasks{h.redMask, h.greenMask, h.blueMask};
        }
        haveMasks = true;
    }

    // Refuse what cannot be decoded before anything is allocated.
    const bool rle = (h.compression == DIB_RLE8 || h.compression == DIB_RLE4) && bits <= 8;
    if (bits <= 8 && h.compression != DIB_RGB && !rle) {
        SetLastError("compression type not supported");
        return false;
    }
    if ((bits == 24 && h.compression != DIB_RGB) ||
        ((bits == 16 || bits == 32) && h.compression != DIB_RGB && h.compression != DIB_BITFIELDS)) {
        SetLastError("unknown compression");
        return false;
    }
    const std::int64_t fileBytes = source.Size() - base;
    if (!CreateDecodedPicture(*this, "BMP", h.width, absHeight, bits, IMAGE_BMP, fileBytes,
                              rle ? kRleRatio : kRawRatio, "Can't allocate memory"))
        return false;
    SetXDpi(DpiFromPelsPerMeter(h.xPelsPerMeter));
    SetYDpi(DpiFromPelsPerMeter(h.yPelsPerMeter));

    // Palette: colours used, or 2^bits.
    if (bits <= 8) {
        const std::uint32_t count = std::min<std::uint32_t>(DibPaletteCount(h), 256);
        const int entryBytes = h.core() ? 3 : 4;
        std::vector<std::uint8_t> entries(static_cast<std::size_t>(count) * entryBytes);
        const std::size_t got = source.Read(entries.data(), entries.size());
        CopyDibPalette(*this, entries.data(), static_cast<std::uint32_t>(got / entryBytes), h.core());
    }

    if (bitsOffset >= 0 && !source.Seek(base + bitsOffset, CByteSource::FromStart)) {
        Clear();
        SetLastError(TruncatedDataText("BMP", "its pixels would start past the end of the file"));
        return false;
    }

    if (rle) {
        const std::int64_t left = source.Remaining();
        std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)));
        data.resize(source.Read(data.data(), data.size()));
        ExpandDibRle(*this, data.data(), data.size(), h.compression == DIB_RLE4);
    } else {
        const std::uint64_t rowBytes = DibRowBytes(h.width, bits);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
        bool ended = false;
        for (int y = 0; y < height_; ++y) {
            std::uint8_t* out = GetRow(y);
            if (ended || !source.ReadExact(row.data(), row.size())) {
                // A file cut short keeps the rows it holds; the rest stay black.
                ended = true;
                std::memset(out, 0, stride_);
                continue;
            }
            switch (bits) {
            case 2:  // four 2-bit pixels per byte become 4-bit pixels
                std::memset(out, 0, stride_);
                for (int x = 0; x < width_; ++x)
                    SetPixelIndex(x, y, static_cast<std::uint8_t>((row[x >> 2] >> (6 - 2 * (x & 3))) & 3));
                break;
            case 16:
                ConvertDibRow16(row.data(), width_, masks, out);
                break;
            case 32:
                ConvertDibRow32(row.data(), width_, haveMasks ? &masks : nullptr, out);
                break;
            default:
                std::memcpy(out, row.data(), stride_);
                break;
            }
        }
    }
    if (h.height < 0)
        Flip();
    return true;
}

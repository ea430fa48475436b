// CRasterWBMP: wireless bitmaps, type 0 (one bit per pixel, 1 = white).
#include "image/CodecUtil.h"
#include "image/RasterCodecs.h"

#include <vector>

namespace {
// A multi-byte integer: seven bits per byte, the top bit says more follow.
bool ReadMultiByte(CByteSource& source, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 5; ++i) {
        std::uint8_t b = 0;
        if (!source.ReadExact(&b, 1))
            return false;
        if (value > (0xFFFFFFFFu >> 7))
            return false;
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}
}  // namespace

bool CRasterWBMP::Decode(CByteSource& source) {
    std::uint32_t type = 0;
    if (!ReadMultiByte(source, type)) {
        SetLastError("Not a WBMP");
        return false;
    }
    if (type != 0) {
        SetLastError("Unsupported WBMP type");
        return false;
    }
    std::uint8_t fixHeader = 0;
    std::uint32_t width = 0, height = 0;
    // Type 0 has no extension headers: a fix-header byte with the extension
    // bit set is not one of ours.
    if (!source.ReadExact(&fixHeader, 1) || (fixHeader & 0x80) || !ReadMultiByte(source, width) ||
        !ReadMultiByte(source, height) || width == 0 || height == 0) {
        SetLastError("Not a WBMP");
        return false;
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) + 7) / 8;
    if (!CreateDecodedPicture(*this, "WBMP", width, height, 1, IMAGE_WBMP, source.Remaining(), 1, "WBMP Create failed"))
        return false;
    SetPaletteEntry(0, 0, 0, 0);
    SetPaletteEntry(1, 255, 255, 255);
    // Rows are stored top-down, packed like ours, padded to a byte.
    for (int row = 0; row < height_; ++row) {
        std::uint8_t* out = GetRow(height_ - 1 - row);
        if (!source.ReadExact(out, static_cast<std::size_t>(rowBytes))) {
            Clear();
            SetLastError("Corrupted WBMP");
            return false;
        }
    }
    return true;
}

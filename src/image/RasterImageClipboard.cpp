// CRasterImage: images from a clipboard bitmap block and from a surface.
#include "image/BitmapRows.h"
#include "image/CodecUtil.h"
#include "image/RasterImage.h"
#include "image/PixelBackend.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool CRasterImage::CreateFromClipboard(const std::uint8_t* block, std::size_t size) {
    Clear();
    if (!block || size < 12)
        return false;
    DibHeader h;
    h.size = LoadLE32(block);
    if (h.size < 12 || (h.size != 12 && h.size < 40) || h.size > size) {
        SetLastError("Error reading BMP info");
        return false;
    }
    ParseDibHeader(block, size, h);
    const std::int64_t height = h.height < 0 ? -std::int64_t{h.height} : h.height;
    const bool topDown = h.height < 0;
    // The block holds the rows (or their run-length form): a header claiming
    // far more pixels than the block can hold is refused before allocating.
    const bool rle = h.compression == DIB_RLE8 || h.compression == DIB_RLE4;
    if (h.width > 0 && height > 0 && height <= INT32_MAX &&
        !PlausibleSize(h.width, height, h.bitCount, static_cast<std::int64_t>(size), rle ? 256 : 4)) {
        SetLastError("CRasterImage::Create can't allocate memory");
        return false;
    }
    if (!Create(h.width, static_cast<int>(std::min<std::int64_t>(height, INT32_MAX)), h.bitCount, IMAGE_BMP))
        return false;
    SetXDpi(DpiFromPelsPerMeter(h.xPelsPerMeter));
    SetYDpi(DpiFromPelsPerMeter(h.yPelsPerMeter));

    const bool core = h.core();
    const std::uint64_t paletteCount = h.bitCount <= 8 || h.colorsUsed ? DibPaletteCount(h) : 0;
    const std::uint64_t paletteBytes = paletteCount * (core ? 3 : 4);
    std::uint64_t rowsAt = h.size + paletteBytes;
    if (rowsAt > size) {
        Clear();
        SetLastError("Error reading BMP info");
        return false;
    }
    CopyDibPalette(*this, block + h.size, static_cast<std::uint32_t>(std::min<std::uint64_t>(paletteCount, 256)), core);

    const std::uint8_t* end = block + size;
    const std::uint64_t srcRow = DibRowBytes(h.width, h.bitCount);
    // Source row `y` (bottom-up as stored) or null when the block ends first.
    auto sourceRow = [&](std::uint64_t start, int y) -> const std::uint8_t* {
        const std::uint64_t at = start + srcRow * static_cast<std::uint64_t>(y);
        if (srcRow == 0 || at > size || size - at < srcRow)
            return nullptr;
        return block + at;
    };

    if (h.bitCount <= 8) {
        if (h.compression == DIB_RLE8 || h.compression == DIB_RLE4) {
            ExpandDibRle(*this, block + rowsAt, static_cast<std::size_t>(end - (block + rowsAt)),
                         h.compression == DIB_RLE4);
        } else if (h.compression != DIB_RGB || h.bitCount != bpp_) {
            Clear();
            SetLastError("compression type not supported");
            return false;
        } else {
            for (int y = 0; y < height_; ++y) {
                const std::uint8_t* row = sourceRow(rowsAt, y);
                if (row)
                    std::memcpy(GetRow(y), row, stride_);
                else
                    std::memset(GetRow(y), 0, stride_);
            }
        }
    } else if (h.bitCount == 16) {
        ChannelMasks masks;
        if (h.compression == DIB_BITFIELDS) {
            if (h.size == 40) {
                if (size < 52) {
                    Clear();
                    SetLastError("Error reading BMP info");
                    return false;
                }
                masks = ChannelMasks{LoadLE32(block + 40), LoadLE32(block + 44), LoadLE32(block + 48)};
                rowsAt = 52 + paletteBytes;
            } else {
                masks = ChannelMasks{h.redMask, h.greenMask, h.blueMask};
            }
        } else if (h.compression != DIB_RGB) {
            Clear();
            SetLastError("unknown compression");
            return false;
        }
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* row = sourceRow(rowsAt, y);
            if (row)
                ConvertDibRow16(row, width_, masks, GetRow(y));
            else
                std::memset(GetRow(y), 0, stride_);
        }
    } else if (h.bitCount == 32) {
        if (h.compression != DIB_RGB && h.compression != DIB_BITFIELDS) {
            Clear();
            SetLastError("unknown compression");
            return false;
        }
        // 32-bit rows start right after the header (and its mask words).
        rowsAt = h.size + (h.compression == DIB_BITFIELDS && h.size == 40 ? 12 : 0);
        ChannelMasks masks;
        const ChannelMasks* useMasks = nullptr;
        if (h.compression == DIB_BITFIELDS && rowsAt <= size) {
            masks = h.size == 40 ? ChannelMasks{LoadLE32(block + 40), LoadLE32(block + 44), LoadLE32(block + 48)}
                                 : ChannelMasks{h.redMask, h.greenMask, h.blueMask};
            useMasks = &masks;
        }
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* row = sourceRow(rowsAt, y);
            if (row)
                ConvertDibRow32(row, width_, useMasks, GetRow(y));
            else
                std::memset(GetRow(y), 0, stride_);
        }
    } else if (h.bitCount == 24 && h.compression == DIB_RGB) {
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* row = sourceRow(rowsAt, y);
            if (row)
                std::memcpy(GetRow(y), row, stride_);
            else
                std::memset(GetRow(y), 0, stride_);
        }
    } else {
        Clear();
        SetLastError("unknown compression");
        return false;
    }
    if (topDown)
        Flip();
    return true;
}

bool CRasterImage::CreateFromDeviceBitmap(const IPixelBackend& surface) {
    Clear();
    if (!Create(surface.Width(), surface.Height(), 24, IMAGE_BMP))
        return false;
    // Read the surface top-down straight into the bottom-up rows.
    if (!surface.ReadRows(SurfaceRect{0, 0, width_, height_}, GetRow(height_ - 1),
                          -static_cast<std::ptrdiff_t>(stride_))) {
        Clear();
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

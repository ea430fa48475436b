#include "image/DibImage.h"

#include "image/BitmapRows.h"
#include "image/CodecUtil.h"
#include "image/PixelBackend.h"
#include "image/RasterImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool ReadDibImage(CRasterImage& image, const std::uint8_t* block, std::size_t size) {
    image.Clear();
    if (!block || size < 12)
        return false;
    DibHeader h;
    h.size = LoadLE32(block);
    if (h.size < 12 || (h.size != 12 && h.size < 40) || h.size > size) {
        image.SetLastError("Error reading BMP info");
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
        image.SetLastError("CRasterImage::Create can't allocate memory");
        return false;
    }
    if (!image.Create(h.width, static_cast<int>(std::min<std::int64_t>(height, INT32_MAX)), h.bitCount, IMAGE_BMP))
        return false;
    image.SetXDpi(DpiFromPelsPerMeter(h.xPelsPerMeter));
    image.SetYDpi(DpiFromPelsPerMeter(h.yPelsPerMeter));

    const bool core = h.core();
    const std::uint64_t paletteCount = h.bitCount <= 8 || h.colorsUsed ? DibPaletteCount(h) : 0;
    const std::uint64_t paletteBytes = paletteCount * (core ? 3 : 4);
    std::uint64_t rowsAt = h.size + paletteBytes;
    if (rowsAt > size) {
        image.Clear();
        image.SetLastError("Error reading BMP info");
        return false;
    }
    CopyDibPalette(image, block + h.size, static_cast<std::uint32_t>(std::min<std::uint64_t>(paletteCount, 256)), core);

    const std::uint8_t* end = block + size;
    const std::uint64_t srcRow = DibRowBytes(h.width, h.bitCount);
    // Source row `y` (bottom-up as stored) or null when the block ends first.
    auto sourceRow = [&](std::uint64_t start, int y) -> const std::uint8_t* {
        const std::uint64_t at = start + srcRow * static_cast<std::uint64_t>(y);
        if (srcRow == 0 || at > size || size - at < srcRow)
            return nullptr;
        return block + at;
    };
    // Every row through `convert`; a row the block ends before is black.
    const auto fillRows = [&](std::uint64_t start, const auto& convert) {
        for (int y = 0; y < image.GetHeight(); ++y) {
            const std::uint8_t* row = sourceRow(start, y);
            if (row)
                convert(row, image.GetRow(y));
            else
                std::memset(image.GetRow(y), 0, image.GetStride());
        }
    };
    const auto copyRow = [&](const std::uint8_t* row, std::uint8_t* out) { std::memcpy(out, row, image.GetStride()); };

    if (h.bitCount <= 8) {
        if (h.compression == DIB_RLE8 || h.compression == DIB_RLE4) {
            ExpandDibRle(image, block + rowsAt, static_cast<std::size_t>(end - (block + rowsAt)),
                         h.compression == DIB_RLE4);
        } else if (h.compression != DIB_RGB || h.bitCount != image.GetBpp()) {
            image.Clear();
            image.SetLastError("compression type not supported");
            return false;
        } else {
            fillRows(rowsAt, copyRow);
        }
    } else if (h.bitCount == 16) {
        ChannelMasks masks;
        if (h.compression == DIB_BITFIELDS) {
            if (h.size == 40) {
                if (size < 52) {
                    image.Clear();
                    image.SetLastError("Error reading BMP info");
                    return false;
                }
                masks = ChannelMasks{LoadLE32(block + 40), LoadLE32(block + 44), LoadLE32(block + 48)};
                rowsAt = 52 + paletteBytes;
            } else {
                masks = ChannelMasks{h.redMask, h.greenMask, h.blueMask};
            }
        } else if (h.compression != DIB_RGB) {
            image.Clear();
            image.SetLastError("unknown compression");
            return false;
        }
        fillRows(rowsAt, [&](const std::uint8_t* row, std::uint8_t* out) {
            ConvertDibRow16(row, image.GetWidth(), masks, out);
        });
    } else if (h.bitCount == 32) {
        if (h.compression != DIB_RGB && h.compression != DIB_BITFIELDS) {
            image.Clear();
            image.SetLastError("unknown compression");
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
        fillRows(rowsAt, [&](const std::uint8_t* row, std::uint8_t* out) {
            ConvertDibRow32(row, image.GetWidth(), useMasks, out);
        });
    } else if (h.bitCount == 24 && h.compression == DIB_RGB) {
        fillRows(rowsAt, copyRow);
    } else {
        image.Clear();
        image.SetLastError("unknown compression");
        return false;
    }
    if (topDown)
        image.Flip();
    return true;
}

bool ReadDeviceImage(CRasterImage& image, const IPixelBackend& surface) {
    image.Clear();
    if (!image.Create(surface.Width(), surface.Height(), 24, IMAGE_BMP))
        return false;
    // Read the surface top-down straight into the bottom-up rows.
    if (!surface.ReadRows(SurfaceRect{0, 0, image.GetWidth(), image.GetHeight()}, image.GetRow(image.GetHeight() - 1),
                          -static_cast<std::ptrdiff_t>(image.GetStride()))) {
        image.Clear();
        image.SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

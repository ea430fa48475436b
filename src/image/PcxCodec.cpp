// CRasterPCX: ZSoft PCX, run-length encoded, packed or planar. A DCX file
// (a page index in front of PCX pages) shows its first page.
#include "image/CodecUtil.h"
#include "image/RasterCodecs.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// One run byte pair stands for up to 63 bytes.
constexpr std::uint64_t kRleRatio = 32;
constexpr std::uint32_t kDcxMagic = 987654321;
}  // namespace

bool CRasterPCX::Decode(CByteSource& source) {
    std::int64_t base = source.Tell();
    std::uint8_t h[128];
    if (!source.ReadExact(h, sizeof h)) {
        SetLastError("Can't read PCX image");
        return false;
    }
    if (LoadLE32(h) == kDcxMagic) {
        const std::int64_t page = LoadLE32(h + 4);
        if (page == 0 || !source.Seek(base + page, CByteSource::FromStart) || !source.ReadExact(h, sizeof h)) {
            SetLastError("Can't read PCX image");
            return false;
        }
        base += page;
    }
    if (h[0] != 10) {
        SetLastError("Error: Not a PCX file");
        return false;
    }
    if (h[2] != 1) {
        SetLastError("PCX file has unknown encoding scheme");
        return false;
    }
    const int bits = h[3];
    const int planes = h[65];
    const int bytesPerLine = LoadLE16(h + 66);
    if (planes > 4) {
        SetLastError("Can't handle image with more than 4 planes");
        return false;
    }
    const int width = static_cast<int>(LoadLE16(h + 8)) - LoadLE16(h + 4) + 1;
    const int height = static_cast<int>(LoadLE16(h + 10)) - LoadLE16(h + 6) + 1;

    // The image's depth and how the planes combine.
    int depth = 0;
    const bool colourPlanes = bits == 8 && (planes == 3 || planes == 4);
    if (colourPlanes) {
        depth = 24;
    } else if (planes <= 1) {
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8) {
            SetLastError("Can't handle more than 1 bit per pixel");
            return false;
        }
        depth = bits;
    } else if (bits == 1) {
        depth = 4;  // planar bits form the index
    } else if (bits == 2 || bits == 4) {
        SetLastError("Can't handle packed pixels with more than 1 plane.");
        return false;
    } else {
        SetLastError("Can't handle more than 1 bit per pixel");
        return false;
    }
    const int planeCount = std::max(planes, 1);
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(bytesPerLine) * 8 < std::int64_t{width} * bits) {
        SetLastError("corrupted PCX");
        return false;
    }
    if (!CreateDecodedPicture(*this, "PCX", width, height, depth, IMAGE_PCX, source.Size() - base, kRleRatio,
                              "Can't allocate memory for the PCX image"))
        return false;
    const int hdpi = LoadLE16(h + 12), vdpi = LoadLE16(h + 14);
    if (hdpi > 0)
        SetXDpi(hdpi);
    if (vdpi > 0)
        SetYDpi(vdpi);
    if (depth == 1 && planeCount == 1) {
        SetPaletteEntry(0, 0, 0, 0);
        SetPaletteEntry(1, 255, 255, 255);
    } else if (depth <= 8 && !(bits == 8 && planeCount == 1)) {
        for (int i = 0; i < 16 && i < GetPaletteSize(); ++i)
            SetPaletteEntry(i, h[16 + i * 3], h[17 + i * 3], h[18 + i * 3]);
    }
    if (planes == 4 && colourPlanes)
        CreateAlpha();

    // Run-length data for all rows; runs may cross rows but not the end.
    const std::size_t lineBytes = static_cast<std::size_t>(bytesPerLine) * planeCount;
    const std::uint64_t total = static_cast<std::uint64_t>(lineBytes) * height;
    std::vector<std::uint8_t> line(lineBytes);
    BufferedReader in(source);
    std::uint64_t done = 0;
    int pending = 0;
    std::uint8_t pendingValue = 0;
    for (int row = 0; row < height; ++row) {
        std::size_t filled = 0;
        while (filled < lineBytes) {
            if (pending > 0) {
                const std::size_t n = std::min<std::size_t>(pending, lineBytes - filled);
                std::memset(line.data() + filled, pendingValue, n);
                filled += n;
                pending -= static_cast<int>(n);
                continue;
            }
            std::uint8_t c = 0;
            if (!in.ReadByte(c)) {
                Clear();
                SetLastError("corrupted PCX");
                return false;
            }
            if ((c & 0xC0) == 0xC0) {
                pending = c & 0x3F;
                if (!in.ReadByte(pendingValue)) {
                    Clear();
                    SetLastError("corrupted PCX");
                    return false;
                }
                if (done + filled + pending > total) {
                    Clear();
                    SetLastError("repeat count spans end of image");
                    return false;
                }
            } else {
                line[filled++] = c;
            }
        }
        done += lineBytes;

        const int y = height - 1 - row;
        std::uint8_t* out = GetRow(y);
        if (depth == 24) {
            const std::uint8_t* r = line.data();
            const std::uint8_t* g = r + bytesPerLine;
            const std::uint8_t* b = g + bytesPerLine;
            for (int x = 0; x < width; ++x) {
                out[x * 3] = b[x];
                out[x * 3 + 1] = g[x];
                out[x * 3 + 2] = r[x];
            }
            if (HasAlpha())
                std::memcpy(GetAlphaRow(y), b + bytesPerLine, width);
        } else if (planeCount > 1) {
            // Bit x of plane p is bit p of pixel x's index.
            std::memset(out, 0, stride_);
            for (int x = 0; x < width; ++x) {
                int index = 0;
                for (int p = 0; p < planeCount; ++p)
                    index |= ((line[p * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
                SetPixelIndex(x, y, static_cast<std::uint8_t>(index));
            }
        } else if (bits == 2) {
            std::memset(out, 0, stride_);
            for (int x = 0; x < width; ++x)
                SetPixelIndex(x, y, static_cast<std::uint8_t>((line[x >> 2] >> (6 - 2 * (x & 3))) & 3));
        } else {
            std::memcpy(out, line.data(), std::min<std::size_t>(stride_, lineBytes));
        }
    }

    // 8-bit single-plane images keep their palette at the end of the file.
    if (bits == 8 && planeCount == 1) {
        std::uint8_t pal[769];
        if (!source.Seek(-769, CByteSource::FromEnd) || !source.ReadExact(pal, sizeof pal) || pal[0] != 12) {
            Clear();
            SetLastError("bad color map signature");
            return false;
        }
        for (int i = 0; i < 256; ++i)
            SetPaletteEntry(i, pal[1 + i * 3], pal[2 + i * 3], pal[3 + i * 3]);
    }
    return true;
}

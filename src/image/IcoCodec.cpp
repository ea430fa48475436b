// CRasterICO: icons and cursors. The chosen frame's colour rows come with a
// one-bit AND mask that decides which pixels are transparent.
#include "image/BitmapRows.h"
#include "image/CodecUtil.h"
#include "image/RasterCodecs.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// Applies the AND mask: masked pixels become transparent by the rules of
// icons (see CRasterICO::Decode). `mask` is null when it could not be read.
void ApplyIconMask(CRasterImage& img, const std::uint8_t* mask, std::size_t maskStride, int sourceBits) {
    const int w = img.GetWidth(), h = img.GetHeight();
    bool allSet = mask != nullptr;
    for (int y = 0; mask && allSet && y < h; ++y)
        for (std::size_t i = 0; i < (static_cast<std::size_t>(w) + 7) / 8 && allSet; ++i)
            allSet = mask[y * maskStride + i] == 0xFF;
    if (!mask || allSet) {
        // No usable mask: the old screen-inverting icons. Index 0 becomes
        // transparent and the colours are inverted.
        img.SetTransparentIndex(0);
        if (img.GetBpp() <= 8) {
            PaletteEntry* p = img.GetPalette();
            for (int i = 0; i < img.GetPaletteSize(); ++i) {
                p[i].red = static_cast<std::uint8_t>(255 - p[i].red);
                p[i].green = static_cast<std::uint8_t>(255 - p[i].green);
                p[i].blue = static_cast<std::uint8_t>(255 - p[i].blue);
            }
        } else {
            for (int y = 0; y < h; ++y) {
                std::uint8_t* row = img.GetRow(y);
                for (int x = 0; x < w * 3; ++x)
                    row[x] = static_cast<std::uint8_t>(255 - row[x]);
            }
        }
        return;
    }
    auto masked = [&](int x, int y) { return (mask[y * maskStride + (x >> 3)] >> (7 - (x & 7))) & 1; };
    const bool hadAlpha = img.HasAlpha();
    if (!hadAlpha)
        img.CreateAlpha();
    bool any = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (masked(x, y)) {
                img.SetAlpha(x, y, 0);
                any = true;
            }
    if (!any) {
        if (!hadAlpha)
            img.DeleteAlpha();
        return;
    }
    if (img.GetBpp() == 24) {
        // Icons without an alpha channel whose masked pixels share one colour
        // keep that colour as transparent colour instead of an alpha plane.
        if (sourceBits == 32)
            return;
        bool first = true, same = true;
        Rgb colour{};
        for (int y = 0; y < h && same; ++y)
            for (int x = 0; x < w && same; ++x)
                if (masked(x, y)) {
                    const Rgb c = img.GetPixelColor(x, y);
                    if (first)
                        colour = c;
                    same = first || c == colour;
                    first = false;
                }
        if (same) {
            img.SetTransparentColor(colour);
            img.SetTransparentIndex(0);
            img.DeleteAlpha();
        }
        return;
    }
    // Paletted: the lowest index no pixel uses paints the masked pixels.
    bool used[256] = {};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!masked(x, y))
                used[img.GetPixelIndex(x, y)] = true;
    for (int i = 0; i < img.GetPaletteSize(); ++i) {
        if (used[i])
            continue;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (masked(x, y))
                    img.SetPixelIndex(x, y, static_cast<std::uint8_t>(i));
        img.SetTransparentIndex(i);
        img.DeleteAlpha();
        return;
    }
}
}  // namespace

bool CRasterICO::Decode(CByteSource& source) {
    const std::int64_t base = source.Tell();
    std::uint8_t header[6];
    if (!source.ReadExact(header, sizeof header))
        return false;
    const int kind = LoadLE16(header + 2);
    const int count = LoadLE16(header + 4);
    if (LoadLE16(header) != 0 || (kind != 1 && kind != 2))
        return false;
    if (frame_ < 0 || frame_ >= count)
        return false;
    std::uint8_t entry[16];
    if (!source.Seek(base + 6 + 16 * std::int64_t{frame_}, CByteSource::FromStart) ||
        !source.ReadExact(entry, sizeof entry))
        return false;
    const std::uint32_t resourceBytes = LoadLE32(entry + 8);
    const std::uint32_t offset = LoadLE32(entry + 12);
    if (!source.Seek(base + offset, CByteSource::FromStart))
        return false;

    std::uint8_t info[40];
    if (!source.ReadExact(info, 8))
        return false;
    // Frames stored as PNG (as larger icons are) go to the PNG codec.
    if (std::memcmp(info, "\x89PNG\r\n\x1a\n", 8) == 0) {
        const std::int64_t available = std::min<std::int64_t>(resourceBytes, source.Remaining() + 8);
        std::vector<std::uint8_t> png(static_cast<std::size_t>(std::max<std::int64_t>(available, 8)));
        std::memcpy(png.data(), info, 8);
        png.resize(8 + source.Read(png.data() + 8, png.size() - 8));
        CMemorySource pngSource(png.data(), png.size());
        CRasterPNG codec(*this);
        if (!codec.Decode(pngSource)) {
            SetLastError(codec.GetLastError());
            return false;
        }
        Transfer(codec);
        numFrames_ = count;
        frame_ = 0;
        return true;
    }
    if (!source.ReadExact(info + 8, 32))
        return false;
    DibHeader h;
    h.size = LoadLE32(info);
    if (h.size < 40)
        return false;
    ParseDibHeader(info, sizeof info, h);
    if (h.size > 40 && !source.Seek(h.size - 40, CByteSource::FromCurrent))
        return false;
    const int bits = h.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    // A directory byte of 0 stands for 256 pixels; the header then tells.
    int w = entry[0], hgt = entry[1];
    if (w == 0)
        w = h.width > 0 ? h.width : 0;
    if (hgt == 0)
        hgt = h.height > 0 ? h.height / 2 : 0;
    if (!CreateDecodedPicture(*this, "ICO", w, hgt, bits, IMAGE_ICO, source.Remaining(), 1, "Can't allocate memory"))
        return false;

    if (bits <= 8) {
        const std::uint32_t colours = std::min<std::uint32_t>(DibPaletteCount(h), 256);
        std::vector<std::uint8_t> entries(static_cast<std::size_t>(colours) * 4);
        if (!source.ReadExact(entries.data(), entries.size())) {
            Clear();
            return false;
        }
        CopyDibPalette(*this, entries.data(), colours, false);
    }

    const std::uint64_t rowBytes = DibRowBytes(w, bits);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    if (bits == 32)
        CreateAlpha();
    const ChannelMasks masks;
    for (int y = 0; y < height_; ++y) {
        if (!source.ReadExact(row.data(), row.size())) {
            Clear();
            return false;
        }
        std::uint8_t* out = GetRow(y);
        if (bits == 32) {
            ConvertDibRow32(row.data(), w, nullptr, out);
            std::uint8_t* a = GetAlphaRow(y);
            for (int x = 0; x < w; ++x)
                a[x] = row[x * 4 + 3];
        } else if (bits == 16) {
            ConvertDibRow16(row.data(), w, masks, out);
        } else {
            std::memcpy(out, row.data(), stride_);
        }
    }
    // A 32-bit icon whose fourth bytes are all 0 has no alpha channel.
    if (bits == 32 && std::all_of(alpha_.begin(), alpha_.end(), [](std::uint8_t a) { return a == 0; }))
        DeleteAlpha();

    const std::size_t maskStride = static_cast<std::size_t>(DibRowBytes(w, 1));
    std::vector<std::uint8_t> mask(maskStride * hgt);
    const bool haveMask = source.ReadExact(mask.data(), mask.size());
    ApplyIconMask(*this, haveMask ? mask.data() : nullptr, maskStride, bits);
    SetXDpi(96);
    SetYDpi(96);
    numFrames_ = count;
    return true;
}

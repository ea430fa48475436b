// CRasterTGA: Truevision TGA, colour-mapped, true-colour and grey, raw or
// run-length encoded.
#include "image/BitmapRows.h"
#include "image/CodecUtil.h"
#include "image/RasterCodecs.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// A run packet of 1 + 4 bytes stands for up to 128 pixels.
constexpr std::uint64_t kRleRatio = 128;

// A 5-5-5 pixel brought to blue, green, red.
inline void From555(std::uint16_t v, std::uint8_t* bgr) {
    bgr[0] = WidenChannel(v & 0x1F, 5);
    bgr[1] = WidenChannel((v >> 5) & 0x1F, 5);
    bgr[2] = WidenChannel((v >> 10) & 0x1F, 5);
}

// TGA 2.0 files end with a footer naming their extension area, whose
// attributes byte says what the fourth byte of a 32-bit pixel holds. False
// when the file says that byte is no alpha (0 none, 1 and 2 undefined).
bool ExtensionDeclaresAlpha(CByteSource& source, std::int64_t base) {
    const std::int64_t end = source.Size();
    std::uint8_t footer[26];
    if (end - base < 18 + 26 || !source.Seek(end - 26, CByteSource::FromStart) ||
        !source.ReadExact(footer, sizeof footer) || std::memcmp(footer + 8, "TRUEVISION-XFILE.", 18) != 0)
        return true;
    const std::uint32_t ext = LoadLE32(footer);
    std::uint8_t attributes = 3;
    if (ext == 0 || base + std::int64_t{ext} + 495 > end - 26 ||
        !source.Seek(base + ext + 494, CByteSource::FromStart) || !source.ReadExact(&attributes, 1))
        return true;
    return attributes >= 3;
}
}  // namespace

bool CRasterTGA::Decode(CByteSource& source) {
    const std::int64_t base = source.Tell();
    std::uint8_t hdr[18];
    if (!source.ReadExact(hdr, sizeof hdr)) {
        SetLastError("Not a TGA");
        return false;
    }
    const int idLength = hdr[0];
    const int mapType = hdr[1];
    const int imageType = hdr[2];
    const int mapFirst = LoadLE16(hdr + 3);
    const int mapLength = LoadLE16(hdr + 5);
    const int mapEntryBits = hdr[7];
    const int width = LoadLE16(hdr + 12);
    const int height = LoadLE16(hdr + 14);
    const int depth = hdr[16];
    const int descriptor = hdr[17];
    const int kind = imageType & 7;  // 1 colour-mapped, 2 true-colour, 3 grey
    const bool rle = imageType & 8;
    if (imageType != 1 && imageType != 2 && imageType != 3 && imageType != 9 && imageType != 10 && imageType != 11) {
        SetLastError("Unknown TGA image type");
        return false;
    }
    if (width == 0 || height == 0 || mapLength > 256 ||
        (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32)) {
        SetLastError("bad TGA header");
        return false;
    }
    // Depths that make sense per kind: colour-mapped indices of 8 bits,
    // true colour of 15 to 32 bits, grey of 8 bits (16 with alpha).
    if ((kind == 1 && depth != 8) || (kind == 2 && depth == 8) || (kind == 3 && depth != 8 && depth != 16)) {
        SetLastError("bad TGA header");
        return false;
    }
    if (!source.Seek(idLength, CByteSource::FromCurrent)) {
        SetLastError("corrupted TGA");
        return false;
    }
    std::vector<std::uint8_t> map;
    const int mapEntryBytes = (mapEntryBits + 7) / 8;
    if (mapType == 1 && mapLength > 0) {
        map.resize(static_cast<std::size_t>(mapLength) * mapEntryBytes);
        if (!source.ReadExact(map.data(), map.size())) {
            SetLastError("corrupted TGA");
            return false;
        }
    }

    const int bpp = kind == 2 ? 24 : 8;
    const int pixelBytes = (depth + 7) / 8;
    if (!CreateDecodedPicture(*this, "TGA", width, height, bpp, IMAGE_TGA, source.Size() - base, rle ? kRleRatio : 2,
                              "TGA Create failed"))
        return false;
    if (kind == 3) {
        SetGrayPalette();
    } else if (kind == 1 && !map.empty()) {
        for (int i = 0; i < mapLength && mapFirst + i < 256; ++i) {
            const std::uint8_t* e = map.data() + static_cast<std::size_t>(i) * mapEntryBytes;
            std::uint8_t bgr[3] = {0, 0, 0};
            if (mapEntryBytes == 2)
                From555(LoadLE16(e), bgr);
            else if (mapEntryBytes >= 3)
                std::memcpy(bgr, e, 3);
            SetPaletteEntry(mapFirst + i, bgr[2], bgr[1], bgr[0]);
        }
    }
    // A 32-bit picture whose header declares no alpha bits, or whose
    // extension area says the fourth byte is not alpha, is opaque.
    bool withAlpha = (kind == 2 && depth == 32 && (descriptor & 0x0F) != 0) || (kind == 3 && depth == 16);
    if (withAlpha && kind == 2) {
        const std::int64_t pixels = source.Tell();
        withAlpha = ExtensionDeclaresAlpha(source, base);
        if (!source.Seek(pixels, CByteSource::FromStart)) {
            Clear();
            SetLastError("corrupted TGA");
            return false;
        }
    }
    if (withAlpha)
        CreateAlpha();

    // Pixels arrive in file order: rows bottom-up unless descriptor bit 5
    // says top-down; runs may cross rows.
    const bool topDown = descriptor & 0x20;
    BufferedReader in(source);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * pixelBytes);
    std::uint8_t packet[4] = {};
    int runLeft = 0, rawLeft = 0;
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        if (!rle) {
            if (!in.Read(line.data(), line.size())) {
                Clear();
                SetLastError("corrupted TGA");
                return false;
            }
        } else {
            for (int x = 0; x < width;) {
                std::uint8_t* px = line.data() + static_cast<std::size_t>(x) * pixelBytes;
                if (runLeft == 0 && rawLeft == 0) {
                    std::uint8_t head = 0;
                    if (!in.ReadByte(head)) {
                        Clear();
                        SetLastError("corrupted TGA");
                        return false;
                    }
                    if (head & 0x80) {
                        runLeft = (head & 0x7F) + 1;
                        if (!in.Read(packet, pixelBytes)) {
                            Clear();
                            SetLastError("corrupted TGA");
                            return false;
                        }
                    } else {
                        rawLeft = head + 1;
                    }
                }
                // Whole stretches of a packet at once; a packet may go on
                // into the next row.
                if (runLeft > 0) {
                    const int n = std::min(runLeft, width - x);
                    for (int i = 0; i < n; ++i, px += pixelBytes)
                        std::memcpy(px, packet, pixelBytes);
                    runLeft -= n;
                    x += n;
                } else {
                    const int n = std::min(rawLeft, width - x);
                    if (!in.Read(px, static_cast<std::size_t>(n) * pixelBytes)) {
                        Clear();
                        SetLastError("corrupted TGA");
                        return false;
                    }
                    rawLeft -= n;
                    x += n;
                }
            }
        }
        const int y = topDown ? height - 1 - fileRow : fileRow;
        std::uint8_t* out = GetRow(y);
        std::uint8_t* alpha = withAlpha ? GetAlphaRow(y) : nullptr;
        if (kind == 2 && pixelBytes == 3) {  // stored as we keep it: blue, green, red
            std::memcpy(out, line.data(), line.size());
            continue;
        }
        const std::uint8_t* p = line.data();
        for (int x = 0; x < width; ++x, p += pixelBytes) {
            if (kind == 2) {
                std::uint8_t* o = out + x * 3;
                if (pixelBytes == 2) {
                    From555(LoadLE16(p), o);
                } else {
                    o[0] = p[0];
                    o[1] = p[1];
                    o[2] = p[2];
                    if (alpha)
                        alpha[x] = p[3];
                }
            } else {
                out[x] = p[0];
                if (alpha)
                    alpha[x] = p[1];
            }
        }
    }
    if (descriptor & 0x10)
        Mirror();
    return true;
}

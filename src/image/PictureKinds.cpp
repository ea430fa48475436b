#include "image/PictureKinds.h"

#include "image/RasterImage.h"

#include <cstring>

const std::vector<PictureKind>& ReadablePictureKinds() {
    static const std::vector<PictureKind> kinds = {
        {IMAGE_JPG, "JPEG", {"jpg", "jpeg", "jpe", "jfif"}, {"image/jpeg"}},
        {IMAGE_PNG, "Portable Network Graphics", {"png"}, {"image/png"}},
        {IMAGE_GIF, "CompuServe Graphics Interchange", {"gif"}, {"image/gif"}},
        {IMAGE_BMP, "Windows or OS/2 Bitmap", {"bmp", "dib"}, {"image/bmp", "image/x-bmp"}},
        {IMAGE_WEBP, "WebP", {"webp"}, {"image/webp"}},
        {IMAGE_HEIF, "HEIF, HEIC and AVIF", {"heic", "heif", "hif", "avif"},
         {"image/heic", "image/heif", "image/avif", "image/heic-sequence", "image/heif-sequence"}},
        {IMAGE_JXL, "JPEG XL", {"jxl"}, {"image/jxl"}},
        {IMAGE_TIFF, "Tagged Image File Format", {"tif", "tiff"}, {"image/tiff"}},
        {IMAGE_ICO, "Windows Icon", {"ico"}, {"image/vnd.microsoft.icon", "image/x-icon"}},
        {IMAGE_TGA, "Truevision Targa", {"tga"}, {"image/x-tga"}},
        {IMAGE_PCX, "ZSoft Paintbrush", {"pcx"}, {"image/vnd.zbrush.pcx", "image/x-pcx"}},
        {IMAGE_WBMP, "Wireless Bitmap", {"wbmp"}, {"image/vnd.wap.wbmp"}},
        {IMAGE_WMF, "Windows Metafile", {"wmf"}, {"image/wmf", "image/x-wmf"}},
    };
    return kinds;
}

namespace {
bool Starts(const std::uint8_t* data, std::size_t size, const char* magic, std::size_t n, std::size_t at = 0) {
    return size >= at + n && std::memcmp(data + at, magic, n) == 0;
}

// An ISO base media file (HEIF, AVIF): an "ftyp" box whose major brand or
// one of the first compatible brands is a still-picture brand.
bool IsHeifFamily(const std::uint8_t* data, std::size_t size) {
    if (!Starts(data, size, "ftyp", 4, 4))
        return false;
    static const char* const kBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1",
                                          "msf1", "avif", "avis", "mif2"};
    const std::size_t boxSize = (std::size_t{data[0]} << 24) | (data[1] << 16) | (data[2] << 8) | data[3];
    const std::size_t end = boxSize < size ? boxSize : size;
    for (std::size_t at = 8; at + 4 <= end; at += 4) {
        if (at == 12)
            continue;  // the minor version
        for (const char* brand : kBrands)
            if (std::memcmp(data + at, brand, 4) == 0)
                return true;
    }
    return false;
}
}  // namespace

int ImageTypeFromSignature(const std::uint8_t* data, std::size_t size) {
    if (Starts(data, size, "\x89PNG\r\n\x1a\n", 8))
        return IMAGE_PNG;
    if (Starts(data, size, "\xFF\xD8\xFF", 3))
        return IMAGE_JPG;
    if (Starts(data, size, "GIF87a", 6) || Starts(data, size, "GIF89a", 6))
        return IMAGE_GIF;
    if (Starts(data, size, "RIFF", 4) && Starts(data, size, "WEBP", 4, 8))
        return IMAGE_WEBP;
    if (IsHeifFamily(data, size))
        return IMAGE_HEIF;
    // A bare code stream, or the ISO box container.
    if (Starts(data, size, "\xFF\x0A", 2) || Starts(data, size, "\0\0\0\x0CJXL \r\n\x87\n", 12))
        return IMAGE_JXL;
    if (Starts(data, size, "II*\0", 4) || Starts(data, size, "MM\0*", 4) || Starts(data, size, "II+\0", 4) ||
        Starts(data, size, "MM\0+", 4))
        return IMAGE_TIFF;
    return IMAGE_UNKNOWN;
}

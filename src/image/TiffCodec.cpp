// CRasterTIFF: TIFF through libtiff: the first page, read band by band
// through the library's RGBA interface, which reduces 16-bit samples and
// converts palette, grey, bilevel and other CMYK pictures and every compression
// the library was built with (LZW, Deflate, JPEG, PackBits, CCITT, ...).
// 8-bit CMYK in strips is read as stored and shown through its profile.
// The file's orientation tag is applied here, as for Exif.
#include "image/CodecUtil.h"
#include "image/ColourProfile.h"
#include "image/ExifOrientation.h"
#include "image/RasterCodecs.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {
// Bilevel pages in CCITT Group 4 shrink a blank page by far more than
// the thousand to one of Deflate, and they widen 24 times to our pixels.
constexpr std::uint64_t kTiffRatio = 1u << 18;
// Rows decoded at a time: a band's RGBA buffer stays about this size.
constexpr std::size_t kBandBytes = 8u << 20;

struct Client {
    CByteSource* source;
    std::int64_t base;  // where the TIFF data starts in the source
    std::string error;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* client = static_cast<Client*>(handle);
    return size <= 0 ? 0 : static_cast<tmsize_t>(client->source->Read(buffer, static_cast<std::size_t>(size)));
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* client = static_cast<Client*>(handle);
    CByteSource& source = *client->source;
    std::int64_t target;
    const auto off = static_cast<std::int64_t>(offset);
    if (whence == SEEK_SET)
        target = client->base + off;
    else if (whence == SEEK_CUR)
        target = source.Tell() + off;
    else
        target = source.Size() + off;
    if (off < 0 || target < client->base || !source.Seek(target, CByteSource::FromStart))
        return static_cast<toff_t>(-1);
    return static_cast<toff_t>(target - client->base);
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) {
    auto* client = static_cast<Client*>(handle);
    return static_cast<toff_t>(client->source->Size() - client->base);
}
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* client = static_cast<Client*>(user);
    if (client->error.empty()) {
        char text[200];
        std::vsnprintf(text, sizeof text, format, args);
        client->error = text;
    }
    return 1;
}
int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

std::string Failure(const Client& client, const char* what) {
    if (client.error.empty())
        return what;
    return std::string(what) + " (" + client.error + ")";
}

void ReadResolution(TIFF* tif, CRasterImage& image) {
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y))
        return;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER) {
        x *= 2.54f;
        y *= 2.54f;
    } else if (unit != RESUNIT_INCH) {
        return;
    }
    if (x >= 1 && y >= 1 && x <= 100000 && y <= 100000) {
        image.SetXDpi(static_cast<int>(x + 0.5f));
        image.SetYDpi(static_cast<int>(y + 0.5f));
    }
}

// Rows that make whole strips or tiles, about kBandBytes of RGBA.
std::uint32_t BandRows(TIFF* tif, std::uint32_t width, std::uint32_t height) {
    std::uint32_t unit = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &unit);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &unit);
    if (unit == 0 || unit > height)
        unit = height;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::uint32_t band = unit;
    while (band + unit <= height && (band + unit) * rowBytes <= kBandBytes)
        band += unit;
    return band;
}

// Undoes the premultiplication of the library's RGBA output.
inline std::uint8_t Straight(std::uint32_t c, std::uint32_t a) {
    return static_cast<std::uint8_t>(a == 0 ? 0 : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
}

// The embedded ICC profile, if any (and not oversized).
std::vector<std::uint8_t> FileProfile(TIFF* tif) {
    std::uint32_t size = 0;
    void* data = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_ICCPROFILE, &size, &data) || !data || size > kMaxProfileBytes)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

// 8-bit CMYK in strips, samples side by side: read as the file holds it,
// shown through its profile (or the standard one), kept for the PDF.
bool IsPlainCmyk(TIFF* tif) {
    std::uint16_t photometric = 0, bits = 0, samples = 0, planar = PLANARCONFIG_CONTIG, inks = INKSET_CMYK;
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inks);
    return photometric == PHOTOMETRIC_SEPARATED && bits == 8 && samples >= 4 && planar == PLANARCONFIG_CONTIG &&
           inks == INKSET_CMYK && !TIFFIsTiled(tif);
}

bool ReadCmyk(TIFF* tif, Client& client, CRasterImage& image, std::uint32_t width, std::uint32_t height,
              std::vector<std::uint8_t> icc) {
    std::uint16_t perPixel = 4;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &perPixel);
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    if (lineBytes < static_cast<tmsize_t>(width) * perPixel) {
        image.SetLastError(Failure(client, "Corrupt data: the TIFF picture's data is damaged"));
        return false;
    }
    const CCmykConverter converter(icc, false);
    std::shared_ptr<PictureColour> colour;
    std::vector<std::uint8_t> line;
    try {
        colour = CmykColour(converter, std::move(icc), false);
        colour->width = static_cast<int>(width);
        colour->height = static_cast<int>(height);
        colour->samples.resize(static_cast<std::size_t>(width) * height * 4);
        line.resize(static_cast<std::size_t>(lineBytes));
    } catch (const std::bad_alloc&) {
        image.SetLastError("Can't allocate memory");
        return false;
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif, line.data(), y, 0) < 0) {
            image.SetLastError(Failure(client, "Corrupt data: the TIFF picture's data is damaged"));
            return false;
        }
        std::uint8_t* cmyk = colour->samples.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::uint32_t x = 0; x < width; ++x)
            std::memcpy(cmyk + 4 * x, line.data() + static_cast<std::size_t>(x) * perPixel, 4);
        converter.ConvertRow(cmyk, image.GetRow(image.GetHeight() - 1 - static_cast<int>(y)), static_cast<int>(width));
    }
    image.SetColour(std::move(colour));
    return true;
}

bool ReadPixels(TIFF* tif, Client& client, CRasterImage& image, std::uint32_t width, std::uint32_t height) {
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif, message)) {
        image.SetLastError(std::string("TIFF: this kind of picture is not supported (") + message + ")");
        return false;
    }
    TIFFRGBAImage reader;
    if (!TIFFRGBAImageBegin(&reader, tif, 1, message)) {
        image.SetLastError(std::string("TIFF: the picture cannot be read (") + message + ")");
        return false;
    }
    // Rows in the file's order: the orientation is applied afterwards.
    reader.req_orientation = ORIENTATION_TOPLEFT;
    reader.orientation = ORIENTATION_TOPLEFT;
    const bool alpha = reader.alpha != 0;
    if (alpha)
        image.CreateAlpha();
    const std::uint32_t band = BandRows(tif, width, height);
    std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width) * band]);
    bool ok = raster != nullptr;
    if (!ok)
        image.SetLastError("Can't allocate memory");
    for (std::uint32_t top = 0; ok && top < height; top += band) {
        const std::uint32_t rows = std::min(band, height - top);
        reader.row_offset = static_cast<int>(top);
        reader.col_offset = 0;
        if (!TIFFRGBAImageGet(&reader, raster.get(), width, rows)) {
            image.SetLastError(Failure(client, "Corrupt data: the TIFF picture's data is damaged"));
            ok = false;
            break;
        }
        for (std::uint32_t i = 0; i < rows; ++i) {
            const int row = image.GetHeight() - 1 - static_cast<int>(top + i);
            const std::uint32_t* in = raster.get() + static_cast<std::size_t>(i) * width;
            std::uint8_t* out = image.GetRow(row);
            std::uint8_t* a = alpha ? image.GetAlphaRow(row) : nullptr;
            for (std::uint32_t x = 0; x < width; ++x, out += 3) {
                const std::uint32_t p = in[x];
                if (a) {
                    const std::uint32_t av = TIFFGetA(p);
                    a[x] = static_cast<std::uint8_t>(av);
                    out[0] = Straight(TIFFGetB(p), av);
                    out[1] = Straight(TIFFGetG(p), av);
                    out[2] = Straight(TIFFGetR(p), av);
                } else {
                    out[0] = static_cast<std::uint8_t>(TIFFGetB(p));
                    out[1] = static_cast<std::uint8_t>(TIFFGetG(p));
                    out[2] = static_cast<std::uint8_t>(TIFFGetR(p));
                }
            }
        }
    }
    TIFFRGBAImageEnd(&reader);
    return ok;
}
}  // namespace

bool CRasterTIFF::Decode(CByteSource& source) {
    Client client{&source, source.Tell(), {}};
    const std::int64_t fileBytes = source.Remaining();
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        SetLastError("Can't allocate memory");
        return false;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &client);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &client);
    // No single allocation of the library beyond what a picture may take.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kRasterMaxMemory));
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFClientOpenExt("picture", "rm", &client, ReadProc, WriteProc, SeekProc,
                                                            CloseProc, SizeProc, MapProc, UnmapProc, options));
    TIFFOpenOptionsFree(options);
    if (!tif) {
        SetLastError(Failure(client, "Not a TIFF file, or its header is damaged"));
        return false;
    }
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height) ||
        width == 0 || height == 0) {
        SetLastError("Corrupt data: the TIFF picture has no size");
        return false;
    }
    if (!PicturePixelsAllowed(*this, width, height))
        return false;
    if (!PlausibleSize(width, height, 24, fileBytes, kTiffRatio) || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        SetLastError("Can't allocate memory");
        return false;
    }
    if (!Create(static_cast<int>(width), static_cast<int>(height), 24, IMAGE_TIFF))
        return false;
    ReadResolution(tif.get(), *this);
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
    std::vector<std::uint8_t> icc = FileProfile(tif.get());
    const bool cmyk = IsPlainCmyk(tif.get());
    bool read = cmyk ? ReadCmyk(tif.get(), client, *this, width, height, std::move(icc))
                     : ReadPixels(tif.get(), client, *this, width, height);
    if (read && !cmyk)
        ApplyEmbeddedProfile(*this, std::move(icc), true);
    if (!read || !ApplyOrientation(*this, orientation)) {
        const std::string message = GetLastError();
        Clear();
        SetLastError(message);
        return false;
    }
    SetNumFrames(1);
    return true;
}

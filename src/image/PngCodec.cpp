// CRasterPNG: PNG through libpng 1.6. libpng reports errors by longjmp back
// to the setjmp below; between the two no C++ object with a destructor is
// alive (temporary rows come from png_malloc and are freed on both paths).
#include "image/CodecUtil.h"
#include "image/ColourProfile.h"
#include "image/RasterCodecs.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace {
// zlib's best case is about 1032 to 1.
constexpr std::uint64_t kPngRatio = 2048;

struct ReadState {
    CByteSource* source;
    char message[256];
};

void OnRead(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (state->source->Read(data, length) != length)
        png_error(png, state->source->Error() ? "Read error" : "Truncated data: the PNG file ends early");
}

void OnError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message ? message : "PNG error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// What the decode needs to free when it ends, on either path.
// Volatile: they change between setjmp and a possible longjmp.
struct Temporaries {
    png_bytep volatile rows = nullptr;  // one row
};

// The profile the file gives its colours: iCCP, else none for sRGB, else
// one made from cHRM and gAMA; empty for sRGB and untagged files. A gAMA
// chunk alone does not count: encoders have long written it without
// meaning it (PngSuite's pictures all say 1.0), and Qt, Windows and the
// reference decoders show such files as they are stored.
std::vector<std::uint8_t> FileProfile(png_structp png, png_infop info) {
    if (png_get_valid(png, info, PNG_INFO_sRGB))
        return {};
    png_charp name = nullptr;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    int compression = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &length) && profile && length <= kMaxProfileBytes)
        return std::vector<std::uint8_t>(profile, profile + length);
    const bool hasGamma = png_get_valid(png, info, PNG_INFO_gAMA) != 0;
    const bool hasPoints = png_get_valid(png, info, PNG_INFO_cHRM) != 0;
    png_fixed_point gamma = 0, p[8] = {};
    if (hasGamma)
        png_get_gAMA_fixed(png, info, &gamma);
    if (hasPoints)
        png_get_cHRM_fixed(png, info, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6], &p[7]);
    if (!hasPoints || gamma < 0)
        return {};
    std::uint32_t points[8];
    for (int i = 0; i < 8; ++i)
        points[i] = p[i] < 0 ? 0 : static_cast<std::uint32_t>(p[i]);
    return ProfileFromPngChunks(hasGamma, static_cast<std::uint32_t>(gamma), hasPoints, points);
}

// The decode proper, called under the setjmp of CRasterPNG::Decode.
bool DecodePng(png_structp png, png_infop info, CRasterImage& image, Temporaries& tmp, std::int64_t fileBytes) {
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    const bool palette = colorType == PNG_COLOR_TYPE_PALETTE;
    const bool grey = (colorType & PNG_COLOR_MASK_COLOR) == 0;
    const bool alphaChannel = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_color_16p fileBackground = nullptr;
    const bool hasBackground = png_get_bKGD(png, info, &fileBackground) != 0 && fileBackground;

    // Pictures with an alpha channel keep it in the alpha plane; a single
    // transparent colour of grey and colour pictures is composited against
    // the file's background colour, or black.
    int bpp;
    if (alphaChannel) {
        bpp = 24;
        if (grey)
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
    } else if (palette) {
        bpp = bitDepth;
    } else if (grey) {
        bpp = bitDepth == 16 ? 8 : bitDepth;
    } else {
        bpp = 24;
        png_set_bgr(png);
    }
    // Grey of fewer than 8 bits is composited here, at its stored depth.
    int lowGreyTransparent = -1, lowGreyBackground = 0;
    if (grey && !alphaChannel && bitDepth < 8 && hasTrns) {
        png_color_16p trans = nullptr;
        if (png_get_tRNS(png, info, nullptr, nullptr, &trans) && trans)
            lowGreyTransparent = trans->gray & ((1 << bitDepth) - 1);
        if (hasBackground)
            lowGreyBackground = fileBackground->gray & ((1 << bitDepth) - 1);
    } else if (!alphaChannel && !palette && hasTrns) {
        if (hasBackground) {
            png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            png_color_16 black{};
            png_set_background(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    }
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (bitDepth < 8)
        png_set_packing(png);  // one byte per pixel; we pack to our depth
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    if (!CreateDecodedPicture(image, "PNG", width, height, bpp, IMAGE_PNG, fileBytes, kPngRatio,
                              "Can't allocate memory"))
        return false;
    const int w = image.GetWidth(), h = image.GetHeight();

    // Palette, or the grey ramp of the stored depth.
    if (palette) {
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) && entries) {
            for (int i = 0; i < count && i < image.GetPaletteSize(); ++i)
                image.SetPaletteEntry(i, entries[i].red, entries[i].green, entries[i].blue, 255);
        }
        png_bytep alphas = nullptr;
        int alphaCount = 0;
        if (hasTrns && png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) && alphas && alphaCount > 0) {
            if (alphaCount == 1 && alphas[0] == 0) {
                image.SetTransparentIndex(0);
            } else {
                PaletteEntry* p = image.GetPalette();
                for (int i = 0; i < image.GetPaletteSize(); ++i)
                    p[i].alpha = i < alphaCount ? alphas[i] : 255;
                image.EnablePaletteAlpha(true);
            }
        }
    } else if (grey && bpp <= 8) {
        if (bitDepth == 2) {
            for (int i = 0; i < 4; ++i)
                image.SetPaletteEntry(i, static_cast<std::uint8_t>(i * 85), static_cast<std::uint8_t>(i * 85),
                                      static_cast<std::uint8_t>(i * 85));
        } else {
            image.SetGrayPalette();
        }
    }
    if (alphaChannel) {
        image.CreateAlpha();
        if (hasBackground) {
            // 16-bit values arrive unreduced in bKGD.
            const int shift = bitDepth == 16 ? 8 : 0;
            image.SetTransparentColor(Rgb{static_cast<std::uint8_t>(fileBackground->red >> shift),
                                          static_cast<std::uint8_t>(fileBackground->green >> shift),
                                          static_cast<std::uint8_t>(fileBackground->blue >> shift)});
        }
    }

    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER && resX > 0 && resY > 0 &&
        resX < 4000000 && resY < 4000000) {
        image.SetXDpi(static_cast<int>(std::floor(resX * 254.0 / 10000.0 + 0.5)));
        image.SetYDpi(static_cast<int>(std::floor(resY * 254.0 / 10000.0 + 0.5)));
    }

    // Rows that arrive exactly in our layout are read straight in; the
    // others (packed depths, alpha) go through one temporary row. Interlaced
    // passes add pixels to rows read before, so before each later pass the
    // temporary row gets back what the picture holds so far: no second
    // full-size buffer is ever needed.
    const png_size_t rowBytes = png_get_rowbytes(png, info);
    const bool direct = !alphaChannel && (bpp == 24 || bpp == 8);
    if (direct) {
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < h; ++y)
                png_read_row(png, image.GetRow(h - 1 - y), nullptr);
        png_read_end(png, nullptr);
        return true;
    }
    tmp.rows = static_cast<png_bytep>(png_malloc(png, rowBytes));
    png_bytep in = tmp.rows;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y) {
            const int row = h - 1 - y;
            std::uint8_t* out = image.GetRow(row);
            std::uint8_t* a = alphaChannel ? image.GetAlphaRow(row) : nullptr;
            if (pass > 0) {
                for (int x = 0; x < w; ++x) {
                    if (a) {
                        std::memcpy(in + 4 * x, out + 3 * x, 3);
                        in[4 * x + 3] = a[x];
                    } else {
                        in[x] = image.GetPixelIndex(x, row);
                    }
                }
            }
            png_read_row(png, in, nullptr);
            if (a) {
                for (int x = 0; x < w; ++x) {
                    std::memcpy(out + 3 * x, in + 4 * x, 3);
                    a[x] = in[4 * x + 3];
                }
            } else {
                std::memset(out, 0, image.GetStride());
                for (int x = 0; x < w; ++x)
                    image.SetPixelIndex(x, row,
                                        in[x] == lowGreyTransparent ? static_cast<std::uint8_t>(lowGreyBackground) : in[x]);
            }
        }
    }
    png_read_end(png, nullptr);
    return true;
}
}  // namespace

bool CRasterPNG::Decode(CByteSource& source) {
    const std::int64_t fileBytes = source.Remaining();
    ReadState state{&source, {0}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (!png) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    Temporaries tmp;
    bool ok = false;
    // Filled under the jump point, used after the library is done.
    const auto profile = std::make_unique<std::vector<std::uint8_t>>();
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &state, OnRead);
        // Text, profiles and other chunks we never use are skipped unread,
        // and no chunk may ask for more than 8 MB, whatever its header says.
        static const png_byte kIgnored[] = "iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0hIST\0pCAL\0sCAL\0tIME\0oFFs\0";
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, 10);
        // A profile libpng finds wrong is dropped, never the picture.
        png_set_benign_errors(png, 1);
        png_set_chunk_malloc_max(png, 8u << 20);
#ifdef KORVANE_FUZZING
        // Mutated inputs would almost all stop at a checksum; the fuzzer is
        // after the code behind it.
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
        ok = DecodePng(png, info, *this, tmp, fileBytes);
        if (ok)
            *profile = FileProfile(png, info);
    } else {
        Clear();
        SetLastError(state.message);
    }
    if (tmp.rows)
        png_free(png, tmp.rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        Clear();
        return false;
    }
    ApplyEmbeddedProfile(*this, std::move(*profile), true);
    return true;
}

// TIFF files written by libtiff itself: every layout scanners and programs
// write (RGB, 16-bit, palette, grey, bilevel, CMYK, alpha, tiles, many
// strips, several pages) in every common compression, read back pixel for
// pixel; JPEG-compressed ones as libtiff's own RGBA reader has them.
#include "image/RasterImage.h"

#include "ColourPictures.h"
#include "PictureFiles.h"
#include "TestImages.h"

#include <tiffio.h>

#include <gtest/gtest.h>
#include <lcms2.h>

#include <functional>

namespace {
struct TiffSpec {
    int width = 0, height = 0;
    int samples = 3, bits = 8;
    int photometric = PHOTOMETRIC_RGB;
    int compression = COMPRESSION_NONE;
    int orientation = 0;  // 0: no tag
    int rowsPerStrip = 8;
    int tile = 0;         // tile side, 0 for strips
    bool unassociatedAlpha = false;
    std::vector<std::uint16_t> colormap;  // red, green, blue runs of 2^bits entries
    // Row y (top-down) as the file stores it.
    std::function<std::vector<std::uint8_t>(int y)> row;
};

void WritePage(TIFF* tif, const TiffSpec& s) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, s.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, s.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
    if (s.compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 85);
        if (s.photometric == PHOTOMETRIC_YCBCR)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (s.compression == COMPRESSION_LZW || s.compression == COMPRESSION_ADOBE_DEFLATE)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, s.bits == 8 ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE);
    if (s.orientation)
        TIFFSetField(tif, TIFFTAG_ORIENTATION, s.orientation);
    if (s.unassociatedAlpha) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (!s.colormap.empty()) {
        const std::size_t n = s.colormap.size() / 3;
        TIFFSetField(tif, TIFFTAG_COLORMAP, s.colormap.data(), s.colormap.data() + n, s.colormap.data() + 2 * n);
    }
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (s.tile) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, s.tile);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, s.tile);
        const tmsize_t tileBytes = TIFFTileSize(tif);
        const int rowBytes = (s.width * s.samples * s.bits + 7) / 8;
        const int pixelBytes = s.samples * s.bits / 8;
        for (int ty = 0; ty < s.height; ty += s.tile)
            for (int tx = 0; tx < s.width; tx += s.tile) {
                std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes), 0);
                for (int y = 0; y < s.tile && ty + y < s.height; ++y) {
                    const std::vector<std::uint8_t> row = s.row(ty + y);
                    for (int x = 0; x < s.tile && tx + x < s.width; ++x)
                        std::copy_n(row.begin() + (tx + x) * pixelBytes, pixelBytes,
                                    tile.begin() + (y * s.tile + x) * pixelBytes);
                    (void)rowBytes;
                }
                ASSERT_GE(TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0), 0);
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip);
        for (int y = 0; y < s.height; ++y) {
            std::vector<std::uint8_t> row = s.row(y);
            ASSERT_EQ(TIFFWriteScanline(tif, row.data(), y, 0), 1);
        }
    }
    TIFFWriteDirectory(tif);
}

void WriteTiff(const std::string& path, const std::vector<TiffSpec>& pages) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    for (const TiffSpec& page : pages)
        WritePage(tif, page);
    TIFFClose(tif);
}

const RgbaPicture kPicture = PatternPicture(53, 37, true);

const std::uint8_t* At(const RgbaPicture& p, int x, int y) { return &p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4]; }

TiffSpec RgbSpec(int compression) {
    TiffSpec s;
    s.width = kPicture.width;
    s.height = kPicture.height;
    s.compression = compression;
    s.row = [](int y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < kPicture.width; ++x)
            row.insert(row.end(), At(kPicture, x, y), At(kPicture, x, y) + 3);
        return row;
    };
    return s;
}

// The expected picture from a function of (x, y) giving r, g, b, a.
RgbaPicture Expected(int w, int h, const std::function<void(int, int, std::uint8_t*)>& pixel) {
    RgbaPicture p;
    p.width = w;
    p.height = h;
    p.rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixel(x, y, &p.rgba[(static_cast<std::size_t>(y) * w + x) * 4]);
    return p;
}

RgbaPicture OpaquePicture() {
    return Expected(kPicture.width, kPicture.height, [](int x, int y, std::uint8_t* o) {
        std::copy_n(At(kPicture, x, y), 3, o);
        o[3] = 255;
    });
}

void ExpectTiff(const std::string& path, const RgbaPicture& want, bool alpha, const char* what) {
    CRasterImage image;
    ASSERT_TRUE(image.Load(path, IMAGE_TIFF)) << what << ": " << image.GetLastError();
    EXPECT_EQ(image.GetType(), IMAGE_TIFF);
    EXPECT_EQ(image.HasAlpha(), alpha) << what;
    EXPECT_EQ(CompareWithReference(image, want, 0, alpha), "") << what;
}

// libtiff's own reading of the file, top row first.
RgbaPicture LibtiffDecode(const std::string& path) {
    RgbaPicture p;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return p;
    std::uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(w) * h);
    if (TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 1)) {
        p.width = static_cast<int>(w);
        p.height = static_cast<int>(h);
        for (std::uint32_t v : raster)
            p.rgba.insert(p.rgba.end(), {static_cast<std::uint8_t>(TIFFGetR(v)), static_cast<std::uint8_t>(TIFFGetG(v)),
                                         static_cast<std::uint8_t>(TIFFGetB(v)), static_cast<std::uint8_t>(TIFFGetA(v))});
    }
    TIFFClose(tif);
    return p;
}

// Changes a side in the first directory of a little-endian TIFF (as LONG).
void SetSide(std::vector<std::uint8_t>& bytes, int which, std::uint32_t value) {
    const std::uint32_t ifd = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (bytes[7] << 24);
    const int entries = bytes[ifd] | (bytes[ifd + 1] << 8);
    for (int e = 0; e < entries; ++e) {
        std::uint8_t* entry = &bytes[ifd + 2 + e * 12];
        if ((entry[0] | (entry[1] << 8)) != which)
            continue;
        entry[2] = TIFF_LONG;
        entry[3] = 0;
        for (int i = 0; i < 4; ++i)
            entry[8 + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}
}  // namespace

TEST(TiffCodec, RgbInEveryLosslessCompressionComesBackExactly) {
    ScratchFolder dir;
    for (int compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS}) {
        const std::string file = dir.file("rgb" + std::to_string(compression) + ".tif");
        WriteTiff(file, {RgbSpec(compression)});
        ExpectTiff(file, OpaquePicture(), false, ("compression " + std::to_string(compression)).c_str());
        CRasterImage image;
        ASSERT_TRUE(image.Load(file, IMAGE_TIFF));
        EXPECT_EQ(image.GetXDpi(), 300);
    }
    // One strip a row, and tiles that overhang the picture's edges.
    TiffSpec strips = RgbSpec(COMPRESSION_LZW);
    strips.rowsPerStrip = 1;
    WriteTiff(dir.file("strips.tif"), {strips});
    ExpectTiff(dir.file("strips.tif"), OpaquePicture(), false, "a strip a row");
    TiffSpec tiles = RgbSpec(COMPRESSION_ADOBE_DEFLATE);
    tiles.tile = 16;
    WriteTiff(dir.file("tiles.tif"), {tiles});
    ExpectTiff(dir.file("tiles.tif"), OpaquePicture(), false, "tiles");
}

TEST(TiffCodec, JpegCompressionIsWhatLibtiffReads) {
    ScratchFolder dir;
    TiffSpec s = RgbSpec(COMPRESSION_JPEG);
    s.photometric = PHOTOMETRIC_YCBCR;
    s.rowsPerStrip = 16;
    WriteTiff(dir.file("jpeg.tif"), {s});
    const RgbaPicture ref = LibtiffDecode(dir.file("jpeg.tif"));
    ASSERT_EQ(ref.width, kPicture.width);
    ExpectTiff(dir.file("jpeg.tif"), ref, false, "JPEG in TIFF");
}

TEST(TiffCodec, SixteenBitPaletteGreyBilevelAndCmykAreConverted) {
    ScratchFolder dir;
    const int w = kPicture.width, h = kPicture.height;

    TiffSpec deep = RgbSpec(COMPRESSION_ADOBE_DEFLATE);
    deep.bits = 16;
    deep.row = [](int y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < kPicture.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const std::uint16_t v = static_cast<std::uint16_t>(At(kPicture, x, y)[c] * 256 + (x * 13 + c) % 256);
                row.push_back(static_cast<std::uint8_t>(v & 0xFF));  // host order: little-endian
                row.push_back(static_cast<std::uint8_t>(v >> 8));
            }
        return row;
    };
    WriteTiff(dir.file("deep.tif"), {deep});
    // Reduced as libtiff scales 16-bit samples: within a level of the high byte.
    const RgbaPicture deepRef = LibtiffDecode(dir.file("deep.tif"));
    ExpectTiff(dir.file("deep.tif"), deepRef, false, "16-bit as libtiff reduces it");
    CRasterImage deepImage;
    ASSERT_TRUE(deepImage.Load(dir.file("deep.tif"), IMAGE_TIFF));
    EXPECT_EQ(CompareWithReference(deepImage, OpaquePicture(), 1, false), "");

    TiffSpec palette;
    palette.width = w;
    palette.height = h;
    palette.samples = 1;
    palette.photometric = PHOTOMETRIC_PALETTE;
    palette.compression = COMPRESSION_PACKBITS;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            palette.colormap.push_back(static_cast<std::uint16_t>(((i * (c + 3)) & 0xFF) * 257));
    palette.row = [w](int y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < w; ++x)
            row.push_back(static_cast<std::uint8_t>(x * 4 + y));
        return row;
    };
    WriteTiff(dir.file("palette.tif"), {palette});
    ExpectTiff(dir.file("palette.tif"),
               Expected(w, h, [](int x, int y, std::uint8_t* o) {
                   const int i = (x * 4 + y) & 0xFF;
                   for (int c = 0; c < 3; ++c)
                       o[c] = static_cast<std::uint8_t>((i * (c + 3)) & 0xFF);
                   o[3] = 255;
               }),
               false, "palette");

    // What a scanner writes for text: 1 bit, 0 is white, Group 4.
    TiffSpec bilevel;
    bilevel.width = w;
    bilevel.height = h;
    bilevel.samples = 1;
    bilevel.bits = 1;
    bilevel.photometric = PHOTOMETRIC_MINISWHITE;
    bilevel.compression = COMPRESSION_CCITTFAX4;
    bilevel.rowsPerStrip = h;
    auto ink = [](int x, int y) { return (x / 5 + y / 3) % 2 == 0; };
    bilevel.row = [w, ink](int y) {
        std::vector<std::uint8_t> row((w + 7) / 8, 0);
        for (int x = 0; x < w; ++x)
            if (ink(x, y))
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        return row;
    };
    WriteTiff(dir.file("bilevel.tif"), {bilevel});
    const RgbaPicture page = Expected(w, h, [ink](int x, int y, std::uint8_t* o) {
        const std::uint8_t v = ink(x, y) ? 0 : 255;
        o[0] = o[1] = o[2] = v;
        o[3] = 255;
    });
    ExpectTiff(dir.file("bilevel.tif"), page, false, "bilevel Group 4");
    bilevel.compression = COMPRESSION_PACKBITS;
    WriteTiff(dir.file("bilevel-packbits.tif"), {bilevel});
    ExpectTiff(dir.file("bilevel-packbits.tif"), page, false, "bilevel PackBits");

    TiffSpec grey = RgbSpec(COMPRESSION_LZW);
    grey.samples = 1;
    grey.photometric = PHOTOMETRIC_MINISBLACK;
    grey.row = [w](int y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < w; ++x)
            row.push_back(At(kPicture, x, y)[1]);
        return row;
    };
    WriteTiff(dir.file("grey.tif"), {grey});
    ExpectTiff(dir.file("grey.tif"),
               Expected(w, h, [](int x, int y, std::uint8_t* o) {
                   o[0] = o[1] = o[2] = At(kPicture, x, y)[1];
                   o[3] = 255;
               }),
               false, "grey");

    TiffSpec cmyk = RgbSpec(COMPRESSION_LZW);
    cmyk.samples = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    cmyk.row = [w](int y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = At(kPicture, x, y);
            row.insert(row.end(), {static_cast<std::uint8_t>(255 - p[0]), static_cast<std::uint8_t>(255 - p[1]),
                                   static_cast<std::uint8_t>(255 - p[2]), static_cast<std::uint8_t>(x * 2)});
        }
        return row;
    };
    WriteTiff(dir.file("cmyk.tif"), {cmyk});
    // Without a profile of its own: through the system's standard CMYK
    // profile, as LittleCMS converts it.
    std::vector<std::uint8_t> inks;
    for (int y = 0; y < h; ++y) {
        const std::vector<std::uint8_t> row = cmyk.row(y);
        inks.insert(inks.end(), row.begin(), row.end());
    }
    const std::vector<std::uint8_t> srgb = colourtest::LittleCmsToSrgb(
        ReadBytes("/usr/share/color/icc/ghostscript/default_cmyk.icc"), inks, TYPE_CMYK_8, 4);
    ExpectTiff(dir.file("cmyk.tif"),
               Expected(w, h, [&](int x, int y, std::uint8_t* o) {
                   std::copy_n(&srgb[(static_cast<std::size_t>(y) * w + x) * 3], 3, o);
                   o[3] = 255;
               }),
               false, "CMYK");
}

TEST(TiffCodec, AlphaIsKeptAndOnlyTheFirstPageIsRead) {
    ScratchFolder dir;
    TiffSpec rgba = RgbSpec(COMPRESSION_LZW);
    rgba.samples = 4;
    rgba.unassociatedAlpha = true;
    rgba.row = [](int y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < kPicture.width; ++x)
            row.insert(row.end(), At(kPicture, x, y), At(kPicture, x, y) + 4);
        return row;
    };
    // Colours are exact where the picture is opaque; alpha everywhere.
    WriteTiff(dir.file("rgba.tif"), {rgba});
    ExpectTiff(dir.file("rgba.tif"), kPicture, true, "alpha");

    TiffSpec second = RgbSpec(COMPRESSION_NONE);
    second.width = 9;
    second.height = 4;
    WriteTiff(dir.file("pages.tif"), {RgbSpec(COMPRESSION_LZW), second});
    ExpectTiff(dir.file("pages.tif"), OpaquePicture(), false, "first of two pages");
}

TEST(TiffCodec, DamagedAndOversizedFilesAreRefused) {
    ScratchFolder dir;
    for (int compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
        TiffSpec s = RgbSpec(compression);
        s.rowsPerStrip = 64;
        WriteTiff(dir.file("whole.tif"), {s});
        const std::vector<std::uint8_t> bytes = ReadBytes(dir.file("whole.tif"));
        // The directory sits at the end: cut anywhere, the file says nothing.
        for (std::size_t keep : {std::size_t{4}, std::size_t{8}, bytes.size() / 2, bytes.size() - 20}) {
            std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
            CRasterImage image;
            CMemorySource source(cut.data(), cut.size());
            EXPECT_FALSE(image.Decode(source, IMAGE_TIFF)) << keep;
            EXPECT_FALSE(image.GetLastError().empty());
            EXPECT_FALSE(image.IsValid());
        }
    }
    // Sides other than the data holds: the strips are too short for them.
    TiffSpec s = RgbSpec(COMPRESSION_NONE);
    s.rowsPerStrip = kPicture.height;
    WriteTiff(dir.file("short.tif"), {s});
    std::vector<std::uint8_t> wrong = ReadBytes(dir.file("short.tif"));
    SetSide(wrong, TIFFTAG_IMAGEWIDTH, 530);
    CRasterImage refused;
    CMemorySource wrongSource(wrong.data(), wrong.size());
    EXPECT_FALSE(refused.Decode(wrongSource, IMAGE_TIFF));
    EXPECT_FALSE(refused.GetLastError().empty());

    // Sides far beyond the limit in an otherwise sound header.
    std::vector<std::uint8_t> big = ReadBytes(dir.file("short.tif"));
    SetSide(big, TIFFTAG_IMAGEWIDTH, 200000);
    SetSide(big, TIFFTAG_IMAGELENGTH, 200000);
    CRasterImage image;
    CMemorySource source(big.data(), big.size());
    EXPECT_FALSE(image.Decode(source, IMAGE_TIFF));
    EXPECT_TRUE(IsPictureTooLargeText(image.GetLastError())) << image.GetLastError();
}

TEST(TiffCodec, TheOrientationTagTurnsThePictureUpright) {
    ScratchFolder dir;
    const RgbaPicture upright = OpaquePicture();
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const RgbaPicture stored = StoredForOrientation(upright, orientation);
        TiffSpec s = RgbSpec(COMPRESSION_LZW);
        s.width = stored.width;
        s.height = stored.height;
        s.orientation = orientation;
        s.row = [stored](int y) {
            std::vector<std::uint8_t> row;
            for (int x = 0; x < stored.width; ++x)
                row.insert(row.end(), At(stored, x, y), At(stored, x, y) + 3);
            return row;
        };
        WriteTiff(dir.file("o.tif"), {s});
        ExpectTiff(dir.file("o.tif"), upright, false, "oriented");
    }
}

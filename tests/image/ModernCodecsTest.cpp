// WebP, HEIF/HEIC/AVIF and JPEG XL files made by the libraries' own
// encoders: lossless ones come back pixel for pixel, lossy ones as the
// library's own decoder (dwebp, heif-convert, djxl) has them; damaged and
// oversized files are refused with a message.
#include "image/PictureKinds.h"
#include "image/RasterImage.h"

#include "PictureFiles.h"
#include "TestEncoders.h"
#include "TestImages.h"

#include <png.h>

#include <gtest/gtest.h>

namespace {
RgbaPicture Opaque(const RgbaPicture& p) {
    RgbaPicture o = p;
    for (std::size_t i = 3; i < o.rgba.size(); i += 4)
        o.rgba[i] = 255;
    return o;
}

// Loads `file` and compares it with `want` (pixels, and alpha when asked).
void ExpectPicture(const std::string& file, int type, const RgbaPicture& want, int tolerance, bool alpha) {
    CRasterImage image;
    ASSERT_TRUE(image.Load(file, type)) << file << ": " << image.GetLastError();
    EXPECT_EQ(image.GetType(), type);
    EXPECT_EQ(image.HasAlpha(), alpha);
    EXPECT_EQ(CompareWithReference(image, want, tolerance, alpha), "") << file;
}

// The library decoder's own PNG of `file`.
RgbaPicture ReferenceDecode(const std::string& command, const std::string& png) {
    RgbaPicture ref;
    EXPECT_TRUE(RunTool(command)) << command;
    EXPECT_TRUE(ReadPngRgba(png, ref)) << png;
    return ref;
}

void ExpectRefused(const std::vector<std::uint8_t>& bytes, int type, const char* what) {
    CRasterImage image;
    CMemorySource source(bytes.data(), bytes.size());
    EXPECT_FALSE(image.Decode(source, type)) << what;
    EXPECT_FALSE(image.IsValid()) << what;
    EXPECT_FALSE(image.GetLastError().empty()) << what;
    // By content, the same decoder says the same.
    CRasterImage byContent;
    CMemorySource again(bytes.data(), bytes.size());
    EXPECT_FALSE(byContent.Decode(again, IMAGE_UNKNOWN)) << what;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t keep) {
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

class ModernCodecs : public ::testing::Test {
protected:
    ScratchFolder dir;
    const RgbaPicture picture = PatternPicture(67, 45, true);  // odd sizes: no block ever fits
    void SetUp() override {
        WritePngFile(dir.file("rgba.png"), picture, true);
        WritePngFile(dir.file("rgb.png"), picture, false);
    }
};
}  // namespace

TEST_F(ModernCodecs, WebpLosslessStillsComeBackExactlyWithAndWithoutAlpha) {
    ASSERT_TRUE(RunTool("cwebp -quiet -lossless -exact " + Quoted(dir.file("rgba.png")) + " -o " + Quoted(dir.file("a.webp"))));
    ASSERT_TRUE(RunTool("cwebp -quiet -lossless " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(dir.file("o.webp"))));
    ExpectPicture(dir.file("a.webp"), IMAGE_WEBP, picture, 0, true);
    ExpectPicture(dir.file("o.webp"), IMAGE_WEBP, Opaque(picture), 0, false);
}

TEST_F(ModernCodecs, WebpLossyIsWhatDwebpDecodes) {
    ASSERT_TRUE(RunTool("cwebp -quiet -q 70 " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(dir.file("l.webp"))));
    ASSERT_TRUE(RunTool("cwebp -quiet -q 70 -alpha_q 100 " + Quoted(dir.file("rgba.png")) + " -o " + Quoted(dir.file("la.webp"))));
    const RgbaPicture ref =
        ReferenceDecode("dwebp " + Quoted(dir.file("l.webp")) + " -o " + Quoted(dir.file("l.png")), dir.file("l.png"));
    ExpectPicture(dir.file("l.webp"), IMAGE_WEBP, ref, 0, false);
    const RgbaPicture refAlpha =
        ReferenceDecode("dwebp " + Quoted(dir.file("la.webp")) + " -o " + Quoted(dir.file("la.png")), dir.file("la.png"));
    ExpectPicture(dir.file("la.webp"), IMAGE_WEBP, refAlpha, 0, true);
}

TEST_F(ModernCodecs, WebpAnimationGivesItsFirstFrame) {
    const RgbaPicture second = PatternPicture(67, 45, false);
    RgbaPicture first = second;
    for (std::size_t i = 0; i < first.rgba.size(); i += 4)
        first.rgba[i + 1] = static_cast<std::uint8_t>(255 - first.rgba[i + 1]);
    WritePngFile(dir.file("f1.png"), first, false);
    WritePngFile(dir.file("f2.png"), second, false);
    ASSERT_TRUE(RunTool("img2webp -lossless " + Quoted(dir.file("f1.png")) + " " + Quoted(dir.file("f2.png")) +
                    " -o " + Quoted(dir.file("anim.webp"))));
    CRasterImage image;
    ASSERT_TRUE(image.Load(dir.file("anim.webp"), IMAGE_WEBP)) << image.GetLastError();
    EXPECT_EQ(image.GetNumFrames(), 2);
    EXPECT_EQ(CompareWithReference(image, first, 0, false), "");
}

TEST_F(ModernCodecs, DamagedAndOversizedWebpFilesAreRefused) {
    ASSERT_TRUE(RunTool("cwebp -quiet -q 80 " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(dir.file("l.webp"))));
    ASSERT_TRUE(RunTool("cwebp -quiet -lossless " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(dir.file("o.webp"))));
    const std::vector<std::uint8_t> lossy = ReadBytes(dir.file("l.webp"));
    const std::vector<std::uint8_t> lossless = ReadBytes(dir.file("o.webp"));
    for (std::size_t keep : {std::size_t{12}, std::size_t{30}, lossy.size() / 2, lossy.size() - 1})
        ExpectRefused(Cut(lossy, keep), IMAGE_WEBP, "truncated lossy");
    ExpectRefused(Cut(lossless, lossless.size() / 2), IMAGE_WEBP, "truncated lossless");

    // The lossless header's 14-bit sides, at their largest: 16384 x 16384
    // is beyond the picture limit, refused before anything is allocated.
    std::vector<std::uint8_t> huge = lossless;
    ASSERT_EQ(huge[20], 0x2F);  // VP8L signature after the chunk header
    huge[21] = 0xFF;
    huge[22] = 0xFF;
    huge[23] = 0xFF;
    huge[24] = static_cast<std::uint8_t>((huge[24] & 0xF0) | 0x0F);
    CRasterImage image;
    CMemorySource source(huge.data(), huge.size());
    EXPECT_FALSE(image.Decode(source, IMAGE_WEBP));
    EXPECT_TRUE(IsPictureTooLargeText(image.GetLastError())) << image.GetLastError();

    // Sides changed to others the data does not hold.
    std::vector<std::uint8_t> wrong = lossless;
    wrong[21] ^= 0x05;
    ExpectRefused(wrong, IMAGE_WEBP, "wrong sides");
}

TEST_F(ModernCodecs, HeicAndAvifAreWhatHeifConvertDecodes) {
    for (const char* kind : {"heic", "avif"}) {
        const std::string option = std::string(kind) == "avif" ? "-A " : "";
        for (const char* quality : {"-L", "-q 60"}) {
            const std::string file = dir.file(std::string("p.") + kind);
            ASSERT_TRUE(RunTool("heif-enc " + option + quality + " " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(file)))
                << kind << " " << quality;
            const RgbaPicture ref =
                ReferenceDecode("heif-convert " + Quoted(file) + " " + Quoted(dir.file("ref.png")), dir.file("ref.png"));
            ExpectPicture(file, IMAGE_HEIF, ref, 0, false);
        }
    }
    // With alpha (the alpha plane is its own coded picture).
    ASSERT_TRUE(RunTool("heif-enc -L " + Quoted(dir.file("rgba.png")) + " -o " + Quoted(dir.file("a.heic"))));
    const RgbaPicture ref =
        ReferenceDecode("heif-convert " + Quoted(dir.file("a.heic")) + " " + Quoted(dir.file("a.png")), dir.file("a.png"));
    ExpectPicture(dir.file("a.heic"), IMAGE_HEIF, ref, 0, true);
}

TEST_F(ModernCodecs, DamagedHeifFilesAreRefused) {
    ASSERT_TRUE(RunTool("heif-enc -q 60 " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(dir.file("p.heic"))));
    ASSERT_TRUE(RunTool("heif-enc -A -q 60 " + Quoted(dir.file("rgb.png")) + " -o " + Quoted(dir.file("p.avif"))));
    for (const char* name : {"p.heic", "p.avif"}) {
        const std::vector<std::uint8_t> bytes = ReadBytes(dir.file(name));
        for (std::size_t keep : {std::size_t{16}, std::size_t{40}, bytes.size() / 2, bytes.size() - 8})
            ExpectRefused(Cut(bytes, keep), IMAGE_HEIF, name);
    }
}

// A 24 x 16 grid whose one tile says, in its HEVC header, 14441 x 27759
// pixels (found by the fuzz target): refused at once instead of taking
// gigabytes and half a minute.
TEST_F(ModernCodecs, AHeifTileLargerThanItsPictureIsRefused) {
    const std::vector<std::uint8_t> bytes = ReadBytes(KORVANE_SOURCE_DIR "/fuzz/corpus/heif-codec/huge-tile.heic");
    ASSERT_EQ(bytes.size(), 531u);
    ExpectRefused(bytes, IMAGE_HEIF, "huge-tile.heic");
}

TEST_F(ModernCodecs, JpegXlLosslessComesBackExactlyAndLossyAsDjxlHasIt) {
    ASSERT_TRUE(RunTool("cjxl --quiet -d 0 " + Quoted(dir.file("rgba.png")) + " " + Quoted(dir.file("a.jxl"))));
    ASSERT_TRUE(RunTool("cjxl --quiet -d 0 " + Quoted(dir.file("rgb.png")) + " " + Quoted(dir.file("o.jxl"))));
    ExpectPicture(dir.file("a.jxl"), IMAGE_JXL, picture, 0, true);
    ExpectPicture(dir.file("o.jxl"), IMAGE_JXL, Opaque(picture), 0, false);

    // A grey picture, whose samples come one a pixel.
    PngRecipe grey;
    grey.width = 9;
    grey.height = 5;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    RgbaPicture greyWant{9, 5, {}};
    for (int y = 0; y < 5; ++y) {
        grey.rows.emplace_back();
        for (int x = 0; x < 9; ++x) {
            const auto v = static_cast<std::uint8_t>(x * 25 + y * 3);
            grey.rows.back().push_back(v);
            greyWant.rgba.insert(greyWant.rgba.end(), {v, v, v, 255});
        }
    }
    WriteBytesFile(dir.file("grey.png"), EncodePng(grey));
    ASSERT_TRUE(RunTool("cjxl --quiet -d 0 " + Quoted(dir.file("grey.png")) + " " + Quoted(dir.file("g.jxl"))));
    ExpectPicture(dir.file("g.jxl"), IMAGE_JXL, greyWant, 0, false);

    ASSERT_TRUE(RunTool("cjxl --quiet -d 2 " + Quoted(dir.file("rgb.png")) + " " + Quoted(dir.file("l.jxl"))));
    const RgbaPicture ref =
        ReferenceDecode("djxl " + Quoted(dir.file("l.jxl")) + " " + Quoted(dir.file("l.png")), dir.file("l.png"));
    ExpectPicture(dir.file("l.jxl"), IMAGE_JXL, ref, 1, false);
}

// A lossy picture whose colours are sRGB's but whose curve is a plain 2.2
// (as many PNGs say) is delivered by the library in sRGB itself: exactly
// djxl's sRGB output, with no colour record left to convert or embed.
TEST_F(ModernCodecs, LossyJpegXlWithSrgbPrimariesComesInSrgb) {
    PngRecipe tagged;
    tagged.width = 16;
    tagged.height = 8;
    tagged.gamma = 45455;
    tagged.chromaticities = {0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06};
    for (int y = 0; y < 8; ++y) {
        tagged.rows.emplace_back();
        for (int x = 0; x < 16; ++x)
            tagged.rows.back().insert(tagged.rows.back().end(), {static_cast<std::uint8_t>(x * 16),
                                                                 static_cast<std::uint8_t>(y * 32), 90});
    }
    WriteBytesFile(dir.file("g22.png"), EncodePng(tagged));
    ASSERT_TRUE(RunTool("cjxl --quiet -d 1 " + Quoted(dir.file("g22.png")) + " " + Quoted(dir.file("g22.jxl"))));
    const RgbaPicture ref = ReferenceDecode("djxl --color_space=RGB_D65_SRG_Per_SRG " + Quoted(dir.file("g22.jxl")) +
                                                " " + Quoted(dir.file("ref.png")),
                                            dir.file("ref.png"));
    ExpectPicture(dir.file("g22.jxl"), IMAGE_JXL, ref, 0, false);
    CRasterImage image;
    ASSERT_TRUE(image.Load(dir.file("g22.jxl"), IMAGE_JXL));
    EXPECT_EQ(image.GetColour(), nullptr);
}

TEST_F(ModernCodecs, DamagedJpegXlFilesAreRefused) {
    ASSERT_TRUE(RunTool("cjxl --quiet -d 0 " + Quoted(dir.file("rgb.png")) + " " + Quoted(dir.file("o.jxl"))));
    ASSERT_TRUE(RunTool("cjxl --quiet -d 1 " + Quoted(dir.file("rgb.png")) + " " + Quoted(dir.file("l.jxl"))));
    for (const char* name : {"o.jxl", "l.jxl"}) {
        const std::vector<std::uint8_t> bytes = ReadBytes(dir.file(name));
        for (std::size_t keep : {std::size_t{2}, std::size_t{5}, bytes.size() / 2, bytes.size() - 1})
            ExpectRefused(Cut(bytes, keep), IMAGE_JXL, name);
    }
    // A bare code stream's header claiming a picture far beyond the limit:
    // signature, then a "small" = 0 size header of 2^30 x 2^30.
    const std::vector<std::uint8_t> huge = {0xFF, 0x0A, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F};
    CRasterImage image;
    CMemorySource source(huge.data(), huge.size());
    EXPECT_FALSE(image.Decode(source, IMAGE_JXL));
    EXPECT_FALSE(image.GetLastError().empty());
}

TEST(ReadableKinds, EveryMappedExtensionAndSignatureHasItsKind) {
    for (const PictureKind& kind : ReadablePictureKinds()) {
        EXPECT_FALSE(kind.mimeTypes.empty()) << kind.name;
        for (const std::string& mime : kind.mimeTypes)
            EXPECT_EQ(mime.rfind("image/", 0), 0u) << mime;
        for (const std::string& ext : kind.extensions) {
            const int mapped = ImageTypeFromExtension("cover." + ext);
            // The extension map takes the four classic kinds and every new one.
            if (mapped >= 0) {
                EXPECT_EQ(mapped, kind.type) << ext;
            }
        }
    }
    for (const char* name : {"a.webp", "a.HEIC", "a.avif", "a.jxl", "a.tif", "a.TIFF"})
        EXPECT_GT(ImageTypeFromExtension(name), IMAGE_WMF) << name;
    const std::uint8_t webp[] = {'R', 'I', 'F', 'F', 1, 0, 0, 0, 'W', 'E', 'B', 'P'};
    EXPECT_EQ(ImageTypeFromSignature(webp, sizeof webp), IMAGE_WEBP);
    const std::uint8_t avif[] = {0, 0, 0, 0x1C, 'f', 't', 'y', 'p', 'a', 'v', 'i', 'f', 0, 0, 0, 0};
    EXPECT_EQ(ImageTypeFromSignature(avif, sizeof avif), IMAGE_HEIF);
    // An MP4 video is the same box structure with other brands.
    const std::uint8_t mp4[] = {0, 0, 0, 0x18, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm', 0, 0, 2, 0, 'm', 'p', '4', '1'};
    EXPECT_EQ(ImageTypeFromSignature(mp4, sizeof mp4), IMAGE_UNKNOWN);
    const std::uint8_t tiff[] = {'M', 'M', 0, '*'};
    EXPECT_EQ(ImageTypeFromSignature(tiff, sizeof tiff), IMAGE_TIFF);
    EXPECT_EQ(ImageTypeFromSignature(tiff, 3), IMAGE_UNKNOWN);
}

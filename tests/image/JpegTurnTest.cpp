// Quarter turns of JPEG data: the turned file holds the source's own DCT
// coefficients in their turned places (read back with libjpeg), decodes to
// the turned picture within a level or three, and a turn that would not be
// exact, or damaged data, gives no data at all.
#include "image/JpegTurn.h"
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

#include "JpegReadBack.h"
#include "TestEncoders.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

namespace {
// Largest difference of a sample of `turned` from the sample a turn by
// `angle` of `source` puts there.
int MaxPlaneDifference(const Planes& source, const Planes& turned, int angle) {
    if (turned.width != source.height || turned.height != source.width || turned.components != source.components)
        return 256;
    int most = 0;
    for (int y = 0; y < turned.height; ++y)
        for (int x = 0; x < turned.width; ++x)
            for (int c = 0; c < source.components; ++c) {
                const int from = angle == 90 ? source.at(y, source.height - 1 - x, c)
                                             : source.at(source.width - 1 - y, x, c);
                most = std::max(most, std::abs(turned.at(x, y, c) - from));
            }
    return most;
}

// A picture with smooth areas, sharp edges and noise, so that rounding
// differences between two decodings show.
JpegRecipe Picture(int w, int h, int components, int lumaH = 2, int lumaV = 2) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    s.components = components;
    s.lumaH = lumaH;
    s.lumaV = lumaV;
    s.quality = 90;
    std::uint32_t noise = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c) {
                noise = noise * 1103515245u + 12345u;
                const int edge = ((x / 7 + y / 5) & 1) ? 60 : 0;
                s.pixels.push_back(static_cast<std::uint8_t>((x * 3 + y * 2 + c * 70 + edge + (noise >> 28)) & 0xFF));
            }
    return s;
}

struct Sampling {
    const char* name;
    int components, h, v;
};
constexpr Sampling kSamplings[] = {{"4:2:0", 3, 2, 2}, {"4:2:2", 3, 2, 1}, {"4:4:4", 3, 1, 1}, {"grey", 1, 1, 1}};

// Checks that `turned` holds exactly the coefficients of `source` turned by
// `angle`: block (x, y) of a turned component, frequency (u, v), is the
// source's frequency (v, u) from the block a turn of the picture puts there,
// negated where the mirrored axis has an odd frequency.
void ExpectTurnedCoefficients(const Coefficients& source, const Coefficients& turned, int angle) {
    ASSERT_EQ(turned.width, source.height);
    ASSERT_EQ(turned.height, source.width);
    ASSERT_EQ(turned.components.size(), source.components.size());
    for (std::size_t ci = 0; ci < source.components.size(); ++ci) {
        const auto& s = source.components[ci];
        const auto& t = turned.components[ci];
        ASSERT_EQ(t.h, s.v);
        ASSERT_EQ(t.v, s.h);
        ASSERT_EQ(t.wb, s.hb);
        ASSERT_EQ(t.hb, s.wb);
        int wrong = 0;
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u)
                wrong += t.quant[static_cast<std::size_t>(v * 8 + u)] != s.quant[static_cast<std::size_t>(u * 8 + v)];
        EXPECT_EQ(wrong, 0) << "quantisation table of component " << ci;
        for (int by = 0; by < t.hb; ++by)
            for (int bx = 0; bx < t.wb; ++bx) {
                const JCOEF* got = t.at(bx, by);
                const JCOEF* from = angle == 90 ? s.at(by, s.hb - 1 - bx) : s.at(s.wb - 1 - by, bx);
                for (int v = 0; v < 8; ++v)
                    for (int u = 0; u < 8; ++u) {
                        const int odd = (angle == 90 ? u : v) & 1;
                        const int want = odd ? -from[u * 8 + v] : from[u * 8 + v];
                        wrong += got[v * 8 + u] != want;
                    }
            }
        EXPECT_EQ(wrong, 0) << "coefficients of component " << ci;
    }
}

// Largest difference of any channel between two pictures of the same size.
int MaxDifference(const CRasterImage& a, const CRasterImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return 256;
    int most = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const Rgb p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            most = std::max({most, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        }
    return most;
}

// The turned coefficients decode within a level of the turned samples (the
// inverse DCT rounds its two passes in the other order); the conversion to
// colours can add the differences of Y and 1.4 times those of Cr: 3 levels.
constexpr int kPlaneTolerance = 1;
constexpr int kTolerance = 3;
}  // namespace

TEST(JpegTurn, CoefficientsMoveExactlyAndDecodeToTheTurnedPicture) {
    int measured = 0, measuredPlanes = 0;
    for (const Sampling& sampling : kSamplings) {
        for (bool progressive : {false, true}) {
            // 61 x 48 turns by +90 only, 48 x 29 by -90 only: 48 is a whole
            // interleaved block row for every sampling here, 61 and 29 not;
            // the edge that may stay partial does.
            for (const auto& [w, h, angle] : {std::tuple{61, 48, 90}, {48, 29, -90}}) {
                const std::string what = std::string(sampling.name) + (progressive ? " progressive " : " ") +
                                         std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(angle);
                JpegRecipe made = Picture(w, h, sampling.components, sampling.h, sampling.v);
                made.progressive = progressive;
                const std::vector<std::uint8_t> file = EncodeJpeg(made);
                const auto turned = TurnJpeg(file.data(), file.size(), angle);
                ASSERT_TRUE(turned) << what;
                EXPECT_FALSE(TurnJpeg(file.data(), file.size(), -angle)) << what << ": the partial edge would move";

                Coefficients source, result;
                ASSERT_TRUE(ReadCoefficients(file, source)) << what;
                ASSERT_TRUE(ReadCoefficients(*turned, result)) << what;
                EXPECT_EQ(result.progressive, progressive) << what;
                SCOPED_TRACE(what);
                ExpectTurnedCoefficients(source, result, angle);

                CRasterImage picture, back;
                ASSERT_TRUE(DecodeBytes(picture, file, IMAGE_JPG));
                ASSERT_TRUE(picture.Rotate(angle));
                ASSERT_TRUE(DecodeBytes(back, *turned, IMAGE_JPG));
                EXPECT_EQ(back.GetBpp(), sampling.components == 1 ? 8 : 24);
                const int diff = MaxDifference(picture, back);
                EXPECT_LE(diff, kTolerance);
                measured = std::max(measured, diff);
                Planes from, to;
                ASSERT_TRUE(DecodePlanes(file, from));
                ASSERT_TRUE(DecodePlanes(*turned, to));
                const int planeDiff = MaxPlaneDifference(from, to, angle);
                EXPECT_LE(planeDiff, kPlaneTolerance);
                measuredPlanes = std::max(measuredPlanes, planeDiff);
            }
        }
    }
    std::printf("largest difference from the turned picture: %d (colours), %d (Y, Cb, Cr, grey samples)\n",
                measured, measuredPlanes);
}

TEST(JpegTurn, RotateKeepsTurnedDataAndTurnsBack) {
    const std::vector<std::uint8_t> file = EncodeJpeg(Picture(48, 32, 3));
    CRasterImage original;
    ASSERT_TRUE(DecodeBytes(original, file, IMAGE_JPG));
    Coefficients source;
    ASSERT_TRUE(ReadCoefficients(file, source));

    // Into another image: the source keeps its own data.
    CRasterImage once;
    ASSERT_TRUE(original.Rotate(90, &once));
    ASSERT_TRUE(once.GetJpegData());
    EXPECT_EQ(*original.GetJpegData(), file);
    CRasterImage decoded;
    ASSERT_TRUE(DecodeBytes(decoded, *once.GetJpegData(), IMAGE_JPG));
    EXPECT_LE(MaxDifference(decoded, once), kTolerance);

    // Twice clockwise: a half turn of the coefficients.
    CRasterImage twice(once);
    ASSERT_TRUE(twice.Rotate(90));
    ASSERT_TRUE(twice.GetJpegData());
    Coefficients middle, half;
    ASSERT_TRUE(ReadCoefficients(*once.GetJpegData(), middle));
    ASSERT_TRUE(ReadCoefficients(*twice.GetJpegData(), half));
    ExpectTurnedCoefficients(middle, half, 90);
    ASSERT_TRUE(DecodeBytes(decoded, *twice.GetJpegData(), IMAGE_JPG));
    EXPECT_LE(MaxDifference(decoded, twice), kTolerance);

    // And back: the very coefficients and tables of the file, so the same pixels.
    CRasterImage back(once);
    ASSERT_TRUE(back.Rotate(-90));
    ASSERT_TRUE(back.GetJpegData());
    Coefficients again;
    ASSERT_TRUE(ReadCoefficients(*back.GetJpegData(), again));
    ASSERT_EQ(again.components.size(), source.components.size());
    for (std::size_t ci = 0; ci < source.components.size(); ++ci) {
        EXPECT_EQ(again.components[ci].quant, source.components[ci].quant);
        EXPECT_TRUE(again.components[ci].blocks == source.components[ci].blocks) << ci;
    }
    ASSERT_TRUE(DecodeBytes(decoded, *back.GetJpegData(), IMAGE_JPG));
    EXPECT_EQ(MaxDifference(decoded, original), 0);

    // A width that is no whole block row: -90 drops the data, the pixels turn.
    CRasterImage narrow;
    ASSERT_TRUE(DecodeBytes(narrow, EncodeJpeg(Picture(40, 32, 3)), IMAGE_JPG));
    ASSERT_TRUE(narrow.Rotate(-90));
    EXPECT_FALSE(narrow.GetJpegData());
    EXPECT_EQ(narrow.GetWidth(), 32);
}

TEST(JpegTurn, TurnsAreCarriedOutOnlyWhenTheDataIsAskedFor) {
    const std::vector<std::uint8_t> file = EncodeJpeg(Picture(48, 32, 3));
    // Turns that cancel out, and no turn at all, give the file's own bytes.
    for (const std::vector<int>& angles : {std::vector<int>{90, -90}, std::vector<int>{0},
                                           std::vector<int>{-90, 180, -90}, std::vector<int>{90, 90, 90, 90}}) {
        CRasterImage image;
        ASSERT_TRUE(DecodeBytes(image, file, IMAGE_JPG));
        for (int angle : angles)
            ASSERT_TRUE(image.Rotate(angle));
        ASSERT_TRUE(image.GetJpegData()) << angles.size();
        EXPECT_EQ(*image.GetJpegData(), file) << angles.size();
    }

    // A half turn is two quarter turns of the data.
    CRasterImage half;
    ASSERT_TRUE(DecodeBytes(half, file, IMAGE_JPG));
    ASSERT_TRUE(half.Rotate(180));
    EXPECT_TRUE(half.HasJpegData());
    // Drawn on screen first, the data still turns right when asked for.
    CRasterSurface screen(48, 32);
    CDrawContext screenDraw(screen);
    EXPECT_EQ(half.Draw(&screenDraw, 0, 0), 1);
    ASSERT_TRUE(half.GetJpegData());
    CRasterImage decoded;
    ASSERT_TRUE(DecodeBytes(decoded, *half.GetJpegData(), IMAGE_JPG));
    EXPECT_EQ(decoded.GetWidth(), 48);
    EXPECT_LE(MaxDifference(decoded, half), kTolerance);

    // A copy made before the data is asked for turns on its own.
    CRasterImage turned;
    ASSERT_TRUE(DecodeBytes(turned, file, IMAGE_JPG));
    ASSERT_TRUE(turned.Rotate(-90));
    CRasterImage copy(turned);
    ASSERT_TRUE(copy.GetJpegData());
    ASSERT_TRUE(turned.GetJpegData());
    EXPECT_EQ(*copy.GetJpegData(), *turned.GetJpegData());
    EXPECT_NE(*copy.GetJpegData(), file);
}

TEST(JpegTurn, DensityKeptTurnedAndNothingThatCouldTurnItAgain) {
    JpegRecipe picture = Picture(32, 32, 3);
    picture.jfifDensityUnit = 1;
    picture.jfifX = 300;
    picture.jfifY = 150;
    // Exif saying "turn me" (orientation 6), XMP, an ICC profile, a comment.
    picture.exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    const std::string xmp = "http://ns.adobe.com/xap/1.0/";
    std::vector<std::uint8_t> xmpBlock(xmp.begin(), xmp.end());
    xmpBlock.push_back(0);
    const std::string iccText = "ICC_PROFILE";
    std::vector<std::uint8_t> icc(iccText.begin(), iccText.end());
    icc.insert(icc.end(), {0, 1, 1, 'p', 'r', 'o', 'f'});
    picture.markers = {{JPEG_APP0 + 1, xmpBlock}, {JPEG_APP0 + 2, icc}, {JPEG_COM, {'h', 'i'}}};
    const std::vector<std::uint8_t> file = EncodeJpeg(picture);
    const auto turned = TurnJpeg(file.data(), file.size(), 90);
    ASSERT_TRUE(turned);
    Coefficients read;
    ASSERT_TRUE(ReadCoefficients(*turned, read));
    EXPECT_EQ(read.densityUnit, 1);
    EXPECT_EQ(read.xDensity, 150);
    EXPECT_EQ(read.yDensity, 300);
    bool sawIcc = false, sawComment = false;
    for (const auto& [code, payload] : read.markers) {
        EXPECT_NE(code, JPEG_APP0 + 1) << "Exif or XMP kept";
        sawIcc |= code == JPEG_APP0 + 2 && payload == icc;
        sawComment |= code == JPEG_COM && payload == std::vector<std::uint8_t>{'h', 'i'};
    }
    EXPECT_TRUE(sawIcc);
    EXPECT_TRUE(sawComment);
}

TEST(JpegTurn, DamagedOrForeignDataGivesNothing) {
    const std::vector<std::uint8_t> file = EncodeJpeg(Picture(64, 64, 3));
    ASSERT_TRUE(TurnJpeg(file.data(), file.size(), 90));
    EXPECT_FALSE(TurnJpeg(file.data(), file.size(), 180));
    EXPECT_FALSE(TurnJpeg(file.data(), 0, 90));
    EXPECT_FALSE(TurnJpeg(nullptr, 10, 90));

    std::vector<std::vector<std::uint8_t>> bad;
    bad.emplace_back(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() * 2 / 3));
    bad.emplace_back(file.begin(), file.end() - 2);  // no end marker
    bad.emplace_back(file.begin(), file.begin() + 200);
    for (std::size_t at : {file.size() / 2, file.size() * 3 / 4, file.size() - 40}) {
        std::vector<std::uint8_t> flipped = file;
        for (std::size_t i = at; i < at + 6; ++i)
            flipped[i] ^= 0x5A;
        bad.push_back(flipped);
    }
    Coefficients fractional;
    bad.push_back(FractionalSamplingFile());
    ASSERT_TRUE(ReadCoefficients(bad.back(), fractional)) << "not a valid file";
    bad.push_back(std::vector<std::uint8_t>(300, 0xFF));
    for (std::size_t n = 0; n < bad.size(); ++n) {
        // Data turns exactly when the decoder keeps it: a clean decode.
        CRasterImage image;
        const bool clean = DecodeBytes(image, bad[n], IMAGE_JPG) && image.GetJpegData();
        for (int angle : {90, -90})
            EXPECT_EQ(static_cast<bool>(TurnJpeg(bad[n].data(), bad[n].size(), angle)), clean) << n;
        if (image.IsValid() && !clean) {
            image.Rotate(90);
            EXPECT_FALSE(image.GetJpegData()) << n;
        }
    }
    EXPECT_FALSE(TurnJpeg(bad[0].data(), bad[0].size(), 90)) << "a cut file turned";

    // The shared damaged files never crash it and never turn.
    for (const TestFileEntry& entry : SharedTestFiles("jpeg/bad-made/")) {
        const std::vector<std::uint8_t> bytes = ReadBytes(SharedTestFile(entry.path));
        if (bytes.empty())
            continue;
        for (int angle : {90, -90})
            EXPECT_FALSE(TurnJpeg(bytes.data(), bytes.size(), angle)) << entry.path;
    }
}

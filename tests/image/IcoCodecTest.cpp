// Icons and cursors: the directory, the frame to decode and the AND mask's
// transparency rules.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
struct IconFrame {
    int w = 0, h = 0, bits = 0;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> rows;  // colour rows, bottom-up, padded
    std::vector<std::uint8_t> mask;  // AND rows, bottom-up, padded to 4 bytes
};

std::vector<std::uint8_t> Ico(const std::vector<IconFrame>& frames, int kind = 1) {
    std::vector<std::uint8_t> f;
    PutLE16(f, 0);
    PutLE16(f, static_cast<unsigned>(kind));
    PutLE16(f, static_cast<unsigned>(frames.size()));
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const IconFrame& fr : frames) {
        std::vector<std::uint8_t> b;
        PutLE32(b, 40);
        PutLE32(b, static_cast<std::uint32_t>(fr.w));
        PutLE32(b, static_cast<std::uint32_t>(fr.h * 2));
        PutLE16(b, 1);
        PutLE16(b, static_cast<unsigned>(fr.bits));
        for (int i = 0; i < 6; ++i)
            PutLE32(b, 0);
        for (std::uint32_t p : fr.palette)
            PutLE32(b, p);
        b.insert(b.end(), fr.rows.begin(), fr.rows.end());
        b.insert(b.end(), fr.mask.begin(), fr.mask.end());
        bodies.push_back(b);
    }
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        f.push_back(static_cast<std::uint8_t>(frames[i].w));
        f.push_back(static_cast<std::uint8_t>(frames[i].h));
        f.push_back(0);
        f.push_back(0);
        PutLE16(f, 1);
        PutLE16(f, static_cast<unsigned>(frames[i].bits));
        PutLE32(f, static_cast<std::uint32_t>(bodies[i].size()));
        PutLE32(f, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const auto& b : bodies)
        f.insert(f.end(), b.begin(), b.end());
    return f;
}

// A 2 x 1 24-bit icon: red, blue; mask byte given.
IconFrame TwentyFour(std::uint8_t maskByte) {
    return IconFrame{2, 1, 24, {}, {0, 0, 255, 255, 0, 0, 0, 0}, {maskByte, 0, 0, 0}};
}
}  // namespace

TEST(IcoCodec, MaskedPixelsOfOneColourGiveATransparentColour) {
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Ico({TwentyFour(0x40)}), IMAGE_ICO)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), IMAGE_ICO);
    EXPECT_EQ(img.GetNumFrames(), 1);
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetTransparentIndex(), 0);
    EXPECT_EQ(img.GetTransparentColor(), (Rgb{0, 0, 255}));  // pixel 1 is masked
    EXPECT_FALSE(img.HasAlpha());
    EXPECT_TRUE(img.IsTransparent(1, 0));
    EXPECT_FALSE(img.IsTransparent(0, 0));
}

TEST(IcoCodec, NoMaskedPixelsNoTransparency) {
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Ico({TwentyFour(0x00)}), IMAGE_ICO));
    EXPECT_EQ(img.GetTransparentIndex(), -1);
    EXPECT_FALSE(img.HasAlpha());
}

TEST(IcoCodec, FullMaskOrMissingMaskInvertsTheColours) {
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Ico({TwentyFour(0xFF)}), IMAGE_ICO));
    EXPECT_EQ(img.GetTransparentIndex(), 0);
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{0, 255, 255}));
    IconFrame cut = TwentyFour(0);
    cut.mask.clear();
    CRasterImage noMask;
    ASSERT_TRUE(DecodeBytes(noMask, Ico({cut}), IMAGE_ICO));
    EXPECT_EQ(noMask.GetPixelColor(1, 0), (Rgb{255, 255, 0}));
}

TEST(IcoCodec, PalettedIconsPaintMaskedPixelsWithAFreeIndex) {
    // 4-bit, 3 x 1, indices 0 1 0, pixel 2 masked: index 2 is the lowest unused.
    IconFrame fr{3, 1, 4, {}, {0x01, 0x00, 0, 0}, {0x20, 0, 0, 0}};
    fr.palette.assign(16, 0);
    fr.palette[1] = 0xFFFFFF;
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Ico({fr}), IMAGE_ICO));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetTransparentIndex(), 2);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 2);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_FALSE(img.HasAlpha());
}

TEST(IcoCodec, ThirtyTwoBitIconsKeepTheirAlpha) {
    IconFrame fr{2, 1, 32, {}, {1, 2, 3, 255, 4, 5, 6, 128}, {0x40, 0, 0, 0}};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Ico({fr}), IMAGE_ICO));
    EXPECT_EQ(img.GetBpp(), 24);
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_EQ(img.GetAlpha(0, 0), 255);
    EXPECT_EQ(img.GetAlpha(1, 0), 0);  // masked
    EXPECT_EQ(img.GetTransparentIndex(), -1);
}

TEST(IcoCodec, FrameChoiceAndDirectoryChecks) {
    const std::vector<std::uint8_t> two = Ico({TwentyFour(0), IconFrame{1, 1, 24, {}, {9, 9, 9, 0}, {0, 0, 0, 0}}});
    CRasterImage second;
    second.SetFrame(1);
    ASSERT_TRUE(DecodeBytes(second, two, IMAGE_ICO));
    EXPECT_EQ(second.GetWidth(), 1);
    EXPECT_EQ(second.GetNumFrames(), 2);
    CRasterImage beyond;
    beyond.SetFrame(2);
    EXPECT_FALSE(DecodeBytes(beyond, two, IMAGE_ICO));

    CRasterImage cursor;
    EXPECT_TRUE(DecodeBytes(cursor, Ico({TwentyFour(0)}, 2), IMAGE_ICO));
    CRasterImage wrongType;
    EXPECT_FALSE(DecodeBytes(wrongType, Ico({TwentyFour(0)}, 3), IMAGE_ICO));
}

TEST(IcoCodec, LargerFrameHeadersAreReadOnlyAsFarAsTheyAre) {
    // A frame header announcing 124 bytes with bit fields: only the first 40
    // are ours to read (found by fuzzing).
    std::vector<std::uint8_t> f = Ico({TwentyFour(0)});
    const std::size_t frame = 6 + 16;
    f[frame] = 124;
    f[frame + 16] = 3;  // compression: bit fields
    CRasterImage img;
    const bool ok = DecodeBytes(img, f, IMAGE_ICO);
    EXPECT_EQ(ok, img.IsValid());
    if (ok) {
        EXPECT_EQ(img.GetWidth(), 2);
    }
}

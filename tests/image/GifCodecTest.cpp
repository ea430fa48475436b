// GIF: LZW data, interlaced rows, frames, transparency and the palette.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<std::uint8_t> indices;  // in file order
    std::vector<std::uint8_t> localTable;
    int transparent = -1;
};

// LZW data that never lets the table grow: a clear code before the code
// size would change. Plain, but every decoder must read it.
std::vector<std::uint8_t> Lzw(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    std::vector<std::uint8_t> bytes;
    std::uint32_t acc = 0;
    int bits = 0;
    const int clear = 1 << minCodeSize, codeSize = minCodeSize + 1;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += codeSize;
        while (bits >= 8) {
            bytes.push_back(static_cast<std::uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    put(clear);
    int run = 0;
    for (std::uint8_t i : indices) {
        if (run == clear - 2) {
            put(clear);
            run = 0;
        }
        put(i);
        ++run;
    }
    put(clear + 1);
    if (bits > 0)
        bytes.push_back(static_cast<std::uint8_t>(acc));
    std::vector<std::uint8_t> blocks;
    blocks.push_back(static_cast<std::uint8_t>(minCodeSize));
    for (std::size_t i = 0; i < bytes.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, bytes.size() - i);
        blocks.push_back(static_cast<std::uint8_t>(n));
        blocks.insert(blocks.end(), bytes.begin() + i, bytes.begin() + i + n);
    }
    blocks.push_back(0);
    return blocks;
}

int TableBits(std::size_t entries) {
    int b = 0;
    while ((2u << b) < entries)
        ++b;
    return b;
}

std::vector<std::uint8_t> Gif(int w, int h, const std::vector<std::uint8_t>& globalTable, int background,
                              const std::vector<GifFrame>& frames) {
    std::vector<std::uint8_t> f = {'G', 'I', 'F', '8', '9', 'a'};
    PutLE16(f, static_cast<unsigned>(w));
    PutLE16(f, static_cast<unsigned>(h));
    f.push_back(globalTable.empty() ? 0 : static_cast<std::uint8_t>(0x80 | TableBits(globalTable.size() / 3)));
    f.push_back(static_cast<std::uint8_t>(background));
    f.push_back(0);
    f.insert(f.end(), globalTable.begin(), globalTable.end());
    for (const GifFrame& fr : frames) {
        if (fr.transparent >= 0) {
            for (std::uint8_t b : {0x21, 0xF9, 4, 1, 0, 0})
                f.push_back(b);
            f.push_back(static_cast<std::uint8_t>(fr.transparent));
            f.push_back(0);
        }
        f.push_back(',');
        PutLE16(f, static_cast<unsigned>(fr.left));
        PutLE16(f, static_cast<unsigned>(fr.top));
        PutLE16(f, static_cast<unsigned>(fr.width));
        PutLE16(f, static_cast<unsigned>(fr.height));
        std::uint8_t flags = fr.interlaced ? 0x40 : 0;
        if (!fr.localTable.empty())
            flags |= static_cast<std::uint8_t>(0x80 | TableBits(fr.localTable.size() / 3));
        f.push_back(flags);
        f.insert(f.end(), fr.localTable.begin(), fr.localTable.end());
        const std::size_t entries = (fr.localTable.empty() ? globalTable.size() : fr.localTable.size()) / 3;
        const std::vector<std::uint8_t> data = Lzw(fr.indices, std::max(2, TableBits(entries) + 1));
        f.insert(f.end(), data.begin(), data.end());
    }
    f.push_back(';');
    return f;
}

GifFrame Frame(int left, int top, int w, int h, bool interlaced, std::vector<std::uint8_t> indices,
               int transparent = -1) {
    GifFrame f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.interlaced = interlaced;
    f.indices = std::move(indices);
    f.transparent = transparent;
    return f;
}

const std::vector<std::uint8_t> kFour = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
int TopIndex(const CRasterImage& img, int x, int fromTop) { return img.GetPixelIndex(x, img.GetHeight() - 1 - fromTop); }
}  // namespace

TEST(GifCodec, DecodesIndicesAndPalette) {
    GifFrame fr = Frame(0, 0, 3, 2, false, {0, 1, 2, 3, 2, 1});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Gif(3, 2, kFour, 0, {fr}), IMAGE_GIF)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), IMAGE_GIF);
    EXPECT_EQ(img.GetBpp(), 4);  // a 4-entry table
    EXPECT_EQ(img.GetNumFrames(), 1);
    EXPECT_EQ(TopIndex(img, 0, 0), 0);
    EXPECT_EQ(TopIndex(img, 2, 0), 2);
    EXPECT_EQ(TopIndex(img, 0, 1), 3);
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(img.GetTransparentIndex(), -1);
}

TEST(GifCodec, DepthFollowsTheColourTable) {
    const std::vector<std::uint8_t> two = {0, 0, 0, 255, 255, 255};
    CRasterImage a;
    ASSERT_TRUE(DecodeBytes(a, Gif(2, 1, two, 0, {Frame(0, 0, 2, 1, false, {1, 0})}), IMAGE_GIF));
    EXPECT_EQ(a.GetBpp(), 1);
    EXPECT_EQ(a.GetPixelIndex(0, 0), 1);
    std::vector<std::uint8_t> many(3 * 256);
    for (int i = 0; i < 256; ++i)
        many[i * 3] = static_cast<std::uint8_t>(i);
    std::vector<std::uint8_t> indices(300);
    for (int i = 0; i < 300; ++i)
        indices[i] = static_cast<std::uint8_t>((i * 7) % 256);
    CRasterImage b;
    ASSERT_TRUE(DecodeBytes(b, Gif(30, 10, many, 0, {Frame(0, 0, 30, 10, false, indices)}), IMAGE_GIF));
    EXPECT_EQ(b.GetBpp(), 8);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(TopIndex(b, i % 30, i / 30), (i * 7) % 256) << i;
}

TEST(GifCodec, InterlacedRowsArePutInOrder) {
    // Rows stored in pass order 0, 8 | 4 | 2, 6 | 1, 3, 5, 7 for 9 rows; each
    // row's value is its own row number.
    const int order[] = {0, 8, 4, 2, 6, 1, 3, 5, 7};
    std::vector<std::uint8_t> indices;
    for (int r : order)
        for (int x = 0; x < 2; ++x)
            indices.push_back(static_cast<std::uint8_t>(r));
    std::vector<std::uint8_t> table(3 * 16, 0);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Gif(2, 9, table, 0, {Frame(0, 0, 2, 9, true, indices)}), IMAGE_GIF));
    for (int row = 0; row < 9; ++row)
        EXPECT_EQ(TopIndex(img, 1, row), row);
}

TEST(GifCodec, TransparencyFillsUnusedEntriesWhite) {
    const std::vector<std::uint8_t> three = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // table of 4 after padding
    std::vector<std::uint8_t> table = three;
    table.resize(12, 0);
    GifFrame fr = Frame(0, 0, 2, 1, false, {0, 1}, 1);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Gif(2, 1, table, 0, {fr}), IMAGE_GIF));
    EXPECT_EQ(img.GetTransparentIndex(), 1);
    EXPECT_EQ(img.GetPaletteSize(), 16);
    EXPECT_EQ(img.GetPalette()[2].red, 7);
    for (int i = 4; i < 16; ++i)
        EXPECT_EQ(img.GetPaletteColor(i), (Rgb{255, 255, 255})) << i;
}

TEST(GifCodec, FramesAreCountedAndChosen) {
    const GifFrame first = Frame(0, 0, 2, 2, false, {0, 0, 0, 0});
    GifFrame second = Frame(1, 1, 1, 1, false, {2}, 3);
    const std::vector<std::uint8_t> file = Gif(2, 2, kFour, 1, {first, second});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file, IMAGE_GIF));
    EXPECT_EQ(img.GetNumFrames(), 2);
    EXPECT_EQ(TopIndex(img, 1, 1), 0);

    // Frame 1 alone on the logical screen: outside it the transparent index.
    CRasterImage later;
    later.SetFrame(1);
    ASSERT_TRUE(DecodeBytes(later, file, IMAGE_GIF));
    EXPECT_EQ(later.GetTransparentIndex(), 3);
    EXPECT_EQ(TopIndex(later, 1, 1), 2);
    EXPECT_EQ(TopIndex(later, 0, 0), 3);

    CRasterImage beyond;
    beyond.SetFrame(2);
    EXPECT_FALSE(DecodeBytes(beyond, file, IMAGE_GIF));
    EXPECT_FALSE(beyond.IsValid());
    EXPECT_EQ(beyond.GetLastError(), "GIF has 2 frames, no frame 3");
}

TEST(GifCodec, RefusalsNameTheirCause) {
    const std::vector<std::uint8_t> file = Gif(2, 2, kFour, 0, {Frame(0, 0, 2, 2, false, {0, 1, 2, 3})});
    CRasterImage img;
    // Cut inside the colour table, and before the first picture.
    EXPECT_FALSE(DecodeBytes(img, std::vector<std::uint8_t>(file.begin(), file.begin() + 15), IMAGE_GIF));
    EXPECT_EQ(img.GetLastError(), "GIF data is truncated: the file ends inside its colour table");
    EXPECT_FALSE(DecodeBytes(img, std::vector<std::uint8_t>(file.begin(), file.begin() + 13 + 12), IMAGE_GIF));
    EXPECT_EQ(img.GetLastError(), "GIF data is truncated: the file ends before its first picture");
    // A logical screen of 16000 x 12000 from a few bytes of data; 65535 x 65535 over the limit.
    EXPECT_FALSE(DecodeBytes(img, Gif(16000, 12000, kFour, 0, {Frame(0, 0, 1, 1, false, {0})}), IMAGE_GIF));
    EXPECT_EQ(img.GetLastError().rfind("GIF data is truncated: its header gives 16000 x 12000 pixels, far more than its ",
                                       0),
              0u)
        << img.GetLastError();
    EXPECT_FALSE(DecodeBytes(img, Gif(65535, 65535, kFour, 0, {Frame(0, 0, 1, 1, false, {0})}), IMAGE_GIF));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
}

TEST(GifCodec, NotGifIsRefusedWithoutMessage) {
    std::vector<std::uint8_t> file = Gif(1, 1, kFour, 0, {Frame(0, 0, 1, 1, false, {0})});
    file[3] = '7';
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, file, IMAGE_GIF));
    EXPECT_EQ(img.GetLastError(), "");
}

TEST(GifCodec, DataCutShortKeepsWhatDecoded) {
    // Eight pixels of index 1 over background 3, coded clear, 1, 1, clear,
    // 1, 1... in 3-bit codes; the file loses its last data byte (and the
    // terminator): six pixels arrive, the last two show the background.
    const std::vector<std::uint8_t> file =
        Gif(8, 1, kFour, 3, {Frame(0, 0, 8, 1, false, {1, 1, 1, 1, 1, 1, 1, 1})});
    const std::vector<std::uint8_t> cut(file.begin(), file.end() - 3);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, cut, IMAGE_GIF));
    EXPECT_EQ(TopIndex(img, 0, 0), 1);
    EXPECT_EQ(TopIndex(img, 5, 0), 1);
    EXPECT_EQ(TopIndex(img, 6, 0), 3);
    EXPECT_EQ(TopIndex(img, 7, 0), 3);
}

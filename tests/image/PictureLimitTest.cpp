// The picture size limit: a picture above 200 megapixels is refused from its
// header, quickly and without its memory; below the limit, interlaced
// pictures decode without a second full-size buffer.
#include "image/RasterImage.h"

#include "TestEncoders.h"

#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// A small PNG whose header claims `width` x `height` (the data stays small:
// the header alone decides).
std::vector<std::uint8_t> PngClaiming(std::uint32_t width, std::uint32_t height) {
    PngRecipe s;
    s.width = 1;
    s.height = 1;
    s.colorType = PNG_COLOR_TYPE_RGB;
    s.rows = {{1, 2, 3}};
    std::vector<std::uint8_t> png = EncodePng(s);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    put32(16, width);
    put32(20, height);
    put32(29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));  // type + IHDR data
    return png;
}
}  // namespace

TEST(PictureLimit, HugePngIsRefusedWithItsSizeAndTheLimitInLittleMemory) {
    const std::vector<std::uint8_t> png = PngClaiming(30000, 30000);
    // In a child whose address space cannot hold the picture: a refusal that
    // allocated first would fail differently or die.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // What the process maps now, plus 256 MB: far below the 2.7 GB the
        // picture would take.
        unsigned long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlim_t bytes = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256u << 20);
        rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
        CRasterImage img;
        CMemorySource source(png.data(), png.size());
        const bool refused = !img.Decode(source, IMAGE_PNG) &&
                             img.GetLastError() ==
                                 "The picture is too large: 30000 x 30000 pixels (900 megapixels); the limit is 200 "
                                 "megapixels.";
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(PictureLimit, TheLimitIsTwoHundredMegapixelsForEveryWayIn) {
    CRasterImage img;
    EXPECT_FALSE(img.Create(20001, 10000, 8, IMAGE_BMP));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
    EXPECT_NE(img.GetLastError().find("20001 x 10000"), std::string::npos);
    EXPECT_TRUE(PicturePixelsAllowed(img, 20000, 10000));

    // Through the file layer too: the message survives the fall-back over
    // the other codecs.
    const std::vector<std::uint8_t> png = PngClaiming(15000, 15000);
    char path[] = "/tmp/korvane-limit-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, png.data(), png.size()), static_cast<ssize_t>(png.size()));
    close(fd);
    EXPECT_FALSE(img.Load(path, IMAGE_PNG));
    EXPECT_EQ(img.GetLastError(),
              "The picture is too large: 15000 x 15000 pixels (225 megapixels); the limit is 200 megapixels.");
    unlink(path);
}

TEST(PictureLimit, InterlacedAlphaAndLowDepthGreyDecodeThroughOneRow) {
    // Passes add pixels to rows read before: every pixel must end as stored.
    PngRecipe alpha;
    alpha.width = 11;
    alpha.height = 9;
    alpha.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    alpha.interlaced = true;
    PngRecipe grey = alpha;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 2;
    for (int y = 0; y < alpha.height; ++y) {
        std::vector<std::uint8_t> rgba, packed((alpha.width * 2 + 7) / 8, 0);
        for (int x = 0; x < alpha.width; ++x) {
            for (int c = 0; c < 4; ++c) rgba.push_back(static_cast<std::uint8_t>(x * 20 + y * 3 + c * 50));
            packed[x / 4] |= static_cast<std::uint8_t>(((x + y) % 4) << (6 - 2 * (x % 4)));
        }
        alpha.rows.push_back(rgba);
        grey.rows.push_back(packed);
    }
    CRasterImage a, g;
    const std::vector<std::uint8_t> alphaPng = EncodePng(alpha), greyPng = EncodePng(grey);
    CMemorySource as(alphaPng.data(), alphaPng.size()), gs(greyPng.data(), greyPng.size());
    ASSERT_TRUE(a.Decode(as, IMAGE_PNG)) << a.GetLastError();
    ASSERT_TRUE(g.Decode(gs, IMAGE_PNG)) << g.GetLastError();
    ASSERT_TRUE(a.HasAlpha());
    for (int y = 0; y < alpha.height; ++y)
        for (int x = 0; x < alpha.width; ++x) {
            const int row = alpha.height - 1 - y;
            EXPECT_EQ(a.GetPixelColor(x, row), (Rgb{static_cast<std::uint8_t>(x * 20 + y * 3),
                                                    static_cast<std::uint8_t>(x * 20 + y * 3 + 50),
                                                    static_cast<std::uint8_t>(x * 20 + y * 3 + 100)}))
                << x << "," << y;
            EXPECT_EQ(a.GetAlphaRow(row)[x], static_cast<std::uint8_t>(x * 20 + y * 3 + 150));
            EXPECT_EQ(g.GetPixelIndex(x, row), (x + y) % 4) << x << "," << y;
        }
}

namespace {
// A flat grey JPEG of width x height, made a row at a time (a picture above
// the limit would not fit in a test's memory as one buffer).
std::vector<std::uint8_t> FlatGreyJpeg(int width, int height) {
    JpegRecipe s;
    s.width = width;
    s.height = height;
    s.components = 1;
    s.quality = 50;
    s.makeRow = [width](int, std::uint8_t* row) { std::fill(row, row + width, std::uint8_t{170}); };
    return EncodeJpeg(s);
}
}  // namespace

TEST(PictureLimit, AJpegAboveTheLimitIsDecodedAtAScaleWithinIt) {
    // 200.02 megapixels: one row too many for a full decode.
    const std::vector<std::uint8_t> file = FlatGreyJpeg(20000, 10001);
    CRasterImage img;
    CMemorySource source(file.data(), file.size());
    ASSERT_TRUE(img.Decode(source, IMAGE_JPG)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 10000);
    EXPECT_EQ(img.GetHeight(), 5001);
    EXPECT_EQ(img.GetFileWidth(), 20000);
    EXPECT_EQ(img.GetFileHeight(), 10001);
    EXPECT_TRUE(img.IsReduced());
    // Not the file's full decoding: a printed page gets these pixels, not
    // the file's data.
    EXPECT_FALSE(img.GetJpegData());
    EXPECT_EQ(img.GetPixelColor(5000, 2500), (Rgb{170, 170, 170}));
    EXPECT_EQ(img.GetPixelColor(9999, 0), (Rgb{170, 170, 170}));

    // Within the limit the same picture shape decodes in full.
    const std::vector<std::uint8_t> small = FlatGreyJpeg(2000, 1001);
    CMemorySource smallSource(small.data(), small.size());
    ASSERT_TRUE(img.Decode(smallSource, IMAGE_JPG));
    EXPECT_EQ(img.GetWidth(), 2000);
    EXPECT_FALSE(img.IsReduced());
    EXPECT_TRUE(img.GetJpegData());
}

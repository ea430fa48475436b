// Loading files as the program does: the codec by type, the fall-back over
// every codec, and a failed load leaving the picture as it was.
#include "image/RasterImage.h"

#include "TestEncoders.h"
#include "TestImages.h"

#include <png.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("korvane-load-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::filesystem::path p = dir_ / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }

    static std::vector<std::uint8_t> SmallPng() {
        PngRecipe s;
        s.width = 2;
        s.height = 1;
        s.colorType = PNG_COLOR_TYPE_RGB;
        s.rows = {{1, 2, 3, 4, 5, 6}};
        return EncodePng(s);
    }

    std::filesystem::path dir_;
};
}  // namespace

TEST_F(LoadTest, PngNamedJpgLoadsThroughTheFallBack) {
    const std::string path = Write("cover.jpg", SmallPng());
    CRasterImage img;
    ASSERT_TRUE(img.Load(path, ImageTypeFromExtension(path))) << img.GetLastError();
    EXPECT_EQ(img.GetType(), IMAGE_PNG);
    EXPECT_EQ(img.GetWidth(), 2);
}

TEST_F(LoadTest, TextWithTypeJpegKeepsTheJpegMessage) {
    const std::string path = Write("notes.jpg", {'h', 'e', 'l', 'l', 'o', '\n'});
    CRasterImage img;
    EXPECT_FALSE(img.Load(path, IMAGE_JPG));
    EXPECT_EQ(img.GetLastError(), "Not a JPEG file: starts with 0x68 0x65");
    EXPECT_FALSE(img.Load(path, IMAGE_UNKNOWN));
    EXPECT_EQ(img.GetLastError(), "Decode: Unknown or wrong format");
}

TEST_F(LoadTest, FilesThatHoldNoPictureSayWhy) {
    CRasterImage img;
    const std::string missing = (dir_ / "none.png").string();
    EXPECT_FALSE(img.Load(missing, IMAGE_PNG));
    EXPECT_EQ(img.GetLastError(), "No such file or directory");

    const std::string empty = Write("empty.jpg", {});
    EXPECT_FALSE(img.Load(empty, IMAGE_JPG));
    EXPECT_EQ(img.GetLastError(), "The file is empty");

    std::filesystem::create_directories(dir_ / "folder.png");
    EXPECT_FALSE(img.Load((dir_ / "folder.png").string(), IMAGE_PNG));
    EXPECT_EQ(img.GetLastError(), "This is a folder, not a picture");

    const std::vector<std::uint8_t> png = SmallPng();
    const std::string cut = Write("cut.png", std::vector<std::uint8_t>(png.begin(), png.begin() + 40));
    EXPECT_FALSE(img.Load(cut, IMAGE_PNG));
    EXPECT_EQ(img.GetLastError(), "Truncated data: the PNG file ends early");

    if (::geteuid() != 0) {  // root reads everything
        const std::string locked = Write("locked.png", png);
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        EXPECT_FALSE(img.Load(locked, IMAGE_PNG));
        EXPECT_EQ(img.GetLastError(), "Permission denied");
    }
    EXPECT_FALSE(img.IsValid());
}

TEST_F(LoadTest, FailedLoadLeavesThePictureIntact) {
    CRasterImage img;
    ASSERT_TRUE(img.Load(Write("good.png", SmallPng()), IMAGE_PNG));
    img.SetTransparentIndex(0);
    img.SetTransparentColor(Rgb{1, 2, 3});
    const std::string bad = Write("bad.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0});
    EXPECT_FALSE(img.Load(bad, IMAGE_PNG));
    EXPECT_FALSE(img.GetLastError().empty());
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetWidth(), 2);
    EXPECT_EQ(img.GetPixelColor(1, 0), (Rgb{4, 5, 6}));
    EXPECT_EQ(img.GetTransparentIndex(), 0);
    CMemorySource empty(nullptr, 0);
    EXPECT_FALSE(img.Decode(empty, IMAGE_UNKNOWN));
    EXPECT_EQ(img.GetWidth(), 2);
}

TEST_F(LoadTest, UnknownTypeCodesAreRefused) {
    const std::vector<std::uint8_t> png = SmallPng();
    CRasterImage img;
    // Beyond the nine come the program's own codes for newer kinds; past
    // those nothing.
    for (int type : {IMAGE_LAST + 1, 99, -3}) {
        CMemorySource source(png.data(), png.size());
        EXPECT_FALSE(img.Decode(source, type));
        EXPECT_EQ(img.GetLastError(), "Decode: Unknown or wrong format");
    }
    EXPECT_FALSE(img.Load(Write("x.png", png), -1));
}

TEST_F(LoadTest, TypeZeroStartsAtTheSourcePosition) {
    // Every codec is tried from the position the source had, not from 0.
    std::vector<std::uint8_t> bytes = {'j', 'u', 'n', 'k'};
    const std::vector<std::uint8_t> png = SmallPng();
    bytes.insert(bytes.end(), png.begin(), png.end());
    CMemorySource source(bytes.data(), bytes.size());
    ASSERT_TRUE(source.Seek(4, CByteSource::FromStart));
    CRasterImage img;
    ASSERT_TRUE(img.Decode(source, IMAGE_UNKNOWN)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), IMAGE_PNG);
}

TEST(ByteSources, ShortReadsAndSeeksStayInside) {
    const std::uint8_t data[] = {1, 2, 3, 4, 5};
    CMemorySource m(data, sizeof data);
    std::uint8_t buf[8] = {};
    EXPECT_EQ(m.Read(buf, 3), 3u);
    EXPECT_EQ(m.Tell(), 3);
    EXPECT_EQ(m.Remaining(), 2);
    EXPECT_EQ(m.Read(buf, 8), 2u);
    EXPECT_TRUE(m.Eof());
    EXPECT_FALSE(m.ReadExact(buf, 1));
    EXPECT_FALSE(m.Seek(6, CByteSource::FromStart));
    EXPECT_FALSE(m.Seek(-1, CByteSource::FromStart));
    EXPECT_TRUE(m.Seek(-2, CByteSource::FromEnd));
    EXPECT_EQ(m.Read(buf, 1), 1u);
    EXPECT_EQ(buf[0], 4);
    EXPECT_FALSE(m.Seek(INT64_MAX, CByteSource::FromCurrent));

    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(data, 1, sizeof data, f);
    std::rewind(f);
    CFileSource fs(f);
    EXPECT_EQ(fs.Size(), 5);
    EXPECT_TRUE(fs.Seek(1, CByteSource::FromStart));
    EXPECT_EQ(fs.Read(buf, 10), 4u);
    EXPECT_TRUE(fs.Eof());
    std::fclose(f);
}

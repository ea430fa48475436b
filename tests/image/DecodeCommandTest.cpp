// korvane-cli decode, run as a user would: the description line, -o output
// and the error path.
#include "image/RasterImage.h"

#include "TestEncoders.h"
#include "TestImages.h"

#include <png.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {
struct CliRun {
    int status = -1;
    std::string out;
};

std::string Cli() { return std::string(KORVANE_BIN_DIR) + "/korvane-cli"; }

// `prefix` goes before the program ("timeout 10").
CliRun Execute(const std::string& args, const std::string& prefix = "") {
    CliRun r;
    std::FILE* p = popen((prefix + " " + Cli() + " " + args + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        r.out += buf;
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class DecodeCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(Cli()))
            GTEST_SKIP() << "korvane-cli not built";
        dir_ = std::filesystem::temp_directory_path() / ("korvane-decode-cli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::filesystem::path p = dir_ / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    std::filesystem::path dir_;
};
}  // namespace

TEST_F(DecodeCommand, DescribesAPalettePngWithTransparency) {
    PngRecipe s;
    s.width = 3;
    s.height = 2;
    s.colorType = PNG_COLOR_TYPE_PALETTE;
    s.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    s.paletteAlpha = {0};
    s.rows = {{0, 1, 2}, {2, 1, 0}};
    const std::string file = Write("p.png", EncodePng(s));
    const std::string out = (dir_ / "out.png").string();
    const CliRun d = Execute("decode " + file + " -o " + out);
    ASSERT_EQ(d.status, 0) << d.out;
    EXPECT_EQ(d.out, "3x2 bpp=8 type=4 alpha=0 transparent=0 frames=0\n");
    RgbaPicture written;
    ASSERT_TRUE(ReadPngRgba(out, written));
    ASSERT_EQ(written.width, 3);
    // Top-down: the first row is (0, 1, 2); index 0 is transparent.
    EXPECT_EQ(written.rgba[3], 0);
    EXPECT_EQ(written.rgba[4 + 1], 255);
    EXPECT_EQ(written.rgba[4 + 3], 255);
    EXPECT_EQ(written.rgba[12 + 2], 255);  // second row starts with blue
}

TEST_F(DecodeCommand, TypeOptionAndFailures) {
    const std::string text = Write("note.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    const CliRun bad = Execute("decode " + text);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "korvane-cli: " + text + ": Not a PNG file\n");  // one line, FILE: message
    const CliRun typed = Execute("decode " + text + " --type 0");
    EXPECT_EQ(typed.status, 1);
    EXPECT_EQ(typed.out, "korvane-cli: " + text + ": Decode: Unknown or wrong format\n");
    EXPECT_EQ(Execute("decode " + text + " --type 12").status, 2);
    EXPECT_EQ(Execute("decode").status, 2);

    // The real reason for files that hold no picture at all.
    const std::string empty = Write("empty.jpg", {});
    EXPECT_EQ(Execute("decode " + empty).out, "korvane-cli: " + empty + ": The file is empty\n");
    EXPECT_EQ(Execute("decode " + dir_.string()).out,
              "korvane-cli: " + dir_.string() + ": This is a folder, not a picture\n");
    EXPECT_EQ(Execute("decode " + (dir_ / "gone.png").string()).out,
              "korvane-cli: " + (dir_ / "gone.png").string() + ": No such file or directory\n");
}

TEST_F(DecodeCommand, APipeIsRefusedAtOnce) {
    const std::string fifo = (dir_ / "cover.jpg").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A plain open would wait for a writer: the run is bounded from outside.
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = Execute("decode " + fifo, "timeout 10");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(r.out, "korvane-cli: " + fifo + ": This is a pipe, not a picture file\n");
    EXPECT_LT(ms.count(), 1000);
}

TEST_F(DecodeCommand, UnknownExtensionsTryEveryCodec) {
    const std::vector<std::uint8_t> wbmp = {0, 0, 8, 1, 0xF0};
    const CliRun r = Execute("decode " + Write("pic.wbmp", wbmp));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "8x1 bpp=1 type=8 alpha=0 transparent=-1 frames=0\n");
}

TEST_F(DecodeCommand, ViewDecodesAsThePreviewDoes) {
    JpegRecipe s;
    s.width = 640;
    s.height = 320;
    s.pixels.assign(static_cast<std::size_t>(640) * 320 * 3, 128);
    const std::string file = Write("big.jpg", EncodeJpeg(s));
    const CliRun r = Execute("decode " + file + " --view 100x100");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "160x80 bpp=24 type=3 alpha=0 transparent=-1 frames=0\nreduced from 640x320\n");
    EXPECT_EQ(Execute("decode " + file + " --view 640x640").out,
              "640x320 bpp=24 type=3 alpha=0 transparent=-1 frames=0\n");
    for (const char* bad : {"100", "0x10", "10x", "x10", "10x10x"})
        EXPECT_EQ(Execute("decode " + file + " --view " + bad).status, 2) << bad;
}

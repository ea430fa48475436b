// korvane-cli print of JPEG covers that must be turned: the PDF holds each
// file's own bytes, in a single job and in a batch, whatever the picture's
// sizes.
#include "print/PdfReadBack.h"
#include "print/PrintTestUtil.h"

#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace testutil;
using namespace pdfread;

namespace {
std::string Print(const std::string& args) {
    return Run("QT_QPA_PLATFORM=offscreen " + std::string(KORVANE_BIN_DIR) + "/korvane-cli print --formats " +
               Quote(std::string(KORVANE_BIN_DIR) + "/Korvane.dat") + " " + args + " && echo PRINTED");
}

// A landscape picture in the proportions of a DVD sleeve on its side.
std::vector<std::uint8_t> Sleeve(int w, int h) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.pixels.insert(s.pixels.end(), {static_cast<std::uint8_t>(x * 255 / w), static_cast<std::uint8_t>(y * 255 / h), 90});
    s.quality = 85;
    return EncodeJpeg(s);
}

// Each picture of the PDF as it is stored, with its stored size.
struct Stored {
    std::vector<std::vector<std::uint8_t>> bytes;
    std::vector<std::string> sizes;  // "W x H"
};
Stored StoredPictures(const std::string& pdf, const std::string& folder) {
    std::filesystem::create_directories(folder);
    Stored s;
    for (const std::string& file : Images(pdf, "-j", folder))
        s.bytes.push_back(Bytes(file));
    for (const std::string& row : ImageList(pdf)) {
        std::istringstream fields(row);
        std::string page, num, type, width, height;
        fields >> page >> num >> type >> width >> height;
        s.sizes.push_back(width + " x " + height);
    }
    return s;
}
}  // namespace

TEST(PrintJpegCli, ATurnedSleeveKeepsItsBytesWholeBlocksOrNot) {
    TempFolder dir;
    for (const auto& [w, h] : {std::pair{400, 272}, std::pair{401, 271}}) {
        const std::string name = "sleeve" + std::to_string(w) + ".jpg";
        const std::vector<std::uint8_t> file = Sleeve(w, h);
        WriteFile(dir.file(name), file);
        const std::string pdf = dir.file(name + ".pdf");
        // No format given: recognised as a DVD sleeve on its side, and turned.
        const std::string out = Print("--left " + Quote(dir.file(name)) + " --mode left --pdf " + Quote(pdf));
        ASSERT_NE(out.find("PRINTED"), std::string::npos) << out;
        const Stored stored = StoredPictures(pdf, dir.file(name + ".x"));
        ASSERT_EQ(stored.bytes.size(), 1u) << name;
        EXPECT_TRUE(stored.bytes[0] == file) << name << ": the PDF's JPEG is not the file's";
        ASSERT_EQ(stored.sizes.size(), 1u);
        EXPECT_EQ(stored.sizes[0], std::to_string(w) + " x " + std::to_string(h));
        // The sleeve stands upright on the page: taller than wide.
        const Page page = Rasterise(pdf, 20, 0, 0, 166, 234, dir.path());
        int left = page.width, right = -1, top = page.height, bottom = -1;
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x)
                if (!(page.at(x, y) == kWhite)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, left) << name;
        EXPECT_GT(bottom - top, right - left) << name;
    }
}

TEST(PrintJpegCli, ABatchOfTurnedSleevesKeepsEveryFilesBytes) {
    TempFolder dir;
    const std::vector<std::uint8_t> a = Sleeve(401, 271), b = Sleeve(320, 216);
    WriteFile(dir.file("a.jpg"), a);
    WriteFile(dir.file("b.jpg"), b);
    const std::string pdf = dir.file("batch.pdf");
    const std::string out =
        Print("--batch " + Quote(dir.file("a.jpg")) + " " + Quote(dir.file("b.jpg")) + " --pdf " + Quote(pdf));
    ASSERT_NE(out.find("PRINTED"), std::string::npos) << out;
    const Stored stored = StoredPictures(pdf, dir.file("x"));
    ASSERT_EQ(stored.bytes.size(), 2u);
    EXPECT_TRUE(stored.bytes[0] == a);
    EXPECT_TRUE(stored.bytes[1] == b);
}

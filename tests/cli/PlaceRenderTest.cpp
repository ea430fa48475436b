// korvane-cli place and render, run as a user runs them.
#include "image/RasterImage.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

using namespace testutil;

namespace {
struct CliRun {
    int status = -1;
    std::string out;  // stdout and stderr together
};

CliRun Cli(const std::string& args) {
    CliRun r;
    const std::string command = std::string(KORVANE_BIN_DIR) + "/korvane-cli " + args + " 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string Shipped() { return Quote(std::string(KORVANE_BIN_DIR) + "/Korvane.dat"); }

// A small formats file of our own: a square cover placed by hand and a
// recognisable 2:1 cover placed automatically.
std::string WriteFormats(const TempFolder& dir) {
    const std::string path = dir.file("Test.dat");
    const std::string text =
        "[Square]\r\nSIZE = 40, 40\r\nPOSITION = 20, 30\r\nPOSITION2 = 200, 250\r\nAUTODETECT = NO\r\n"
        "TYPE = CUSTOM\r\n"
        "[Wide]\r\nSIZE = 100, 50\r\nPOSITION = AUTO\r\nPOSITION2 = AUTO\r\nAUTODETECT = YES, 100, 50\r\n"
        "TYPE = CUSTOM\r\nLINE = TOP, SOLID\r\n";
    WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    return path;
}
}  // namespace

TEST(PlaceCommand, ShippedCdFrontOnA4At600Dpi) {
    const CliRun r = Cli("place --formats " + Shipped() +
                      " --left-format 'CD Front' --right-format 0 --single-page --sheet 4960,7016 --dpi 600");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"page\": {\"offsetX\": 0, \"offsetY\": 0, \"physicalWidth\": 4960, \"physicalHeight\": "
                         "7016, \"printableWidth\": 4960, \"printableHeight\": 7016, \"dpiX\": 600, \"dpiY\": 600, "
                         "\"halfHeight\": 3508}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"left\": {\"x\": 1063, \"y\": 674, \"width\": 2834, \"height\": 2834, \"holeSize\": 0}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"right\": {\"x\": 1063, \"y\": 3508, \"width\": 2834, \"height\": 2834, \"holeSize\": 0}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"warnings\": []"), std::string::npos);
}

TEST(PlaceCommand, PaperMarginsAndSlotsWithoutAFormat) {
    const CliRun r = Cli("place --formats " + Shipped() + " --margins 5,5,5,5");
    ASSERT_EQ(r.status, 0) << r.out;
    // A4 at 600 dpi rounded to whole pixels: 4961 x 7016; 5 mm is 118 pixels.
    EXPECT_NE(r.out.find("\"offsetX\": 118, \"offsetY\": 118, \"physicalWidth\": 4961, \"physicalHeight\": 7016, "
                         "\"printableWidth\": 4725, \"printableHeight\": 6780"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"left\": null, \"right\": null"), std::string::npos) << r.out;
    const CliRun letter = Cli("place --formats " + Shipped() + " --paper Letter --dpi 300");
    EXPECT_NE(letter.out.find("\"physicalWidth\": 2550, \"physicalHeight\": 3300"), std::string::npos) << letter.out;
    const CliRun driver = Cli("place --formats " + Shipped() + " --sheet 4960,7016 --printable 100,120,4760,6776");
    EXPECT_NE(driver.out.find("\"offsetX\": 100, \"offsetY\": 120, \"physicalWidth\": 4960"), std::string::npos)
        << driver.out;
}

TEST(PlaceCommand, CorrectionIntoThePrintableAreaIsReportedOnce) {
    TempFolder dir;
    const std::string formats = Quote(WriteFormats(dir));
    // Square at POSITION2 (200, 250) mm runs off a 210 x 297 mm sheet with 5 mm margins.
    const CliRun r = Cli("place --formats " + formats + " --left-format Square --right-format Square --dpi 254 "
                      "--margins 5,5,5,5");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"left\": {\"x\": 200, \"y\": 300"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"right\": {\"x\": 1650, \"y\": 2500"), std::string::npos) << r.out;
    const std::size_t first = r.out.find("outside the printable area");
    ASSERT_NE(first, std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("outside the printable area", first + 1), std::string::npos);

    const CliRun raw = Cli("place --formats " + formats + " --right-format Square --dpi 254 --margins 5,5,5,5 "
                        "--no-correction");
    EXPECT_NE(raw.out.find("\"right\": {\"x\": 2000, \"y\": 2500"), std::string::npos) << raw.out;
    EXPECT_NE(raw.out.find("\"warnings\": []"), std::string::npos);
}

TEST(PlaceCommand, BadArgumentsAreRefusedWithAReason) {
    TempFolder dir;
    const std::string formats = Quote(WriteFormats(dir));
    CliRun r = Cli("place");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("--formats"), std::string::npos);
    // A format the list does not have is a mistake in the arguments.
    r = Cli("place --formats " + formats + " --left-format Nonesuch");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("Nonesuch"), std::string::npos);
    r = Cli("place --formats " + formats + " --left-format 9");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + formats + " --margins 1,2,3");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + formats + " --dpi 0");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + formats + " --paper 1e300x5");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + formats + " --margins 0,0,0,1e300");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + formats + " --printable 0,0,5000,100 --sheet 4960,7016");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + formats + " --frobnicate");
    EXPECT_EQ(r.status, 2);
    r = Cli("place --formats " + Quote(dir.file("missing.dat")));
    EXPECT_EQ(r.status, 1);
}

TEST(RenderCommand, WritesOnePngPerPageOfTheJob) {
    TempFolder dir;
    const std::string formats = Quote(WriteFormats(dir));
    WriteBmp(dir.file("front.bmp"), 40, 40, kBlue);
    WriteBmp(dir.file("back.bmp"), 100, 50, kGreen);
    const std::string common = "render --formats " + formats + " --left " + Quote(dir.file("front.bmp")) +
                               " --left-format 0 --right " + Quote(dir.file("back.bmp")) +
                               " --paper 100x150 --dpi 254 --margins 2,3,2,3 ";
    const CliRun both = Cli(common + "-o " + Quote(dir.file("both")));
    ASSERT_EQ(both.status, 0) << both.out;
    EXPECT_NE(both.out.find(dir.file("both-1.png")), std::string::npos);
    EXPECT_NE(both.out.find(dir.file("both-2.png")), std::string::npos);

    CRasterImage page;
    ASSERT_TRUE(page.Load(dir.file("both-1.png"), IMAGE_PNG));
    EXPECT_EQ(page.GetWidth(), 1000);
    EXPECT_EQ(page.GetHeight(), 1500);
    const auto at = [&page](int x, int y) { return page.GetPixelColor(x, page.GetHeight() - 1 - y); };
    EXPECT_EQ(at(300, 400), kBlue);    // the square at (20, 30) mm, 400 pixels
    EXPECT_EQ(at(199, 400), kBlack);   // its frame
    EXPECT_EQ(at(5, 5), kWhite);       // the margin
    ASSERT_TRUE(page.Load(dir.file("both-2.png"), IMAGE_PNG));
    // The right picture was recognised as "Wide", centred in the lower half,
    // with its top-edge line across the printable area only.
    const int top = 750 + (750 - 500) / 2;
    EXPECT_EQ(at(500, top + 100), kGreen);
    EXPECT_EQ(at(20, top), kBlack);
    EXPECT_EQ(at(979, top), kBlack);
    EXPECT_EQ(at(19, top), kWhite);
    EXPECT_EQ(at(980, top), kWhite);

    const CliRun right = Cli(common + "--mode right -o " + Quote(dir.file("right")));
    ASSERT_EQ(right.status, 0) << right.out;
    EXPECT_TRUE(std::filesystem::exists(dir.file("right-2.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("right-1.png")));

    const CliRun single = Cli(common + "--single-page --no-cut-lines --no-border -o " + Quote(dir.file("single")));
    ASSERT_EQ(single.status, 0) << single.out;
    EXPECT_TRUE(std::filesystem::exists(dir.file("single-1.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("single-2.png")));
    ASSERT_TRUE(page.Load(dir.file("single-1.png"), IMAGE_PNG));
    EXPECT_EQ(at(300, 400), kBlue);
    EXPECT_EQ(at(500, top + 100), kGreen);
}

TEST(RenderCommand, PreviewMarksAndRefusals) {
    TempFolder dir;
    const std::string formats = Quote(WriteFormats(dir));
    WriteBmp(dir.file("front.bmp"), 40, 40, kBlue);
    const CliRun preview = Cli("render --formats " + formats + " --left " + Quote(dir.file("front.bmp")) +
                            " --left-format Square --mode left --paper 100x150 --dpi 254 --preview -o " +
                            Quote(dir.file("p")));
    ASSERT_EQ(preview.status, 0) << preview.out;
    CRasterImage page;
    ASSERT_TRUE(page.Load(dir.file("p-1.png"), IMAGE_PNG));
    EXPECT_EQ(page.GetPixelColor(500, page.GetHeight() - 1 - 750), kRed);  // the sheet's middle line

    // No format in the list for the picture: the job is refused before any page.
    WriteFile(dir.file("Empty.dat"), {});
    const CliRun refused = Cli("render --formats " + Quote(dir.file("Empty.dat")) + " --left " +
                            Quote(dir.file("front.bmp")) + " --mode left -o " + Quote(dir.file("none")));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("Choose a cover format for the left image first."), std::string::npos)
        << refused.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("none-1.png")));

    const CliRun noImage = Cli("render --formats " + formats + " --left " + Quote(dir.file("absent.png")) + " -o " +
                            Quote(dir.file("x")));
    EXPECT_EQ(noImage.status, 1);
    const CliRun badMode = Cli("render --formats " + formats + " --mode sideways -o " + Quote(dir.file("x")));
    EXPECT_EQ(badMode.status, 2);
    const CliRun noPrefix = Cli("render --formats " + formats);
    EXPECT_EQ(noPrefix.status, 2);
}

TEST(PlaceCommand, FitFillCropAndBleedSayWhereThePictureGoes) {
    TempFolder dir;
    const std::string formats = Quote(WriteFormats(dir));
    // Twice as wide as high: red on the left half, blue on the right.
    WriteFile(dir.file("wide.bmp"), BmpBytes(80, 40, [](int x, int) { return x < 40 ? kRed : kBlue; }));
    const std::string picture = Quote(dir.file("wide.bmp"));
    const std::string sheet = " --paper A4 --dpi 254 ";

    // The 40 mm square at (20, 30) mm, grown by 2 mm; filled from its left edge.
    CliRun r = Cli("place --formats " + formats + " --left-format 0 --left " + picture + sheet +
                   "--fill --crop 0,0.5 --bleed 2");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"left\": {\"x\": 200, \"y\": 300, \"width\": 400, \"height\": 400, \"holeSize\": 0, "
                         "\"clip\": {\"x\": 180, \"y\": 280, \"width\": 440, \"height\": 440}, "
                         "\"picture\": {\"x\": 180, \"y\": 280, \"width\": 880, \"height\": 440}}"),
              std::string::npos)
        << r.out;
    r = Cli("place --formats " + formats + " --left-format 0 --left " + picture + sheet + "--fit");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"picture\": {\"x\": 200, \"y\": 400, \"width\": 400, \"height\": 200}"), std::string::npos)
        << r.out;

    // The pages show the same: a fit leaves white above, a fill from the
    // right edge is all blue and reaches into the bleed.
    r = Cli("render --formats " + formats + " --left " + picture + " --left-format 0 --mode left --no-cut-lines" +
            sheet + "--fit -o " + Quote(dir.file("fit")));
    ASSERT_EQ(r.status, 0) << r.out;
    CRasterImage page;
    const auto at = [&page](int x, int y) { return page.GetPixelColor(x, page.GetHeight() - 1 - y); };
    ASSERT_TRUE(page.Load(dir.file("fit-1.png"), IMAGE_PNG));
    EXPECT_EQ(at(300, 350), kWhite);
    EXPECT_EQ(at(300, 450), kRed);
    EXPECT_EQ(at(500, 550), kBlue);
    r = Cli("render --formats " + formats + " --left " + picture + " --left-format 0 --mode left --no-cut-lines" +
            sheet + "--fill --crop 1,0.5 --bleed 2 -o " + Quote(dir.file("fill")));
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_TRUE(page.Load(dir.file("fill-1.png"), IMAGE_PNG));
    EXPECT_EQ(at(210, 500), kBlue);
    EXPECT_EQ(at(190, 500), kBlue);  // bleed
    EXPECT_EQ(at(170, 500), kWhite);

    // What does not make sense is refused with a reason.
    for (const char* bad : {"--fit --fill", "--bleed 5", "--bleed x", "--crop 0.5,0.5", "--fill --crop 2,0"}) {
        r = Cli("place --formats " + formats + " --left-format 0 " + bad);
        EXPECT_EQ(r.status, 2) << bad << ": " << r.out;
    }
}

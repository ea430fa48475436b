// korvane-cli print, run as a script runs it: PDF files rasterised and
// measured, jobs sent to the CUPS test queues and read back from the queue.
#include "print/CalibrationPage.h"
#include "print/PrintTestUtil.h"

#include "print/ui/CupsTestQueue.h"
#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

using namespace testutil;

namespace {

struct CliRun {
    int status = -1;
    std::string out;  // stdout and stderr together
};

CliRun Run(const std::string& command) {
    CliRun r;
    std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
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

CliRun Print(const std::string& args) {
    return Run("QT_QPA_PLATFORM=offscreen " + std::string(KORVANE_BIN_DIR) + "/korvane-cli print --formats " +
               Quote(std::string(KORVANE_BIN_DIR) + "/Korvane.dat") + " " + args);
}

// A field of pdfinfo's report.
std::string PdfInfo(const std::string& pdf, const std::string& field) {
    const CliRun r = Run("pdfinfo " + Quote(pdf));
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            std::string v = line.substr(field.size() + 1);
            v.erase(0, v.find_first_not_of(' '));
            return v;
        }
    }
    return {};
}

// A grey page (pdftoppm's PGM) and the bounding box of one grey level.
struct GreyPage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

GreyPage Rasterise(const std::string& pdf, int page, int dpi, const TempFolder& dir) {
    const std::string out = dir.file("page");
    Run("pdftoppm -gray -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " + std::to_string(page) +
        " -singlefile " + Quote(pdf) + " " + Quote(out));
    GreyPage g;
    std::ifstream in(out + ".pgm", std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> g.width >> g.height >> maxval;
    in.get();
    if (magic != "P5" || maxval != 255)
        return {};
    g.pixels.resize(static_cast<std::size_t>(g.width) * g.height);
    in.read(reinterpret_cast<char*>(g.pixels.data()), static_cast<std::streamsize>(g.pixels.size()));
    return g;
}

SurfaceRect Bounds(const GreyPage& g, int level) {
    SurfaceRect r{g.width, g.height, -1, -1};
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (std::abs(g.pixels[static_cast<std::size_t>(y) * g.width + x] - level) <= 3) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    return r.right < 0 ? SurfaceRect{} : r;
}

std::string Unique(const std::string& stem) { return stem + "-" + std::to_string(::getpid()); }

int JobIdFrom(const std::string& out) {
    std::smatch m;
    return std::regex_search(out, m, std::regex("request id is [A-Za-z]+-([0-9]+)")) ? std::stoi(m[1]) : 0;
}

}  // namespace

TEST(PrintCommand, PdfOfACdFrontOnA4At600Dpi) {
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 300, 300, kGrey);
    const std::string pdf = dir.file("front.pdf");
    const CliRun r = Print("--left " + Quote(dir.file("front.bmp")) +
                           " --left-format 'CD Front' --mode left --no-cut-lines --no-border --pdf " + Quote(pdf));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find(pdf), std::string::npos);
    EXPECT_EQ(PdfInfo(pdf, "Title"), "Korvane - front.bmp");
    EXPECT_EQ(PdfInfo(pdf, "Pages"), "1");
    EXPECT_NE(PdfInfo(pdf, "Page size").find("(A4)"), std::string::npos);
    const GreyPage page = Rasterise(pdf, 1, 600, dir);
    EXPECT_EQ(Bounds(page, 128), (SurfaceRect{1063, 674, 1063 + 2834, 674 + 2834}));
}

TEST(PrintCommand, PdfOfBothCoversOnOnePageWithAJobName) {
    TempFolder dir;
    WriteBmp(dir.file("a.bmp"), 300, 300, kGrey);
    WriteBmp(dir.file("b.bmp"), 300, 300, Rgb{40, 40, 40});
    const std::string pdf = dir.file("single.pdf");
    const CliRun r = Print("--left " + Quote(dir.file("a.bmp")) + " --right " + Quote(dir.file("b.bmp")) +
                           " --left-format 'CD Front' --right-format 'CD Front' --mode left --single-page"
                           " --no-cut-lines --job-name 'Sleeve proof' --dpi 300 --pdf " + Quote(pdf));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(PdfInfo(pdf, "Title"), "Sleeve proof");
    EXPECT_EQ(PdfInfo(pdf, "Pages"), "1");
    // At 300 dpi (a sheet of 2480 x 3508): 1417 pixels at x = 531, on either
    // side of the middle line (1754).
    // The border runs over each cover's top row and left column; the right
    // cover's frame, one pixel outside it, over the left cover's last row.
    const GreyPage page = Rasterise(pdf, 1, 300, dir);
    EXPECT_EQ(Bounds(page, 40), (SurfaceRect{531 + 1, 1754 + 1, 531 + 1417, 1754 + 1417}));
    EXPECT_EQ(Bounds(page, 128), (SurfaceRect{531 + 1, 337 + 1, 531 + 1417, 1754 - 1}));
}

TEST(PrintCommand, BatchToPdfPrintsEveryReadableFileOnItsOwnPage) {
    TempFolder dir;
    WriteBmp(dir.file("one.bmp"), 300, 300, kGrey);
    WriteBmp(dir.file("two.bmp"), 300, 300, kGrey);
    WriteFile(dir.file("scan.tif"), {'I', 'I', '*', 0});
    WriteFile(dir.file("bad.bmp"), {'B', 'M', 1, 2});
    const std::string pdf = dir.file("batch.pdf");
    const CliRun r = Print("--batch " + Quote(dir.file("one.bmp")) + " " + Quote(dir.file("scan.tif")) + " " +
                           Quote(dir.file("bad.bmp")) + " " + Quote(dir.file("two.bmp")) +
                           " --left-format 'CD Front' --pdf " + Quote(pdf));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(PdfInfo(pdf, "Title"), "Korvane");
    EXPECT_EQ(PdfInfo(pdf, "Pages"), "2");
}

TEST(PrintCommand, ABatchThatPrintsNothingFailsAndNamesWhatItSkipped) {
    TempFolder dir;
    WriteFile(dir.file("notes.jpg"), {'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't'});
    WriteFile(dir.file("scan.tif"), {'I', 'I', '*', 0});
    const std::string pdf = dir.file("batch.pdf");
    const std::string files = " --batch " + Quote(dir.file("notes.jpg")) + " " + Quote(dir.file("scan.tif"));
    CliRun r = Print(files + " --left-format 'CD Front' --pdf " + Quote(pdf));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(r.out.find(pdf + "\n"), std::string::npos) << "names a file it never wrote: " << r.out;
    EXPECT_NE(r.out.find("none of the files could be printed"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("skipped " + dir.file("notes.jpg") + ": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("skipped " + dir.file("scan.tif") + ": "), std::string::npos) << r.out;

    // Nor is a queue job of no pages reported.
    if (!cupstest::QueueExists(cupstest::kPdfQueue))
        GTEST_SKIP() << cupstest::kMissingQueueReason;
    r = Print(files + " --left-format 'CD Front' --printer " + std::string(cupstest::kPdfQueue));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out.find("request id is"), std::string::npos) << r.out;
}

TEST(PrintCommand, APictureReadOnlyInPartPrintsWithAWarningNamingIt) {
    TempFolder dir;
    JpegRecipe s;
    s.width = s.height = 120;
    for (int i = 0; i < 120 * 120 * 3; ++i)
        s.pixels.push_back(static_cast<std::uint8_t>((i * 37) % 251));  // noise: mostly scan data
    std::vector<std::uint8_t> jpeg = EncodeJpeg(s);
    jpeg.resize(jpeg.size() / 2);
    const std::string cut = dir.file("cut short.jpg");
    WriteFile(cut, jpeg);
    const std::string pdf = dir.file("left.pdf");
    CliRun r = Print("--left " + Quote(cut) + " --left-format 'CD Front' --mode left --pdf " + Quote(pdf));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("warning: " + cut + ": only part of the picture could be read"), std::string::npos) << r.out;
    // In a batch it prints too, and is named.
    r = Print("--batch " + Quote(cut) + " --left-format 'CD Front' --pdf " + Quote(dir.file("batch.pdf")));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(PdfInfo(dir.file("batch.pdf"), "Pages"), "1");
    EXPECT_NE(r.out.find("only partly read " + cut + ": "), std::string::npos) << r.out;
}

TEST(PrintCommand, MistakesAreReported) {
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 30, 30, kGrey);
    const std::string img = " --left " + Quote(dir.file("front.bmp"));
    EXPECT_EQ(Print(img).status, 2);  // neither --pdf nor --printer
    EXPECT_EQ(Print(img + " --pdf a.pdf --printer X").status, 2);
    EXPECT_EQ(Print(img + " --printer X --paper Letter").status, 2);
    EXPECT_EQ(Print("--batch --pdf " + Quote(dir.file("x.pdf"))).status, 2);
    CliRun r = Print(img + " --printer KorvaneNoSuchQueue");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("no printer queue named 'KorvaneNoSuchQueue'"), std::string::npos) << r.out;
    r = Print("--left " + Quote(dir.file("missing.bmp")) + " --pdf " + Quote(dir.file("m.pdf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("m.pdf")));
}

TEST(PrintCommand, DiscTrayJobReachesTheQueueWithTheTraySettings) {
    if (!cupstest::QueueExists(cupstest::kPhotoQueue))
        GTEST_SKIP() << cupstest::kMissingQueueReason;
    TempFolder dir;
    WriteBmp(dir.file("disc.bmp"), 200, 200, kGrey);
    const std::string name = Unique("Korvane CLI tray");
    const CliRun r = Print("--left " + Quote(dir.file("disc.bmp")) +
                           " --left-format 'Disc in Printer Tray' --mode left --printer KorvaneTestPhoto --job-name " +
                           Quote(name));
    ASSERT_EQ(r.status, 0) << r.out;
    const int id = JobIdFrom(r.out);
    ASSERT_GT(id, 0) << r.out;
    const auto attrs = cupstest::JobAttributes(id);
    cupstest::CancelJob(cupstest::kPhotoQueue, id);
    EXPECT_EQ(attrs.at("job-name"), name);
    EXPECT_EQ(attrs.at("InputSlot"), "CDTray");
    EXPECT_EQ(attrs.at("MediaType"), "PrintableDisc");
    EXPECT_EQ(attrs.at("media"), "CDRTray");
}

TEST(PrintCommand, ARefusingQueueFailsTheCommand) {
    if (!cupstest::QueueExists(cupstest::kRejectingQueue))
        GTEST_SKIP() << cupstest::kMissingQueueReason;
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 30, 30, kGrey);
    const CliRun r = Print("--left " + Quote(dir.file("front.bmp")) + " --mode left --printer KorvaneTestRejecting");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("could not start print job"), std::string::npos) << r.out;
}

TEST(PrintCommand, TheCupsPdfQueuePrintsTheJobThrough) {
    if (!cupstest::QueueExists(cupstest::kPdfQueue))
        GTEST_SKIP() << "CUPS queue KorvaneTestPDF is not set up (run scripts/setup-test-printers.sh as root)";
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 100, 100, kGrey);
    const CliRun r = Print("--left " + Quote(dir.file("front.bmp")) + " --mode left --printer KorvaneTestPDF"
                           " --job-name " + Quote(Unique("Korvane CLI pdf")));
    ASSERT_EQ(r.status, 0) << r.out;
    const int id = JobIdFrom(r.out);
    ASSERT_GT(id, 0) << r.out;
    // The printer's filters and backend take the job to the end.
    EXPECT_EQ(cupstest::WaitForJobEnd(id, 30), 9) << "job " << id << " did not complete";
}

// The middle of the dark run through (x, y) along a row or a column.
double RunCentre(const GreyPage& g, int x, int y, bool alongRow) {
    auto dark = [&](int v) {
        const int px = alongRow ? v : x, py = alongRow ? y : v;
        return px >= 0 && py >= 0 && px < g.width && py < g.height &&
               g.pixels[static_cast<std::size_t>(py) * g.width + px] < 128;
    };
    int a = alongRow ? x : y, b = a;
    if (!dark(a))
        return -1;
    while (dark(a - 1)) --a;
    while (dark(b + 1)) ++b;
    return (a + b + 1) / 2.0;
}

// korvane-cli calibrate --pdf at 600 dpi, rasterised at 600 dpi: each
// crosshair's lines run through the pixel of its place, within a pixel,
// with and without CALIBRATEX / CALIBRATEY in the formats file.
TEST(CalibrateCommand, CrosshairsLandWhereThePageSaysAt600Dpi) {
    TempFolder dir;
    const std::string plain = dir.file("plain.dat"), moved = dir.file("moved.dat");
    std::ofstream(plain, std::ios::binary) << "[CD Front]\r\nSIZE = 120, 120\r\n";
    std::ofstream(moved, std::ios::binary) << "[CD Front]\r\nSIZE = 120, 120\r\nCALIBRATEX = 2.0\r\nCALIBRATEY = -1\r\n";
    const PageMetrics page = PageMetrics::Make(4960, 7016, 71, 71, 4818, 6874, 600, 600);
    for (const auto& [file, calibration] : {std::pair{plain, Calibration{}}, std::pair{moved, Calibration{2.0, -1.0}}}) {
        const std::string pdf = dir.file("calibration.pdf");
        const CliRun r = ::Run("QT_QPA_PLATFORM=offscreen " + std::string(KORVANE_BIN_DIR) +
                             "/korvane-cli calibrate --formats " + Quote(file) + " --pdf " + Quote(pdf) +
                             " --paper A4 --dpi 600 --margins 3,3,3,3");
        ASSERT_EQ(r.status, 0) << r.out;
        const GreyPage g = Rasterise(pdf, 1, 600, dir);
        // The PDF's page is A4 in whole points: a pixel may go at the far edges.
        ASSERT_NEAR(g.width, 4960, 2);
        ASSERT_NEAR(g.height, 7016, 2);
        for (const CalibrationMark& mark : CalibrationMarks(page)) {
            const SurfacePoint p = CalibrationMarkPixel(page, mark, calibration);
            SCOPED_TRACE("crosshair " + std::to_string(mark.number) + " of " + file);
            const int arm = 100;  // well inside the 8 mm arms, clear of the circle and the number
            // The pixel (x, y) covers [x, x + 1): the line's middle is x + 0.5.
            EXPECT_NEAR(RunCentre(g, p.x, p.y + arm, true), p.x + 0.5, 1.0);
            EXPECT_NEAR(RunCentre(g, p.x - arm, p.y, false), p.y + 0.5, 1.0);
        }
    }
    // 2 mm at 600 dpi: crosshair 1 moved 47 pixels right.
    EXPECT_EQ(CalibrationMarkPixel(page, CalibrationMarks(page)[0], {2.0, 0}).x -
                  CalibrationMarkPixel(page, CalibrationMarks(page)[0], {}).x,
              47);

    const CliRun bad = ::Run(std::string(KORVANE_BIN_DIR) + "/korvane-cli calibrate --formats " + Quote(plain));
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("korvane-cli: one of --pdf OUT.pdf or --printer QUEUE is required"),
              std::string::npos);
    const CliRun missing = ::Run(std::string(KORVANE_BIN_DIR) + "/korvane-cli calibrate --formats " +
                               Quote(dir.file("none.dat")) + " --pdf " + Quote(dir.file("x.pdf")));
    EXPECT_EQ(missing.status, 1);
}

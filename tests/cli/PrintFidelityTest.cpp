// korvane-cli print keeps the pictures as they are: to a PDF file, to a
// queue that holds the job (its spooled document read back) and through the
// cups-pdf queue to the file it prints.
#include "print/PdfReadBack.h"
#include "print/PrintTestUtil.h"
#include "print/ui/CupsTestQueue.h"

#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

using namespace testutil;
using namespace pdfread;

namespace {

std::string Print(const std::string& args) {
    return Run("QT_QPA_PLATFORM=offscreen " + std::string(KORVANE_BIN_DIR) + "/korvane-cli print --formats " +
               Quote(std::string(KORVANE_BIN_DIR) + "/Korvane.dat") + " " + args + "; echo \"status $?\"");
}

bool Succeeded(const std::string& out) { return out.find("status 0") != std::string::npos; }

int JobId(const std::string& out) {
    std::smatch m;
    return std::regex_search(out, m, std::regex("request id is [A-Za-z]+-([0-9]+)")) ? std::stoi(m[1]) : 0;
}

std::vector<std::uint8_t> JpegFile() {
    JpegRecipe s;
    s.width = 96;
    s.height = 96;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.pixels.insert(s.pixels.end(), {static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2), 90});
    s.quality = 90;
    return EncodeJpeg(s);
}

// The one JPEG the PDF holds, as stored.
std::vector<std::uint8_t> StoredJpeg(const std::string& pdf, const TempFolder& dir) {
    std::filesystem::create_directories(dir.file("x"));
    const std::vector<std::string> images = Images(pdf, "-j", dir.file("x"));
    return images.size() == 1 ? Bytes(images[0]) : std::vector<std::uint8_t>{};
}

// The file the cups-pdf queue printed job `id` named `name` to: it names its
// files after the job's title, in the user's PDF folder.
std::string CupsPdfOutput(const std::string& name) {
    std::string stem = name;
    for (char& c : stem)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    std::vector<std::string> folders = {"/var/spool/cups-pdf/ANONYMOUS"};
    if (const char* home = std::getenv("HOME"))
        folders.insert(folders.begin(), std::string(home) + "/PDF");
    for (int attempt = 0; attempt < 50; ++attempt) {
        for (const std::string& folder : folders) {
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator(folder, ec))
                if (e.path().filename().string().find(stem) != std::string::npos)
                    return e.path().string();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

}  // namespace

TEST(PrintFidelity, JpegCoverReachesThePdfFileAsTheFilesBytes) {
    TempFolder dir;
    const std::vector<std::uint8_t> file = JpegFile();
    WriteFile(dir.file("front.jpg"), file);
    const std::string pdf = dir.file("front.pdf");
    const std::string out = Print("--left " + Quote(dir.file("front.jpg")) + " --left-format 'CD Front' --mode left --pdf " +
                                  Quote(pdf));
    ASSERT_TRUE(Succeeded(out)) << out;
    EXPECT_TRUE(StoredJpeg(pdf, dir) == file);
    EXPECT_EQ(Info(pdf, "Title"), "Korvane - front.jpg");
    EXPECT_EQ(Info(pdf, "Creator"), "Korvane 1.23");
}

TEST(PrintFidelity, AJobForAQueueCarriesTheJpegBytes) {
    if (!cupstest::QueueExists(cupstest::kPhotoQueue))
        GTEST_SKIP() << cupstest::kMissingQueueReason;
    TempFolder dir;
    const std::vector<std::uint8_t> file = JpegFile();
    WriteFile(dir.file("front.jpg"), file);
    const std::string name = "Korvane fidelity " + std::to_string(::getpid());
    const std::string out = Print("--left " + Quote(dir.file("front.jpg")) +
                                  " --left-format 'CD Front' --mode left --printer KorvaneTestPhoto --job-name " +
                                  Quote(name));
    ASSERT_TRUE(Succeeded(out)) << out;
    const int id = JobId(out);
    ASSERT_GT(id, 0) << out;
    const std::string spooled = cupstest::SpoolFile(id);
    if (spooled.empty()) {
        cupstest::CancelJob(cupstest::kPhotoQueue, id);
        GTEST_SKIP() << "the spool folder cannot be read (not root)";
    }
    EXPECT_TRUE(StoredJpeg(spooled, dir) == file);
    EXPECT_EQ(Info(spooled, "Title"), name);
    EXPECT_EQ(Info(spooled, "Creator"), "Korvane 1.23");
    cupstest::CancelJob(cupstest::kPhotoQueue, id);
}

TEST(PrintFidelity, TheCupsPdfQueuePrintsPureRedAndTheLabelsHole) {
    if (!cupstest::QueueExists(cupstest::kPdfQueue))
        GTEST_SKIP() << "CUPS queue KorvaneTestPDF is not set up (run scripts/setup-test-printers.sh as root)";
    TempFolder dir;
    WriteBmp(dir.file("red.bmp"), 400, 400, kRed);
    const std::string name = "Korvane red label " + std::to_string(::getpid());
    const std::string out = Print("--left " + Quote(dir.file("red.bmp")) +
                                  " --left-format 'CD Label' --mode left --no-cut-lines --printer KorvaneTestPDF"
                                  " --job-name " + Quote(name));
    ASSERT_TRUE(Succeeded(out)) << out;
    const int id = JobId(out);
    ASSERT_GT(id, 0) << out;
    ASSERT_EQ(cupstest::WaitForJobEnd(id, 60), 9) << "job " << id << " did not complete";
    const std::string printed = CupsPdfOutput(name);
    if (printed.empty())
        GTEST_SKIP() << "the cups-pdf output folder cannot be read";
    // The label, 117 mm with a 41 mm hole, centred across the sheet in its
    // upper half: rasterised at 150 dpi, the hole's centre is white, the
    // disc pure red, the corners of its box white.
    const double dpmm = 150 / 25.4;
    const double pageW = std::stod(Info(printed, "Page size")) / 72 * 25.4;  // millimetres
    const int cx = static_cast<int>(pageW / 2 * dpmm);
    const Page page = Rasterise(printed, 150, 0, 0, static_cast<int>(pageW * dpmm), static_cast<int>(300 * dpmm), dir.path());
    ASSERT_GT(page.width, cx);
    // Find the disc's vertical extent on the centre column.
    int top = -1, bottom = -1;
    for (int y = 0; y < page.height; ++y)
        if (page.at(cx, y) == kRed) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    ASSERT_GE(top, 0) << "no pure red on the page";
    const int cy = (top + bottom) / 2;
    EXPECT_NEAR(bottom - top, 117 * dpmm, 3);
    EXPECT_EQ(page.at(cx, cy), kWhite);                                      // the hole
    EXPECT_EQ(page.at(cx + static_cast<int>(19 * dpmm), cy), kWhite);       // inside its 20.5 mm radius
    EXPECT_EQ(page.at(cx + static_cast<int>(22 * dpmm), cy), kRed);         // outside it
    EXPECT_EQ(page.at(cx + static_cast<int>(50 * dpmm), cy), kRed);
    EXPECT_EQ(page.at(cx + static_cast<int>(56 * dpmm), cy - static_cast<int>(56 * dpmm)), kWhite);  // box corner
    std::filesystem::remove(printed);
}

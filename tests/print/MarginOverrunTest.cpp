// Covers that run into the printer's margin: how far, the warning's words,
// and that a job or a batch tells it once, before the job, and still prints.
#include "app/FormatRecognition.h"
#include "print/BatchPrint.h"
#include "print/MarginOverrun.h"
#include "image/DrawContext.h"
#include "print/PageSink.h"
#include "print/PrintPlan.h"
#include "print/PrintTestUtil.h"
#include "settings/LanguageTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace testutil;

namespace {
// Letter at 600 dpi with 6.35 mm (150 pixel) margins all round.
const PageMetrics kLetter = PageMetrics::Make(5100, 6600, 150, 150, 4800, 6300, 600, 600);

// Records the order of what happens: warnings and the job's start.
class EventLog : public IPageSink, public RecordingPrompter {
public:
    std::vector<std::string> events;
    std::vector<std::unique_ptr<CRasterSurface>> pages;
    PageMetrics Metrics() const override { return kLetter; }
    bool StartJob(const std::string&) override {
        events.push_back("start");
        return true;
    }
    CDrawContext* StartPage(int) override {
        events.push_back("page");
        pages.push_back(std::make_unique<CRasterSurface>(1, 1));
        return &page_.emplace(*pages.back());
    }
    bool EndPage() override { return true; }
    void EndJob() override { events.push_back("end"); }
    void AbortJob() override { events.push_back("abort"); }
    void Warning(const std::string& text) override {
        RecordingPrompter::Warning(text);
        events.push_back("warning");
    }

private:
    std::optional<CDrawContext> page_;
};

CoverFormatList Formats() {
    CoverFormat dvd = Format("DVD Sleeve", "DVD", 183.0, 273.0);
    dvd.autodetect = 1;
    CoverFormat front = Format("CD Front", "CD_FRONT", 120.0, 120.0);
    front.autodetect = 1;
    return List({dvd, front, Placed(Format("Edge", "CUSTOM", 100.0, 50.0), 200.0, 10.0)});
}

PrintJobRequest Request(int mode, int left, int right, int correction = 1) {
    PrintJobRequest r;
    r.printMode = PrintModeFromNumber(mode);
    r.leftFormat = left;
    r.rightFormat = right;
    r.leftName = "Album - Front.jpg";
    r.rightName = "Album - Back.jpg";
    r.checkForPrintableArea = correction;
    return r;
}
}  // namespace

TEST(MarginOverrun, ADvdSleeveOnLetterRunsThreePointOneMillimetresIntoTheMargin) {
    // 273 mm is 6448 pixels, 148 more than the printable 6300: centred, 74
    // pixels (3.13 mm) beyond each edge.
    const CoverFormatList formats = Formats();
    PlacementJob job{0, 1, 0, nullptr};
    const CoverPlacement dvd = ComputePlacement(kLetter, formats, LeftFormat(0), job);
    EXPECT_EQ(dvd.height, 6448);
    EXPECT_NEAR(MarginOverrunMm(dvd, kLetter), 74 * 25.4 / 600, 1e-9);
    EXPECT_EQ(OverrunMmText(MarginOverrunMm(dvd, kLetter)), "3.1");
    // Pulled in, or inside anyway: nothing.
    EXPECT_EQ(MarginOverrunMm(ComputePlacement(kLetter, formats, LeftFormat(1), job), kLetter), 0.0);
    EXPECT_EQ(MarginOverrunMm(ComputePlacement(kLetter, formats, LeftFormat(2), job), kLetter), 0.0);
    // Not pulled in: the far side counts (200 + 100 mm on a 215.9 mm sheet).
    PlacementJob uncorrected{0, 0, 0, nullptr};
    const CoverPlacement edge = ComputePlacement(kLetter, formats, LeftFormat(2), uncorrected);
    EXPECT_NEAR(MarginOverrunMm(edge, kLetter), (edge.x + edge.width - 4950) * 25.4 / 600, 1e-9);
    EXPECT_GT(MarginOverrunMm(edge, kLetter), 80.0);
    // Millimetres are cut to a tenth, never shown rounded up.
    EXPECT_EQ(OverrunMmText(3.19), "3.1");
    EXPECT_EQ(OverrunMmText(0.1), "0.1");
    EXPECT_EQ(OverrunMmText(12.0), "12.0");
}

TEST(MarginOverrun, TheWarningNamesEachCoverAndHowFar) {
    EXPECT_EQ(OverrunCoverName("Album - Front.jpg", "DVD Sleeve"), "\"Album - Front.jpg\" (DVD Sleeve)");
    EXPECT_EQ(OverrunCoverName("", "DVD Sleeve"), "\"DVD Sleeve\"");
    const std::string text = MarginOverrunText({{"\"a.jpg\" (DVD Sleeve)", 3.13}, {"\"b %s.jpg\" (Edge)", 85.04}},
                                               [](int n) { return Language().GetText(n); });
    EXPECT_EQ(text,
              "The cover \"a.jpg\" (DVD Sleeve) does not fit the printable area of this paper: it runs 3.1 mm into "
              "the margin that your printer cannot print on.\nThat part of the cover may be missing from the page."
              "\n\nThe cover \"b %s.jpg\" (Edge) does not fit the printable area of this paper: it runs 85.0 mm into "
              "the margin that your printer cannot print on.\nThat part of the cover may be missing from the page.");
    EXPECT_TRUE(MarginOverrunText({}, [](int) { return std::string("x"); }).empty());
}

TEST(MarginOverrun, AJobWarnsOnceBeforeItStartsAndStillPrints) {
    const CoverFormatList formats = Formats();
    const CRasterImage left = Solid(183, 273, kRed), right = Solid(183, 273, kBlue);
    // Both covers are DVD sleeves: one warning naming both, then the job.
    EventLog log;
    CPrintPlan both(formats, left, right, &log);
    ASSERT_TRUE(both.Prepare(Request(2, 0, 0), false));
    EXPECT_EQ(RunPrintJob(both, log, false), 2);
    EXPECT_EQ(log.events, (std::vector<std::string>{"warning", "start", "page", "page", "end"}));
    ASSERT_EQ(log.warnings.size(), 1u);
    EXPECT_NE(log.warnings[0].find("\"Album - Front.jpg\" (DVD Sleeve)"), std::string::npos);
    EXPECT_NE(log.warnings[0].find("\"Album - Back.jpg\" (DVD Sleeve)"), std::string::npos);
    EXPECT_NE(log.warnings[0].find("3.1 mm"), std::string::npos);
    EXPECT_TRUE(log.information.empty());  // nothing was "corrected"

    // Print Left of a CD front: nothing to tell; the right DVD is not printed.
    EventLog quiet;
    CPrintPlan front(formats, left, right, &quiet);
    ASSERT_TRUE(front.Prepare(Request(0, 1, 0), false));
    EXPECT_EQ(RunPrintJob(front, quiet, false), 1);
    EXPECT_TRUE(quiet.warnings.empty());

    // A cover outside the printable area with the correction off is told
    // too; with it on, it is moved in and text 4004 says so instead.
    EventLog off;
    CPrintPlan edge(formats, left, right, &off);
    ASSERT_TRUE(edge.Prepare(Request(0, 2, 0, 0), false));
    EXPECT_EQ(RunPrintJob(edge, off, false), 1);
    ASSERT_EQ(off.warnings.size(), 1u);
    EXPECT_NE(off.warnings[0].find("(Edge)"), std::string::npos);
    EventLog on;
    CPrintPlan moved(formats, left, right, &on);
    ASSERT_TRUE(moved.Prepare(Request(0, 2, 0, 1), false));
    EXPECT_EQ(RunPrintJob(moved, on, false), 1);
    EXPECT_TRUE(on.warnings.empty());
    EXPECT_EQ(on.information, (std::vector<int>{kTextOutsidePrintableArea}));

    // The preview shows the page as it is and says nothing.
    EventLog preview;
    CPrintPlan shown(formats, left, right, &preview);
    ASSERT_TRUE(shown.Prepare(Request(0, 0, 0), true));
    EXPECT_EQ(RunPrintJob(shown, preview, true), 1);
    EXPECT_TRUE(preview.warnings.empty());
}

TEST(MarginOverrun, ABatchTellsItOncePerJob) {
    TempFolder dir;
    WriteBmp(dir.file("one.bmp"), 183, 273, kRed);
    WriteBmp(dir.file("square.bmp"), 120, 120, kBlue);
    WriteBmp(dir.file("two.bmp"), 183, 273, kGreen);
    const CoverFormatList formats = Formats();
    BatchJob job;
    job.files = {dir.file("square.bmp"), dir.file("one.bmp"), dir.file("two.bmp")};
    CRasterImage slot;
    // Recognised: before the first page that runs over, naming its file.
    EventLog recognised;
    BatchResult result =
        BatchPrint(job, formats, slot, BatchRecognitionFor(formats, 1, nullptr), recognised, &recognised);
    EXPECT_EQ(result.pages, 3);
    EXPECT_EQ(recognised.events,
              (std::vector<std::string>{"start", "page", "warning", "page", "page", "end"}));
    ASSERT_EQ(recognised.warnings.size(), 1u);
    EXPECT_NE(recognised.warnings[0].find("\"one.bmp\" (DVD Sleeve)"), std::string::npos);
    // Forced: every page alike, told before the job starts.
    job.format = 0;
    EventLog forced;
    result = BatchPrint(job, formats, slot, BatchRecognitionFor(formats, 1, nullptr), forced, &forced);
    EXPECT_EQ(result.pages, 3);
    EXPECT_EQ(forced.events, (std::vector<std::string>{"warning", "start", "page", "page", "page", "end"}));
    EXPECT_NE(forced.warnings[0].find("\"DVD Sleeve\""), std::string::npos);
}

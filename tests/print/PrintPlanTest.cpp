// The stages of a print job: page ranges, job names, refusals, printer
// settings, placements and which covers each page carries.
#include "print/PageSink.h"
#include "print/PrintPlan.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <optional>

#include <memory>

using namespace testutil;

namespace {
const PageMetrics kPage = PageMetrics::Make(1000, 1500, 20, 30, 960, 1440, 254, 254);

// Keeps every page it is given, drawn on a whole white sheet.
class RecordingSink : public IPageSink {
public:
    std::string jobName;
    std::vector<int> numbers;
    std::vector<std::unique_ptr<CRasterSurface>> sheets;
    bool refuseStart = false;
    int stopAtPage = 0;
    int ended = 0, aborted = 0;

    PageMetrics Metrics() const override { return kPage; }
    bool StartJob(const std::string& name) override {
        jobName = name;
        return !refuseStart;
    }
    CDrawContext* StartPage(int n) override {
        if (n == stopAtPage)
            return nullptr;
        numbers.push_back(n);
        sheets.push_back(std::make_unique<CRasterSurface>(kPage.physicalWidth, kPage.physicalHeight));
        return &area_.emplace(*sheets.back(), SurfaceRect{kPage.offsetX, kPage.offsetY,
                                                          kPage.offsetX + kPage.printableWidth,
                                                          kPage.offsetY + kPage.printableHeight});
    }
    bool EndPage() override {
        area_.reset();
        return true;
    }
    void EndJob() override { ++ended; }
    void AbortJob() override { ++aborted; }

private:
    std::optional<CDrawContext> area_;
};

struct Job {
    CoverFormatList formats = List({Format("Front", "CUSTOM", 40.0, 30.0), Format("Back", "CUSTOM", 50.0, 20.0)});
    CRasterImage left = Solid(8, 8, kRed);
    CRasterImage right = Solid(8, 8, kBlue);
    RecordingPrompter prompter;
    CPrintPlan plan{formats, left, right, &prompter};

    PrintJobRequest Request(int mode, int single) const {
        PrintJobRequest r;
        r.printMode = PrintModeFromNumber(mode);
        r.singlePage = single;
        r.leftFormat = 0;
        r.rightFormat = 1;
        r.leftName = "front.jpg";
        r.rightName = "back.jpg";
        r.drawCutLines = 0;
        r.printBorder = 0;
        return r;
    }
};

int Count(const CRasterSurface& s, Rgb c) { return CountColor(s, {0, 0, s.Width(), s.Height()}, c); }
}  // namespace

TEST(PageRange, EveryModeAndThePreview) {
    struct Row {
        int mode, single;
        bool preview;
        int first, last;
    };
    const Row rows[] = {
        {0, 0, false, 1, 1}, {0, 1, false, 1, 1}, {1, 0, false, 2, 2}, {2, 0, false, 1, 2}, {2, 1, false, 1, 1},
        {0, 0, true, 1, 1},  {0, 1, true, 1, 1},  {1, 0, true, 1, 2},  {2, 0, true, 1, 2},  {2, 1, true, 1, 1},
        // Right alone on a single page prints the right cover by itself.
        {1, 1, false, 2, 2}, {1, 1, true, 2, 2},
    };
    for (const Row& r : rows) {
        const PageRange range = PrintPageRange(PrintModeFromNumber(r.mode), r.single, r.preview);
        EXPECT_EQ(range.first, r.first) << r.mode << " " << r.single << " " << r.preview;
        EXPECT_EQ(range.last, r.last) << r.mode << " " << r.single << " " << r.preview;
    }
}

TEST(PageContents, WhichCoversEachPageCarries) {
    const std::vector<Slot> L{Slot::Left}, R{Slot::Right}, LR{Slot::Left, Slot::Right};
    EXPECT_EQ(CoversOnPage(PrintMode::Left, 0, 1), L);
    EXPECT_EQ(CoversOnPage(PrintMode::Left, 1, 1), LR);
    EXPECT_EQ(CoversOnPage(PrintMode::Right, 0, 2), R);
    EXPECT_EQ(CoversOnPage(PrintMode::Right, 0, 1), R);  // the preview's first page of "Print Right"
    EXPECT_EQ(CoversOnPage(PrintMode::Both, 0, 1), L);
    EXPECT_EQ(CoversOnPage(PrintMode::Both, 0, 2), R);
    EXPECT_EQ(CoversOnPage(PrintMode::Both, 1, 1), LR);
}

TEST(JobName, FileOfTheCoverPrintedOrTheMask) {
    PrintJobRequest r;
    r.leftName = "front.jpg";
    r.rightName = "back.jpg";
    r.printMode = PrintMode::Left;
    EXPECT_EQ(PrintJobName(r), "Korvane - front.jpg");
    r.printMode = PrintMode::Both;
    EXPECT_EQ(PrintJobName(r), "Korvane - back.jpg");
    r.printMode = PrintMode::Right;
    EXPECT_EQ(PrintJobName(r), "Korvane - back.jpg");
    r.maskPrintJobName = 1;
    EXPECT_EQ(PrintJobName(r), "Microsoft Word - Document1");
    r.printJobName = "Quarterly report";
    EXPECT_EQ(PrintJobName(r), "Quarterly report");
}

TEST(Prepare, RefusesASlotWithAnImageButNoFormatNamingTheSlot) {
    Job job;
    PrintJobRequest r = job.Request(0, 0);
    r.leftFormat = -1;
    EXPECT_FALSE(job.plan.Prepare(r, false));
    EXPECT_EQ(job.prompter.errors, std::vector<std::string>{"Choose a cover format for the left image first."});

    r = job.Request(2, 0);
    r.rightFormat = 7;  // not in the list
    EXPECT_FALSE(job.plan.Prepare(r, false));
    EXPECT_EQ(job.plan.RefusalText(), "Choose a cover format for the right image first.");

    // The right slot's format does not matter when only the left cover prints...
    r = job.Request(0, 0);
    r.rightFormat = -1;
    EXPECT_TRUE(job.plan.Prepare(r, false));
    // ...and an empty slot has nothing to refuse: its page stays blank.
    job.left.Clear();
    r = job.Request(0, 0);
    r.leftFormat = -1;
    EXPECT_TRUE(job.plan.Prepare(r, false));
    EXPECT_EQ(job.prompter.errors.size(), 2u);
}

TEST(Prepare, PrinterSettingsComeFromTheLeftFormatWhicheverCoverPrints) {
    Job job;
    job.formats.at(0).type = "CD_TRAY";
    job.formats.at(0).mediaType = 262;
    job.formats.at(1).paperSource = 4;
    ASSERT_TRUE(job.plan.Prepare(job.Request(1, 0), false));
    EXPECT_TRUE(job.plan.Printer().discTray);
    EXPECT_EQ(job.plan.Printer().mediaType, 262);
    EXPECT_EQ(job.plan.Printer().paperSource, -1);
    EXPECT_EQ(job.plan.JobName(), "Korvane - back.jpg");
    EXPECT_EQ(job.plan.Range().first, 2);

    PrintJobRequest r = job.Request(1, 0);
    r.leftFormat = -1;
    ASSERT_TRUE(job.plan.Prepare(r, false));
    EXPECT_FALSE(job.plan.Printer().any());
}

TEST(RunJob, PrintBothGivesTheLeftCoverOnPageOneAndTheRightOnPageTwo) {
    Job job;
    ASSERT_TRUE(job.plan.Prepare(job.Request(2, 0), false));
    RecordingSink sink;
    EXPECT_EQ(RunPrintJob(job.plan, sink, false), 2);
    EXPECT_EQ(sink.jobName, "Korvane - back.jpg");
    EXPECT_EQ(sink.numbers, (std::vector<int>{1, 2}));
    EXPECT_EQ(sink.ended, 1);
    EXPECT_EQ(Count(*sink.sheets[0], kRed), 400 * 300);
    EXPECT_EQ(Count(*sink.sheets[0], kBlue), 0);
    EXPECT_EQ(Count(*sink.sheets[1], kBlue), 500 * 200);
    EXPECT_EQ(Count(*sink.sheets[1], kRed), 0);
    // The right cover uses the right slot's rule: the lower half of the sheet.
    EXPECT_TRUE(job.plan.HasLeftPlacement() && job.plan.HasRightPlacement());
    EXPECT_EQ(job.plan.RightPlacement().y, 750 + (750 - 200) / 2);
    EXPECT_EQ(sink.sheets[1]->GetPixel(500, 750 + (750 - 200) / 2 + 100), kBlue);
}

TEST(RunJob, SinglePageCarriesBothCoversAndPrintRightOnlyTheRight) {
    {
        Job job;
        ASSERT_TRUE(job.plan.Prepare(job.Request(0, 1), false));
        RecordingSink sink;
        EXPECT_EQ(RunPrintJob(job.plan, sink, false), 1);
        EXPECT_EQ(sink.numbers, std::vector<int>{1});
        EXPECT_EQ(Count(*sink.sheets[0], kRed), 400 * 300);
        EXPECT_EQ(Count(*sink.sheets[0], kBlue), 500 * 200);
    }
    {
        Job job;
        ASSERT_TRUE(job.plan.Prepare(job.Request(1, 0), false));
        RecordingSink sink;
        EXPECT_EQ(RunPrintJob(job.plan, sink, false), 1);
        EXPECT_EQ(sink.numbers, std::vector<int>{2});
        EXPECT_FALSE(job.plan.HasLeftPlacement());
        EXPECT_EQ(Count(*sink.sheets[0], kBlue), 500 * 200);
        EXPECT_EQ(Count(*sink.sheets[0], kRed), 0);
    }
    {
        // The preview of "Print Right" shows the right cover on both pages.
        Job job;
        ASSERT_TRUE(job.plan.Prepare(job.Request(1, 0), true));
        RecordingSink sink;
        EXPECT_EQ(RunPrintJob(job.plan, sink, true), 2);
        EXPECT_EQ(Count(*sink.sheets[0], kBlue), Count(*sink.sheets[1], kBlue));
        EXPECT_GT(Count(*sink.sheets[0], kRed), 0);  // the preview's red guides
    }
}

TEST(RunJob, ThePrintableAreaMessageIsShownOncePerJob) {
    Job job;
    job.formats.at(0) = Placed(Format("Front", "CUSTOM", 40.0, 30.0), 90.0, 5.0);
    job.formats.at(1).rightX = 90.0;
    job.formats.at(1).rightY = 140.0;
    PrintJobRequest r = job.Request(2, 0);
    ASSERT_TRUE(job.plan.Prepare(r, false));
    RecordingSink sink;
    RunPrintJob(job.plan, sink, false);
    EXPECT_EQ(job.prompter.information, std::vector<int>{kTextOutsidePrintableArea});
    EXPECT_EQ(job.plan.LeftPlacement().x + job.plan.LeftPlacement().width, 20 + 960);
    EXPECT_EQ(job.plan.Placement().printableWarned, 0);  // cleared at the end
    RecordingSink again;
    RunPrintJob(job.plan, again, false);
    EXPECT_EQ(job.prompter.information.size(), 2u);  // a new job may say it again
}

TEST(RunJob, RefusedStartAndStoppedPagesAbortTheJob) {
    Job job;
    ASSERT_TRUE(job.plan.Prepare(job.Request(2, 0), false));
    RecordingSink refused;
    refused.refuseStart = true;
    EXPECT_EQ(RunPrintJob(job.plan, refused, false), 0);
    EXPECT_EQ(refused.aborted, 1);
    EXPECT_TRUE(refused.numbers.empty());

    RecordingSink stopped;
    stopped.stopAtPage = 2;
    EXPECT_EQ(RunPrintJob(job.plan, stopped, false), 1);
    EXPECT_EQ(stopped.aborted, 1);
    EXPECT_EQ(stopped.ended, 0);
}

// Batch jobs over real files: one left cover per file that loads.
#include "app/FormatRecognition.h"
#include "print/BatchPrint.h"
#include "print/PageSink.h"
#include "print/PrintPlan.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <optional>

#include <memory>

using namespace testutil;

namespace {
const PageMetrics kPage = PageMetrics::Make(1000, 1500, 0, 0, 1000, 1500, 254, 254);

class PageCollector : public IPageSink {
public:
    std::string jobName;
    std::vector<int> numbers;
    std::vector<std::unique_ptr<CRasterSurface>> pages;
    bool refuseStart = false;
    int ended = 0, aborted = 0;

    PageMetrics Metrics() const override { return kPage; }
    bool StartJob(const std::string& name) override {
        jobName = name;
        return !refuseStart;
    }
    CDrawContext* StartPage(int n) override {
        numbers.push_back(n);
        pages.push_back(std::make_unique<CRasterSurface>(kPage.printableWidth, kPage.printableHeight));
        return &page_.emplace(*pages.back());
    }
    bool EndPage() override { return true; }
    void EndJob() override { ++ended; }
    void AbortJob() override { ++aborted; }

private:
    std::optional<CDrawContext> page_;
};

int Count(const CRasterSurface& s, Rgb c) { return CountColor(s, {0, 0, s.Width(), s.Height()}, c); }

CoverFormat Candidate(const std::string& name, const std::string& type, double w, double h) {
    CoverFormat f = Format(name, type, w, h);
    f.autodetect = 1;
    return f;
}
}  // namespace

TEST(BatchPrint, EachReadableFileGetsItsOwnPageAndItsOwnFormat) {
    TempFolder dir;
    WriteBmp(dir.file("square.bmp"), 40, 40, kRed);
    WriteBmp(dir.file("tall.BMP"), 20, 40, kBlue);
    WriteBmp(dir.file("scan.psd"), 20, 40, kGreen);                 // not a slot's file type
    WriteFile(dir.file("broken.png"), {'n', 'o', 't', ' ', 'p', 'n', 'g'});  // does not load
    const CoverFormatList formats =
        List({Candidate("Square", "CUSTOM", 50.0, 50.0), Candidate("Tall", "CUSTOM", 30.0, 60.0)});
    BatchJob job;
    job.files = {dir.file("square.bmp"), dir.file("scan.psd"), dir.file("broken.png"), dir.file("missing.jpg"),
                 dir.file("tall.BMP")};
    job.printBorder = 0;
    CRasterImage left;
    PageCollector sink;
    RecordingPrompter prompter;
    const BatchResult result =
        BatchPrint(job, formats, left, BatchRecognitionFor(formats, 1, &prompter), sink, &prompter);
    EXPECT_TRUE(result.started && result.completed);
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(result.lastFormat, 1);
    EXPECT_EQ(sink.jobName, "Korvane");
    EXPECT_EQ(sink.numbers, (std::vector<int>{1, 2}));
    EXPECT_EQ(sink.ended, 1);
    EXPECT_EQ(Count(*sink.pages[0], kRed), 500 * 500);
    EXPECT_EQ(Count(*sink.pages[1], kBlue), 300 * 600);
    EXPECT_EQ(Count(*sink.pages[1], kRed), 0);
    // The slot keeps the last file that loaded; nothing was said about the skipped ones.
    EXPECT_EQ(left.GetWidth(), 20);
    EXPECT_TRUE(prompter.information.empty() && prompter.questions.empty() && prompter.errors.empty());
}

TEST(BatchPrint, ForcedFrontPlusInsideTurnsLandscapeFilesOnlyWithAutoRotate) {
    TempFolder dir;
    WriteBmp(dir.file("booklet.bmp"), 60, 30, kGreen);
    const CoverFormatList formats =
        List({Candidate("CD Front", "CD_FRONT", 120.0, 120.0), Candidate("Booklet", "CD_FRONT_INSIDE", 60.0, 120.0)});
    BatchJob job;
    job.files = {dir.file("booklet.bmp")};
    job.format = 1;
    for (int autoRotate : {1, 0}) {
        job.autoRotate = autoRotate;
        CRasterImage left;
        PageCollector sink;
        const BatchResult result =
            BatchPrint(job, formats, left, BatchRecognitionFor(formats, autoRotate, nullptr), sink, nullptr);
        EXPECT_EQ(result.pages, 1);
        EXPECT_EQ(result.lastFormat, 1);
        EXPECT_EQ(left.GetWidth(), autoRotate ? 30 : 60) << "AutoRotate " << autoRotate;
    }
}

TEST(BatchPrint, RecognitionWithoutAutoRotateAsksTheDvdQuestionPerFile) {
    TempFolder dir;
    WriteBmp(dir.file("dvd1.jpg.bmp"), 100, 72, kBlue);
    WriteBmp(dir.file("dvd2.bmp"), 100, 72, kBlue);
    const CoverFormatList formats = List({Candidate("DVD", "DVD", 100.0, 140.0)});
    BatchJob job;
    job.files = {dir.file("dvd1.jpg.bmp"), dir.file("dvd2.bmp")};
    RecordingPrompter prompter;
    prompter.answer = true;
    CRasterImage left;
    PageCollector sink;
    const BatchResult result =
        BatchPrint(job, formats, left, BatchRecognitionFor(formats, 0, &prompter), sink, &prompter);
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(prompter.questions, (std::vector<int>{kTextRotateDvdQuestion, kTextRotateDvdQuestion}));
    EXPECT_EQ(left.GetWidth(), 72);  // turned, as answered
}

TEST(BatchPrint, FilesOfNoSupportedTypeMakeAJobWithoutPages) {
    TempFolder dir;
    WriteBmp(dir.file("a.psd"), 10, 10, kRed);
    const CoverFormatList formats = List({Candidate("Square", "CUSTOM", 50.0, 50.0)});
    BatchJob job;
    job.files = {dir.file("a.psd"), dir.file("b.psd")};
    CRasterImage left;
    PageCollector sink;
    const BatchResult result = BatchPrint(job, formats, left, BatchRecognitionFor(formats, 1, nullptr), sink, nullptr);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.pages, 0);
    EXPECT_TRUE(sink.numbers.empty());
    EXPECT_EQ(sink.ended, 1);
    EXPECT_FALSE(left.IsValid());
}

TEST(BatchPrint, NoFormatToPrintWithOrARefusedStartPrintsNothing) {
    TempFolder dir;
    WriteBmp(dir.file("a.bmp"), 10, 10, kRed);
    BatchJob job;
    job.files = {dir.file("a.bmp")};
    {
        const CoverFormatList none;
        CRasterImage left;
        PageCollector sink;
        RecordingPrompter prompter;
        const BatchResult result = BatchPrint(job, none, left, BatchRecognitionFor(none, 1, nullptr), sink, &prompter);
        EXPECT_FALSE(result.started);
        EXPECT_TRUE(sink.jobName.empty());
        EXPECT_EQ(prompter.errors, std::vector<std::string>{kChooseLeftFormatText});
    }
    {
        const CoverFormatList formats = List({Candidate("Square", "CUSTOM", 50.0, 50.0)});
        job.format = 3;  // forced, but not in the list
        CRasterImage left;
        PageCollector sink;
        const BatchResult result =
            BatchPrint(job, formats, left, BatchRecognitionFor(formats, 1, nullptr), sink, nullptr);
        EXPECT_FALSE(result.started);
        job.format = 0;
        sink.refuseStart = true;
        const BatchResult refused =
            BatchPrint(job, formats, left, BatchRecognitionFor(formats, 1, nullptr), sink, nullptr);
        EXPECT_FALSE(refused.started);
        EXPECT_EQ(sink.aborted, 1);
        EXPECT_FALSE(left.IsValid());  // nothing was loaded for a job that never started
    }
}

TEST(BatchPrint, TheSlotTakesTheLastPictureLoadedAndKeepsItsOwnWhenNoneLoads) {
    TempFolder dir;
    WriteBmp(dir.file("wide.bmp"), 40, 20, kRed);
    WriteFile(dir.file("last.png"), {'n', 'o', 't'});  // the last file fails: the one before stays
    const CoverFormatList formats =
        List({Candidate("Square", "CUSTOM", 50.0, 50.0), Candidate("Wide", "CUSTOM", 60.0, 30.0)});
    BatchJob job;
    job.files = {dir.file("wide.bmp"), dir.file("last.png")};
    CRasterImage left = Solid(7, 7, kBlue);
    PageCollector sink;
    BatchResult result = BatchPrint(job, formats, left, BatchRecognitionFor(formats, 1, nullptr), sink, nullptr);
    EXPECT_EQ(result.pages, 1);
    EXPECT_EQ(result.lastFile, dir.file("wide.bmp"));
    EXPECT_EQ(result.lastFormat, 1);
    EXPECT_EQ(left.GetWidth(), 40);
    EXPECT_EQ(left.GetPixelColor(0, 0), kRed);

    // Nothing loads: the slot's own picture is untouched and no file is named.
    job.files = {dir.file("last.png"), dir.file("missing.jpg"), dir.file("scan.tif")};
    CRasterImage own = Solid(7, 7, kBlue);
    PageCollector none;
    result = BatchPrint(job, formats, own, BatchRecognitionFor(formats, 1, nullptr), none, nullptr);
    EXPECT_EQ(result.pages, 0);
    EXPECT_TRUE(result.lastFile.empty());
    ASSERT_TRUE(own.IsValid());
    EXPECT_EQ(own.GetWidth(), 7);
    EXPECT_EQ(own.GetPixelColor(3, 3), kBlue);
}

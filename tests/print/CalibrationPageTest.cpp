// The calibration page drawn on a raster surface (crosshairs and rulers at
// their pixels, moved by the calibration), printed through a page sink as
// covers are, and the offsets taken from a measurement.
#include "formats/FormatsReporter.h"
#include "print/CalibrationPage.h"
#include "print/CoverLayout.h"
#include "print/PageSink.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <optional>

#include <memory>

using namespace testutil;

namespace {

// A4 at 600 dpi with 3 mm (71 pixels) the printer cannot reach on each side.
PageMetrics A4WithMargins() { return PageMetrics::Make(4960, 7016, 71, 71, 4818, 6874, 600, 600); }

CRasterSurface DrawPage(const PageMetrics& page, Calibration calibration) {
    CRasterSurface surface(page.printableWidth, page.printableHeight);
    CDrawContext context(surface);
    DrawCalibrationPage(context, page, calibration);
    return surface;
}

bool Ink(const CRasterSurface& s, int x, int y) {
    return x >= 0 && y >= 0 && x < s.Width() && y < s.Height() && s.GetPixel(x, y) == kBlack;
}

// The run of ink through (x, y) along a row or a column: its first and last pixel.
std::pair<int, int> InkRun(const CRasterSurface& s, int x, int y, bool alongRow) {
    int a = alongRow ? x : y, b = a;
    auto at = [&](int v) { return alongRow ? Ink(s, v, y) : Ink(s, x, v); };
    while (at(a - 1)) --a;
    while (at(b + 1)) ++b;
    return {a, b};
}

// Each crosshair's lines cross at the mark's pixel, three pixels wide and
// centred on it, 16 mm long.
void ExpectCrosshairsAt(const CRasterSurface& s, const PageMetrics& page, Calibration calibration) {
    for (const CalibrationMark& mark : CalibrationMarks(page)) {
        const SurfacePoint p = CalibrationMarkPixel(page, mark, calibration);
        const int x = p.x - page.offsetX, y = p.y - page.offsetY;
        SCOPED_TRACE("crosshair " + std::to_string(mark.number));
        const int arm = MarkMmToPixels(8, 600);
        const auto across = InkRun(s, x + arm / 2, y, false);  // the horizontal line's thickness
        EXPECT_EQ(across.first, y - 1);
        EXPECT_EQ(across.second, y + 1);
        const auto down = InkRun(s, x, y - arm / 2, true);  // the vertical line's thickness
        EXPECT_EQ(down.first, x - 1);
        EXPECT_EQ(down.second, x + 1);
        const auto row = InkRun(s, x, y + 1, true);  // below the middle row, so the vertical line counts too
        EXPECT_EQ(row.first, x - arm - 1);
        EXPECT_EQ(row.second, x + arm + 1);
    }
}

class RecordingSink : public IPageSink {
public:
    explicit RecordingSink(PageMetrics page) : page_(page) {}
    PageMetrics Metrics() const override { return page_; }
    bool StartJob(const std::string& name) override {
        name_ = name;
        return acceptJob;
    }
    CDrawContext* StartPage(int) override {
        ++pages_;
        surface_ = std::make_unique<CRasterSurface>(page_.printableWidth, page_.printableHeight);
        return &context_.emplace(*surface_);
    }
    bool EndPage() override { return true; }
    void EndJob() override { ended_ = true; }
    void AbortJob() override { aborted_ = true; }

    bool acceptJob = true;
    PageMetrics page_;
    std::string name_;
    std::unique_ptr<CRasterSurface> surface_;
    std::optional<CDrawContext> context_;
    int pages_ = 0;
    bool ended_ = false, aborted_ = false;
};

}  // namespace

TEST(CalibrationPage, CrosshairsSitAtTheirPlacesAndMoveWithTheCalibration) {
    const PageMetrics page = A4WithMargins();
    const std::vector<CalibrationMark> marks = CalibrationMarks(page);
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_DOUBLE_EQ(marks[0].xMm, 20.0);
    EXPECT_DOUBLE_EQ(marks[0].yMm, 20.0);
    // The sheet's centre and far corners (4960 pixels are 209.97 mm).
    EXPECT_NEAR(marks[2].xMm, 105.0, 0.02);
    EXPECT_NEAR(marks[2].yMm, 148.5, 0.02);
    EXPECT_NEAR(marks[4].xMm, 190.0, 0.03);
    // 20 mm at 600 dpi is pixel 472 (472.4), from the sheet's corner.
    EXPECT_EQ(CalibrationMarkPixel(page, marks[0], {}), (SurfacePoint{472, 472}));
    ExpectCrosshairsAt(DrawPage(page, {}), page, {});

    // CALIBRATEX 2.0 moves the marks 47 pixels right; CALIBRATEY -1 24 up.
    const Calibration moved{2.0, -1.0};
    EXPECT_EQ(CalibrationMarkPixel(page, marks[0], moved), (SurfacePoint{519, 448}));
    ExpectCrosshairsAt(DrawPage(page, moved), page, moved);
}

TEST(CalibrationPage, RulersTickEveryMillimetreFromTheSheetsEdge) {
    const PageMetrics page = A4WithMargins();
    const CRasterSurface s = DrawPage(page, {});
    // Along the top edge: a tick at 10 mm (sheet pixel 236) 5 mm long, at
    // 15 mm (354) 3 mm, at 11 mm (259) 1.5 mm (the 3-pixel pen adds a row at
    // the end); nothing between ticks.
    auto tickLength = [&](int sheetX) { return InkRun(s, sheetX - page.offsetX, 0, false).second; };
    EXPECT_EQ(tickLength(236), MarkMmToPixels(5, 600));
    EXPECT_EQ(tickLength(354), MarkMmToPixels(3, 600));
    EXPECT_EQ(tickLength(259), MarkMmToPixels(1.5, 600));
    EXPECT_FALSE(Ink(s, 247 - page.offsetX, 2));
    // The left edge's ticks count down the sheet the same way; the bottom and
    // right edges carry rulers too.
    EXPECT_EQ(InkRun(s, 0, 236 - page.offsetY, true).second, MarkMmToPixels(5, 600));
    EXPECT_TRUE(Ink(s, 236 - page.offsetX, page.printableHeight - 2));
    EXPECT_TRUE(Ink(s, page.printableWidth - 2, 236 - page.offsetY));
}

TEST(CalibrationPage, IsPrintedAsAOnePageJobThroughThePageSink) {
    RecordingSink sink(A4WithMargins());
    ASSERT_TRUE(PrintCalibrationPage(sink, {2.0, 0}));
    EXPECT_EQ(sink.name_, kCalibrationJobName);
    EXPECT_EQ(sink.pages_, 1);
    EXPECT_TRUE(sink.ended_);
    ExpectCrosshairsAt(*sink.surface_, sink.page_, {2.0, 0});

    RecordingSink refusing(A4WithMargins());
    refusing.acceptJob = false;
    EXPECT_FALSE(PrintCalibrationPage(refusing, {}));
    EXPECT_TRUE(refusing.aborted_);
    EXPECT_EQ(refusing.pages_, 0);
}

// A crosshair measured 1.5 mm too far right and 0.5 mm too high on a page
// printed with CALIBRATEX 0.5: the new offsets put it back; saved in the
// formats file, they move a CD front with a fixed position as far.
TEST(CalibrationPage, MeasuredOffsetsGoIntoTheFormatsFileAndMoveCovers) {
    EXPECT_DOUBLE_EQ(CalibratedOffset(0.5, 20.0, 21.5), -1.0);
    EXPECT_DOUBLE_EQ(CalibratedOffset(0.0, 20.0, 19.5), 0.5);

    TempFolder dir;
    CoverFormatList list = List({Placed(Format("CD Front", "CD_FRONT", 120, 120), 20, 20)});
    list.filePath = dir.file("Korvane.dat");
    ASSERT_TRUE(list.save());
    const PageMetrics page = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);
    PlacementJob job;
    const CoverPlacement before = ComputePlacement(page, list, LeftFormat(0), job);

    list.calibrateX = CalibratedOffset(0.0, 20.0, 18.0);  // measured 2 mm short: CALIBRATEX 2.0
    ASSERT_TRUE(list.save());
    CoverFormatList reread;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(reread.load(list.filePath, reporter));
    EXPECT_DOUBLE_EQ(reread.calibrateX, 2.0);
    const CoverPlacement after = ComputePlacement(page, reread, LeftFormat(0), job);
    EXPECT_EQ(after.x - before.x, 47);  // 2 mm at 600 dpi
    EXPECT_EQ(after.y, before.y);
}

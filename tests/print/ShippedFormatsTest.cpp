// Every format of the shipped formats file prints: both slots, as a job and
// as a preview, on a sheet with unprintable margins, and shows on the paper.
#include "formats/FormatsReporter.h"
#include "print/PageSink.h"
#include "print/PaperDrawing.h"
#include "print/PrintPlan.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <optional>

#include <filesystem>
#include <memory>

using namespace testutil;

namespace {
// A4 at 100 dpi with 5 mm margins.
const PageMetrics kPage = PageMetrics::Make(827, 1169, 20, 20, 787, 1129, 100, 100);

std::string ShippedFormatsFile() {
    const std::string built = std::string(KORVANE_BIN_DIR) + "/Korvane.dat";
    if (std::filesystem::exists(built))
        return built;
    return std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat";
}

// The test picture: no pixel of it is white, black or red.
Rgb PictureColor(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(40 + x), static_cast<std::uint8_t>(60 + y), 150};
}
bool IsPicture(Rgb c) { return c.b == 150 && c.r >= 40 && c.r < 104 && c.g >= 60 && c.g < 124; }

int PicturePixels(const CRasterSurface& s, const SurfaceRect& r) {
    const SurfaceRect box = r.intersected({0, 0, s.Width(), s.Height()});
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            n += IsPicture(s.GetPixel(x, y));
    return n;
}

class SheetSink : public IPageSink {
public:
    std::vector<std::unique_ptr<CRasterSurface>> sheets;
    PageMetrics Metrics() const override { return kPage; }
    bool StartJob(const std::string&) override { return true; }
    CDrawContext* StartPage(int) override {
        sheets.push_back(std::make_unique<CRasterSurface>(kPage.physicalWidth, kPage.physicalHeight));
        return &area_.emplace(*sheets.back(), SurfaceRect{kPage.offsetX, kPage.offsetY,
                                                          kPage.offsetX + kPage.printableWidth,
                                                          kPage.offsetY + kPage.printableHeight});
    }
    bool EndPage() override {
        area_.reset();
        return true;
    }
    void EndJob() override {}
    void AbortJob() override {}

private:
    std::optional<CDrawContext> area_;
};

bool MarginsWhite(const CRasterSurface& s) {
    const int w = s.Width(), h = s.Height();
    return AllColor(s, {0, 0, w, kPage.offsetY}, kWhite) && AllColor(s, {0, 0, kPage.offsetX, h}, kWhite) &&
           AllColor(s, {kPage.offsetX + kPage.printableWidth, 0, w, h}, kWhite) &&
           AllColor(s, {0, kPage.offsetY + kPage.printableHeight, w, h}, kWhite);
}
}  // namespace

TEST(ShippedFormats, EveryPageOfEveryFormatPrintsInsideThePrintableArea) {
    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(formats.load(ShippedFormatsFile(), reporter)) << ShippedFormatsFile();
    EXPECT_TRUE(reporter.messages.empty());
    ASSERT_GT(formats.count(), 10);
    const CRasterImage left = Picture(64, 48, PictureColor);
    const CRasterImage right = Picture(48, 64, PictureColor);

    for (int f = 0; f < formats.count(); ++f) {
        for (bool preview : {false, true}) {
            SCOPED_TRACE(formats.name(f) + (preview ? " (preview)" : ""));
            RecordingPrompter prompter;
            CPrintPlan plan(formats, left, right, &prompter);
            PrintJobRequest request;
            request.printMode = PrintMode::Both;
            request.leftFormat = f;
            request.rightFormat = f;
            ASSERT_TRUE(plan.Prepare(request, preview));
            SheetSink sink;
            ASSERT_EQ(RunPrintJob(plan, sink, preview), 2);
            const CoverPlacement* placements[2] = {&plan.LeftPlacement(), &plan.RightPlacement()};
            for (int page = 0; page < 2; ++page) {
                const CoverPlacement& p = *placements[page];
                ASSERT_GT(p.width, 0);
                ASSERT_GT(p.height, 0);
                // Pulled into the printable area, or centred over it when larger.
                EXPECT_TRUE(p.x >= kPage.offsetX || p.width > kPage.printableWidth);
                EXPECT_TRUE(p.y >= kPage.offsetY || p.height > kPage.printableHeight);
                const int visible = PicturePixels(*sink.sheets[page], {p.x, p.y, p.x + p.width, p.y + p.height});
                const long long area = static_cast<long long>(std::min(p.width, kPage.printableWidth)) *
                                       std::min(p.height, kPage.printableHeight);
                // The picture fills the cover but its edge lines; a label only its
                // disc without the hole (the mini CD's hole is over half its width).
                const double share = formats.label(f) ? 0.35 : 0.9;
                EXPECT_GT(visible, share * static_cast<double>(area)) << "page " << page + 1;
                EXPECT_TRUE(MarginsWhite(*sink.sheets[page])) << "page " << page + 1;
            }
        }
    }
}

TEST(ShippedFormats, EveryFormatShowsOnThePaperPreview) {
    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(formats.load(ShippedFormatsFile(), reporter));
    const CRasterImage picture = Picture(64, 48, PictureColor);
    for (int f = 0; f < formats.count(); ++f) {
        for (Slot slot : {Slot::Left, Slot::Right}) {
            SCOPED_TRACE(formats.name(f) + (slot == Slot::Right ? " (right)" : " (left)"));
            PaperView view;
            view.formats = &formats;
            view.firstImage = &picture;
            view.firstFormat = FormatOf(slot, f);
            view.drawCutLines = true;
            view.paperWidth = formats.paperWidth(f);
            view.paperHeight = formats.paperHeight(f);
            view.trayMode = formats.type(f) == "CD_TRAY";
            const CRasterSurface s = RenderPaper(view, 161, 216);
            EXPECT_GT(PicturePixels(s, {0, 0, 161, 216}), 100);
        }
    }
}

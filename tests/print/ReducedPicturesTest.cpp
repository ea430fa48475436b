// A JPEG kept reduced with its data (as the window keeps a slot's picture)
// is decoded again only where a use needs finer pixels: a view at the
// scale that covers what it shows, a page in strips or a device without
// JPEG data in full, a PDF page never. The decodes are the picture as it
// stands, whatever the turns, mirrors and the file's own orientation.
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverStrips.h"
#include "print/PdfReadBack.h"
#include "print/PrintPlan.h"
#include "print/PrintTestUtil.h"

#include "image/RasterSurface.h"
#include "image/ScaledPicture.h"
#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testutil;
using namespace pdfread;

namespace {
// A smooth picture whose corners differ, so that any wrong turn shows.
std::vector<std::uint8_t> Gradient(int w, int h, std::vector<std::uint8_t> exif = {}, bool corner = true) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    s.exif = std::move(exif);
    s.quality = 92;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.pixels.insert(s.pixels.end(), {static_cast<std::uint8_t>(x * 255 / w), static_cast<std::uint8_t>(y * 255 / h),
                                             static_cast<std::uint8_t>(corner && x < w / 3 && y < h / 4 ? 230 : 40)});
    return EncodeJpeg(s);
}

// An Exif block that holds only the orientation (little-endian TIFF).
std::vector<std::uint8_t> ExifOrientation(int orientation) {
    return {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0,
            static_cast<std::uint8_t>(orientation), 0, 0, 0, 0, 0, 0, 0};
}

CRasterImage Decoded(const std::vector<std::uint8_t>& file, int viewW = 0, int viewH = 0) {
    CRasterImage image;
    if (viewW > 0)
        image.SetDecodeForPrinting(true, viewW, viewH);
    CMemorySource source(file.data(), file.size());
    EXPECT_TRUE(image.Decode(source, IMAGE_JPG)) << image.GetLastError();
    return image;
}

}  // namespace

TEST(ReducedPictures, TheWindowsDecodeCoversItsViewKeepsTheDataAndDecodesAgainAsThePictureStands) {
    const std::vector<std::uint8_t> file = Gradient(1600, 1200);
    // Fitted into 500 x 500 the picture is 500 x 375: 1/2 is the coarsest
    // scale that covers that.
    const CRasterImage reduced = Decoded(file, 500, 500);
    EXPECT_EQ(reduced.GetWidth(), 800);
    EXPECT_EQ(reduced.GetHeight(), 600);
    EXPECT_EQ(reduced.GetFileWidth(), 1600);
    EXPECT_TRUE(reduced.IsReduced());
    ASSERT_TRUE(reduced.GetJpegSource());
    EXPECT_TRUE(*reduced.GetJpegSource() == file);
    // A view no larger than the screen's draws the slot's own pixels.
    CScaledPicture views;
    EXPECT_EQ(&views.For(reduced, 700, 500), &reduced);
    EXPECT_FALSE(views.Decoded());

    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        CRasterImage slot = reduced, full = Decoded(file);
        for (CRasterImage* i : {&slot, &full}) {
            if (n & 1)
                i->Mirror();
            if (n & 2)
                i->Rotate(-90);
        }
        // Larger views: the data decoded at the scale that covers them, or
        // in full, standing as the slot's picture stands.
        const CRasterImage& shown = views.For(slot, full.GetWidth(), full.GetHeight());
        EXPECT_TRUE(views.Decoded());
        EXPECT_TRUE(SamePixels(shown, full));
        EXPECT_EQ(shown.GetJpegTurn(), full.GetJpegTurn());
        const CRasterImage& half = views.For(slot, full.GetWidth() / 2 + 1, full.GetHeight() / 2 + 1);
        EXPECT_EQ(half.GetWidth(), full.GetWidth());  // 1/2 would not cover one more pixel
        const CRasterImage& quarter = views.For(slot, full.GetWidth() / 4, full.GetHeight() / 4);
        EXPECT_EQ(&quarter, &slot);
        // The slot's picture stays as it was.
        EXPECT_TRUE(slot.IsReduced());
        EXPECT_EQ(slot.GetWidth(), n & 2 ? 600 : 800);
    }
}

TEST(ReducedPictures, AFilesOwnOrientationIsNotAppliedTwiceWhenTheDataIsDecodedAgain) {
    // Stored on its side with orientation 6 (turn clockwise to view), or
    // mirrored and turned with 7.
    for (int orientation : {6, 7}) {
        SCOPED_TRACE(orientation);
        const std::vector<std::uint8_t> file = Gradient(320, 240, ExifOrientation(orientation));
        const CRasterImage full = Decoded(file);
        ASSERT_EQ(full.GetWidth(), 240);
        CRasterImage printing;
        printing.SetDecodeForPrinting(true);
        CMemorySource source(file.data(), file.size());
        ASSERT_TRUE(printing.Decode(source, IMAGE_JPG));
        ASSERT_TRUE(printing.IsReduced());
        ASSERT_TRUE(printing.DecodeInFull());
        EXPECT_TRUE(SamePixels(printing, full));
        EXPECT_EQ(printing.GetJpegTurn(), full.GetJpegTurn());
    }
}

TEST(ReducedPictures, APageGetsFinerPixelsOnlyWhereItNeedsThemAndTheSlotKeepsItsOwn) {
    const std::vector<std::uint8_t> file = Gradient(1600, 1200);
    const CRasterImage slot = Decoded(file, 400, 400);
    ASSERT_EQ(slot.GetWidth(), 400);
    CScaledPicture job;
    // A PDF page takes the data: no decode.
    EXPECT_EQ(&PagePicture(job, slot, "CUSTOM", true, false, 2834, 2126), &slot);
    EXPECT_FALSE(job.Decoded());
    // Strips, or a device that draws pixels: full pixels for the printed page.
    EXPECT_EQ(PagePicture(job, slot, "PLAYSTATION", true, false, 2834, 2126).GetWidth(), 1600);
    EXPECT_EQ(PagePicture(job, slot, "CUSTOM", false, false, 2834, 2126).GetWidth(), 1600);
    // The preview, at the scale that covers the picture's box there.
    EXPECT_EQ(PagePicture(job, slot, "CUSTOM", false, true, 780, 585).GetWidth(), 800);
    EXPECT_EQ(PagePicture(job, slot, "CUSTOM", false, true, 380, 285).GetWidth(), 400);
    EXPECT_EQ(slot.GetWidth(), 400);
    EXPECT_TRUE(slot.IsReduced());
}

TEST(ReducedPictures, ThePrintPreviewShowsAReducedSlotAsItShowsTheFullPicture) {
    // 10 pixels per mm: a 40 x 30 mm cover of 400 x 300 device pixels.
    const PageMetrics page = PageMetrics::Make(2100, 2970, 0, 0, 2100, 2970, 254, 254);
    const CoverFormatList formats = List({Placed(Format("Box", "CUSTOM", 40.0, 30.0), 20, 30)});
    const std::vector<std::uint8_t> file = Gradient(1600, 1200, {}, false);
    const CRasterImage full = Decoded(file), reduced = Decoded(file, 100, 100);
    ASSERT_EQ(reduced.GetWidth(), 200);
    auto preview = [&](const CRasterImage& picture) {
        CPrintPlan plan(formats, picture, picture, nullptr);
        PrintJobRequest request;
        request.printMode = PrintMode::Left;
        request.leftFormat = 0;
        request.printBorder = 0;
        request.drawCutLines = 0;
        request.checkForPrintableArea = 0;
        EXPECT_TRUE(plan.Prepare(request, true));
        plan.Begin(page);
        CRasterSurface surface(page.printableWidth, page.printableHeight);
        CDrawContext context(surface);
        plan.RenderPage(context, 1, true);
        plan.End();
        return surface;
    };
    const CRasterSurface shown = preview(reduced), before = preview(full);
    // Inside the cover the two differ by no more than the decoders' rounding
    // (a 1/4 decode averages what the full one samples).
    int most = 0;
    for (int y = 305; y < 695; y += 3)
        for (int x = 205; x < 595; x += 3) {
            const Rgb a = shown.GetPixel(x, y), b = before.GetPixel(x, y);
            most = std::max({most, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
    EXPECT_LE(most, 12);
    EXPECT_EQ(reduced.GetWidth(), 200);
}

TEST(ReducedPictures, AJpegAboveThePictureLimitIsKeptReducedWithItsDataAndPrintsFromIt) {
    TempFolder dir;
    const std::vector<std::uint8_t> file = TwoToneGreyJpeg(20000, 10001);
    // The window's decode for a 1920 x 1080 screen.
    const CRasterImage slot = Decoded(file, 1920, 1080);
    EXPECT_EQ(slot.GetWidth(), 2500);
    ASSERT_TRUE(slot.HasJpegData());
    // A zoomed view gets what the picture limit allows, not a failure.
    CScaledPicture view;
    const CRasterImage& finest = view.For(slot, 20000, 10001);
    EXPECT_EQ(finest.GetWidth(), 10000);
    // Printed through a plan onto a PDF page: the file's bytes.
    const PageMetrics page = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);
    const CoverFormatList formats = List({Format("DVD", "CUSTOM", 183.0, 91.5)});
    CPrintPlan plan(formats, slot, slot, nullptr);
    PrintJobRequest request;
    request.printMode = PrintMode::Left;
    request.leftFormat = 0;
    request.checkForPrintableArea = 0;
    ASSERT_TRUE(plan.Prepare(request, false));
    CCairoPdfSink sink(dir.file("big.pdf"), page);
    EXPECT_EQ(RunPrintJob(plan, sink, false), 1);
    std::filesystem::create_directory(dir.file("x"));
    const std::vector<std::string> images = Images(dir.file("big.pdf"), "-j", dir.file("x"));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_TRUE(Bytes(images[0]) == file);
}

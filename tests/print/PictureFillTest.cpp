// A slot's picture stretched (as always), fitted or filling its cover, with
// a bleed beyond the cut lines: the same placement on the raster page, the
// paper and the PDF, where a JPEG keeps its bytes and a fill is a clip.
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/PaperDrawing.h"
#include "print/PdfReadBack.h"
#include "print/PictureBox.h"
#include "print/PrintTestUtil.h"

#include "image/TestEncoders.h"

#include <gtest/gtest.h>

using namespace testutil;
using namespace pdfread;

namespace {
// A4 at 254 dpi without margins: ten pixels per millimetre.
const PageMetrics kPage = PageMetrics::Make(2100, 2970, 0, 0, 2100, 2970, 254, 254);
// A 40 x 40 mm cover at (20, 30) mm: pixels 200..600 across, 300..700 down.
const SurfaceRect kCover{200, 300, 600, 700};

CoverFormat Square(bool label = false) {
    CoverFormat f = Placed(Format("Square", "CUSTOM", 40.0, 40.0), 20.0, 30.0);
    f.label = label ? 1 : 0;
    f.holeSize = label ? 10.0 : 0.0;
    f.lines.push_back(CutLine{EDGE_LEFT, 0, 0, 0, 1});
    return f;
}

// Twice as wide as high: red on the left half, blue on the right.
Rgb Halves(int x, int w) { return x < w / 2 ? kRed : kBlue; }

RenderOptions Options(CoverFit fit, double cropX, double bleedMm) {
    RenderOptions o(1, 0, 0);
    o.fill = PictureFill{fit, cropX, 0.5};
    o.bleedMm = bleedMm;
    return o;
}

CRasterSurface RenderRaster(const CRasterImage& picture, const CoverFormat& format, const RenderOptions& options) {
    const CoverFormatList formats = List({format});
    PlacementJob job{0, 0, 0, nullptr};
    const CoverPlacement p = ComputePlacement(kPage, formats, LeftFormat(0), job);
    EXPECT_EQ(p.x, kCover.left);
    EXPECT_EQ(p.y, kCover.top);
    CRasterSurface page(kPage.printableWidth, kPage.printableHeight);
    CDrawContext context(page);
    RenderCover(context, kPage, p, picture, formats, LeftFormat(0), options);
    return page;
}
}  // namespace

TEST(PictureFill, PlacementOfStretchFitFillAndBleed) {
    const SurfaceRect cover{0, 0, 100, 100};
    PictureBox b = PlacePicture(cover, 0, 0, 200, 100, PictureFill{});
    EXPECT_EQ(b.picture, cover);
    EXPECT_FALSE(b.clipped);  // the cover exactly as it always was

    b = PlacePicture(cover, 0, 0, 200, 100, PictureFill{CoverFit::Fit});
    EXPECT_EQ(b.picture, (SurfaceRect{0, 25, 100, 75}));
    EXPECT_FALSE(b.clipped);

    b = PlacePicture(cover, 0, 0, 200, 100, PictureFill{CoverFit::Fill});
    EXPECT_EQ(b.picture, (SurfaceRect{-50, 0, 150, 100}));
    EXPECT_TRUE(b.clipped);
    EXPECT_EQ(b.clip, cover);
    EXPECT_EQ(PlacePicture(cover, 0, 0, 200, 100, PictureFill{CoverFit::Fill, 0.0, 0.5}).picture.left, 0);
    EXPECT_EQ(PlacePicture(cover, 0, 0, 200, 100, PictureFill{CoverFit::Fill, 1.0, 0.5}).picture.left, -100);

    // A bleed grows what the picture covers; a stretch still needs no clip.
    b = PlacePicture(cover, 10, 5, 200, 100, PictureFill{});
    EXPECT_EQ(b.clip, (SurfaceRect{-10, -5, 110, 105}));
    EXPECT_EQ(b.picture, b.clip);
    EXPECT_FALSE(b.clipped);
    EXPECT_EQ(BleedPixels(2.0, 600 / 25.4), 47);
    EXPECT_EQ(BleedPixels(9.0, 10.0), 30);  // at most 3 mm

    // Dragging the picture right by the whole hidden width shows its left edge.
    const PictureFill moved = DragCrop(PictureFill{CoverFit::Fill}, 50, 0, 200, 100, 100, 100);
    EXPECT_DOUBLE_EQ(moved.cropX, 0.0);
    EXPECT_DOUBLE_EQ(moved.cropY, 0.5);
    EXPECT_DOUBLE_EQ(DragCrop(moved, -500, 0, 200, 100, 100, 100).cropX, 1.0);
}

TEST(PictureFill, RasterPageFitsFillsWithAMovedCropAndBleeds) {
    const CRasterImage picture = Picture(200, 100, [](int x, int) { return Halves(x, 200); });
    const int midY = (kCover.top + kCover.bottom) / 2;

    // Stretch, the default: the picture on the whole cover, as before.
    CRasterSurface page = RenderRaster(picture, Square(), RenderOptions(1, 0, 0));
    EXPECT_EQ(page.GetPixel(kCover.left + 5, kCover.top + 5), kRed);
    EXPECT_EQ(page.GetPixel(kCover.right - 5, kCover.bottom - 5), kBlue);

    // Fit: 400 x 200 pixels, centred; white above and below.
    page = RenderRaster(picture, Square(), Options(CoverFit::Fit, 0.5, 0));
    EXPECT_EQ(page.GetPixel(kCover.left + 5, kCover.top + 95), kWhite);
    EXPECT_EQ(page.GetPixel(kCover.left + 5, kCover.top + 105), kRed);
    EXPECT_EQ(page.GetPixel(kCover.right - 5, kCover.bottom - 105), kBlue);
    EXPECT_EQ(page.GetPixel(kCover.right - 5, kCover.bottom - 95), kWhite);

    // Fill centred: the middle half of the picture, red then blue.
    page = RenderRaster(picture, Square(), Options(CoverFit::Fill, 0.5, 0));
    EXPECT_EQ(page.GetPixel(kCover.left + 5, kCover.top + 2), kRed);
    EXPECT_EQ(page.GetPixel(kCover.left + 195, midY), kRed);
    EXPECT_EQ(page.GetPixel(kCover.left + 205, midY), kBlue);
    EXPECT_EQ(page.GetPixel(kCover.left - 5, midY), kWhite);  // cropped, not spilled
    EXPECT_EQ(page.GetPixel(kCover.right + 5, midY), kWhite);

    // The crop moved to the picture's right edge: all blue.
    page = RenderRaster(picture, Square(), Options(CoverFit::Fill, 1.0, 0));
    EXPECT_EQ(page.GetPixel(kCover.left + 2, midY), kBlue);
    EXPECT_EQ(page.GetPixel(kCover.right - 2, midY), kBlue);

    // A 2 mm bleed: the picture runs 20 pixels past the cover; the left cut
    // line still runs along the cover's edge.
    page = RenderRaster(picture, Square(), Options(CoverFit::Stretch, 0.5, 2.0));
    EXPECT_EQ(page.GetPixel(kCover.left - 15, midY), kRed);
    EXPECT_EQ(page.GetPixel(kCover.left - 25, midY), kWhite);
    EXPECT_EQ(page.GetPixel(kCover.right + 15, kCover.bottom + 15), kBlue);
    EXPECT_EQ(page.GetPixel(kCover.left, kCover.top - 100), kBlack);
    EXPECT_EQ(page.GetPixel(kCover.left, midY), kBlack);
}

TEST(PictureFill, DiscLabelsAndTheShapedCoversTakeWhatSuitsThem) {
    const CRasterImage picture = Picture(200, 100, [](int x, int) { return Halves(x, 200); });
    const int midX = (kCover.left + kCover.right) / 2, midY = (kCover.top + kCover.bottom) / 2;
    // A label filled with the crop on the right: blue on the disc, white in
    // the hole and outside; the bleed grows the disc.
    CRasterSurface page = RenderRaster(picture, Square(true), Options(CoverFit::Fill, 1.0, 2.0));
    EXPECT_EQ(page.GetPixel(kCover.left + 30, midY), kBlue);
    EXPECT_EQ(page.GetPixel(kCover.left - 15, midY), kBlue);
    EXPECT_EQ(page.GetPixel(kCover.left - 25, midY), kWhite);
    EXPECT_EQ(page.GetPixel(midX, midY), kWhite);
    EXPECT_EQ(page.GetPixel(kCover.left + 5, kCover.top + 5), kWhite);

    // A zoomed photo keeps its own crop: no fill, no bleed.
    CoverFormat photo = Square();
    photo.type = "PHOTO_ZOOMED";
    const CRasterSurface stretched = RenderRaster(picture, photo, RenderOptions(1, 0, 0));
    const CRasterSurface filled = RenderRaster(picture, photo, Options(CoverFit::Fill, 1.0, 2.0));
    EXPECT_EQ(filled.GetPixel(kCover.left + 5, midY), stretched.GetPixel(kCover.left + 5, midY));
    EXPECT_EQ(filled.GetPixel(kCover.left + 5, midY), kRed);
}

TEST(PictureFill, ThePaperPlacesThePictureAsThePageDoes) {
    const CRasterImage picture = Picture(200, 100, [](int x, int) { return Halves(x, 200); });
    const CoverFormatList formats = List({Square()});
    PaperView view;
    view.formats = &formats;
    view.firstImage = &picture;
    view.firstFormat = LeftFormat(0);
    view.firstFill = PictureFill{CoverFit::Fill, 0.0, 0.5};
    view.bleedMm = 2.0;
    // A 2100 x 2970 paper is the page at the same scale.
    const CRasterSurface paper = RenderPaper(view, 2100, 2970);
    const CRasterSurface page = RenderRaster(picture, Square(), Options(CoverFit::Fill, 0.0, 2.0));
    const PaperCoverBoxes boxes = FirstCoverBoxes(view, 2100, 2970);
    EXPECT_EQ(boxes.cover, kCover);
    EXPECT_EQ(boxes.picture.clip, (SurfaceRect{180, 280, 620, 720}));
    EXPECT_EQ(boxes.picture.picture, (SurfaceRect{180, 280, 1060, 720}));
    int differences = 0;
    for (int y = kCover.top - 15; y < kCover.bottom + 15; y += 7)
        for (int x = kCover.left - 15; x < kCover.right + 15; x += 7)
            if (x != kCover.left && y != kCover.top && x != kCover.right && y != kCover.bottom)
                differences += paper.GetPixel(x, y) != page.GetPixel(x, y);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(paper.GetPixel(kCover.right - 5, kCover.top + 50), kRed);
}

TEST(PictureFill, PdfKeepsTheJpegsBytesAndCropsAFillByAClip) {
    TempFolder dir;
    JpegRecipe recipe;
    recipe.width = 320;
    recipe.height = 160;
    for (int y = 0; y < recipe.height; ++y)
        for (int x = 0; x < recipe.width; ++x) {
            const Rgb c = Halves(x, recipe.width);
            recipe.pixels.insert(recipe.pixels.end(), {c.r, c.g, c.b});
        }
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(recipe);
    const std::string jpegPath = dir.path() + "/halves.jpg";
    WriteFile(jpegPath, jpeg);
    CRasterImage picture;
    ASSERT_TRUE(picture.Load(jpegPath, IMAGE_JPG));

    const auto print = [&](const std::string& pdf, const RenderOptions& options) {
        const CoverFormatList formats = List({Square()});
        PlacementJob job{0, 0, 0, nullptr};
        const CoverPlacement p = ComputePlacement(kPage, formats, LeftFormat(0), job);
        CCairoPdfSink sink(pdf, kPage);
        ASSERT_TRUE(sink.StartJob("Korvane - fill"));
        CDrawContext* surface = sink.StartPage(1);
        ASSERT_NE(surface, nullptr);
        RenderCover(*surface, kPage, p, picture, formats, LeftFormat(0), options);
        ASSERT_TRUE(sink.EndPage());
        sink.EndJob();
        ASSERT_FALSE(sink.Failed()) << sink.Error();
    };
    const auto near = [](Rgb a, Rgb b) { return std::abs(a.r - b.r) < 40 && std::abs(a.g - b.g) < 40 && std::abs(a.b - b.b) < 40; };
    const int midY = (kCover.top + kCover.bottom) / 2;

    // Filled with the crop on the left edge, 2 mm of bleed.
    const std::string pdf = dir.path() + "/fill.pdf";
    print(pdf, Options(CoverFit::Fill, 0.0, 2.0));
    const std::string images = dir.path() + "/images";
    std::filesystem::create_directory(images);
    const std::vector<std::string> stored = Images(pdf, "-j", images);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].substr(stored[0].size() - 4), ".jpg");
    EXPECT_EQ(Bytes(stored[0]), jpeg);  // the whole file's bytes: the crop is a clip

    const Page page = Rasterise(pdf, 254, 0, 0, 800, 900, dir.path());
    ASSERT_EQ(page.width, 800);
    EXPECT_TRUE(near(page.at(kCover.left + 5, midY), kRed));
    EXPECT_TRUE(near(page.at(kCover.right - 5, midY), kRed));  // the left half fills the cover
    EXPECT_TRUE(near(page.at(kCover.left - 15, midY), kRed));  // bleed
    EXPECT_TRUE(near(page.at(kCover.right + 15, midY), kRed));
    EXPECT_EQ(page.at(kCover.right + 25, midY), kWhite);      // the rest of the picture is clipped
    EXPECT_EQ(page.at(kCover.left - 25, midY), kWhite);
    EXPECT_EQ(page.at(kCover.left, kCover.top - 100), kBlack);  // the cut line stays

    // Fitted: the bytes again, white above and below the picture.
    const std::string fitPdf = dir.path() + "/fit.pdf";
    print(fitPdf, Options(CoverFit::Fit, 0.5, 0));
    std::filesystem::remove_all(images);
    std::filesystem::create_directory(images);
    const std::vector<std::string> fitImages = Images(fitPdf, "-j", images);
    ASSERT_EQ(fitImages.size(), 1u);
    EXPECT_EQ(Bytes(fitImages[0]), jpeg);
    const Page fit = Rasterise(fitPdf, 254, 0, 0, 800, 900, dir.path());
    EXPECT_EQ(fit.at(kCover.left + 50, kCover.top + 90), kWhite);
    EXPECT_TRUE(near(fit.at(kCover.left + 50, kCover.top + 110), kRed));
    EXPECT_TRUE(near(fit.at(kCover.right - 50, kCover.bottom - 110), kBlue));
    EXPECT_EQ(fit.at(kCover.right - 50, kCover.bottom - 90), kWhite);
}

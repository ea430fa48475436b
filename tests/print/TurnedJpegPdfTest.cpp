// A turned or mirrored JPEG cover goes into the PDF as its file's own bytes,
// turned by the page's transform: the page shows what the raster surface
// shows for the turned picture, where the placement puts it, whether or not
// the picture's sizes are whole JPEG blocks. A JPEG decoded for printing
// holds only reduced pixels, however large it is.
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/CoverStrips.h"
#include "print/PdfReadBack.h"
#include "print/PrintTestUtil.h"

#include "image/RasterSurface.h"
#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

using namespace testutil;
using namespace pdfread;

namespace {
const PageMetrics kA4At600 = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);

CoverPlacement PrintCover(const std::string& pdf, const CRasterImage& image, const CoverFormat& format) {
    const CoverFormatList formats = List({format});
    PlacementJob job;
    const CoverPlacement p = ComputePlacement(kA4At600, formats, LeftFormat(0), job);
    CCairoPdfSink sink(pdf, kA4At600);
    EXPECT_TRUE(sink.StartJob("Korvane - cover"));
    CDrawContext* surface = sink.StartPage(1);
    EXPECT_NE(surface, nullptr);
    if (surface)
        RenderCover(*surface, kA4At600, p, image, formats, LeftFormat(0), RenderOptions{0, 0, 0});
    EXPECT_TRUE(sink.EndPage());
    sink.EndJob();
    EXPECT_FALSE(sink.Failed()) << sink.Error();
    return p;
}

// A picture whose every corner and edge differs, so that any wrong turn or
// mirror shows.
std::vector<std::uint8_t> JpegFile(int w, int h) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.pixels.insert(s.pixels.end(), {static_cast<std::uint8_t>(x * 255 / w), static_cast<std::uint8_t>(y * 255 / h),
                                             static_cast<std::uint8_t>(x < w / 3 && y < h / 4 ? 255 : 40)});
    s.quality = 92;
    return EncodeJpeg(s);
}

struct Turning {
    const char* name;
    std::function<void(CRasterImage&)> apply;
};

const std::vector<Turning> kTurnings = {
    {"upright", [](CRasterImage&) {}},
    {"+90", [](CRasterImage& i) { i.Rotate(90); }},
    {"180", [](CRasterImage& i) { i.Rotate(180); }},
    {"-90", [](CRasterImage& i) { i.Rotate(-90); }},
    {"mirror", [](CRasterImage& i) { i.Mirror(); }},
    {"mirror +90", [](CRasterImage& i) { i.Mirror(), i.Rotate(90); }},
    {"mirror 180", [](CRasterImage& i) { i.Mirror(), i.Rotate(180); }},
    {"+90 mirror", [](CRasterImage& i) { i.Rotate(90), i.Mirror(); }},
};

int MaxDifference(Rgb a, Rgb b) { return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}); }
}  // namespace

TEST(TurnedJpegPdf, EveryTurnAndMirrorKeepsTheFilesBytesAndPrintsTheTurnedPicture) {
    TempFolder dir;
    const CoverFormat format = Format("Box", "CUSTOM", 40.0, 30.0);
    // 64 x 48 are whole blocks of this 4:2:0 file; 61 x 45 are not, so a
    // coefficient turn could not be exact.
    for (const auto& [w, h] : {std::pair{64, 48}, std::pair{61, 45}}) {
        const std::vector<std::uint8_t> file = JpegFile(w, h);
        const std::string source = dir.file("cover" + std::to_string(w) + ".jpg");
        WriteFile(source, file);
        for (std::size_t n = 0; n < kTurnings.size(); ++n) {
            const std::string what = std::to_string(w) + "x" + std::to_string(h) + " " + kTurnings[n].name;
            const std::string sub = dir.file("t" + std::to_string(w) + "_" + std::to_string(n));
            std::filesystem::create_directories(sub + "/x");
            CRasterImage image;
            ASSERT_TRUE(image.Load(source, IMAGE_JPG));
            kTurnings[n].apply(image);
            ASSERT_TRUE(image.HasJpegData()) << what;
            const CoverPlacement p = PrintCover(sub + "/out.pdf", image, format);

            // One picture, the file's own bytes.
            const std::vector<std::string> images = Images(sub + "/out.pdf", "-j", sub + "/x");
            ASSERT_EQ(images.size(), 1u) << what;
            EXPECT_TRUE(Bytes(images[0]) == file) << what << ": the PDF's JPEG is not the file's";

            // The raster surface's picture of the turned pixels, cover-sized.
            CRasterSurface raster(p.width, p.height);
            CDrawContext rasterContext(raster);
            image.DrawMasked(&rasterContext, 0, 0, p.width, p.height);

            // The page at 600 dpi, one pixel beyond the cover's frame all
            // round: the frame, then the picture filling the placement.
            const Page page = Rasterise(sub + "/out.pdf", 600, p.x - 2, p.y - 2, p.width + 4, p.height + 4, sub);
            ASSERT_EQ(page.width, p.width + 4) << what;
            ASSERT_EQ(page.height, p.height + 4) << what;
            for (int i = 0; i < p.width + 4; i += 7) {
                EXPECT_EQ(page.at(i, 0), kWhite) << what << " above the frame at " << i;
                EXPECT_EQ(page.at(i, p.height + 3), kWhite) << what << " below the frame at " << i;
            }
            EXPECT_LE(MaxDifference(page.at(1, p.height / 2), kBlack), 40) << what << " frame";
            EXPECT_LE(MaxDifference(page.at(p.width + 2, p.height / 2), kBlack), 40) << what << " frame";

            // Within the cover every page pixel is the raster's, within the
            // two JPEG decoders' rounding; a pixel next to a boundary between
            // two source pixels may take either neighbour.
            const int sw = image.GetWidth(), sh = image.GetHeight();
            int most = 0, compared = 0;
            for (int y = 0; y < p.height; ++y) {
                if (OnSourceBoundary(y, p.height, sh))
                    continue;
                for (int x = 0; x < p.width; ++x) {
                    if (OnSourceBoundary(x, p.width, sw))
                        continue;
                    most = std::max(most, MaxDifference(page.at(x + 2, y + 2), raster.GetPixel(x, y)));
                    ++compared;
                }
            }
            EXPECT_GT(compared, p.width * p.height / 2) << what;
            EXPECT_LE(most, 8) << what << ": the page is not the turned picture";
        }
    }
}

TEST(TurnedJpegPdf, APictureAboveThePixelLimitPrintsWithItsBytesFromReducedPixels) {
    TempFolder dir;
    // 200.02 megapixels: more than the program ever holds as pixels.
    const std::vector<std::uint8_t> file = TwoToneGreyJpeg(20000, 10001);

    CRasterImage image;
    image.SetDecodeForPrinting(true);
    CMemorySource source(file.data(), file.size());
    ASSERT_TRUE(image.Decode(source, IMAGE_JPG)) << image.GetLastError();
    // An eighth of each side: what recognition and a small view need.
    EXPECT_EQ(image.GetWidth(), 2500);
    EXPECT_EQ(image.GetHeight(), 1251);
    EXPECT_EQ(image.GetFileWidth(), 20000);
    ASSERT_TRUE(image.HasJpegData());
    // Turned as a DVD sleeve is: 10001 rows are not whole blocks.
    ASSERT_TRUE(image.Rotate(-90));
    EXPECT_EQ(image.GetWidth(), 1251);
    EXPECT_EQ(image.GetFileWidth(), 10001);

    // Drawn whole, it needs no more pixels.
    EXPECT_TRUE(FullPixelsWhereNeeded(image, "DVD", true));
    EXPECT_TRUE(image.IsReduced());
    // In strips it would, and they cannot be had: the image stays as it was.
    EXPECT_FALSE(FullPixelsWhereNeeded(image, "PLAYSTATION", true));
    EXPECT_TRUE(image.IsReduced());
    EXPECT_TRUE(IsPictureTooLargeText(image.GetLastError())) << image.GetLastError();

    const std::string pdf = dir.file("big.pdf");
    const CoverPlacement p = PrintCover(pdf, image, Format("DVD", "DVD", 183.0, 273.0));
    std::filesystem::create_directory(dir.file("x"));
    const std::vector<std::string> images = Images(pdf, "-j", dir.file("x"));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_TRUE(Bytes(images[0]) == file) << "the PDF's JPEG is not the file's";
    const std::vector<std::string> list = ImageList(pdf);
    ASSERT_EQ(list.size(), 1u);
    std::istringstream fields(list[0]);
    std::string page, num, type, width, height;
    fields >> page >> num >> type >> width >> height;
    EXPECT_EQ(width, "20000");
    EXPECT_EQ(height, "10001");
    EXPECT_GT(p.width, 0);
}

TEST(TurnedJpegPdf, ACoverInStripsGetsTheFullPixelsOfAPictureDecodedForPrinting) {
    TempFolder dir;
    const std::vector<std::uint8_t> file = JpegFile(160, 120);
    WriteFile(dir.file("c.jpg"), file);
    CRasterImage full, reduced;
    ASSERT_TRUE(full.Load(dir.file("c.jpg"), IMAGE_JPG));
    reduced.SetDecodeForPrinting(true);
    ASSERT_TRUE(reduced.Load(dir.file("c.jpg"), IMAGE_JPG));
    EXPECT_EQ(reduced.GetWidth(), 20);
    ASSERT_TRUE(reduced.HasJpegData());
    for (CRasterImage* i : {&full, &reduced})
        i->Mirror(), i->Rotate(90);

    // A whole cover on a PDF page: the reduced pixels do.
    EXPECT_TRUE(FullPixelsWhereNeeded(reduced, "CUSTOM", true));
    EXPECT_TRUE(reduced.IsReduced());
    // Strips, or a device without JPEG data: the full pixels, turned and
    // mirrored as the picture stands, and its data still drawn that way.
    EXPECT_TRUE(FullPixelsWhereNeeded(reduced, "PLAYSTATION", true));
    EXPECT_FALSE(reduced.IsReduced());
    EXPECT_TRUE(SamePixels(reduced, full));
    EXPECT_EQ(reduced.GetJpegTurn(), full.GetJpegTurn());
    ASSERT_TRUE(reduced.GetJpegSource());
    EXPECT_TRUE(*reduced.GetJpegSource() == file);

    CRasterImage again;
    again.SetDecodeForPrinting(true);
    ASSERT_TRUE(again.Load(dir.file("c.jpg"), IMAGE_JPG));
    EXPECT_TRUE(FullPixelsWhereNeeded(again, "CUSTOM", false));
    EXPECT_EQ(again.GetWidth(), 160);
}

TEST(TurnedJpegPdf, DataThatCannotPassThroughIsDecodedInFullForPrinting) {
    // A CMYK file goes to the page as it is (in its own colour space), so
    // printing decodes it reduced, as any clean file.
    JpegRecipe s;
    s.width = 48;
    s.height = 32;
    s.components = 4;
    s.pixels.assign(48 * 32 * 4, 90);
    const std::vector<std::uint8_t> cmyk = EncodeJpeg(s);
    CRasterImage image;
    image.SetDecodeForPrinting(true);
    CMemorySource source(cmyk.data(), cmyk.size());
    ASSERT_TRUE(image.Decode(source, IMAGE_JPG)) << image.GetLastError();
    EXPECT_TRUE(image.IsReduced());
    EXPECT_TRUE(image.HasJpegData());

    // A file cut short is decoded in full too, with its warning.
    std::vector<std::uint8_t> cut = JpegFile(64, 64);
    cut.resize(cut.size() * 2 / 3);
    CRasterImage partly;
    partly.SetDecodeForPrinting(true);
    CMemorySource cutSource(cut.data(), cut.size());
    ASSERT_TRUE(partly.Decode(cutSource, IMAGE_JPG));
    EXPECT_FALSE(partly.IsReduced());
    EXPECT_FALSE(partly.HasJpegData());
    EXPECT_FALSE(partly.GetDecodeWarning().empty());
}

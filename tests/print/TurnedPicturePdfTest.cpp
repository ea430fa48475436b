// A lossless picture turned or mirrored (as recognition turns a PNG) goes
// into the PDF as its stored pixels, turned by the page's transform: the
// page shows exactly what the raster surface shows for the turned picture,
// and no turned copy of the pixels is ever made for it. The raster surface,
// which has no transform, turns the pixels when it draws them.
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/PdfReadBack.h"
#include "print/PrintTestUtil.h"

#include "image/RasterSurface.h"
#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

using namespace testutil;
using namespace pdfread;

namespace {
const PageMetrics kA4At600 = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);

// Every corner and edge differs; `palette` stores it as an 8-bit palette.
std::vector<std::uint8_t> PngFile(int w, int h, bool palette) {
    PngRecipe s;
    s.width = w;
    s.height = h;
    s.colorType = palette ? 3 : 2;
    const auto colour = [w, h](int x, int y) -> Rgb {
        if (x < w / 3 && y < h / 4)
            return Rgb{230, 30, 30};
        if (x >= w - 4)
            return Rgb{20, 20, 200};
        return (x + y) % 2 ? Rgb{250, 250, 250} : Rgb{static_cast<std::uint8_t>(y * 4), 160, 60};
    };
    std::vector<Rgb> entries;
    for (int y = 0; y < h; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            if (!palette) {
                row.insert(row.end(), {c.r, c.g, c.b});
                continue;
            }
            auto at = std::find(entries.begin(), entries.end(), c);
            if (at == entries.end())
                at = entries.insert(entries.end(), c);
            row.push_back(static_cast<std::uint8_t>(at - entries.begin()));
        }
        s.rows.push_back(row);
    }
    for (const Rgb& c : entries)
        s.palette.insert(s.palette.end(), {c.r, c.g, c.b});
    return EncodePng(s);
}

const std::vector<std::pair<const char*, std::function<void(CRasterImage&)>>> kTurnings = {
    {"+90", [](CRasterImage& i) { i.Rotate(90); }},
    {"180", [](CRasterImage& i) { i.Rotate(180); }},
    {"-90", [](CRasterImage& i) { i.Rotate(-90); }},
    {"mirror", [](CRasterImage& i) { i.Mirror(); }},
    {"mirror +90", [](CRasterImage& i) { i.Mirror(), i.Rotate(90); }},
    {"+90 mirror", [](CRasterImage& i) { i.Rotate(90), i.Mirror(); }},
    {"mirror 180", [](CRasterImage& i) { i.Mirror(), i.Rotate(180); }},
};
}  // namespace

TEST(TurnedPicturePdf, EveryTurnAndMirrorOfAPngPrintsTheRasterSurfacesPictureFromTheStoredPixels) {
    TempFolder dir;
    const CoverFormatList formats = List({Format("Box", "CUSTOM", 40.0, 30.0)});
    for (bool palette : {false, true}) {
        const std::string source = dir.file(palette ? "p.png" : "c.png");
        WriteFile(source, PngFile(61, 45, palette));
        for (std::size_t n = 0; n < kTurnings.size(); ++n) {
            const std::string what = std::string(palette ? "palette " : "rgb ") + kTurnings[n].first;
            const std::string sub = dir.file("t" + std::to_string(palette) + "_" + std::to_string(n));
            std::filesystem::create_directories(sub);
            CRasterImage image;
            ASSERT_TRUE(image.Load(source, IMAGE_PNG));
            kTurnings[n].second(image);
            ASSERT_TRUE(image.PixelsTurnPending()) << what;

            PlacementJob job;
            const CoverPlacement p = ComputePlacement(kA4At600, formats, LeftFormat(0), job);
            CCairoPdfSink sink(sub + "/out.pdf", kA4At600);
            ASSERT_TRUE(sink.StartJob("Korvane - cover"));
            CDrawContext* surface = sink.StartPage(1);
            ASSERT_NE(surface, nullptr);
            RenderCover(*surface, kA4At600, p, image, formats, LeftFormat(0), RenderOptions{0, 0, 0});
            ASSERT_TRUE(sink.EndPage());
            sink.EndJob();
            ASSERT_FALSE(sink.Failed()) << sink.Error();
            // The page took the pixels as they are stored: they were never
            // turned, and the PDF's picture has the stored sides.
            EXPECT_TRUE(image.PixelsTurnPending()) << what;
            const std::vector<std::string> list = ImageList(sub + "/out.pdf");
            ASSERT_EQ(list.size(), 1u) << what;
            std::istringstream fields(list[0]);
            std::string page, num, type, width, height;
            fields >> page >> num >> type >> width >> height;
            EXPECT_EQ(width + "x" + height, "61x45") << what;

            // The raster surface turns the pixels and draws them.
            CRasterImage shown;
            ASSERT_TRUE(shown.Load(source, IMAGE_PNG));
            kTurnings[n].second(shown);
            CRasterSurface raster(p.width, p.height);
            CDrawContext rasterContext(raster);
            shown.DrawMasked(&rasterContext, 0, 0, p.width, p.height);
            EXPECT_FALSE(shown.PixelsTurnPending()) << what;

            // At 600 dpi the page is that picture, pixel for pixel, but
            // where two source pixels meet (either may take the pixel).
            const Page rasterised = Rasterise(sub + "/out.pdf", 600, p.x, p.y, p.width, p.height, sub);
            ASSERT_EQ(rasterised.width, p.width) << what;
            const int sw = shown.GetWidth(), sh = shown.GetHeight();
            int differing = 0, compared = 0;
            for (int y = 0; y < p.height; ++y) {
                if (OnSourceBoundary(y, p.height, sh))
                    continue;
                for (int x = 0; x < p.width; ++x) {
                    if (OnSourceBoundary(x, p.width, sw))
                        continue;
                    ++compared;
                    if (!(rasterised.at(x, y) == raster.GetPixel(x, y)))
                        ++differing;
                }
            }
            EXPECT_GT(compared, p.width * p.height / 2) << what;
            EXPECT_EQ(differing, 0) << what << ": the page is not the turned picture";
        }
    }
}

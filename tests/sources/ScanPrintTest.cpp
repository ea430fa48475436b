// A scanned cover printed: recognised by its size, it prints at that size
// (the scan's millimetres), and the PDF holds its pixels without loss.
#include <gtest/gtest.h>

#include "SaneTestConfig.h"
#include "app/FormatRecognition.h"
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/PdfReadBack.h"
#include "sources/ScanSession.h"

#include <filesystem>

TEST(ScanPrint, AScanPrintsAtItsTrueSizeAndLosslessly)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("korvane-scanprint-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "x");
    UseSaneTestBackend(120, 120);
    ScanRequest request;
    request.device = "test:0";
    ScanResult scan = Scan(request);
    ASSERT_EQ(scan.status, ScanStatus::Done) << scan.message;

    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(formats.load(std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat", reporter));
    const int format = DetectScannedFormat(scan.picture, formats, 1, nullptr);
    ASSERT_EQ(format, formats.findByType("CD_FRONT"));

    const PageMetrics a4 = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);
    PlacementJob job;
    const CoverPlacement p = ComputePlacement(a4, formats, LeftFormat(format), job);
    const double scanWidthMm = scan.picture.GetWidth() * 25.4 / scan.picture.GetXDpi();
    EXPECT_NEAR(p.width * 25.4 / 600, scanWidthMm, 0.2);
    EXPECT_NEAR(p.height * 25.4 / 600, scan.picture.GetHeight() * 25.4 / scan.picture.GetYDpi(), 0.2);

    const std::string pdf = (dir / "scan.pdf").string();
    CCairoPdfSink sink(pdf, a4);
    ASSERT_TRUE(sink.StartJob("Korvane - scan"));
    CDrawContext* surface = sink.StartPage(1);
    ASSERT_NE(surface, nullptr);
    RenderCover(*surface, a4, p, scan.picture, formats, LeftFormat(format), RenderOptions{0, 0, 0});
    ASSERT_TRUE(sink.EndPage());
    sink.EndJob();
    ASSERT_FALSE(sink.Failed()) << sink.Error();

    const std::vector<std::string> list = pdfread::ImageList(pdf);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].find("jpeg"), std::string::npos) << "stored lossy: " << list[0];
    const std::vector<std::string> images = pdfread::Images(pdf, "-png", (dir / "x").string());
    ASSERT_EQ(images.size(), 1u);
    CRasterImage back;
    ASSERT_TRUE(back.Load(images[0], IMAGE_PNG));
    EXPECT_TRUE(pdfread::SamePixels(back, scan.picture));
    std::filesystem::remove_all(dir);
}

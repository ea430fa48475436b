// Scanning through SANE's own test backend, as a scanner on the user's
// machine would be used: the devices listed, a scan that knows its
// resolution and so its size, the preview, Cancel, a device that is not
// there; and what recognition makes of a scan's size.
#include <gtest/gtest.h>

#include "SaneTestConfig.h"
#include "app/FormatRecognition.h"
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"
#include "sources/ScanSession.h"

#include <atomic>
#include <cmath>
#include <filesystem>

namespace {

class ScanSessionTest : public ::testing::Test {
protected:
    void SetUp() override { UseSaneTestBackend(120, 120); }
    std::filesystem::path folder_ = SaneTestFolder();
};

double MillimetresWide(const CRasterImage& p) { return p.GetWidth() * 25.4 / p.GetXDpi(); }
double MillimetresHigh(const CRasterImage& p) { return p.GetHeight() * 25.4 / p.GetYDpi(); }

CoverFormatList ShippedFormats()
{
    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    EXPECT_TRUE(formats.load(std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat", reporter));
    return formats;
}

}  // namespace

TEST_F(ScanSessionTest, ListsTheTestScanners)
{
    std::string error;
    const std::vector<ScannerDevice> devices = ListScanners(&error);
    ASSERT_EQ(devices.size(), 2u) << error;
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_NE(devices[0].Label().find("(test:0)"), std::string::npos);
}

TEST_F(ScanSessionTest, AScanKnowsItsResolutionAndSize)
{
    int lastPercent = -1;
    ScanRequest colour;
    colour.device = "test:0";
    colour.dpi = 300;
    ScanResult r = Scan(colour, nullptr, [&](int percent) { lastPercent = percent; });
    ASSERT_EQ(r.status, ScanStatus::Done) << r.message;
    EXPECT_EQ(r.picture.GetBpp(), 24);
    EXPECT_EQ(r.picture.GetXDpi(), 300);
    EXPECT_EQ(r.picture.GetYDpi(), 300);
    EXPECT_NEAR(MillimetresWide(r.picture), 120, 0.2);
    EXPECT_NEAR(MillimetresHigh(r.picture), 120, 0.2);
    EXPECT_EQ(lastPercent, 100);
    // The colour pattern is not one colour: the pixels came through.
    EXPECT_NE(r.picture.GetPixelColor(0, 0), r.picture.GetPixelColor(r.picture.GetWidth() / 2, 0));

    ScanRequest grey = colour;
    grey.grey = true;
    grey.dpi = 150;
    r = Scan(grey);
    ASSERT_EQ(r.status, ScanStatus::Done) << r.message;
    EXPECT_EQ(r.picture.GetBpp(), 8);
    EXPECT_EQ(r.picture.GetXDpi(), 150);
    EXPECT_NEAR(MillimetresWide(r.picture), 120, 0.3);

    ScanRequest preview = colour;
    preview.preview = true;
    r = Scan(preview);
    ASSERT_EQ(r.status, ScanStatus::Done) << r.message;
    EXPECT_EQ(r.picture.GetXDpi(), kPreviewResolution);
    EXPECT_LT(r.picture.GetWidth(), 300);
}

TEST_F(ScanSessionTest, AnAreaCanBeAskedFor)
{
    ScanRequest request;
    request.dpi = 150;
    request.widthMm = 60;
    request.heightMm = 30;
    const ScanResult r = Scan(request);  // the first scanner found
    ASSERT_EQ(r.status, ScanStatus::Done) << r.message;
    EXPECT_NEAR(MillimetresWide(r.picture), 60, 0.3);
    EXPECT_NEAR(MillimetresHigh(r.picture), 30, 0.3);
}

TEST_F(ScanSessionTest, CancelEndsTheScanWithoutAPicture)
{
    UseSaneTestBackend(120, 120, "read-delay true\nread-delay-duration 20000\n");
    std::atomic<bool> cancel{false};
    int reports = 0;
    ScanRequest request;
    request.device = "test:0";
    const ScanResult r = Scan(request, &cancel, [&](int) {
        if (++reports == 2)
            cancel = true;
    });
    EXPECT_EQ(r.status, ScanStatus::Cancelled);
    EXPECT_FALSE(r.picture.IsValid());
    // SANE is left able to scan again.
    EXPECT_EQ(Scan(ScanRequest{"test:1", 150}).status, ScanStatus::Done);
}

TEST_F(ScanSessionTest, AScannerThatIsNotThereIsSaid)
{
    const ScanResult r = Scan(ScanRequest{"test:7", 300});
    EXPECT_EQ(r.status, ScanStatus::NoScanner);
    std::filesystem::remove(folder_ / "dll.conf");
    std::ofstream((folder_ / "dll.conf").string()) << "";
    EXPECT_TRUE(ListScanners().empty());
    EXPECT_EQ(Scan(ScanRequest{}).status, ScanStatus::NoScanner);
}

TEST_F(ScanSessionTest, AScanIsRecognisedByItsSize)
{
    const CoverFormatList formats = ShippedFormats();
    ScanRequest request;
    request.device = "test:0";
    ScanResult r = Scan(request);
    ASSERT_EQ(r.status, ScanStatus::Done);
    EXPECT_EQ(DetectScannedFormat(r.picture, formats, 1, nullptr), formats.findByType("CD_FRONT"));

    // A DVD sleeve scanned lying down is turned upright.
    UseSaneTestBackend(273, 183);
    request.dpi = 150;
    r = Scan(request);
    ASSERT_EQ(r.status, ScanStatus::Done);
    EXPECT_EQ(DetectScannedFormat(r.picture, formats, 1, nullptr), formats.findByType("DVD"));
    EXPECT_GT(r.picture.GetHeight(), r.picture.GetWidth());
}

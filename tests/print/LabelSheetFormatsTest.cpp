// The shipped label-sheet formats print where their sheets have the labels:
// two CD/DVD labels per A4 or Letter sheet (left and right picture on one
// page) and the jewel-case insert sheets, checked on the PDF rasterised at
// 600 dpi against the template data they were taken from (gLabels).
#include "formats/FormatsReporter.h"
#include "print/CairoPdfSink.h"
#include "print/PdfReadBack.h"
#include "print/PrintPlan.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace testutil;
using namespace pdfread;

namespace {
// One sheet as its template gives it, in millimetres: the label's width and
// height (a disc's diameter twice), its hole's diameter (0: not a disc) and
// the top-left corners of the two labels.
struct Sheet {
    const char* name;
    bool letter;
    double width, height, hole;
    double x1, y1, x2, y2;
};

const Sheet kSheets[] = {
    {"Avery L6015 CD Labels (A4)", false, 117, 117, 41, 46.5, 21.4, 46.5, 159.83},
    {"Avery L6043 CD Labels (A4)", false, 117.4, 117.4, 41.2, 46, 21.8, 46, 158.8},
    {"Avery L7676 CD Labels (A4)", false, 117, 117, 17.6, 46.5, 22, 46.5, 159},
    {"Zweckform 3654 CD Labels (A4)", false, 116.967, 116.967, 40.986, 46.489, 20.743, 46.489, 157.61},
    {"Zweckform 6015 CD Labels (A4)", false, 117, 117, 41, 46.5, 21.43, 46.5, 158.43},
    {"Herma 4093 CD Labels (A4)", false, 116, 116, 41, 47, 16.5, 47, 164.5},
    {"Rayfilm CD04 CD Labels (A4)", false, 118, 118, 41, 46.5, 25, 46.5, 152},
    {"Avery 5931 CD Labels (Letter)", true, 117.475, 117.475, 41.275, 49.212, 17.462, 49.212, 144.463},
    {"Avery 5824 CD Labels (Letter)", true, 117.475, 117.475, 41.275, 50.8, 12.7, 50.8, 152.4},
    {"Avery 8960 CD Labels (Letter)", true, 117.475, 117.475, 10, 49, 17.7, 49, 144.7},
    {"Memorex CD Labels (Letter)", true, 117.475, 117.475, 41.275, 14.288, 15.875, 84.137, 146.05},
    {"Staples 598385 CD Labels (Letter)", true, 117.45, 117.45, 41.275, 50.8, 17.462, 50.8, 144.463},
    {"Avery J8435B CD Inlay (A4)", false, 155, 122, 0, 27.5, 21, 27.5, 21},
    {"Neato 69143 CD Booklet (Letter)", true, 120.65, 241.3, 0, 47.625, 19.05, 47.625, 19.05},
    {"Neato Slim CD Inserts (Letter)", true, 139.171, 120.827, 0, 45.861, 14.781, 45.861, 142.84},
};

constexpr int kDpi = 600;
double Px(double mm) { return mm / 25.4 * kDpi; }

// A4 or Letter at 600 dpi, printable to the edges.
PageMetrics SheetAt600(bool letter) {
    return letter ? PageMetrics::Make(5100, 6600, 0, 0, 5100, 6600, kDpi, kDpi)
                  : PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, kDpi, kDpi);
}

bool IsColor(Rgb c, Rgb want) {
    return std::abs(c.r - want.r) < 60 && std::abs(c.g - want.g) < 60 && std::abs(c.b - want.b) < 60;
}

// The box of pixels of colour `want` in the part of page 1 around a label
// at (x, y) mm of w x h mm: left, top, right and bottom edges in sheet
// pixels (right and bottom just past the last pixel), and the width of the
// white run across the label's middle row (its hole).
struct Found {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, hole = 0;
};
Found FindLabel(const std::string& pdf, const std::string& folder, double x, double y, double w, double h,
                Rgb want) {
    const int margin = 30;
    const int x0 = std::max(0, static_cast<int>(Px(x)) - margin), y0 = std::max(0, static_cast<int>(Px(y)) - margin);
    const Page page = Rasterise(pdf, kDpi, x0, y0, static_cast<int>(Px(w)) + 2 * margin,
                                static_cast<int>(Px(h)) + 2 * margin, folder);
    Found f;
    for (int j = 0; j < page.height; ++j)
        for (int i = 0; i < page.width; ++i)
            if (IsColor(page.at(i, j), want)) {
                f.left = std::min(f.left, x0 + i);
                f.right = std::max(f.right, x0 + i + 1);
                f.top = std::min(f.top, y0 + j);
                f.bottom = std::max(f.bottom, y0 + j + 1);
            }
    const int mid = (f.top + f.bottom) / 2 - y0;
    const int centre = (f.left + f.right) / 2 - x0;
    if (mid >= 0 && mid < page.height && centre >= 0 && centre < page.width) {
        int l = centre, r = centre;
        while (l > 0 && !IsColor(page.at(l - 1, mid), want))
            --l;
        while (r < page.width && !IsColor(page.at(r, mid), want))
            ++r;
        f.hole = IsColor(page.at(centre, mid), want) ? 0 : r - l;
    }
    return f;
}
}  // namespace

TEST(LabelSheetFormats, BothLabelsPrintWithinAPixelOfTheirTemplatePositionsAt600Dpi) {
    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(formats.load(std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat", reporter));
    EXPECT_TRUE(reporter.messages.empty());
    const CRasterImage left = Solid(300, 300, kGreen);
    const CRasterImage right = Solid(300, 300, kBlue);
    TempFolder dir;
    int sheets = 0;
    for (const Sheet& sheet : kSheets) {
        SCOPED_TRACE(sheet.name);
        int f = -1;
        for (int i = 0; i < formats.count(); ++i)
            if (formats.name(i) == sheet.name)
                f = i;
        ASSERT_GE(f, 0) << "no such format";
        const bool disc = sheet.hole > 0;
        EXPECT_EQ(formats.label(f), disc ? 1 : 0);
        EXPECT_EQ(formats.autodetect(f), 0);
        ++sheets;

        // A label sheet holds both pictures on one page; an insert sheet one.
        const PageMetrics page = SheetAt600(sheet.letter);
        const std::string pdf = dir.path() + "/sheet" + std::to_string(sheets) + ".pdf";
        for (int slot = 0; slot < (disc ? 1 : 2); ++slot) {
            CPrintPlan plan(formats, left, right, nullptr);
            PrintJobRequest request;
            request.printMode = disc ? PrintMode::Both : PrintModeFromNumber(slot);
            request.singlePage = disc ? 1 : 0;
            request.leftFormat = request.rightFormat = f;
            request.drawCutLines = 0;
            request.printBorder = 0;
            request.checkForPrintableArea = 0;
            ASSERT_TRUE(plan.Prepare(request, false));
            CCairoPdfSink sink(pdf, page);
            ASSERT_EQ(RunPrintJob(plan, sink, false), 1);
            ASSERT_FALSE(sink.Failed()) << sink.Error();

            for (int label = 0; label < 2; ++label) {
                if (!disc && label != slot)
                    continue;
                const double x = label == 0 ? sheet.x1 : sheet.x2, y = label == 0 ? sheet.y1 : sheet.y2;
                const Found found = FindLabel(pdf, dir.path(), x, y, sheet.width, sheet.height,
                                              label == 0 ? kGreen : kBlue);
                SCOPED_TRACE(label == 0 ? "upper label" : "lower label");
                EXPECT_NEAR(found.left, Px(x), 1.0);
                EXPECT_NEAR(found.top, Px(y), 1.0);
                // The size, truncated to whole pixels as every cover's is.
                EXPECT_NEAR(found.right - found.left, Px(sheet.width), 1.0);
                EXPECT_NEAR(found.bottom - found.top, Px(sheet.height), 1.0);
                // The hole's box is built of whole-pixel halves of the
                // truncated size, as every label's: within two pixels.
                if (disc) {
                    EXPECT_NEAR(found.hole, Px(sheet.hole), 2.0);
                }
            }
        }
    }
    EXPECT_GE(sheets, 12);
}

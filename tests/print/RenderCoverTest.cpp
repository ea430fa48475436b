// Covers drawn on a printer page, checked pixel by pixel. At 254 dpi one
// millimetre is exactly ten pixels.
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/DiscLabel.h"
#include "print/PrintTestUtil.h"
#include "print/PaperDrawing.h"

#include <gtest/gtest.h>

#include <limits>

using namespace testutil;

namespace {
// A 100 x 150 mm sheet whose printable area starts 2 mm in and 3 mm down.
const PageMetrics kPage = PageMetrics::Make(1000, 1500, 20, 30, 960, 1440, 254, 254);

struct Drawn {
    CRasterSurface surface{kPage.printableWidth, kPage.printableHeight};
    CoverPlacement placement;
    int left = 0, top = 0;  // the cover's corner on the surface
};

Drawn Draw(const CoverFormatList& formats, int f, const CRasterImage& image, RenderOptions options = {0, 0, 0}) {
    Drawn d;
    PlacementJob job{0, 0, 0, nullptr};
    d.placement = ComputePlacement(kPage, formats, LeftFormat(f), job);
    d.left = d.placement.x - kPage.offsetX;
    d.top = d.placement.y - kPage.offsetY;
    CDrawContext page(d.surface);
    RenderCover(page, kPage, d.placement, image, formats, LeftFormat(f), options);
    return d;
}

// 40 x 30 mm at (10, 20) mm: 400 x 300 pixels at (80, 170) on the page.
CoverFormat Plain(const std::string& type = "CUSTOM") { return Placed(Format("Plain", type, 40.0, 30.0), 10.0, 20.0); }
}  // namespace

TEST(PlainCover, ImageFillsTheCoverInsideAOnePixelFrameAndTheBorder) {
    const Drawn d = Draw(List({Plain()}), 0, Solid(8, 6, kBlue), {0, 1, 0});
    ASSERT_EQ(d.left, 80);
    ASSERT_EQ(d.top, 170);
    // The frame just outside the cover: columns 79 and 480, rows 169 and 470.
    EXPECT_EQ(d.surface.GetPixel(79, 300), kBlack);
    EXPECT_EQ(d.surface.GetPixel(300, 169), kBlack);
    // The border on the cover's first row and column and one past its last.
    EXPECT_EQ(d.surface.GetPixel(80, 300), kBlack);
    EXPECT_EQ(d.surface.GetPixel(300, 170), kBlack);
    EXPECT_EQ(d.surface.GetPixel(480, 300), kBlack);
    EXPECT_EQ(d.surface.GetPixel(300, 470), kBlack);
    EXPECT_TRUE(AllColor(d.surface, {81, 171, 480, 470}, kBlue));
    EXPECT_EQ(d.surface.GetPixel(78, 300), kWhite);
    EXPECT_EQ(d.surface.GetPixel(481, 300), kWhite);
    EXPECT_EQ(d.surface.GetPixel(300, 471), kWhite);
}

TEST(PlainCover, WithoutTheBorderTheImageKeepsItsEdgesAndOnlyTheFrameShows) {
    const Drawn d = Draw(List({Plain()}), 0, Solid(8, 6, kBlue));
    EXPECT_TRUE(AllColor(d.surface, {80, 170, 480, 470}, kBlue));
    EXPECT_EQ(d.surface.GetPixel(79, 300), kBlack);
    EXPECT_EQ(d.surface.GetPixel(480, 300), kBlack);
    EXPECT_EQ(d.surface.GetPixel(300, 470), kBlack);
    EXPECT_EQ(CountColor(d.surface, {0, 0, 960, 1440}, kBlack), 2 * 402 + 2 * 300);
}

TEST(PlainCover, NothingIsDrawnWithoutImageFormatOrSize) {
    const CoverFormatList formats = List({Plain()});
    const CRasterImage empty;
    for (const Drawn& d : {Draw(formats, 0, empty, {1, 1, 1}), Draw(formats, 3, Solid(4, 4, kBlue), {1, 1, 1}),
                           Draw(formats, -1, Solid(4, 4, kBlue), {1, 1, 1}),
                           Draw(List({Placed(Format("Flat", "CUSTOM", 0.0, 30.0), 10, 10)}), 0, Solid(4, 4, kBlue),
                                {1, 1, 1})})
        EXPECT_TRUE(AllColor(d.surface, {0, 0, 960, 1440}, kWhite));
}

TEST(DiscLabel, PictureOnlyOnTheDiscWhiteOutsideAndInTheHole) {
    CoverFormat label = Placed(Format("CD Label", "CUSTOM", 80.0, 80.0), 5.0, 5.0);
    label.label = 1;
    label.holeSize = 20.0;
    label.lines.push_back(CutLine{EDGE_TOP, 0, 0, 0, 1});
    const Drawn d = Draw(List({label}), 0, Solid(200, 200, kBlue), {0, 1, 0});
    const int cx = d.left + 400, cy = d.top + 400;
    EXPECT_EQ(d.placement.holeSize, 200);
    EXPECT_EQ(d.surface.GetPixel(cx, cy), kWhite);              // the hole
    EXPECT_EQ(d.surface.GetPixel(cx + 85, cy), kWhite);         // still in the hole (radius 100)
    EXPECT_EQ(d.surface.GetPixel(cx + 115, cy), kBlue);         // just outside the hole
    EXPECT_EQ(d.surface.GetPixel(cx + 300, cy), kBlue);         // on the disc
    EXPECT_EQ(d.surface.GetPixel(cx, d.top + 2), kBlue);        // near the disc's top, no border there
    EXPECT_EQ(d.surface.GetPixel(d.left + 20, d.top + 20), kWhite);  // the cover's corner is outside the disc
    EXPECT_EQ(d.surface.GetPixel(d.left - 1, cy), kWhite);      // no frame around a label
    EXPECT_EQ(d.surface.GetPixel(d.left + 799, d.top + 799), kWhite);
    // The label does not cover more than its disc: about pi/4 of the box minus the hole.
    const int blue = CountColor(d.surface, {d.left, d.top, d.left + 800, d.top + 800}, kBlue);
    EXPECT_NEAR(blue, 3.14159265 * (400 * 400 - 100 * 100), 4000);
}

TEST(DiscLabel, HoleSizeZeroPrintsTheFullDisc) {
    CoverFormat label = Placed(Format("CD Label", "CUSTOM", 80.0, 80.0), 5.0, 5.0);
    label.label = 1;
    const Drawn d = Draw(List({label}), 0, Solid(120, 120, kGreen));
    EXPECT_TRUE(AllColor(d.surface, {d.left + 380, d.top + 380, d.left + 420, d.top + 420}, kGreen));
}

TEST(DiscLabel, TransparentPartsOfThePictureStayWhite) {
    CoverFormat label = Placed(Format("CD Label", "CUSTOM", 80.0, 80.0), 5.0, 5.0);
    label.label = 1;
    CRasterImage picture = Picture(100, 100, [](int x, int) { return x < 50 ? kBlack : kBlue; });
    picture.SetTransparentIndex(0);  // black is the transparent colour
    const Drawn d = Draw(List({label}), 0, picture);
    EXPECT_EQ(d.surface.GetPixel(d.left + 200, d.top + 400), kWhite);
    EXPECT_EQ(d.surface.GetPixel(d.left + 600, d.top + 400), kBlue);
}

TEST(SpecialDrawings, ZoomedPhotoLosesAnEighteenthAtTopAndBottom) {
    // Rows 0-9 (the top eighteenth of 180) red, row 10 yellow, row 169 cyan
    // (the last of the 160 rows drawn), rows from 170 blue.
    const CRasterImage photo = Picture(10, 180, [](int, int y) {
        return y < 10 ? kRed : y == 10 ? kYellow : y < 169 ? kGreen : y == 169 ? kCyan : kBlue;
    });
    const Drawn d = Draw(List({Plain("PHOTO_ZOOMED")}), 0, photo);
    const SurfaceRect inside{d.left + 1, d.top + 1, d.left + 400, d.top + 300};
    EXPECT_EQ(CountColor(d.surface, inside, kRed), 0);
    EXPECT_EQ(CountColor(d.surface, inside, kBlue), 0);
    EXPECT_EQ(d.surface.GetPixel(d.left + 200, d.top + 1), kYellow);
    EXPECT_EQ(d.surface.GetPixel(d.left + 200, d.top + 299), kCyan);
    // The solid outline over the cover's edge is drawn even without a border.
    EXPECT_EQ(d.surface.GetPixel(d.left, d.top + 150), kBlack);
    EXPECT_EQ(d.surface.GetPixel(d.left + 200, d.top), kBlack);
    EXPECT_EQ(d.surface.GetPixel(d.left + 400, d.top + 150), kBlack);
}

TEST(SpecialDrawings, PlayStationSpineStripsAreNarrowedToFourPointThreePercent) {
    // Source columns 0-7 and 92-99 are the spines (8 % of 100).
    const CRasterImage back = Picture(100, 10, [](int x, int) { return x < 8 ? kRed : x < 92 ? kGreen : kBlue; });
    const CoverFormatList formats =
        List({Format("CD Front", "CD_FRONT", 120.0, 120.0), Plain(), Format("PlayStation", "PLAYSTATION", 1.0, 1.0)});
    const Drawn d = Draw(formats, 2, back);
    ASSERT_EQ(d.placement.width, 400);  // the second format's size
    const int S = 17;                   // trunc(400 * 0.043)
    EXPECT_TRUE(AllColor(d.surface, {d.left + 1, d.top + 1, d.left + S, d.top + 300}, kRed));
    EXPECT_TRUE(AllColor(d.surface, {d.left + S, d.top + 1, d.left + 400 - S, d.top + 300}, kGreen));
    EXPECT_TRUE(AllColor(d.surface, {d.left + 400 - S, d.top + 1, d.left + 400, d.top + 300}, kBlue));
}

TEST(SpecialDrawings, SlimlineSpineBandTakesTheFormatsSpineWidth) {
    // Rows 0-472 front panel (47.38 %), 473-524 spine (5.27 %), 525 on back panel.
    const CRasterImage sleeve =
        Picture(10, 1000, [](int, int y) { return y < 473 ? kRed : y < 525 ? kGreen : kBlue; });
    CoverFormat slim = Placed(Format("Slim", "SLIMLINE_DVD", 40.0, 100.0), 10.0, 10.0);
    {
        // No SPINE: 13 mm, 130 pixels; panels of (1000 - 130) / 2 = 435.
        const Drawn d = Draw(List({slim}), 0, sleeve);
        EXPECT_TRUE(AllColor(d.surface, {d.left + 1, d.top + 1, d.left + 400, d.top + 435}, kRed));
        EXPECT_TRUE(AllColor(d.surface, {d.left + 1, d.top + 435, d.left + 400, d.top + 565}, kGreen));
        EXPECT_TRUE(AllColor(d.surface, {d.left + 1, d.top + 565, d.left + 400, d.top + 1000}, kBlue));
    }
    {
        slim.spine = 7.0;
        const Drawn d = Draw(List({slim}), 0, sleeve);
        EXPECT_TRUE(AllColor(d.surface, {d.left + 1, d.top + 465, d.left + 400, d.top + 535}, kGreen));
        EXPECT_EQ(d.surface.GetPixel(d.left + 200, d.top + 464), kRed);
        EXPECT_EQ(d.surface.GetPixel(d.left + 200, d.top + 535), kBlue);
    }
    {
        // A spine taller than the cover leaves no panels: the spine fills it.
        slim.spine = 250.0;
        const Drawn d = Draw(List({slim}), 0, sleeve);
        EXPECT_TRUE(AllColor(d.surface, {d.left + 1, d.top + 1, d.left + 400, d.top + 1000}, kGreen));
    }
}

TEST(CutMarks, EdgeMarkersRunAcrossThePrintableAreaAndLinesAreRelativeToTheCover) {
    CoverFormat f = Plain();
    f.lines = {CutLine{EDGE_TOP, 0, 0, 0, 1}, CutLine{EDGE_RIGHT, 0, 0, 0, 1}, CutLine{EDGE_LEFT, 0, 0, 0, 0},
               CutLine{5.0, 5.0, 35.0, 5.0, 1}};
    f.rects = {CutRect{5.0, 10.0, 10.0, 5.0, 1}};
    const Drawn d = Draw(List({f}), 0, Solid(8, 6, kBlue), {1, 0, 0});
    // Top edge: the whole printable width.
    EXPECT_TRUE(AllColor(d.surface, {0, d.top, 960, d.top + 1}, kBlack));
    // Right edge, solid, the whole printable height.
    EXPECT_TRUE(AllColor(d.surface, {d.left + 400, 0, d.left + 401, 1440}, kBlack));
    // Left edge dotted: three on, three off from the top of the page.
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(d.surface.GetPixel(d.left, y), (y % 6) < 3 ? kBlack : kWhite) << "y = " << y;
    // An ordinary line from (5, 5) to (35, 5) mm, its end point not drawn, over the picture.
    EXPECT_TRUE(AllColor(d.surface, {d.left + 50, d.top + 50, d.left + 350, d.top + 51}, kBlack));
    EXPECT_EQ(d.surface.GetPixel(d.left + 350, d.top + 50), kBlue);
    // The rectangle at (5, 10) mm of 10 x 5 mm, both far edges included.
    EXPECT_EQ(d.surface.GetPixel(d.left + 50, d.top + 125), kBlack);
    EXPECT_EQ(d.surface.GetPixel(d.left + 150, d.top + 125), kBlack);
    EXPECT_EQ(d.surface.GetPixel(d.left + 100, d.top + 100), kBlack);
    EXPECT_EQ(d.surface.GetPixel(d.left + 100, d.top + 150), kBlack);
    EXPECT_EQ(d.surface.GetPixel(d.left + 100, d.top + 125), kBlue);

    const Drawn off = Draw(List({f}), 0, Solid(8, 6, kBlue), {0, 0, 0});
    EXPECT_EQ(off.surface.GetPixel(5, off.top), kWhite);
    EXPECT_EQ(off.surface.GetPixel(off.left + 200, off.top + 50), kBlue);
}

TEST(CutMarks, OnAWholeSheetTheMarkersStopAtThePrintableArea) {
    CoverFormat f = Plain();
    f.lines = {CutLine{EDGE_BOTTOM, 0, 0, 0, 1}};
    CRasterSurface sheet(kPage.physicalWidth, kPage.physicalHeight);
    CDrawContext sheetDraw(sheet);
    PlacementJob job{0, 0, 0, nullptr};
    const CoverFormatList formats = List({f});
    const CoverPlacement p = ComputePlacement(kPage, formats, LeftFormat(0), job);
    {
        CDrawContext page(sheet, SurfaceRect{kPage.offsetX, kPage.offsetY, kPage.offsetX + kPage.printableWidth,
                                             kPage.offsetY + kPage.printableHeight});
        RenderCover(page, kPage, p, Solid(8, 6, kBlue), formats, LeftFormat(0), {1, 0, 0});
    }
    const int row = p.y + p.height;  // sheet coordinates
    EXPECT_TRUE(AllColor(sheet, {20, row, 980, row + 1}, kBlack));
    EXPECT_EQ(sheet.GetPixel(19, row), kWhite);
    EXPECT_EQ(sheet.GetPixel(980, row), kWhite);
    EXPECT_TRUE(AllColor(sheet, {p.x, p.y, p.x + 400, p.y + 300}, kBlue));
    EXPECT_EQ(sheetDraw.GetClipBox(), (SurfaceRect{0, 0, 1000, 1500}));  // the window gave the sheet back whole
}

TEST(PreviewMarks, RedGuidesOnlyInThePreview) {
    const CoverFormatList formats = List({Plain()});
    const Drawn printed = Draw(formats, 0, Solid(8, 6, kBlue), {1, 1, 0});
    EXPECT_EQ(CountColor(printed.surface, {0, 0, 960, 1440}, kRed), 0);
    const Drawn preview = Draw(formats, 0, Solid(8, 6, kBlue), {1, 1, 1});
    EXPECT_EQ(preview.surface.GetPixel(0, 700), kRed);    // the printable area's outline
    EXPECT_EQ(preview.surface.GetPixel(959, 700), kRed);
    EXPECT_EQ(preview.surface.GetPixel(500, 0), kRed);
    EXPECT_EQ(preview.surface.GetPixel(500, 750 - 30), kRed);  // the sheet's middle line
    EXPECT_EQ(preview.surface.GetPixel(500, 600), kWhite);
}

TEST(PreviewMarks, DiscTrayShowsTheDiscAndItsHole) {
    CoverFormat tray = Placed(Format("Tray", "CD_TRAY", 80.0, 80.0), 10.0, 10.0);
    tray.holeSize = 20.0;
    const Drawn d = Draw(List({tray}), 0, Solid(8, 8, kBlue), {0, 0, 1});
    const int cx = d.left + 400, cy = d.top + 400;
    EXPECT_EQ(CountColor(d.surface, {d.left - 1, cy - 5, d.left + 2, cy + 5}, kRed) > 0, true);  // disc's edge
    EXPECT_GT(CountColor(d.surface, {cx - 101, cy - 5, cx - 97, cy + 5}, kRed), 0);               // hole's edge
    EXPECT_EQ(d.surface.GetPixel(0, 700), kWhite);  // no printable-area outline for a tray
    EXPECT_EQ(d.surface.GetPixel(cx, cy), kBlue);
}

TEST(DiscLabel, MaskMadeInBandsIsTheWholeMask) {
    // 1500 pixels wide: the mask is made in bands of 699 rows.
    const int w = 1500, h = 1300;
    CRasterSurface whole(w, h);
    CDrawContext wholeDraw(whole);
    DrawLabelMask(wholeDraw, 410, 377);
    CRasterSurface banded(w + 20, h + 20, kBlack);
    CDrawContext bandedDraw(banded);
    ApplyLabelMask(bandedDraw, SurfaceRect{10, 10, 10 + w, 10 + h}, 410, 377);
    int differences = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differences += whole.GetPixel(x, y) != banded.GetPixel(x + 10, y + 10);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(banded.GetPixel(5, 5), kBlack);  // outside the rectangle nothing changes
    EXPECT_EQ(banded.GetPixel(10, 10), kWhite);
}

TEST(DiscLabel, FinePictureIsCutOutAtThePagesResolution) {
    CoverFormat label = Placed(Format("CD Label", "CUSTOM", 80.0, 80.0), 5.0, 5.0);
    label.label = 1;
    label.holeSize = 20.0;
    const CRasterImage picture = Picture(1000, 1000, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x + y)};
    });
    const Drawn d = Draw(List({label}), 0, picture);
    // The picture stretched to the label's 800 x 800 pixels, white where the
    // label's mask (disc with a 200-pixel hole) is white.
    CRasterSurface stretched(800, 800);
    CDrawContext stretchedDraw(stretched);
    CRasterSurface mask(800, 800);
    CDrawContext maskDraw(mask);
    picture.DrawMasked(&stretchedDraw, 0, 0, 800, 800);
    DrawLabelMask(maskDraw, 200, 200);
    int differences = 0;
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x) {
            const Rgb want = mask.GetPixel(x, y) == kWhite ? kWhite : stretched.GetPixel(x, y);
            differences += d.surface.GetPixel(d.left + x, d.top + y) != want;
        }
    EXPECT_EQ(differences, 0);
}

TEST(BrokenFormats, ExtremeValuesDrawWithoutHarm) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<CoverFormat> list;
    for (double size : {nan, inf, -inf, 1e308, -40.0, 0.0, 1e-300}) {
        for (const char* type : {"CUSTOM", "CD_FRONT", "PHOTO_ZOOMED", "PLAYSTATION", "SLIMLINE_DVD", "CD_TRAY"}) {
            CoverFormat f = Placed(Format("Broken", type, size, 30.0), size, -size);
            f.holeSize = size;
            f.spine = size;
            f.rightX = size;
            f.rightY = nan;
            f.label = f.type == "CD_TRAY" ? 1 : 0;
            f.lines = {CutLine{size, size, -size, 1e300, 0}, CutLine{EDGE_RIGHT, 0, 0, 0, 1}};
            f.rects = {CutRect{size, size, size, size, 1}};
            list.push_back(f);
            f.width = 30.0;
            f.height = size;
            f.label = 1;
            list.push_back(f);
        }
    }
    const CoverFormatList formats = List(list);
    const CRasterImage picture = Solid(16, 16, kBlue);
    CRasterSurface page(kPage.printableWidth, kPage.printableHeight);
    CDrawContext pageDraw(page);
    PlacementJob job{1, 1, 0, nullptr};
    for (int f = 0; f < formats.count(); ++f) {
        for (Slot slot : {Slot::Left, Slot::Right}) {
            const CoverPlacement p = ComputePlacement(kPage, formats, FormatOf(slot, f), job);
            EXPECT_GE(p.width, 0);
            EXPECT_GE(p.height, 0);
            RenderCover(pageDraw, kPage, p, picture, formats, FormatOf(slot, f), RenderOptions{1, 1, 1});
            PaperView view;
            view.formats = &formats;
            view.firstImage = picture.IsValid() && f % 2 ? &picture : nullptr;
            view.firstFormat = FormatOf(slot, f);
            view.drawCutLines = true;
            view.trayMode = f % 3 == 0;
            view.paperWidth = formats.at(f).width;
            view.paperHeight = formats.at(f).height;
            const CRasterSurface paper = RenderPaper(view, 60, 80);
            EXPECT_EQ(paper.Width(), 60);
        }
    }
}

// The paper preview: a 210 x 297 client showing A4 paper is one pixel per
// millimetre.
#include "print/PaperDrawing.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

using namespace testutil;

namespace {
const Rgb kBackground{60, 60, 60};
const Rgb kTrayGrey{235, 235, 235};

struct Preview {
    CoverFormatList formats;
    CRasterImage first = Solid(12, 12, kBlue);
    CRasterImage second = Solid(12, 12, kRed);
    PaperView view;
    explicit Preview(std::vector<CoverFormat> list) : formats(List(std::move(list))) {
        view.formats = &formats;
        view.firstImage = &first;
        view.firstFormat = LeftFormat(0);
    }
    CRasterSurface Paint(int w = 210, int h = 297) const { return RenderPaper(view, w, h); }
};
}  // namespace

TEST(PaperPreview, CentredCdFrontSitsOnTheMiddleLineAndTheSecondBelowIt) {
    Preview p({Format("CD Front", "CD_FRONT", 120.0, 120.0)});
    p.view.secondImage = &p.second;
    p.view.secondFormat = RightFormat(0);
    p.view.singlePage = true;
    const CRasterSurface s = p.Paint();
    // 120 x 120 at ((210 - 120) / 2, 297 / 2 - 120) = (45, 28), outlined one past its far edges.
    EXPECT_TRUE(AllColor(s, {46, 29, 165, 148}, kBlue));
    EXPECT_EQ(s.GetPixel(45, 80), kBlack);
    EXPECT_EQ(s.GetPixel(165, 80), kBlack);
    EXPECT_EQ(s.GetPixel(100, 148), kBlack);
    // The second cover's top edge on the middle line (row 148).
    EXPECT_TRUE(AllColor(s, {46, 149, 165, 268}, kRed));
    EXPECT_EQ(s.GetPixel(100, 268), kBlack);
    EXPECT_EQ(s.GetPixel(100, 269), kWhite);

    // Without single page the left paper shows only its own cover.
    p.view.singlePage = false;
    const CRasterSurface alone = p.Paint();
    EXPECT_EQ(CountColor(alone, {0, 0, 210, 297}, kRed), 0);
    // And the right paper with single page on shows nothing of its own.
    p.view.singlePage = true;
    p.view.leftSide = false;
    EXPECT_EQ(CountColor(p.Paint(), {0, 0, 210, 297}, kBlue), 0);
}

TEST(PaperPreview, OtherTypesUseTheUpperOrLowerHalfAndPositionTwo) {
    CoverFormat back = Format("Back", "CUSTOM", 150.0, 100.0);
    back.rightX = 20.0;
    back.rightY = 150.0;
    Preview p({back, Format("Big", "CUSTOM", 100.0, 200.0)});
    // Upper half: oy = (297 - 200) / 4 = 24.
    EXPECT_EQ(p.Paint().GetPixel(100, 25), kBlue);
    EXPECT_EQ(p.Paint().GetPixel(100, 23), kWhite);
    // POSITION2 of the same format: (20, 150) mm.
    p.view.firstFormat = RightFormat(0);
    const CRasterSurface s = p.Paint();
    EXPECT_EQ(s.GetPixel(21, 151), kBlue);
    EXPECT_EQ(s.GetPixel(19, 151), kWhite);
    // Too tall for a half: centred on the sheet.
    p.view.firstFormat = LeftFormat(1);
    EXPECT_EQ(p.Paint().GetPixel(100, (297 - 200) / 2 + 1), kBlue);
    EXPECT_EQ(p.Paint().GetPixel(100, (297 - 200) / 2 - 1), kWhite);
}

TEST(PaperPreview, NegativePositionsCountFromTheRightAndBottom) {
    Preview p({Placed(Format("Corner", "CUSTOM", 40.0, 30.0), -10.0, -20.0)});
    const CRasterSurface s = p.Paint();
    // ox = (-10 + 210 - 40) / 210 * 210 = 160; oy = (-20 + 297 - 30) / 297 * 297 = 247.
    EXPECT_EQ(s.GetPixel(161, 248), kBlue);
    EXPECT_EQ(s.GetPixel(199, 276), kBlue);
    EXPECT_EQ(s.GetPixel(159, 260), kWhite);
}

TEST(PaperPreview, LabelHoleIsScaledLikeTheCover) {
    CoverFormat label = Placed(Format("CD Label", "CUSTOM", 100.0, 100.0), 50.0, 50.0);
    label.label = 1;
    label.holeSize = 30.0;
    Preview p({label});
    const CRasterSurface s = p.Paint(420, 594);  // two pixels per millimetre
    const int cx = 200, cy = 200;                 // (50 + 50) mm
    EXPECT_EQ(s.GetPixel(cx, cy), kWhite);
    EXPECT_EQ(s.GetPixel(cx + 25, cy), kWhite);   // inside the 60-pixel hole
    EXPECT_EQ(s.GetPixel(cx + 35, cy), kBlue);    // outside it, on the disc
    EXPECT_EQ(s.GetPixel(cx + 90, cy), kBlue);
    EXPECT_EQ(s.GetPixel(105, 105), kWhite);      // outside the disc
    EXPECT_EQ(s.GetPixel(99, 200), kWhite);       // no outline around a label
}

TEST(PaperPreview, PlayStationStripsAndEdgeMarkersAcrossThePaper) {
    CoverFormat geometry = Placed(Format("Back", "CUSTOM", 200.0, 50.0), 5.0, 10.0);
    CoverFormat ps = Placed(Format("PlayStation", "PLAYSTATION", 1.0, 1.0), 5.0, 10.0);
    ps.lines = {CutLine{EDGE_TOP, 0, 0, 0, 1}, CutLine{EDGE_LEFT, 0, 0, 0, 1}};
    Preview p({Format("Front", "CD_FRONT", 120.0, 120.0), geometry, ps});
    p.first = Picture(1000, 10, [](int x, int) { return x < 80 ? kRed : x < 920 ? kGreen : kBlue; });
    p.view.firstFormat = LeftFormat(2);
    p.view.drawCutLines = true;
    const CRasterSurface s = p.Paint();
    // Cover at (5, 10), 200 x 50; strips of trunc(200 * 0.043) = 8 columns.
    EXPECT_TRUE(AllColor(s, {6, 11, 13, 60}, kRed));
    EXPECT_TRUE(AllColor(s, {13, 11, 197, 60}, kGreen));
    EXPECT_TRUE(AllColor(s, {197, 11, 205, 60}, kBlue));
    // The top-edge marker spans the paper outside the cover, from x = 0.
    EXPECT_EQ(s.GetPixel(1, 10), kBlack);
    EXPECT_EQ(s.GetPixel(208, 10), kBlack);
    EXPECT_EQ(s.GetPixel(5, 200), kBlack);  // left-edge marker down the paper
    // Without an image no marks are drawn.
    p.view.firstImage = nullptr;
    EXPECT_EQ(p.Paint().GetPixel(1, 10), kWhite);
}

TEST(PaperPreview, EmptyTrayAndPlaceholder) {
    CoverFormat tray = Placed(Format("Tray", "CD_TRAY", 80.0, 80.0), 10.0, 20.0);
    tray.holeSize = 20.0;
    Preview p({tray});
    p.view.firstImage = nullptr;
    p.view.trayMode = true;
    p.view.paperWidth = 105.0;  // half as wide as A4: the paper is 105 pixels wide, centred
    const CRasterSurface s = p.Paint();
    EXPECT_EQ(PaperRect(p.view, 210, 297), (SurfaceRect{52, 0, 157, 297}));
    EXPECT_EQ(s.GetPixel(20, 150), kBackground);
    EXPECT_EQ(s.GetPixel(60, 250), kWhite);
    EXPECT_EQ(s.GetPixel(52 + 10 + 40, 20 + 20), kTrayGrey);  // the disc
    EXPECT_EQ(s.GetPixel(52 + 10 + 40, 20 + 40), kWhite);     // its hole, 20 mm wide
    EXPECT_EQ(s.GetPixel(52 + 10 + 40 + 8, 20 + 40), kWhite);
    EXPECT_EQ(s.GetPixel(52 + 10 + 40 + 14, 20 + 40), kTrayGrey);

    Preview q({Format("Front", "CD_FRONT", 120.0, 120.0)});
    q.view.firstImage = nullptr;
    const CRasterImage placeholder = Solid(20, 10, kGreen);
    q.view.placeholder = &placeholder;
    const CRasterSurface t = q.Paint();
    EXPECT_TRUE(AllColor(t, {95, 143, 115, 153}, kGreen));
    EXPECT_EQ(CountColor(t, {0, 0, 210, 297}, kGreen), 200);
    EXPECT_EQ(CountColor(t, {0, 0, 210, 297}, kBlack), 0);
}

TEST(PaperPreview, BorderCornersAndOverlay) {
    Preview p({Format("Front", "CD_FRONT", 120.0, 120.0)});
    p.view.firstImage = nullptr;
    p.view.drawBorder = true;
    CRasterImage overlay;
    overlay.Create(4, 4, 8, IMAGE_GIF);
    overlay.SetPaletteEntry(0, 255, 0, 255);
    overlay.SetPaletteEntry(1, 0, 160, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            overlay.SetPixelIndex(x, y, 0);
    overlay.SetPixelIndex(2, 2, 1);  // the second row from the top
    p.view.overlay = &overlay;
    p.view.overlayX = 10;
    p.view.overlayY = 20;
    const CRasterSurface s = p.Paint();
    EXPECT_EQ(s.GetPixel(100, 0), kBlack);
    EXPECT_EQ(s.GetPixel(209, 100), kBlack);
    EXPECT_EQ(s.GetPixel(100, 296), kBlack);
    EXPECT_EQ(s.GetPixel(0, 100), kBlack);
    for (auto [x, y] : {std::pair{0, 0}, {209, 0}, {209, 296}, {0, 296}})
        EXPECT_EQ(s.GetPixel(x, y), kBackground);
    // The overlay's top-left colour is transparent; its other pixels are drawn.
    EXPECT_EQ(overlay.GetTransparentIndex(), 0);
    EXPECT_EQ(s.GetPixel(12, 21), kGreen);
    EXPECT_EQ(s.GetPixel(10, 20), kWhite);
    EXPECT_EQ(CountColor(s, {0, 0, 210, 297}, Rgb{255, 0, 255}), 0);
}

TEST(PaperPreview, AFormatOutsideTheListOrABrokenPaperShowsTheBarePaper) {
    Preview p({Format("Front", "CD_FRONT", 120.0, 120.0)});
    p.view.firstFormat = kNoSlotFormat;
    EXPECT_TRUE(AllColor(p.Paint(), {1, 1, 209, 296}, kWhite));
    p.view.firstFormat = LeftFormat(0);
    p.view.paperWidth = 0;  // shown as A4
    p.view.trayMode = true;
    const CRasterSurface s = p.Paint();
    EXPECT_EQ(PaperRect(p.view, 210, 297), (SurfaceRect{0, 0, 210, 297}));
    EXPECT_EQ(s.GetPixel(100, 100), kBlue);
}

#include "print/CalibrationPage.h"

#include "print/PageSink.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr Rgb kInk{0, 0, 0};

// Millimetre positions of the page to surface pixels, calibration included.
class PageGrid {
public:
    PageGrid(const PageMetrics& page, Calibration calibration) : page_(page), cal_(calibration) {}
    // Surface column / row of a position in mm from the sheet's left / top edge.
    int X(double mm) const { return CoverMmToPixels(mm + cal_.x, page_.dpiX) - page_.offsetX; }
    int Y(double mm) const { return CoverMmToPixels(mm + cal_.y, page_.dpiY) - page_.offsetY; }
    // A length in pixels across / down.
    int W(double mm) const { return std::max(1, MarkMmToPixels(mm, page_.dpiX)); }
    int H(double mm) const { return std::max(1, MarkMmToPixels(mm, page_.dpiY)); }
    // The printable area in mm from the sheet's edges, without calibration.
    double Left() const { return PixelsToMm(page_.offsetX, page_.dpiX) - cal_.x; }
    double Top() const { return PixelsToMm(page_.offsetY, page_.dpiY) - cal_.y; }
    double Right() const { return PixelsToMm(page_.offsetX + page_.printableWidth, page_.dpiX) - cal_.x; }
    double Bottom() const { return PixelsToMm(page_.offsetY + page_.printableHeight, page_.dpiY) - cal_.y; }

private:
    const PageMetrics& page_;
    Calibration cal_;
};

// An odd pen width, so that a line's middle pixel is its position: one
// pixel up to 300 dpi, three at 600.
int PenWidth(const PageMetrics& page) { return std::max(1, page.dpiX / 200) | 1; }

// Digits drawn as seven segments, `h` pixels high, top-left at (x, y).
void DrawDigits(CDrawContext& s, const std::string& text, int x, int y, int h) {
    // Segments a b c d e f g as bits 0..6.
    static constexpr unsigned char kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const int w = h / 2, mid = y + h / 2, gap = w / 2;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            x += w + gap;
            continue;
        }
        const unsigned bits = kSegments[c - '0'];
        const int r = x + w, b = y + h;
        if (bits & 0x01) s.Line(x, y, r + 1, y);
        if (bits & 0x02) s.Line(r, y, r, mid + 1);
        if (bits & 0x04) s.Line(r, mid, r, b + 1);
        if (bits & 0x08) s.Line(x, b, r + 1, b);
        if (bits & 0x10) s.Line(x, mid, x, b + 1);
        if (bits & 0x20) s.Line(x, y, x, mid + 1);
        if (bits & 0x40) s.Line(x, mid, r + 1, mid);
        x += w + gap;
    }
}

// Ticks every millimetre along the printable area's four edges: 1.5 mm
// long, 3 mm every fifth, 5 mm with the distance from the sheet's edge every
// tenth. The numbers read as a ruler laid on the paper would.
void DrawRulers(CDrawContext& s, const PageGrid& g, const PageMetrics& page) {
    const int digitH = g.H(2.5);
    auto tickLength = [](int mm) { return mm % 10 == 0 ? 5.0 : mm % 5 == 0 ? 3.0 : 1.5; };
    // Numbers near a corner would run into the other ruler's.
    auto clearOfCorners = [](int mm, double first, double last) { return mm - first >= 9 && last - mm >= 12; };
    const int lastX = page.printableWidth, lastY = page.printableHeight;
    for (int mm = static_cast<int>(std::ceil(g.Left())); mm <= g.Right(); ++mm) {
        const int x = g.X(mm);
        if (x < 0 || x >= lastX) continue;
        const int len = g.H(tickLength(mm));
        s.Line(x, 0, x, len);
        s.Line(x, lastY - 1, x, lastY - 1 - len);
        if (mm % 10 == 0 && mm > 0 && clearOfCorners(mm, g.Left(), g.Right())) {
            DrawDigits(s, std::to_string(mm), x + g.W(0.7), len, digitH);
            DrawDigits(s, std::to_string(mm), x + g.W(0.7), lastY - 1 - len - digitH, digitH);
        }
    }
    for (int mm = static_cast<int>(std::ceil(g.Top())); mm <= g.Bottom(); ++mm) {
        const int y = g.Y(mm);
        if (y < 0 || y >= lastY) continue;
        const int len = g.W(tickLength(mm));
        s.Line(0, y, len, y);
        s.Line(lastX - 1, y, lastX - 1 - len, y);
        if (mm % 10 == 0 && mm > 0 && clearOfCorners(mm, g.Top(), g.Bottom())) {
            const std::string n = std::to_string(mm);
            const int textW = static_cast<int>(n.size()) * (digitH / 2 + digitH / 4);
            DrawDigits(s, n, len + g.W(0.7), y + g.H(0.7), digitH);
            DrawDigits(s, n, lastX - 1 - len - g.W(0.7) - textW, y + g.H(0.7), digitH);
        }
    }
}

// A crosshair: lines 16 mm long through the mark, a 3 mm circle, its number.
void DrawCrosshair(CDrawContext& s, const PageGrid& g, const CalibrationMark& m) {
    const int x = g.X(m.xMm), y = g.Y(m.yMm);
    const int armX = g.W(8), armY = g.H(8), rX = g.W(3), rY = g.H(3);
    s.Line(x - armX, y, x + armX + 1, y);
    s.Line(x, y - armY, x, y + armY + 1);
    s.Ellipse(x - rX, y - rY, x + rX + 1, y + rY + 1);
    DrawDigits(s, std::to_string(m.number), x + g.W(2), y - g.H(7), g.H(4));
}

}  // namespace

std::vector<CalibrationMark> CalibrationMarks(const PageMetrics& page) {
    const double w = PixelsToMm(page.physicalWidth, page.dpiX), h = PixelsToMm(page.physicalHeight, page.dpiY);
    const double in = kCalibrationInsetMm;
    return {{1, in, in}, {2, w - in, in}, {3, w / 2, h / 2}, {4, in, h - in}, {5, w - in, h - in}};
}

SurfacePoint CalibrationMarkPixel(const PageMetrics& page, const CalibrationMark& mark, Calibration calibration) {
    return {CoverMmToPixels(mark.xMm + calibration.x, page.dpiX), CoverMmToPixels(mark.yMm + calibration.y, page.dpiY)};
}

void DrawCalibrationPage(CDrawContext& surface, const PageMetrics& page, Calibration calibration) {
    if (page.dpiX <= 0 || page.dpiY <= 0) return;
    const PageGrid grid(page, calibration);
    surface.SetPen(Pen{kInk, PenWidth(page), PenStyle::Solid});
    surface.SetBrush(Brush{});
    DrawRulers(surface, grid, page);
    for (const CalibrationMark& mark : CalibrationMarks(page)) DrawCrosshair(surface, grid, mark);
}

bool PrintCalibrationPage(IPageSink& sink, Calibration calibration) {
    if (!sink.StartJob(kCalibrationJobName)) {
        sink.AbortJob();
        return false;
    }
    const PageMetrics page = sink.Metrics();
    CDrawContext* surface = sink.StartPage(1);
    if (!surface) {
        sink.AbortJob();
        return false;
    }
    DrawCalibrationPage(*surface, page, calibration);
    if (!sink.EndPage()) {
        sink.AbortJob();
        return false;
    }
    sink.EndJob();
    return true;
}

double CalibratedOffset(double currentOffset, double expectedMm, double measuredMm) {
    return currentOffset + expectedMm - measuredMm;
}

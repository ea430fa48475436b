#pragma once
// The pixel geometry of lines, rectangles, ellipses and polygons (the
// conventions in DrawContext.h), worked out once for every device. The
// shapes come out as filled boxes, already clipped, handed to the device's
// FillRect: the raster writes them into its buffer, the painter and the PDF
// page fill device rectangles, so all give the same pixels. Pen marks are
// gathered into runs, so a long straight line is one box.
#include "image/PixelBackend.h"

#include <cstdint>
#include <vector>

class CShapeRasterizer {
public:
    // Draws onto `target` within `clip` (device pixels) with the given pen
    // and brush; nothing is kept beyond one drawing call.
    CShapeRasterizer(IPixelBackend& target, const SurfaceRect& clip, const Pen& pen, const Brush& brush);

    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    // Rings filled together by the even-odd rule (or, with `winding`, the
    // non-zero winding rule), then each outlined.
    void PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings, bool winding = false);
    // The pen along the points; a closed path returns to its first point.
    void Path(const std::vector<SurfacePoint>& points, bool closed);

private:
    void Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Rgb color);
    // The pen's mark over the points x1..x2 of row y, or y1..y2 of column x.
    void StampRow(std::int64_t x1, std::int64_t x2, std::int64_t y);
    void StampColumn(std::int64_t x, std::int64_t y1, std::int64_t y2);
    bool DotOn(std::int64_t step) const;
    void Segment(int x1, int y1, int x2, int y2, std::int64_t& step);
    void FillRings(const std::vector<std::vector<SurfacePoint>>& rings, bool winding);

    IPixelBackend& target_;
    SurfaceRect clip_;
    Pen pen_;
    Brush brush_;
};

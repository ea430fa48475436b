#pragma once
// The drawing state of our small metafile player: object table, pen, brush
// and font, coordinate mapping, current position, clipping, paths, text and
// bitmap blits, drawn onto a raster surface. The WMF and EMF record readers
// (WmfPlayer.cpp, EmfPlayer.cpp) translate records into calls on it. Its
// helpers: the mapping (MetafileMapping.h), pens and dashes (MetafilePens.h),
// brush colours and clip masks (MetafilePixels.h), blits (MetafileBlit.h)
// and text (MetafileText.h); curved shapes, regions and clipping are in
// MetafileShapes.cpp.
#include "image/RasterImage.h"
#include "image/DrawContext.h"
#include "image/MetafileBlit.h"
#include "image/MetafileMapping.h"
#include "image/MetafilePens.h"
#include "image/MetafilePixels.h"
#include "image/MetafileText.h"
#include "image/RasterSurface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCoverageRecorder;

class CMetafileCanvas {
public:
    // `surface` is the picture; device coordinates of the metafile (after
    // its own mapping) are scaled by (scaleX, scaleY) after subtracting
    // (originX, originY).
    CMetafileCanvas(CRasterSurface& surface, double originX, double originY, double scaleX, double scaleY,
                    bool windowMapsToPicture);
    ~CMetafileCanvas();

    // Pixels per millimetre of the device an enhanced metafile was made on
    // (for its metric mapping modes).
    void SetDeviceResolution(double pxPerMmX, double pxPerMmY) {
        device_.pxPerMmX = pxPerMmX;
        device_.pxPerMmY = pxPerMmY;
    }

    // --- state ---------------------------------------------------------------
    MetaMapping& Mapping() { return state_.map; }
    void SaveState();
    void RestoreState(int which);  // negative: relative, positive: absolute
    void SetWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy) {
        state_.map.SetWorldTransform(m11, m12, m21, m22, dx, dy);
    }
    void ModifyWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy, int mode) {
        state_.map.ModifyWorldTransform(m11, m12, m21, m22, dx, dy, mode);
    }
    void SetTextColor(Rgb c) { state_.textColor = c; }
    void SetBackgroundColor(Rgb c) { state_.bkColor = c; }
    void SetBackgroundMode(int mode) { state_.bkMode = mode; }  // 1 transparent, 2 opaque
    void SetTextAlign(int align) { state_.textAlign = align; }
    void SetCharacterExtra(double extra) { state_.charExtra = extra; }
    // Extra space shared among the break characters (spaces) of each string.
    void SetTextJustification(double extra, int breaks) {
        state_.breakExtra = breaks > 0 ? extra / breaks : 0;
    }
    void SetRop2(int rop) { state_.rop2 = rop >= 1 && rop <= 16 ? rop : 13; }
    void SetPolyFillMode(int mode) { state_.polyFillMode = mode; }  // 1 alternate, 2 winding
    void SetArcDirection(int dir) { state_.arcDirection = dir; }    // 1 counter-clockwise, 2 clockwise

    // --- objects ----------------------------------------------------------------
    enum ObjectKind { kNone = 0, kPen = 1, kBrush = 2, kOther = 3, kFont = 4, kRegion = 5 };
    struct Object {
        int kind = kNone;
        MetaPen pen;
        MetaBrush brush;
        MetaFont font;
        std::vector<MetaPoint> region;  // rectangles as corner pairs, logical units
    };
    // WMF: objects take the first free slot. EMF: explicit indices.
    int AddObjectFirstFree(Object object);
    void SetObject(std::uint32_t index, Object object);
    void SelectObject(std::uint32_t index);
    void DeleteObject(std::uint32_t index);

    // --- drawing, in record coordinates ------------------------------------------
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void Polyline(const std::vector<MetaPoint>& points);
    void PolylineTo(const std::vector<MetaPoint>& points);
    void PolyBezier(const std::vector<MetaPoint>& points);    // start point, then triples
    void PolyBezierTo(const std::vector<MetaPoint>& points);  // triples from the current position
    void Polygon(const std::vector<MetaPoint>& points);
    void PolyPolygon(const std::vector<std::vector<MetaPoint>>& rings);
    void Rectangle(double l, double t, double r, double b);
    void RoundRect(double l, double t, double r, double b, double cornerW, double cornerH);
    void Ellipse(double l, double t, double r, double b);
    // Arcs of the ellipse in the box from the radial through (x1, y1) to the
    // one through (x2, y2), in the arc direction: the curve, the curve closed
    // by its chord, the pie slice. ArcTo draws a line to the start first.
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void Arc(ArcKind kind, double l, double t, double r, double b, double x1, double y1, double x2, double y2);
    void AngleArc(double cx, double cy, double radius, double startDeg, double sweepDeg);
    void SetPixel(double x, double y, Rgb color);
    // Gradient fills: vertices in logical units with their colours (16 bits
    // per channel); rectangles or triangles index them.
    struct GradientVertex {
        double x = 0, y = 0;
        double r = 0, g = 0, b = 0;  // 0..255
    };
    void GradientRect(const GradientVertex& a, const GradientVertex& b, bool vertical);
    void GradientTriangle(const GradientVertex& a, const GradientVertex& b, const GradientVertex& c);
    // Regions (rectangles as corner pairs, in logical units or the
    // reference device's pixels): filled with a brush, painted, inverted.
    void FillRegion(const std::vector<MetaPoint>& region, const MetaBrush& brush, bool deviceUnits = false);
    void FillRegionObject(std::uint32_t regionIndex, std::uint32_t brushIndex);
    void PaintRegion(const std::vector<MetaPoint>& region, bool deviceUnits = false) {
        FillRegion(region, state_.brush, deviceUnits);
    }
    void InvertRegion(const std::vector<MetaPoint>& region, bool deviceUnits = false);
    const Object* ObjectAt(std::uint32_t index) const;

    // Paths: between BeginPath and EndPath the drawing calls above add figures.
    void BeginPath();
    void EndPath();
    void AbortPath();
    void CloseFigure();
    void DrawPath(bool fill, bool stroke);

    // Clipping. Rectangles in logical units; regions of enhanced metafiles
    // in the reference device's pixels. Mode: 1 and, 2 or, 3 xor, 4 diff, 5 copy.
    void IntersectClipRect(double l, double t, double r, double b);
    void ExcludeClipRect(double l, double t, double r, double b);
    void SelectClipRegion(const std::vector<MetaPoint>& rects, bool deviceUnits, int mode);
    void SelectClipRegionObject(std::uint32_t index);  // WMF: a region object, or none
    void SelectClipPath(int mode);
    void OffsetClip(double dx, double dy);

    // Text: the selected font, text colour, background and alignment.
    void Text(const MetaText& text);
    // Characters of the selected font's character set (8-bit), or UTF-16
    // units, as Unicode: one character per byte or unit, 0 where nothing is
    // drawn (the second half of a surrogate pair, empty symbol codes).
    std::u32string DecodeText(const std::uint8_t* bytes, std::size_t count) const {
        return DecodeMetaText(bytes, count, state_.font);
    }
    std::u32string DecodeWideText(const std::uint8_t* units, std::size_t count) const {
        return DecodeMetaWideText(units, count, state_.font);
    }

    // Raster operations: `bitmap` may be null for pattern-only operations.
    // The source rectangle counts rows from the top of the bitmap.
    void Blit(double x, double y, double w, double h, const CRasterImage* bitmap, int srcX, int srcY, int srcW,
              int srcH, std::uint32_t rop);
    // What the other transfers (mask, transparent colour, alpha) add to a blit.
    using Transfer = MetaTransfer;
    // The source rectangle onto a parallelogram given by the points where
    // its top-left, top-right and bottom-left corners go (record
    // coordinates, or picture pixels when `mapped`).
    void BlitQuad(MetaPoint topLeft, MetaPoint topRight, MetaPoint bottomLeft, bool mapped, const CRasterImage* bitmap,
                  int srcX, int srcY, int srcW, int srcH, std::uint32_t rop, const Transfer& extra);

private:
    struct State {
        MetaMapping map;
        MetaPen pen;
        MetaBrush brush;
        MetaFont font;
        MetaPoint position;
        Rgb textColor{0, 0, 0}, bkColor{255, 255, 255};
        int bkMode = 2, textAlign = 0, rop2 = 13, polyFillMode = 1, arcDirection = 1;
        double charExtra = 0, breakExtra = 0;
        SurfaceRect clipBox;
        // Non-rectangular clipping: one byte per picture pixel, non-zero inside.
        std::shared_ptr<const std::vector<std::uint8_t>> clipMask;
    };

    // The mapping in force, to picture pixels.
    CMetaMapper Mapper() const { return CMetaMapper(state_.map, device_); }
    void PolygonClip(const std::vector<MetaPoint>& ring, int mode);
    using Outlines = MetaOutlines;
    bool ClipIsRectangle() const { return !state_.clipMask; }
    MetaClipView ClipView() const { return MetaClipView{state_.clipBox, state_.clipMask.get(), surface_.Width()}; }
    bool Visible(int x, int y) const { return ClipView().Visible(x, y); }
    MetaColours Colours() const { return MetaColours{state_.textColor, state_.bkColor, state_.bkMode}; }
    MetaBlitTarget BlitTarget() { return MetaBlitTarget{surface_, ClipView(), state_.brush, Colours()}; }
    // Draws a shape with the current pen, the brush when `fill`, honouring
    // the pen's raster operation, pattern brushes and the clip region.
    using ShapeFn = std::function<void(CDrawContext&, const Pen&, const Brush&)>;
    // `outlines`, when given, are dashed by a styled pen instead.
    void DrawShape(const ShapeFn& shape, bool fill, bool outline, const Outlines* outlines = nullptr);
    void DrawShapeWith(const ShapeFn& shape, const MetaBrush* brush, bool outline, bool invert);
    void FillRings(const std::vector<std::vector<SurfacePoint>>& rings, bool outline);
    void AddToPath(const std::vector<MetaPoint>& points, bool startsFigure);
    // Points of an arc in picture pixels, from the start radial to the end one.
    std::vector<MetaPoint> ArcPoints(double l, double t, double r, double b, double x1, double y1, double x2,
                                     double y2) const;
    void DrawDevicePolygon(const std::vector<MetaPoint>& points, bool closed, bool startsFigure);
    void FillDeviceQuad(const std::vector<MetaPoint>& points, Rgb color);
    // By value: the start point often lives in `out` itself.
    static void Flatten(MetaPoint p0, MetaPoint p1, MetaPoint p2, MetaPoint p3,
                        std::vector<MetaPoint>& out);
    // The pixels the rings cover when filled, as a mask for the clip.
    std::vector<std::uint8_t> FillArea(const std::vector<std::vector<SurfacePoint>>& rings, bool winding);
    // Clip helpers: the clip as a mask, combined with `area` by `mode`.
    void CombineClip(const std::vector<std::uint8_t>& area, int mode) {
        ::CombineClip(state_.clipBox, state_.clipMask, area, mode, surface_.Width(), surface_.Height());
        ApplyClip();
    }
    std::vector<std::uint8_t> MaskOfRects(const std::vector<SurfaceRect>& rects) const {
        return ::MaskOfRects(rects, surface_.Width(), surface_.Height());
    }
    void ApplyClip() { surface_.SetClip(state_.clipBox); }

    CDrawContext surface_;  // over the picture's raster
    MetaDevice device_;
    State state_;
    std::vector<State> saved_;
    std::vector<Object> objects_;
    bool inPath_ = false;
    std::vector<std::vector<SurfacePoint>> pathFigures_;
    std::vector<bool> pathClosed_;
    std::unique_ptr<CCoverageRecorder> recorder_;
    const Pen* penOverride_ = nullptr;  // the gaps of a dashed line
};

// Players: draw every record they know onto the canvas, skip the others and
// stop at the end record or at the first record that does not fit the data.
void PlayWmfRecords(CMetafileCanvas& canvas, const std::uint8_t* records, std::size_t size);
void PlayEmfRecords(CMetafileCanvas& canvas, const std::uint8_t* records, std::size_t size);

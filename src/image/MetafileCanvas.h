#pragma once
// The drawing state of our small metafile player: object table, pen and
// brush, coordinate mapping, current position, paths and bitmap blits,
// drawn onto a raster surface. The WMF and EMF record readers
// (WmfPlayer.cpp, EmfPlayer.cpp) translate records into calls on it.
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

#include <cstdint>
#include <vector>

struct MetaPoint {
    double x = 0, y = 0;
};

// The two affine steps from the coordinates of a record to surface pixels.
struct MetaMapping {
    // World transform (EMF): x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    int mapMode = 1;  // MM_TEXT
    double windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
    double viewportOrgX = 0, viewportOrgY = 0, viewportExtX = 1, viewportExtY = 1;
};

struct MetaPen {
    int style = 0;  // PS_SOLID, PS_DASH..., PS_NULL = 5
    double width = 0;
    Rgb color{};
};

struct MetaBrush {
    int style = 0;  // BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, patterns
    Rgb color{255, 255, 255};
};

class CMetafileCanvas {
public:
    // `surface` is the picture; device coordinates of the metafile (after
    // its own mapping) are scaled by (scaleX, scaleY) after subtracting
    // (originX, originY).
    CMetafileCanvas(CRasterSurface& surface, double originX, double originY, double scaleX, double scaleY,
                    bool windowMapsToPicture);

    // Pixels per millimetre of the device an enhanced metafile was made on
    // (for its metric mapping modes).
    void SetDeviceResolution(double pxPerMmX, double pxPerMmY) {
        pxPerMmX_ = pxPerMmX;
        pxPerMmY_ = pxPerMmY;
    }

    // --- state ---------------------------------------------------------------
    MetaMapping& Mapping() { return state_.map; }
    void SaveState();
    void RestoreState(int which);  // negative: relative, positive: absolute
    void SetWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy);
    void ModifyWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy, int mode);

    // --- objects ----------------------------------------------------------------
    // WMF: objects take the first free slot. EMF: explicit indices.
    int AddObjectFirstFree(int kind, const MetaPen& pen, const MetaBrush& brush);
    void SetObject(std::uint32_t index, int kind, const MetaPen& pen, const MetaBrush& brush);
    void SelectObject(std::uint32_t index);
    void DeleteObject(std::uint32_t index);
    enum ObjectKind { kNone = 0, kPen = 1, kBrush = 2, kOther = 3 };

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
    void Ellipse(double l, double t, double r, double b);

    // Paths: between BeginPath and EndPath the drawing calls above add figures.
    void BeginPath();
    void EndPath();
    void CloseFigure();
    void DrawPath(bool fill, bool stroke);

    // Raster operations: `bitmap` may be null for pattern-only operations.
    // The source rectangle counts rows from the top of the bitmap.
    void Blit(double x, double y, double w, double h, const CRasterImage* bitmap, int srcX, int srcY, int srcW,
              int srcH, std::uint32_t rop);

private:
    struct Object {
        int kind = kNone;
        MetaPen pen;
        MetaBrush brush;
    };
    struct State {
        MetaMapping map;
        MetaPen pen;
        MetaBrush brush;
        MetaPoint position;
    };

    SurfacePoint Map(double x, double y) const;
    MetaPoint MapExact(double x, double y) const;
    std::vector<SurfacePoint> MapAll(const std::vector<MetaPoint>& points) const;
    void UsePen();
    void UseBrush(bool fill);
    void AddToPath(const std::vector<MetaPoint>& points, bool startsFigure);
    // By value: the start point often lives in `out` itself.
    static void Flatten(MetaPoint p0, MetaPoint p1, MetaPoint p2, MetaPoint p3,
                        std::vector<MetaPoint>& out);

    CRasterSurface& surface_;
    double originX_, originY_, scaleX_, scaleY_;
    bool windowMapsToPicture_;
    double pxPerMmX_ = 96 / 25.4, pxPerMmY_ = 96 / 25.4;
    State state_;
    std::vector<State> saved_;
    std::vector<Object> objects_;
    bool inPath_ = false;
    std::vector<std::vector<SurfacePoint>> pathFigures_;
    std::vector<bool> pathClosed_;
};

// Players: draw every record they know onto the canvas, skip the others and
// stop at the end record or at the first record that does not fit the data.
void PlayWmfRecords(CMetafileCanvas& canvas, const std::uint8_t* records, std::size_t size);
void PlayEmfRecords(CMetafileCanvas& canvas, const std::uint8_t* records, std::size_t size);

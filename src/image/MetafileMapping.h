#pragma once
// How a metafile's record coordinates become picture pixels: the mapping in
// force (world transform, mapping mode, window and viewport) over the device
// the picture stands for, and what it does to lengths.
#include "image/DrawSurface.h"

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

    void SetWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy);
    // Mode: 1 identity, 2 the new transform first, 3 the new one last, 4 set.
    void ModifyWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy, int mode);
};

// The picture a play draws on, fixed for the play: device coordinates of
// the metafile (after its own mapping) are scaled by (scaleX, scaleY) after
// subtracting (originX, originY).
struct MetaDevice {
    double originX = 0, originY = 0, scaleX = 1, scaleY = 1;
    // A placeable metafile: its window is the whole picture.
    bool windowMapsToPicture = false;
    // Pixels per millimetre of the device an enhanced metafile was made on
    // (for its metric mapping modes).
    double pxPerMmX = 96 / 25.4, pxPerMmY = 96 / 25.4;
};

// The linear part of a mapping to picture pixels: x' = xx x + xy y,
// y' = yx x + yy y (plus an offset).
struct MetaLinear {
    double xx = 1, xy = 0, yx = 0, yy = 1;
};

class CMetaMapper final {
public:
    CMetaMapper(const MetaMapping& map, const MetaDevice& device) : map_(map), device_(device) {}

    MetaPoint MapExact(double x, double y) const;
    // Rounded to pixels, kept well inside int.
    SurfacePoint Map(double x, double y) const;
    std::vector<SurfacePoint> MapAll(const std::vector<MetaPoint>& points) const;
    MetaLinear LinearPart() const;
    // It turns or shears, so boxes of the records are no longer boxes of
    // the picture.
    bool Skewed() const;
    // The world transform alone as seen in picture pixels (identity when
    // there is none): what turns and shears text and bitmaps.
    MetaLinear WorldInPicture() const;
    // The page mapping alone: picture pixels per logical unit along x and y.
    void PageScale(double& px, double& py) const;
    // Device coordinates (regions of enhanced metafiles) to picture pixels.
    MetaPoint DeviceToPicture(double x, double y) const;
    // The length in pixels of a logical distance.
    double MappedLength(double dx, double dy) const;
    // Points of the ellipse in the box, in record coordinates, as a closed
    // ring (for skewed mappings), as many as its size in pixels asks.
    std::vector<MetaPoint> EllipseRing(double l, double t, double r, double b) const;

private:
    const MetaMapping& map_;
    const MetaDevice& device_;
};

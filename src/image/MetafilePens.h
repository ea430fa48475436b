#pragma once
// Pens of the metafile player: the device pen (colour, width) of a logical
// pen and the dash patterns of styled pens, which the player draws itself as
// short lines so that every pattern GDI knows comes out as GDI draws it.
#include "image/DrawSurface.h"
#include "image/MetafileMapping.h"

#include <cstdint>
#include <utility>
#include <vector>

struct MetaPen {
    MetaPen() = default;
    MetaPen(int style_, double width_, Rgb color_) : style(style_), width(width_), color(color_) {}
    int style = 0;  // PS_SOLID, PS_DASH..., PS_NULL = 5, PS_USERSTYLE = 7, PS_ALTERNATE = 8; PS_GEOMETRIC 0x10000
    double width = 0;
    Rgb color{};
    bool extended = false;          // made by EXTCREATEPEN
    std::vector<double> userStyle;  // PS_USERSTYLE: dash and gap lengths in turn
};

// Outlines of a shape in picture pixels, each closed or open: what a styled
// pen dashes.
using MetaOutlines = std::vector<std::pair<std::vector<SurfacePoint>, bool>>;

// The pen drawn with: its width is a logical length, mapped as a horizontal one.
Pen DevicePen(const MetaPen& pen, const CMetaMapper& mapper);
// The pen's dash pattern in pixels (drawn, skipped, ...); empty for a solid pen.
std::vector<std::uint32_t> DashRuns(const MetaPen& pen, const CMetaMapper& mapper);
// The drawn runs as lines, those that reach into `visible` (widened by the
// pen) only.
std::vector<std::pair<SurfacePoint, SurfacePoint>> DashLines(const MetaOutlines& outlines,
                                                             const std::vector<std::uint32_t>& runs,
                                                             const SurfaceRect& visible);

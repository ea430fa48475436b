#include "print/CoverLayout.h"

#include "settings/Prompter.h"

#include <algorithm>

int GeometryFormatIndex(const CoverFormatList& formats, int f) {
    if (f < 0 || f >= formats.count())
        return -1;
    if (formats.type(f) == "PLAYSTATION" && formats.count() > 1)
        return 1;
    return f;
}

namespace {
// One axis of a cover's explicit position: millimetres from the sheet's
// near edge, or, when negative, from its far edge (as the paper preview
// shows it).
int ExplicitPosition(double mm, int dpi, int sheetSize, int coverSize) {
    int px = CoverMmToPixels(mm, dpi);
    if (mm < 0)
        return sheetSize + px - coverSize;
    return px;
}

// One axis of MoveIntoPrintableArea; returns the new position.
int MoveAxis(int pos, int size, int offset, int printable) {
    if (size > printable)
        return offset - (size - printable) / 2;
    if (pos < offset)
        return offset;
    if (static_cast<long long>(pos) + size > static_cast<long long>(offset) + printable)
        return offset + printable - size;
    return pos;
}
}  // namespace

CoverPlacement ComputePlacement(const PageMetrics& page, const CoverFormatList& formats, SlotFormat cover,
                                PlacementJob& job) {
    const bool right = cover.right();
    const int f = cover.format;
    const int g = GeometryFormatIndex(formats, f);
    if (g < 0)
        return CoverPlacement{};
    const int which = right ? 1 : 0;
    // Automatic or not is the slot's own format's choice, even when a
    // PlayStation back takes its geometry from another format.
    const bool automatic = formats.position(f, which, true).x == AUTO_POSITION;
    const FormatPosition pos = formats.position(g, which, true);

    CoverPlacement p;
    p.width = std::max(0, CoverMmToPixels(pos.width, page.dpiX));
    p.height = std::max(0, CoverMmToPixels(pos.height, page.dpiY));
    p.holeSize = std::max(0, CoverMmToPixels(pos.holeSize, page.dpiX));

    if (automatic) {
        p.x = (page.physicalWidth - p.width) / 2;
        if (formats.type(f) == "CD_FRONT") {
            p.y = page.halfHeight - p.height;
            if (right && job.singlePage)
                p.y = page.halfHeight;
        } else if (2LL * p.height > page.printableHeight) {
            p.y = (page.physicalHeight - p.height) / 2;
        } else {
            p.y = (page.halfHeight - p.height) / 2;
            if (right)
                p.y = page.halfHeight + (page.halfHeight - p.height) / 2;
        }
    } else {
        p.x = ExplicitPosition(pos.x, page.dpiX, page.physicalWidth, p.width);
        p.y = ExplicitPosition(pos.y, page.dpiY, page.physicalHeight, p.height);
    }

    if (job.checkForPrintableArea)
        p = ClampToPrintableArea(p, page, job);
    return p;
}

bool MoveIntoPrintableArea(CoverPlacement& p, const PageMetrics& page) {
    const int x = MoveAxis(p.x, p.width, page.offsetX, page.printableWidth);
    const int y = MoveAxis(p.y, p.height, page.offsetY, page.printableHeight);
    const bool moved = x != p.x || y != p.y;
    p.x = x;
    p.y = y;
    return moved;
}

CoverPlacement ClampToPrintableArea(const CoverPlacement& placement, const PageMetrics& page, PlacementJob& job) {
    CoverPlacement p = placement;
    if (MoveIntoPrintableArea(p, page) && !job.printableWarned) {
        if (job.prompter)
            job.prompter->Information(kTextOutsidePrintableArea);
        job.printableWarned = 1;
    }
    return p;
}

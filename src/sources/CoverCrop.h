#pragma once
// Finding a cover laid on a scanner's platen: the part of the scan that
// stands out from the platen's lid around it.
#include "image/RasterImage.h"

struct CropRect {
    int x = 0, y = 0;  // left, top (rows counted from the top)
    int width = 0, height = 0;
};

// The cover's rectangle in a scan whose edges show the lid: rows and
// columns where enough pixels differ clearly from the lid's colour (the
// median of the outermost pixels), so that specks of dust do not count.
// The whole picture when nothing stands out, or when what stands out is
// too small to be a cover (under a tenth of either side).
CropRect FindCoverOnPlaten(const CRasterImage& scan);

// The part of an 8- or 24-bit picture inside `rect`, its resolution kept;
// the whole picture for a rectangle that does not lie inside it.
CRasterImage CropPicture(const CRasterImage& picture, const CropRect& rect);

#pragma once
// Where one cover lands on the sheet, in printer pixels from the sheet's
// top-left corner.
struct CoverPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int holeSize = 0;
    bool operator==(const CoverPlacement&) const = default;
};

#include "print/PageMetrics.h"

PageMetrics PageMetrics::Make(int physicalWidth, int physicalHeight, int offsetX, int offsetY,
                              int printableWidth, int printableHeight, int dpiX, int dpiY) {
    PageMetrics m;
    m.offsetX = offsetX;
    m.offsetY = offsetY;
    m.physicalWidth = physicalWidth;
    m.physicalHeight = physicalHeight;
    m.printableWidth = printableWidth;
    m.printableHeight = printableHeight;
    m.dpiX = dpiX;
    m.dpiY = dpiY;
    m.halfHeight = physicalHeight / 2;
    return m;
}

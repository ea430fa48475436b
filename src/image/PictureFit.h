#pragma once
// Pictures shown at their natural size in an area of fixed size (the skin's
// pictures): one larger than its area could never be seen whole, and would
// hold its full pixels in memory for nothing. It is reduced to fit the area,
// proportions kept: colour pictures by area averaging, palette pictures by
// taking the nearest pixel, so that their indices (and a transparent index)
// keep their meaning.
#include "image/RasterImage.h"

// The size a width x height picture gets fitted into areaWidth x areaHeight;
// the picture's own size when it fits already (or the area is 0 x 0).
void FittedSize(int width, int height, int areaWidth, int areaHeight, int& fitWidth, int& fitHeight);
// Reduces `image` to FittedSize; true when it was reduced.
bool ReduceToFit(CRasterImage& image, int areaWidth, int areaHeight);

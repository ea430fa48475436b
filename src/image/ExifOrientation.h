#pragma once
// How a picture is meant to be seen: the Exif orientation (1 to 8) that
// cameras and phones write instead of turning the pixels, and the turns and
// mirrors that bring the stored pixels upright.
#include "image/RasterImage.h"

#include <cstddef>
#include <cstdint>

// The orientation tag of an Exif block (a TIFF structure, with or without
// the "Exif\0\0" prefix of JPEG and some WebP files); 1 when there is none,
// the block is damaged or the value is out of range.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

// Turns and mirrors `image` so that a picture stored with `orientation`
// comes out upright. Quarter turns go through Rotate, so JPEG data is kept
// (the turns are noted); mirrored orientations (2, 4, 5, 7) drop it.
// False, with the image's message, only when memory runs out.
bool ApplyOrientation(CRasterImage& image, int orientation);

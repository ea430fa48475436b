#pragma once
// Pictures from device-independent bitmaps and from device pixels, through
// CRasterImage's public interface.
#include <cstddef>
#include <cstdint>

class CRasterImage;
class IPixelBackend;

// A memory block holding a device-independent bitmap (40-byte header,
// palette, rows), as the clipboard and metafiles hand it over. Releases the
// image's content first; on failure the image stays empty.
bool ReadDibImage(CRasterImage& image, const std::uint8_t* block, std::size_t size);
// The pixels of a device (a rendered page), as a 24-bit image.
bool ReadDeviceImage(CRasterImage& image, const IPixelBackend& device);

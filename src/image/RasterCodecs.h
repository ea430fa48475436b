#pragma once
// The codec classes: each derives from CRasterImage and adds one decode
// operation over a byte source. A codec decodes into itself; the caller moves
// the result into the target image only on success (CRasterImage::Decode).
#include "image/RasterImage.h"

#define KORVANE_DECLARE_CODEC(Name)                                   \
    class Name : public CRasterImage {                                \
    public:                                                           \
        /* Starts from the settings (frame to decode) of `target`. */ \
        explicit Name(const CRasterImage& target) { CopySettingsFrom(target); } \
        Name() = default;                                             \
        bool Decode(CByteSource& source);                             \
    };

KORVANE_DECLARE_CODEC(CRasterBMP)
KORVANE_DECLARE_CODEC(CRasterGIF)
KORVANE_DECLARE_CODEC(CRasterICO)
KORVANE_DECLARE_CODEC(CRasterJPG)
KORVANE_DECLARE_CODEC(CRasterPCX)
KORVANE_DECLARE_CODEC(CRasterPNG)
KORVANE_DECLARE_CODEC(CRasterTGA)
KORVANE_DECLARE_CODEC(CRasterWBMP)
KORVANE_DECLARE_CODEC(CRasterWMF)
KORVANE_DECLARE_CODEC(CRasterWEBP)
KORVANE_DECLARE_CODEC(CRasterHEIF)
KORVANE_DECLARE_CODEC(CRasterJXL)
KORVANE_DECLARE_CODEC(CRasterTIFF)

#undef KORVANE_DECLARE_CODEC

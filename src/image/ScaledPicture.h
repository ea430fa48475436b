#pragma once
// A slot's picture at the pixel size a view needs. The window keeps a slot's
// JPEG decoded only as far as its screen needs, with the file's data; a view
// that shows the picture larger (the zoom view, the print preview) has the
// data decoded again at the scale whose pixels cover what it shows, and
// keeps that decode while it goes on needing the same.
#include "image/RasterImage.h"

class CScaledPicture {
public:
    // The pixels to draw `picture` from when it is shown `width` x `height`
    // device pixels large (0, 0: in full): the picture itself when its
    // pixels are as fine as that or it has no data to decode again,
    // otherwise a decode of its data (the picture itself when that fails).
    // The result lives until the next call or this object's end.
    const CRasterImage& For(const CRasterImage& picture, int width, int height);
    // Drops the decode made for a view.
    void Release();
    // True when For's last result was a decode of its own.
    bool Decoded() const { return decoded_.IsValid(); }

private:
    CRasterImage decoded_;
    // What decoded_ was decoded from (held weakly, so that no later data
    // can come to stand at the same place), and how.
    std::weak_ptr<const std::vector<std::uint8_t>> data_;
    PictureTurn turn_;
    int denominator_ = 0;
};

// The reduction libjpeg's scaling gives a picture of fileWidth x fileHeight
// whose pixels still cover width x height: 8, 4, 2, or 1 for none.
int CoveringDenominator(int fileWidth, int fileHeight, int width, int height);

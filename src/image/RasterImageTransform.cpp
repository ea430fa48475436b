// CRasterImage: quarter turns and grey conversion. Each builds one new image
// and moves it in, so the old pixels are released only after success. A
// quarter turn keeps the JPEG data and notes the turn; the data itself is
// turned (TurnJpeg) when printing first asks for it.
#include "image/RasterImage.h"

#include "image/JpegTurn.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kTile = 32;

// Copies `bytes`-sized pixels of a quarter turn tile by tile, so that the
// column walk through the source stays within the cache.
// dest(xd, rd) = src(mapX(rd, xd), mapY(rd, xd)), all rows bottom-up.
template <int bytes, class Map>
void TurnPlane(const std::uint8_t* src, std::size_t srcStride, std::uint8_t* dst, std::size_t dstStride, int dstW,
               int dstH, Map map) {
    for (int r0 = 0; r0 < dstH; r0 += kTile) {
        const int r1 = std::min(dstH, r0 + kTile);
        for (int x0 = 0; x0 < dstW; x0 += kTile) {
            const int x1 = std::min(dstW, x0 + kTile);
            for (int rd = r0; rd < r1; ++rd) {
                std::uint8_t* out = dst + rd * dstStride + static_cast<std::size_t>(x0) * bytes;
                for (int xd = x0; xd < x1; ++xd, out += bytes) {
                    int sx, sy;
                    map(rd, xd, sx, sy);
                    const std::uint8_t* in = src + sy * srcStride + static_cast<std::size_t>(sx) * bytes;
                    if constexpr (bytes == 3) {
                        out[0] = in[0];
                        out[1] = in[1];
                        out[2] = in[2];
                    } else {
                        out[0] = in[0];
                    }
                }
            }
        }
    }
}
}  // namespace

bool CRasterImage::Rotate(int angle, CRasterImage* destination) {
    if (!IsValid()) {
        SetLastError("Rotate: no image");
        return false;
    }
    if (angle % 90 != 0) {
        SetLastError("Rotate: only quarter turns are supported");
        return false;
    }
    const int turns = ((angle / 90) % 4 + 4) % 4;  // clockwise quarter turns
    const int W = width_, H = height_;
    const int dstW = (turns % 2) ? H : W;
    const int dstH = (turns % 2) ? W : H;

    CRasterImage result;
    if (!result.Create(dstW, dstH, bpp_, type_)) {
        SetLastError(result.GetLastError());
        return false;
    }
    result.palette_ = palette_;
    result.alphaMax_ = alphaMax_;
    result.paletteAlpha_ = paletteAlpha_;
    result.transparentIndex_ = transparentIndex_;
    result.transparentColor_ = transparentColor_;
    result.xDpi_ = (turns % 2) ? yDpi_ : xDpi_;
    result.yDpi_ = (turns % 2) ? xDpi_ : yDpi_;
    result.frame_ = frame_;
    result.numFrames_ = numFrames_;
    result.fileWidth_ = (turns % 2) ? fileHeight_ : fileWidth_;
    result.fileHeight_ = (turns % 2) ? fileWidth_ : fileHeight_;
    if (HasAlpha())
        result.alpha_.assign(static_cast<std::size_t>(dstW) * dstH, 0);

    // Where each destination pixel comes from (bottom-up rows on both sides).
    auto map = [turns, W, H](int rd, int xd, int& sx, int& sy) {
        switch (turns) {
        case 1:  // clockwise as displayed
            sx = W - 1 - rd;
            sy = xd;
            break;
        case 2:
            sx = W - 1 - xd;
            sy = H - 1 - rd;
            break;
        case 3:  // counter-clockwise
            sx = rd;
            sy = H - 1 - xd;
            break;
        default:
            sx = xd;
            sy = rd;
            break;
        }
    };

    if (bpp_ == 24) {
        TurnPlane<3>(GetBits(), stride_, result.GetBits(), result.stride_, dstW, dstH, map);
    } else if (bpp_ == 8) {
        TurnPlane<1>(GetBits(), stride_, result.GetBits(), result.stride_, dstW, dstH, map);
    } else {
        std::memset(result.GetBits(), 0, result.GetBitsSize());
        for (int rd = 0; rd < dstH; ++rd) {
            for (int xd = 0; xd < dstW; ++xd) {
                int sx, sy;
                map(rd, xd, sx, sy);
                result.SetPixelIndex(xd, rd, GetPixelIndex(sx, sy));
            }
        }
    }
    if (HasAlpha())
        TurnPlane<1>(alpha_.data(), W, result.alpha_.data(), dstW, dstW, dstH, map);
    // The JPEG data turns with the pixels, when it is asked for.
    result.jpegData_ = jpegData_;
    result.jpegTurns_ = (jpegTurns_ + turns) % 4;
    result.jpegMirrored_ = jpegMirrored_;
    result.colour_ = colour_;

    return destination ? destination->Transfer(result) : Transfer(result);
}

const std::shared_ptr<const std::vector<std::uint8_t>>& CRasterImage::GetJpegData() const {
    static const std::shared_ptr<const std::vector<std::uint8_t>> none;
    if (jpegMirrored_)
        return none;
    if (jpegData_ && jpegTurns_ != 0) {
        std::shared_ptr<const std::vector<std::uint8_t>> data = jpegData_;
        if (jpegTurns_ == 3)
            data = TurnJpeg(data->data(), data->size(), -90);
        else
            for (int i = 0; i < jpegTurns_ && data; ++i)
                data = TurnJpeg(data->data(), data->size(), 90);
        // Data that cannot be turned exactly stays as the file holds it,
        // for the devices that turn it themselves.
        if (!data)
            return none;
        jpegData_ = std::move(data);
        jpegTurns_ = 0;
    }
    return jpegData_;
}

bool CRasterImage::DecodeInFull() {
    if (!IsReduced())
        return IsValid();
    if (!jpegData_)
        return false;
    // Above the picture limit a decode could only be reduced again.
    if (std::int64_t{GetFileWidth()} * GetFileHeight() > kMaxPicturePixels) {
        SetLastError(PictureTooLargeText(GetFileWidth(), GetFileHeight()));
        return false;
    }
    CRasterImage full;
    full.frame_ = frame_;
    CMemorySource source(jpegData_->data(), jpegData_->size());
    if (!full.Decode(source, IMAGE_JPG) || full.IsReduced()) {
        SetLastError(full.IsReduced() ? PictureTooLargeText(GetFileWidth(), GetFileHeight()) : full.GetLastError());
        return false;
    }
    if (jpegMirrored_)
        full.Mirror();
    if (jpegTurns_ != 0 && !full.Rotate(90 * jpegTurns_)) {
        SetLastError(full.GetLastError());
        return false;
    }
    full.SetDecodeWarning(decodeWarning_);
    return Transfer(full);
}

bool CRasterImage::ConvertToGray() {
    if (!IsValid()) {
        SetLastError("ConvertToGray: no image");
        return false;
    }
    auto gray = [](int r, int g, int b) { return static_cast<std::uint8_t>((r * 306 + g * 601 + b * 117) >> 10); };

    CRasterImage result;
    if (!result.Create(width_, height_, 8, type_)) {
        SetLastError(result.GetLastError());
        return false;
    }
    result.SetGrayPalette();
    result.alpha_ = alpha_;
    result.alphaMax_ = alphaMax_;
    result.xDpi_ = xDpi_;
    result.yDpi_ = yDpi_;
    result.fileWidth_ = fileWidth_;
    result.fileHeight_ = fileHeight_;
    result.frame_ = frame_;
    result.numFrames_ = numFrames_;

    if (bpp_ == 24) {
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* in = GetRow(y);
            std::uint8_t* out = result.GetRow(y);
            for (int x = 0; x < width_; ++x, in += 3)
                out[x] = gray(in[2], in[1], in[0]);
        }
        if (transparentIndex_ >= 0) {
            result.transparentIndex_ = gray(transparentColor_.r, transparentColor_.g, transparentColor_.b);
            result.transparentColor_ = transparentColor_;
        }
    } else {
        std::uint8_t grayOf[256] = {};
        for (int i = 0; i < GetPaletteSize(); ++i)
            grayOf[i] = gray(palette_[i].red, palette_[i].green, palette_[i].blue);
        // Per-entry alpha has no place in the grey palette: keep it in the
        // alpha plane so that the picture stays as transparent as it was.
        if (paletteAlpha_) {
            if (result.alpha_.empty())
                result.alpha_.assign(static_cast<std::size_t>(width_) * height_, 255);
        }
        for (int y = 0; y < height_; ++y) {
            std::uint8_t* out = result.GetRow(y);
            std::uint8_t* aout = paletteAlpha_ ? result.GetAlphaRow(y) : nullptr;
            for (int x = 0; x < width_; ++x) {
                const std::uint8_t index = GetPixelIndex(x, y);
                out[x] = grayOf[index];
                if (aout)
                    aout[x] = static_cast<std::uint8_t>((aout[x] * (palette_[index].alpha + 1)) >> 8);
            }
        }
        if (transparentIndex_ >= 0 && transparentIndex_ < GetPaletteSize()) {
            result.transparentIndex_ = grayOf[transparentIndex_];
            result.transparentColor_ = transparentColor_;
        }
    }
    return Transfer(result);
}

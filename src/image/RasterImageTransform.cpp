// CRasterImage: quarter turns, mirrors and grey conversion. A quarter turn
// or mirror is noted, and carried out on the pixels when they are first
// read (a PDF page draws the stored pixels turned instead); it keeps the
// JPEG data and notes the turn, and the data itself is turned (TurnJpeg)
// when printing first asks for it. Grey conversion builds one new image and
// moves it in, so the old pixels are released only after success.
#include "image/RasterImage.h"

#include "image/JpegTurn.h"
#include "image/PackedIndex.h"

#include <algorithm>
#include <cstring>
#include <new>

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
    if (destination && destination != this) {
        CRasterImage turned(*this);
        return turned.Rotate(angle) && destination->Transfer(turned);
    }
    const int turns = ((angle / 90) % 4 + 4) % 4;  // clockwise quarter turns
    if (turns % 2) {
        std::swap(xDpi_, yDpi_);
        std::swap(fileWidth_, fileHeight_);
    }
    // The pixels turn when they are first read; the JPEG data when it is
    // asked for.
    pendingTurn_.turns = (pendingTurn_.turns + turns) % 4;
    jpegTurns_ = (jpegTurns_ + turns) % 4;
    return true;
}

void CRasterImage::Mirror() {
    if (!IsValid())
        return;
    // A mirror after t clockwise turns is the mirror first, then t turns
    // the other way; the pixels and the JPEG data only note it.
    jpegMirrored_ = !jpegMirrored_;
    jpegTurns_ = (4 - jpegTurns_) % 4;
    pendingTurn_ = PictureTurn{(4 - pendingTurn_.turns) % 4, !pendingTurn_.mirrored};
}

void CRasterImage::TurnStoredPlanes() const {
    const PictureTurn turn = pendingTurn_;
    pendingTurn_ = PictureTurn{};
    const int W = width_, H = height_;
    if (turn.mirrored) {
        for (int y = 0; y < H; ++y) {
            std::uint8_t* row = pixels_.get() + static_cast<std::size_t>(y) * stride_;
            if (bpp_ == 24) {
                for (int l = 0, r = W - 1; l < r; ++l, --r)
                    std::swap_ranges(row + l * 3, row + l * 3 + 3, row + r * 3);
            } else if (bpp_ == 8) {
                std::reverse(row, row + W);
            } else {
                for (int l = 0, r = W - 1; l < r; ++l, --r) {
                    const std::uint8_t a = RowIndexAt(row, l, bpp_), b = RowIndexAt(row, r, bpp_);
                    SetRowIndexAt(row, l, bpp_, b);
                    SetRowIndexAt(row, r, bpp_, a);
                }
            }
            if (!alpha_.empty())
                std::reverse(alpha_.begin() + static_cast<std::ptrdiff_t>(y) * W,
                             alpha_.begin() + static_cast<std::ptrdiff_t>(y + 1) * W);
        }
    }
    const int turns = turn.turns;
    if (turns == 0)
        return;
    const int dstW = (turns % 2) ? H : W;
    const int dstH = (turns % 2) ? W : H;
    const int dstStride = static_cast<int>((static_cast<std::int64_t>(dstW) * bpp_ + 31) / 32 * 4);
    std::unique_ptr<std::uint8_t[]> turned(new (std::nothrow)
                                               std::uint8_t[static_cast<std::size_t>(dstStride) * dstH]);
    std::vector<std::uint8_t> turnedAlpha;
    try {
        if (!alpha_.empty())
            turnedAlpha.assign(static_cast<std::size_t>(dstW) * dstH, 0);
    } catch (const std::bad_alloc&) {
        turned.reset();
    }
    if (!turned) {
        // Without the memory the picture stays as stored, which it is then.
        const_cast<CRasterImage*>(this)->SetLastError("Rotate: can't allocate memory");
        return;
    }

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
        default:  // counter-clockwise
            sx = rd;
            sy = H - 1 - xd;
            break;
        }
    };
    if (bpp_ == 24) {
        TurnPlane<3>(pixels_.get(), stride_, turned.get(), dstStride, dstW, dstH, map);
    } else if (bpp_ == 8) {
        TurnPlane<1>(pixels_.get(), stride_, turned.get(), dstStride, dstW, dstH, map);
    } else {
        std::memset(turned.get(), 0, static_cast<std::size_t>(dstStride) * dstH);
        for (int rd = 0; rd < dstH; ++rd) {
            std::uint8_t* out = turned.get() + static_cast<std::size_t>(rd) * dstStride;
            for (int xd = 0; xd < dstW; ++xd) {
                int sx, sy;
                map(rd, xd, sx, sy);
                SetRowIndexAt(out, xd, bpp_, RowIndexAt(pixels_.get() + static_cast<std::size_t>(sy) * stride_, sx, bpp_));
            }
        }
    }
    if (!alpha_.empty())
        TurnPlane<1>(alpha_.data(), W, turnedAlpha.data(), dstW, dstW, dstH, map);
    pixels_ = std::move(turned);
    alpha_ = std::move(turnedAlpha);
    width_ = dstW;
    height_ = dstH;
    stride_ = dstStride;
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

bool CRasterImage::DecodeFromDataInto(CRasterImage& out, int width, int height) const {
    if (!jpegData_) {
        out.SetLastError("no JPEG data to decode");
        return false;
    }
    CRasterImage decoded;
    decoded.frame_ = frame_;
    // The limit is the file's way round: a quarter turn swaps the view's sides.
    if (width > 0 && height > 0)
        decoded.SetDecodeLimit(jpegTurns_ % 2 ? height : width, jpegTurns_ % 2 ? width : height);
    CMemorySource source(jpegData_->data(), jpegData_->size());
    if (!decoded.Decode(source, IMAGE_JPG)) {
        out.SetLastError(decoded.GetLastError());
        return false;
    }
    // The same bytes, held once.
    if (decoded.jpegData_)
        decoded.jpegData_ = jpegData_;
    // The decode stands as the file's orientation says (t0, m0); this
    // image as (t, m): from the one to the other is a mirror when m0 and m
    // differ, then t + t0 quarter turns after a mirror, t - t0 without.
    const int t0 = decoded.jpegTurns_, t = jpegTurns_;
    const bool mirror = decoded.jpegMirrored_ != jpegMirrored_;
    if (mirror)
        decoded.Mirror();
    const int turns = ((mirror ? t + t0 : t - t0) % 4 + 4) % 4;
    if (turns != 0 && !decoded.Rotate(90 * turns)) {
        out.SetLastError(decoded.GetLastError());
        return false;
    }
    decoded.SetDecodeWarning(decodeWarning_);
    return out.Transfer(decoded);
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
    if (!DecodeFromDataInto(full) || full.IsReduced()) {
        SetLastError(full.IsReduced() ? PictureTooLargeText(GetFileWidth(), GetFileHeight()) : full.GetLastError());
        return false;
    }
    return Transfer(full);
}

bool CRasterImage::ConvertToGray() {
    Settle();
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

#include "image/ScaledPicture.h"

int CoveringDenominator(int fileWidth, int fileHeight, int width, int height) {
    if (width <= 0 || height <= 0)
        return 1;
    for (int d : {8, 4, 2}) {
        // libjpeg's reduced sizes round up.
        if ((fileWidth + d - 1) / d >= width && (fileHeight + d - 1) / d >= height)
            return d;
    }
    return 1;
}

const CRasterImage& CScaledPicture::For(const CRasterImage& picture, int width, int height) {
    if (!picture.IsReduced() || !picture.HasJpegData()) {
        Release();
        return picture;
    }
    // The view's size in the picture's own pixels, as it stands.
    const int fileW = picture.GetFileWidth(), fileH = picture.GetFileHeight();
    const int d = (width <= 0 || height <= 0) ? 1 : CoveringDenominator(fileW, fileH, width, height);
    // The picture's own pixels are as fine as the decode would be.
    if (picture.GetWidth() >= (fileW + d - 1) / d && picture.GetHeight() >= (fileH + d - 1) / d) {
        Release();
        return picture;
    }
    const auto& data = picture.GetJpegSource();
    const bool same = !data_.owner_before(data) && !data.owner_before(data_) && !data_.expired();
    if (decoded_.IsValid() && same && picture.GetJpegTurn() == turn_ && d == denominator_)
        return decoded_;
    Release();
    // Decoded to cover the size libjpeg gives at that scale.
    const int needW = (fileW + d - 1) / d, needH = (fileH + d - 1) / d;
    if (!picture.DecodeFromDataInto(decoded_, d == 1 ? 0 : needW, d == 1 ? 0 : needH))
        return picture;
    data_ = data;
    turn_ = picture.GetJpegTurn();
    denominator_ = d;
    return decoded_;
}

void CScaledPicture::Release() {
    decoded_.Clear();
    data_.reset();
    denominator_ = 0;
}

// Fuzz target: TurnJpeg, both ways.
// - A JPEG file (starting FF D8) as it comes: a turn that succeeds must give
//   data that decodes cleanly to the turned size and turns back.
// - Anything else describes a picture (size, sampling, progression, quality,
//   pixels) that is encoded here: it must turn exactly when the edge that
//   moves ends on a whole block row, and turning back must give the very
//   coefficients it started from.
#include "FuzzSupport.h"
#include "ImageFuzzExercise.h"

#include "JpegReadBack.h"
#include "TestEncoders.h"
#include "image/JpegTurn.h"

#include <cstddef>
#include <cstdint>

namespace {
void TurnFile(const std::uint8_t* data, std::size_t size) {
    for (int angle : {90, -90}) {
        const auto turned = TurnJpeg(data, size, angle);
        if (!turned)
            continue;
        CMemorySource source(data, size);
        CRasterImage picture;
        Check(picture.Decode(source, IMAGE_JPG));
        CMemorySource turnedSource(turned->data(), turned->size());
        CRasterImage result;
        Check(result.Decode(turnedSource, IMAGE_JPG) && result.GetJpegData());
        Check(result.GetWidth() == picture.GetHeight() && result.GetHeight() == picture.GetWidth());
        Check(TurnJpeg(turned->data(), turned->size(), -angle) != nullptr);
    }
}

bool SameCoefficients(const Coefficients& a, const Coefficients& b) {
    if (a.width != b.width || a.height != b.height || a.components.size() != b.components.size())
        return false;
    for (std::size_t ci = 0; ci < a.components.size(); ++ci)
        if (a.components[ci].quant != b.components[ci].quant || a.components[ci].blocks != b.components[ci].blocks)
            return false;
    return true;
}

void TurnMadePicture(const std::uint8_t* data, std::size_t size) {
    static const int kFactors[] = {1, 2, 4, 1};
    JpegRecipe s;
    s.width = 1 + data[0] % 72;
    s.height = 1 + data[1] % 72;
    s.components = (data[2] & 1) ? 3 : 1;
    s.lumaH = kFactors[(data[2] >> 1) & 3];
    s.lumaV = kFactors[(data[2] >> 3) & 3];
    if (s.lumaH * s.lumaV > 8)
        s.lumaV = 2;  // libjpeg takes at most 10 blocks per MCU
    s.progressive = (data[2] & 0x20) != 0;
    s.quality = 1 + data[3] % 100;
    const std::size_t count = static_cast<std::size_t>(s.width) * s.height * s.components;
    s.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        s.pixels[i] = data[4 + i % (size - 4)];
    const std::vector<std::uint8_t> file = EncodeJpeg(s);
    Coefficients original;
    Check(ReadCoefficients(file, original));
    const int maxH = s.components == 3 ? s.lumaH : 1, maxV = s.components == 3 ? s.lumaV : 1;
    for (int angle : {90, -90}) {
        const auto turned = TurnJpeg(file.data(), file.size(), angle);
        const bool whole = angle == 90 ? s.height % (8 * maxV) == 0 : s.width % (8 * maxH) == 0;
        Check(static_cast<bool>(turned) == whole);
        if (!turned)
            continue;
        const auto back = TurnJpeg(turned->data(), turned->size(), -angle);
        Check(back != nullptr);
        Coefficients again;
        Check(ReadCoefficients(*back, again) && SameCoefficients(original, again));
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        TurnFile(data, size);
    else if (size >= 5)
        TurnMadePicture(data, size);
    return 0;
}

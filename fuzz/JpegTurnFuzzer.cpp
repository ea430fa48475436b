// Fuzz target: TurnJpeg on any data, both ways. A turn that succeeds must
// give data that decodes cleanly to the turned size and turns back.
#include "FuzzSupport.h"
#include "ImageFuzzExercise.h"

#include "image/JpegTurn.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
    return 0;
}

// Fuzz target: the ICO codec (CRasterICO) through CRasterImage::Decode.
#include "ImageFuzzExercise.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemorySource source(data, size);
    CRasterImage image;
    // The frame to decode comes from the input size, so that later frames
    // are exercised too without changing the bytes.
    image.SetFrame(static_cast<int>(size % 3));
    image.Decode(source, IMAGE_ICO);
    ExerciseDecodedImage(image);
    return 0;
}

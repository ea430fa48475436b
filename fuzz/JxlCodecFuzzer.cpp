// Fuzz target: the JPEG XL codec (CRasterJXL) through CRasterImage::Decode.
#include "ImageFuzzExercise.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemorySource source(data, size);
    CRasterImage image;
    image.Decode(source, IMAGE_JXL);
    ExerciseDecodedImage(image);
    return 0;
}

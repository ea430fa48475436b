// Fuzz target: the WMF codec (CRasterWMF) through CRasterImage::Decode.
#include "ImageFuzzExercise.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemorySource source(data, size);
    CRasterImage image;
    // Played fitted into a small view: the records are the same at any size,
    // and a picture of up to 4000 x 4000 pixels per input would leave the
    // fuzzer clearing memory instead of reading records.
    image.SetDecodeLimit(128, 128);
    image.Decode(source, IMAGE_WMF);
    ExerciseDecodedImage(image);
    return 0;
}

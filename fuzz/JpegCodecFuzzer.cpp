// Fuzz target: the JPG codec (CRasterJPG) through CRasterImage::Decode, in
// full and, for the same bytes, reduced for a small view.
#include "ImageFuzzExercise.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemorySource source(data, size);
    CRasterImage image;
    image.Decode(source, IMAGE_JPG);
    ExerciseDecodedImage(image);

    // The view's size comes from the data's last bytes, so that every scale
    // is reached.
    CMemorySource again(data, size);
    CRasterImage view;
    const int limit = size >= 2 ? 1 + ((data[size - 1] << 8) | data[size - 2]) % 2048 : 64;
    view.SetDecodeLimit(limit, limit / 2 + 1);
    view.Decode(again, IMAGE_JPG);
    ExerciseDecodedImage(view);
    return 0;
}

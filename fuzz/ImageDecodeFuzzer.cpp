// Fuzz target: type 0 (every codec in turn) and the clipboard import, then
// the operations the program applies to what decoded.
#include "ImageFuzzExercise.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CRasterImage image;
    // A block starting with a plausible information-header size is also
    // tried as a pasted bitmap.
    if (size >= 4 && (data[0] == 12 || data[0] == 40 || data[0] == 108 || data[0] == 124) && data[1] == 0) {
        CRasterImage pasted;
        pasted.CreateFromClipboard(data, size);
        ExerciseDecodedImage(pasted);
    }
    CMemorySource source(data, size);
    image.Decode(source, IMAGE_UNKNOWN);
    ExerciseDecodedImage(image);
    return 0;
}

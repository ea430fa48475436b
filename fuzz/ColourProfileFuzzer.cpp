// Fuzz target: embedded colour profiles (LittleCMS behind ColourProfile.h):
// the input is the profile a picture's file carries, applied as a JPEG,
// PNG or TIFF decoder applies it, to colour, grey and CMYK pixels; its
// first bytes also stand for PNG's gAMA and cHRM values.
#include "ImageFuzzExercise.h"
#include "image/ColourProfile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> icc(data, data + size);
    IsSrgbProfile(data, size);

    CRasterImage colour;
    if (colour.Create(9, 5, 24, IMAGE_PNG)) {
        for (std::size_t i = 0; i < colour.GetBitsSize(); ++i)
            colour.GetBits()[i] = static_cast<std::uint8_t>(i * 37);
        ApplyEmbeddedProfile(colour, icc, true);
        ExerciseDecodedImage(colour);
    }
    CRasterImage grey;
    if (grey.Create(7, 3, 8, IMAGE_JPG)) {
        grey.SetGrayPalette();
        std::memset(grey.GetBits(), 0x80, grey.GetBitsSize());
        ApplyEmbeddedProfile(grey, icc, false);
        ExerciseDecodedImage(grey);
    }
    std::uint8_t cmyk[4 * 6], bgr[3 * 6];
    for (std::size_t i = 0; i < sizeof cmyk; ++i)
        cmyk[i] = static_cast<std::uint8_t>(i * 53);
    const CCmykConverter converter(icc, size > 0 && (data[0] & 1));
    converter.ConvertRow(cmyk, bgr, 6);

    if (size >= 36) {
        std::uint32_t values[9];
        std::memcpy(values, data, sizeof values);
        ProfileFromPngChunks(values[0] & 1, values[0] >> 1, values[1] & 1, values + 1);
    }
    return 0;
}

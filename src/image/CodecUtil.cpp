// Helpers shared by the decoders of whole-file libraries (CodecUtil.h).
#include "image/CodecUtil.h"

#include <new>
#include <string>

bool ReadRestOfSource(CByteSource& source, std::vector<std::uint8_t>& data, CRasterImage& image, const char* kind,
                      std::int64_t maxBytes) {
    const std::int64_t size = source.Remaining();
    if (size <= 0) {
        image.SetLastError(std::string("Truncated data: the ") + kind + " file is empty");
        return false;
    }
    if (size > maxBytes) {
        image.SetLastError(std::string("The ") + kind + " file is too large to read");
        return false;
    }
    try {
        data.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        image.SetLastError("Can't allocate memory");
        return false;
    }
    if (!source.ReadExact(data.data(), data.size())) {
        image.SetLastError(source.Error() ? std::string("Read error")
                                          : std::string("Truncated data: the ") + kind + " file ends early");
        return false;
    }
    return true;
}

void PutRgbRow(CRasterImage& image, int fromTop, const std::uint8_t* samples, int channels, bool bgr) {
    const int width = image.GetWidth();
    const int row = image.GetHeight() - 1 - fromTop;
    std::uint8_t* out = image.GetRow(row);
    const int r = bgr ? 2 : 0, b = bgr ? 0 : 2;
    for (int x = 0; x < width; ++x, out += 3, samples += channels) {
        out[0] = samples[b];
        out[1] = samples[1];
        out[2] = samples[r];
    }
    if (channels == 4 && image.HasAlpha()) {
        std::uint8_t* a = image.GetAlphaRow(row);
        samples -= static_cast<std::size_t>(width) * channels;
        for (int x = 0; x < width; ++x)
            a[x] = samples[4 * x + 3];
    }
}

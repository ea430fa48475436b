#include "image/CodecUtil.h"

std::string TruncatedDataText(const char* format, const std::string& what) {
    return std::string(format) + " data is truncated: " + what;
}

bool CreateDecodedPicture(CRasterImage& image, const char* format, std::int64_t width, std::int64_t height,
                          int bpp, int type, std::int64_t sourceBytes, std::uint64_t maxRatio,
                          const char* noMemory) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width <= 0 || height <= 0) {
        image.SetLastError(std::string(format) + " header is damaged: it gives a picture of " + size);
        return false;
    }
    if (!PicturePixelsAllowed(image, width, height))
        return false;
    if (width > INT32_MAX || height > INT32_MAX || !RasterSizeAllowed(width, height, bpp)) {
        image.SetLastError(PictureTooLargeText(width, height));
        return false;
    }
    if (!PlausibleSize(width, height, bpp, sourceBytes, maxRatio)) {
        image.SetLastError(TruncatedDataText(
            format, "its header gives " + size + ", far more than its " +
                        std::to_string(sourceBytes < 0 ? 0 : sourceBytes) + " bytes can hold"));
        return false;
    }
    if (!image.Create(static_cast<int>(width), static_cast<int>(height), bpp, type)) {
        image.SetLastError(noMemory);
        return false;
    }
    return true;
}

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

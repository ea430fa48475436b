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

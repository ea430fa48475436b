#include "image/ExifOrientation.h"

#include <cstring>

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    if (!data)
        return 1;
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
        data += 6;
        size -= 6;
    }
    if (size < 8)
        return 1;
    const bool le = data[0] == 'I' && data[1] == 'I';
    if (!le && !(data[0] == 'M' && data[1] == 'M'))
        return 1;
    auto u16 = [&](std::size_t at) -> std::uint32_t {
        return le ? (data[at] | (data[at + 1] << 8)) : ((data[at] << 8) | data[at + 1]);
    };
    auto u32 = [&](std::size_t at) -> std::uint32_t {
        return le ? (u16(at) | (u16(at + 2) << 16)) : ((u16(at) << 16) | u16(at + 2));
    };
    const std::uint32_t ifd = u32(4);
    if (ifd > size || size - ifd < 2)
        return 1;
    const std::uint32_t entries = u16(ifd);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t e = ifd + 2 + static_cast<std::size_t>(i) * 12;
        if (e + 12 > size)
            break;
        // Orientation, a SHORT; its value sits in the first two bytes of the
        // value field.
        if (u16(e) == 0x0112 && u16(e + 2) == 3) {
            const std::uint32_t value = u16(e + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

bool ApplyOrientation(CRasterImage& image, int orientation) {
    if (!image.IsValid())
        return true;
    switch (orientation) {
    case 2: image.Mirror(); return true;
    case 3: return image.Rotate(180);
    case 4: image.Flip(); return true;
    case 5:
        if (!image.Rotate(90))
            return false;
        image.Mirror();
        return true;
    case 6: return image.Rotate(90);
    case 7:
        if (!image.Rotate(-90))
            return false;
        image.Mirror();
        return true;
    case 8: return image.Rotate(-90);
    default: return true;
    }
}

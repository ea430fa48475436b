#include "image/RgbaExport.h"

std::vector<std::uint8_t> ImageToRgba(const CRasterImage& image) {
    std::vector<std::uint8_t> rgba;
    if (!image.IsValid())
        return rgba;
    const int w = image.GetWidth(), h = image.GetHeight();
    rgba.resize(static_cast<std::size_t>(w) * h * 4);
    const int alphaScale = image.GetAlphaMax() + 1;
    const bool paletted = image.GetBpp() <= 8;
    const int transparentIndex = image.GetTransparentIndex();
    const Rgb transparentColor = image.GetTransparentColor();
    const PaletteEntry* palette = image.GetPalette();
    std::uint8_t* out = rgba.data();
    for (int fromTop = 0; fromTop < h; ++fromTop) {
        const int y = h - 1 - fromTop;
        for (int x = 0; x < w; ++x, out += 4) {
            const Rgb c = image.GetPixelColor(x, y);
            int a = (image.GetAlpha(x, y) * alphaScale) >> 8;
            bool transparent = false;
            if (paletted) {
                const int index = image.GetPixelIndex(x, y);
                if (image.IsPaletteAlphaEnabled())
                    a = (a * (palette[index].alpha + 1)) >> 8;
                transparent = index == transparentIndex;
            } else {
                transparent = transparentIndex >= 0 && c == transparentColor;
            }
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
            out[3] = transparent ? 0 : static_cast<std::uint8_t>(a);
        }
    }
    return rgba;
}

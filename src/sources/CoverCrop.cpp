#include "sources/CoverCrop.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

// A lid's grain and a scanner's noise stay well under this; printed covers
// against a white or black lid are far beyond it.
constexpr int kDifference = 48;
// A row or column belongs to the cover when this share of it (per mille)
// differs from the lid.
constexpr int kShareMille = 20;

Rgb LidColour(const CRasterImage& scan)
{
    std::array<std::vector<int>, 3> channel;
    const int w = scan.GetWidth();
    const int h = scan.GetHeight();
    auto take = [&](int x, int y) {
        const Rgb c = scan.GetPixelColor(x, y);
        channel[0].push_back(c.r);
        channel[1].push_back(c.g);
        channel[2].push_back(c.b);
    };
    for (int x = 0; x < w; ++x) {
        take(x, 0);
        take(x, h - 1);
    }
    for (int y = 1; y + 1 < h; ++y) {
        take(0, y);
        take(w - 1, y);
    }
    std::array<int, 3> median{};
    for (int c = 0; c < 3; ++c) {
        auto& v = channel[c];
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        median[c] = v[v.size() / 2];
    }
    return Rgb{static_cast<std::uint8_t>(median[0]), static_cast<std::uint8_t>(median[1]),
               static_cast<std::uint8_t>(median[2])};
}

bool Differs(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) > kDifference || std::abs(a.g - b.g) > kDifference ||
           std::abs(a.b - b.b) > kDifference;
}

// The first and last index whose count reaches the share of `length`.
bool Span(const std::vector<int>& counts, int length, int& first, int& last)
{
    const long long need = std::max<long long>(1, static_cast<long long>(length) * kShareMille / 1000);
    first = -1;
    last = -1;
    for (int i = 0; i < static_cast<int>(counts.size()); ++i) {
        if (counts[static_cast<std::size_t>(i)] >= need) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return first >= 0;
}

}  // namespace

CropRect FindCoverOnPlaten(const CRasterImage& scan)
{
    const int w = scan.GetWidth();
    const int h = scan.GetHeight();
    const CropRect whole{0, 0, w, h};
    if (!scan.IsValid() || w < 3 || h < 3)
        return whole;
    const Rgb lid = LidColour(scan);
    std::vector<int> perColumn(static_cast<std::size_t>(w), 0);
    std::vector<int> perRow(static_cast<std::size_t>(h), 0);  // from the top
    for (int top = 0; top < h; ++top) {
        const int y = h - 1 - top;
        for (int x = 0; x < w; ++x) {
            if (Differs(scan.GetPixelColor(x, y), lid)) {
                ++perColumn[static_cast<std::size_t>(x)];
                ++perRow[static_cast<std::size_t>(top)];
            }
        }
    }
    int left = 0, right = 0, top = 0, bottom = 0;
    if (!Span(perColumn, h, left, right) || !Span(perRow, w, top, bottom))
        return whole;
    const CropRect found{left, top, right - left + 1, bottom - top + 1};
    if (found.width * 10 < w || found.height * 10 < h)
        return whole;
    return found;
}

CRasterImage CropPicture(const CRasterImage& picture, const CropRect& rect)
{
    const int bpp = picture.GetBpp();
    const bool inside = rect.x >= 0 && rect.y >= 0 && rect.width > 0 && rect.height > 0 &&
                        rect.x + rect.width <= picture.GetWidth() && rect.y + rect.height <= picture.GetHeight();
    if (!picture.IsValid() || !inside || (bpp != 8 && bpp != 24))
        return picture;
    CRasterImage part;
    if (!part.Create(rect.width, rect.height, bpp, picture.GetType()))
        return picture;
    for (int i = 0; i < picture.GetPaletteSize(); ++i) {
        const PaletteEntry& e = picture.GetPalette()[i];
        part.SetPaletteEntry(i, e.red, e.green, e.blue, e.alpha);
    }
    const int bytes = bpp / 8;
    for (int row = 0; row < rect.height; ++row) {
        const std::uint8_t* src = picture.GetRow(picture.GetHeight() - 1 - (rect.y + row)) + rect.x * bytes;
        std::copy(src, src + rect.width * bytes, part.GetRow(rect.height - 1 - row));
    }
    part.SetXDpi(picture.GetXDpi());
    part.SetYDpi(picture.GetYDpi());
    return part;
}

#pragma once
// Helpers of the layout, rendering and document tests: formats built in
// code, pictures painted by a rule, files written to a temporary folder, a
// prompter that records what it was asked.
#include "settings/Prompter.h"
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testutil {

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 160, 0};
inline constexpr Rgb kBlue{0, 0, 200};
inline constexpr Rgb kYellow{230, 220, 0};
inline constexpr Rgb kCyan{0, 200, 210};
inline constexpr Rgb kGrey{128, 128, 128};

inline CoverFormat Format(const std::string& name, const std::string& type, double width, double height) {
    CoverFormat f = CoverFormat::NewFormat(name);
    f.type = type;
    f.width = width;
    f.height = height;
    f.leftX = f.rightX = AUTO_POSITION;
    f.leftY = f.rightY = -1.0;
    return f;
}

inline CoverFormat Placed(CoverFormat f, double x, double y) {
    f.leftX = x;
    f.leftY = y;
    return f;
}

inline CoverFormatList List(std::vector<CoverFormat> formats) {
    CoverFormatList list;
    list.formats = std::move(formats);
    return list;
}

// A 24-bit picture whose pixel (x, y), y counted from the top, is color(x, y).
inline CRasterImage Picture(int width, int height, const std::function<Rgb(int, int)>& color) {
    CRasterImage image;
    image.Create(width, height, 24, IMAGE_BMP);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, height - 1 - y, color(x, y));
    return image;
}

inline CRasterImage Solid(int width, int height, Rgb c) {
    return Picture(width, height, [c](int, int) { return c; });
}

// The bytes of an uncompressed 24-bit BMP file of the picture.
inline std::vector<std::uint8_t> BmpBytes(int width, int height, const std::function<Rgb(int, int)>& color) {
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(stride) * height;
    std::vector<std::uint8_t> b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    put32(34, static_cast<std::uint32_t>(stride) * height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.data() + 54 + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const Rgb c = color(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    return b;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void WriteBmp(const std::string& path, int width, int height, Rgb c) {
    WriteFile(path, BmpBytes(width, height, [c](int, int) { return c; }));
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "korvane_layout_XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        path_ = ::mkdtemp(buf.data()) ? std::string(buf.data()) : std::string();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

class RecordingPrompter : public IPrompter {
public:
    std::vector<int> information;
    std::vector<int> questions;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    bool answer = false;
    void Information(int n) override { information.push_back(n); }
    void Warning(const std::string& text) override { warnings.push_back(text); }
    bool AskYesNo(int n) override {
        questions.push_back(n);
        return answer;
    }
    void Error(const std::string& text) override { errors.push_back(text); }
};

// How many pixels of the rectangle have this colour.
// True when pixel i of `extent` pixels, stretched from `source` pixels,
// stands next to a boundary between two source pixels: there either
// neighbour may take it.
inline bool OnSourceBoundary(int i, int extent, int source) {
    return (i > 0 && (i - 1) * source / extent != i * source / extent) ||
           (i + 1 < extent && (i + 1) * source / extent != i * source / extent);
}

inline int CountColor(const CRasterSurface& s, const SurfaceRect& r, Rgb c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += s.GetPixel(x, y) == c ? 1 : 0;
    return n;
}

inline bool AllColor(const CRasterSurface& s, const SurfaceRect& r, Rgb c) {
    return CountColor(s, r, c) == r.width() * r.height();
}

}  // namespace testutil

// Readable colours in failure messages.
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

#include "PictureFiles.h"

#include "TestEncoders.h"

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-pictures-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("no scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

RgbaPicture PatternPicture(int width, int height, bool alpha) {
    RgbaPicture p;
    p.width = width;
    p.height = height;
    p.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = &p.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            px[0] = static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            px[1] = static_cast<std::uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            px[2] = static_cast<std::uint8_t>(x < width / 3 ? 40 : 200);
            px[3] = alpha ? static_cast<std::uint8_t>(((x + y) * 7) & 0xFF) : 255;
            if ((x * 31 + y * 17) % 97 == 0) {  // lone pixels
                px[0] = 255 - px[0];
                px[2] = 255 - px[2];
            }
        }
    return p;
}

void WritePngFile(const std::string& path, const RgbaPicture& picture, bool alpha) {
    PngRecipe s;
    s.width = picture.width;
    s.height = picture.height;
    s.colorType = alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < picture.height; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* px = &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
            row.insert(row.end(), px, px + (alpha ? 4 : 3));
        }
        s.rows.push_back(std::move(row));
    }
    WriteBytesFile(path, EncodePng(s));
}

void WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool RunTool(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

RgbaPicture StoredForOrientation(const RgbaPicture& upright, int orientation) {
    const bool swap = orientation >= 5;
    const int W = swap ? upright.height : upright.width;  // stored sides
    const int H = swap ? upright.width : upright.height;
    RgbaPicture s;
    s.width = W;
    s.height = H;
    s.rgba.resize(upright.rgba.size());
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            int x = c, y = r;  // where stored (c, r) is shown
            switch (orientation) {
            case 2: x = W - 1 - c; break;
            case 3: x = W - 1 - c; y = H - 1 - r; break;
            case 4: y = H - 1 - r; break;
            case 5: x = r; y = c; break;                  // 0th row left, 0th column top
            case 6: x = H - 1 - r; y = c; break;          // 0th row right, 0th column top
            case 7: x = H - 1 - r; y = W - 1 - c; break;  // 0th row right, 0th column bottom
            case 8: x = r; y = W - 1 - c; break;          // 0th row left, 0th column bottom
            default: break;
            }
            const std::uint8_t* from = &upright.rgba[(static_cast<std::size_t>(y) * upright.width + x) * 4];
            std::copy_n(from, 4, &s.rgba[(static_cast<std::size_t>(r) * W + c) * 4]);
        }
    return s;
}

std::vector<std::uint8_t> ExifOrientationBlock(int orientation, bool prefix) {
    std::vector<std::uint8_t> b;
    if (prefix)
        b = {'E', 'x', 'i', 'f', 0, 0};
    const std::uint8_t tiff[] = {'I', 'I', 42, 0, 8, 0, 0, 0,  // header, first directory at 8
                                 1, 0,                         // one entry
                                 0x12, 0x01, 3, 0, 1, 0, 0, 0, static_cast<std::uint8_t>(orientation), 0, 0, 0,
                                 0, 0, 0, 0};                  // no next directory
    b.insert(b.end(), std::begin(tiff), std::end(tiff));
    return b;
}

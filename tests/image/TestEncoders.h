#pragma once
// Small PNG and JPEG writers for building test files in memory (tests only;
// the program itself has no encoders).
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

struct PngRecipe {
    int width = 0, height = 0;
    int colorType = 2;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    // Rows top-down, packed as the PNG stores them (16-bit big-endian).
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<std::uint8_t> palette;       // r, g, b triples
    std::vector<std::uint8_t> paletteAlpha;  // tRNS for palette images
    int transparentGray = -1;                // tRNS for grey images
    int transparentRgb[3] = {-1, -1, -1};    // tRNS for colour images
    int background[3] = {-1, -1, -1};        // bKGD: grey uses [0], palette uses [0] as index
    int pixelsPerMeter = 0;
    std::vector<std::uint8_t> iccProfile;  // iCCP, when not empty
    int gamma = 0;                         // gAMA (100000 = 1.0), when not 0
    std::vector<double> chromaticities;    // cHRM: white, red, green, blue x, y
};
std::vector<std::uint8_t> EncodePng(const PngRecipe& picture);

struct JpegRecipe {
    int width = 0, height = 0;
    int components = 3;                  // 1 grey, 3 RGB, 4 CMYK
    std::vector<std::uint8_t> pixels;    // top-down, `components` bytes per pixel
    int quality = 95;
    std::vector<std::uint8_t> exif;      // APP1 payload ("Exif\0\0" + TIFF), optional
    int jfifDensityUnit = 0, jfifX = 1, jfifY = 1;
    int lumaH = 2, lumaV = 2;            // colour only: 2 x 2 is 4:2:0, 2 x 1 4:2:2, 1 x 1 4:4:4
    bool progressive = false;
    std::vector<std::pair<int, std::vector<std::uint8_t>>> markers;  // more markers (code, payload)
    // When set, fills row y (top-down) instead of `pixels`: for pictures too
    // large for one buffer.
    std::function<void(int y, std::uint8_t* row)> makeRow;
};
std::vector<std::uint8_t> EncodeJpeg(const JpegRecipe& picture);
// A grey JPEG (quality 50), dark (60) above its middle row and light (200)
// from there down: cheap to make at sizes beyond the picture limit.
std::vector<std::uint8_t> TwoToneGreyJpeg(int width, int height);

// An Exif block with XResolution / YResolution / ResolutionUnit.
std::vector<std::uint8_t> ExifWithResolution(std::uint32_t x, std::uint32_t y, int unit);

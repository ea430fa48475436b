#pragma once
// Reading JPEG files back as the JPEG tests check them: the DCT coefficients
// without decoding, the samples of the file's own components (Y, Cb, Cr or
// grey) without colour conversion, and a file no decoder makes pixels of.
#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include <jpeglib.h>

// What a JPEG file holds, read without decoding it to pixels.
struct Coefficients {
    struct Component {
        int h = 0, v = 0;
        int wb = 0, hb = 0;  // size in blocks
        std::array<int, 64> quant{};
        std::vector<JCOEF> blocks;  // wb * hb blocks of 64, row by row
        const JCOEF* at(int bx, int by) const { return blocks.data() + (static_cast<std::size_t>(by) * wb + bx) * 64; }
    };
    int width = 0, height = 0;
    bool progressive = false;
    int densityUnit = 0, xDensity = 0, yDensity = 0;
    std::vector<Component> components;
    std::vector<std::pair<int, std::vector<std::uint8_t>>> markers;  // APPn and COM
};
// False for data libjpeg refuses or reads with a warning.
bool ReadCoefficients(const std::vector<std::uint8_t>& data, Coefficients& out);

// The decoded samples of the file's own components, top-down.
struct Planes {
    int width = 0, height = 0, components = 0;
    std::vector<std::uint8_t> samples;
    int at(int x, int y, int c) const {
        return samples[(static_cast<std::size_t>(y) * width + x) * components + c];
    }
};
bool DecodePlanes(const std::vector<std::uint8_t>& data, Planes& out);

// A valid 48 x 16 file of zero coefficients whose luma is sampled 3 x 1
// against chroma 2 x 1 and 1 x 1: libjpeg reads its coefficients, but no
// decoder makes pixels of a ratio that is no whole number.
std::vector<std::uint8_t> FractionalSamplingFile();

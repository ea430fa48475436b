#pragma once
// What a picture's file says about its colours, kept beside the pixels
// (which are always sRGB): the embedded ICC profile and, where the file is
// not a JPEG whose own bytes go to the page, the samples as the file holds
// them. A PDF page takes these instead of the pixels, so the picture stays in
// its own colour space there. An untagged or sRGB picture has none.
#include <cstdint>
#include <vector>

struct PictureColour {
    // The ICC profile, as the file holds it; empty for a CMYK picture
    // without one (DeviceCMYK).
    std::vector<std::uint8_t> profile;
    int channels = 3;  // 1 grey, 3 RGB, 4 CMYK
    // Adobe's CMYK JPEGs store 255 - value in every channel.
    bool inverted = false;
    // The file's samples, `channels` bytes a pixel, rows top-down, in the
    // stored orientation (the picture's turn says how they stand); empty
    // for a JPEG, whose data carries them.
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> samples;
};

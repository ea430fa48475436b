#pragma once
// A colour of 8 bits per channel, as pictures, skins and controls hold it.
#include <cstdint>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

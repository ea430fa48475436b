#pragma once
// Palette indices packed in a row of 1, 4 or 8 bits a pixel, the leftmost
// pixel in the highest bits.
#include <cstdint>

inline std::uint8_t RowIndexAt(const std::uint8_t* row, int x, int bpp) {
    switch (bpp) {
    case 8:
        return row[x];
    case 4:
        return static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
    case 1:
        return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    default:
        return 0;
    }
}

inline void SetRowIndexAt(std::uint8_t* row, int x, int bpp, std::uint8_t index) {
    switch (bpp) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    case 1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    default:
        break;
    }
}

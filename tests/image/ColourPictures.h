#pragma once
// Colour-managed test pictures: patches of colours in a profile's space,
// written as PNG or JPEG with the profile embedded, and what LittleCMS
// itself makes of them in sRGB (relative colorimetric, black-point
// compensation).
#include "TestEncoders.h"

#include <cstdint>
#include <string>
#include <vector>

namespace colourtest {

// Profiles that Debian packages ship: Adobe RGB (icc-profiles-free) and
// ghostscript's PostScript CMYK (libgs-common).
inline const char* kAdobeRgbProfile = "/usr/share/color/icc/compatibleWithAdobeRGB1998.icc";
inline const char* kSrgbProfile = "/usr/share/color/icc/sRGB.icc";
inline const char* kCmykProfile = "/usr/share/color/icc/ghostscript/ps_cmyk.icc";

constexpr int kPatch = 8;  // pixels a side

// The patches' colours, three (RGB) or four (CMYK) samples each.
std::vector<std::uint8_t> RgbPatches();
std::vector<std::uint8_t> CmykPatches();
int PatchCount(int channels);

// Pixels of the patches in a row, top-down, `channels` samples a pixel.
std::vector<std::uint8_t> PatchPixels(const std::vector<std::uint8_t>& colours, int channels);

std::vector<std::uint8_t> PngWithProfile(const std::vector<std::uint8_t>& icc);
// APP2 ICC_PROFILE chunks of at most `chunkBytes` each.
std::vector<std::uint8_t> JpegWithProfile(const std::vector<std::uint8_t>& icc, int components,
                                          std::size_t chunkBytes = 60000);

// LittleCMS's own conversion of samples in `icc` into sRGB, RGB order.
// `format` is a LittleCMS pixel type (TYPE_RGB_8, TYPE_CMYK_8_REV).
std::vector<std::uint8_t> LittleCmsToSrgb(const std::vector<std::uint8_t>& icc, const std::vector<std::uint8_t>& samples,
                                          unsigned format, int channels);

// The samples a JPEG's data decodes to, as libjpeg gives them (CMYK as stored).
std::vector<std::uint8_t> JpegSamples(const std::vector<std::uint8_t>& jpeg, int& components);

}  // namespace colourtest

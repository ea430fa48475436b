#pragma once
// Colour management through LittleCMS: the profiles a picture's file embeds
// turned into sRGB pixels, relative colorimetric with black-point
// compensation, as the screen, the papers and the raster output show them.
// A profile that does not parse, is larger than kMaxProfileBytes, or does not
// fit the pixels (a CMYK profile on RGB data) is ignored: the picture counts
// as sRGB. An sRGB profile costs nothing: the pixels stay exactly as decoded.
#include "image/PictureColour.h"
#include "image/RasterImage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Larger profiles are ignored: real ones stay far below, even with big
// lookup tables.
constexpr std::size_t kMaxProfileBytes = std::size_t{4} << 20;

// True when the profile describes sRGB (its primaries and curves do), so
// pixels in it need no conversion.
bool IsSrgbProfile(const std::uint8_t* icc, std::size_t size);

// Converts `image` (24-bit, a palette, or grey) from the colour space of
// `icc` to sRGB and, for a PDF page, keeps the profile with the samples as
// decoded (`keepSamples`; a JPEG's data carries its own) on the image.
// Nothing happens for an sRGB, damaged, oversized or unfitting profile.
void ApplyEmbeddedProfile(CRasterImage& image, std::vector<std::uint8_t> icc, bool keepSamples);

// The profile a PNG's cHRM and gAMA chunks describe (gamma as stored,
// 100000 = 1.0; chromaticities x, y of white, red, green, blue, times
// 100000), or empty when they describe sRGB closely enough to be it.
// hasGamma / hasChromaticities false: the sRGB value is used for that part.
std::vector<std::uint8_t> ProfileFromPngChunks(bool hasGamma, std::uint32_t gamma, bool hasChromaticities,
                                               const std::uint32_t chromaticities[8]);

// CMYK rows into sRGB pixels, through the file's profile, else the standard
// CMYK profile of the system (ghostscript's default_cmyk.icc), else the
// plain formula. `inverted`: samples are stored 255 - value (Adobe).
class CCmykConverter {
public:
    CCmykConverter(const std::vector<std::uint8_t>& icc, bool inverted);
    ~CCmykConverter();
    CCmykConverter(const CCmykConverter&) = delete;
    CCmykConverter& operator=(const CCmykConverter&) = delete;

    // `width` CMYK pixels to `width` blue-green-red pixels.
    void ConvertRow(const std::uint8_t* cmyk, std::uint8_t* bgr, int width) const;
    // True when the file's own profile is used (it goes to the PDF).
    bool UsesFileProfile() const { return fileProfile_; }

private:
    static void* StandardTransform(bool inverted);

    void* transform_ = nullptr;
    bool owned_ = false;  // the file's own; the standard one is shared
    bool inverted_;
    bool fileProfile_ = false;
};

// The colour record a CMYK picture leaves for the PDF: its profile when
// the converter used it, else none (DeviceCMYK).
std::shared_ptr<PictureColour> CmykColour(const CCmykConverter& converter, std::vector<std::uint8_t> icc,
                                          bool inverted);

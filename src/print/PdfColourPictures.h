#pragma once
// The pictures of a PDF job that go into the file in their own colour
// spaces (PictureColour.h). cairo writes RGB pictures only, so the page is
// drawn by cairo first and the file amended afterwards (with qpdf): a JPEG's
// image object, found by its data, gets the file's ICC profile (or
// DeviceCMYK) as its colour space, its bytes untouched; a picture kept as
// samples is drawn by cairo as a small marked stand-in, whose image object
// then gets the samples and the profile. A job without such pictures is
// never amended: its file stays exactly as cairo wrote it.
#include "image/PictureColour.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPdfColourPictures {
public:
    // The stand-in's pixels (cairo's 0x00RRGGBB), which name entry `id`.
    static constexpr int kStandInWidth = 3;
    static std::array<std::uint32_t, kStandInWidth> StandInPixels(std::uint32_t id);

    void AddJpeg(std::shared_ptr<const std::vector<std::uint8_t>> jpeg, std::shared_ptr<const PictureColour> colour);
    // The id whose stand-in the page is to draw for these samples.
    std::uint32_t AddSamples(std::shared_ptr<const PictureColour> colour);
    bool empty() const { return jpegs_.empty() && samples_.empty(); }

    // Rewrites the finished file at `path`; false with `error` set when it
    // cannot be read or written.
    bool Amend(const std::string& path, std::string& error) const;

private:
    struct Jpeg {
        std::shared_ptr<const std::vector<std::uint8_t>> data;
        std::shared_ptr<const PictureColour> colour;
    };
    std::vector<Jpeg> jpegs_;
    std::vector<std::shared_ptr<const PictureColour>> samples_;
};

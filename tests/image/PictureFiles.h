#pragma once
// Test pictures written by the picture libraries' own command-line encoders
// (cwebp, img2webp, heif-enc, cjxl, ...) into a scratch folder, and the
// patterns they start from.
#include "TestImages.h"

#include <string>
#include <vector>

// A folder of its own for one test, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A picture with detail in every channel (and alpha when asked): smooth
// ramps, a hard edge and a few single pixels, so that a lost row, a swapped
// channel or a turn shows.
RgbaPicture PatternPicture(int width, int height, bool alpha);

// Writes the picture as an 8-bit PNG (RGBA, or RGB when `alpha` is false).
void WritePngFile(const std::string& path, const RgbaPicture& picture, bool alpha);
void WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Runs a shell command, its output discarded; true when it exits with 0.
bool RunTool(const std::string& command);
std::string Quoted(const std::string& path);

// The pixels a camera stores for `upright` with Exif/TIFF orientation
// `orientation` (1 to 8), following the standard's words: where the stored
// 0th row and 0th column are shown.
RgbaPicture StoredForOrientation(const RgbaPicture& upright, int orientation);
// An Exif block ("Exif\0\0" and a little-endian TIFF structure) holding only
// the orientation; without the prefix when `prefix` is false.
std::vector<std::uint8_t> ExifOrientationBlock(int orientation, bool prefix = true);

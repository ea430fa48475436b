#pragma once
// Helpers of the image tests: the shared test files, reference decodes and
// small pictures built in memory.
#include "image/RasterImage.h"

#include <cstdint>
#include <string>
#include <vector>

// Path of a file under the shared test data folder.
std::string SharedTestFile(const std::string& relative);
bool SharedTestDataPresent();
// Whether the shared data must be there: KORVANE_REQUIRE_SHARED_DATA is set
// to anything but 0 (.ci/run sets it), so that a machine without the data
// fails instead of passing with the shared tests skipped.
bool SharedTestDataRequired();

// Leaves the calling test (or test helper) when the shared data is missing:
// skipped on a developer's machine, failed where the data is required.
#define KORVANE_NEED_SHARED_TEST_DATA()                                                     \
    do {                                                                                    \
        if (!SharedTestDataPresent()) {                                                     \
            if (SharedTestDataRequired())                                                   \
                FAIL() << "shared test data not found at " << SharedTestFile("INDEX.tsv");  \
            GTEST_SKIP() << "shared test data not found";                                   \
        }                                                                                   \
    } while (0)

std::vector<std::uint8_t> ReadBytes(const std::string& path);

struct TestFileEntry {
    std::string path;       // relative to testdata/
    std::string kind;       // good, questionable, bad, bad-made, doc
    std::string size;       // "WxH" or empty
    std::string reference;  // relative to testdata/, or empty
    std::string note;
};
// Entries of testdata/INDEX.tsv whose path starts with `prefix`; a missing
// index adds a failure where the shared data is required.
std::vector<TestFileEntry> SharedTestFiles(const std::string& prefix);

struct RgbaPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // top-down
};
bool ReadPngRgba(const std::string& path, RgbaPicture& out);

// Compares the image (as ImageToRgba shows it) with a reference picture:
// sizes exactly; colours within `tolerance` per channel where both are opaque
// (alpha 255 in both); when `checkAlpha`, alpha within `tolerance` too.
// Returns an empty string when they match, else a description.
std::string CompareWithReference(const CRasterImage& image, const RgbaPicture& reference, int tolerance,
                                 bool checkAlpha);

// Decodes bytes with a type through CRasterImage::Decode.
bool DecodeBytes(CRasterImage& image, const std::vector<std::uint8_t>& bytes, int type);

// Little-endian writers for building files in tests.
void PutLE16(std::vector<std::uint8_t>& v, unsigned value);
void PutLE32(std::vector<std::uint8_t>& v, std::uint32_t value);

#include "TestImages.h"

#include "image/RgbaExport.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string SharedTestFile(const std::string& relative) {
    const char* env = std::getenv("KORVANE_SHARED_DIR");
    const std::string root = env && *env ? env : KORVANE_SHARED_DIR;
    return root + "/testdata/" + relative;
}

bool SharedTestDataPresent() {
    std::FILE* f = std::fopen(SharedTestFile("INDEX.tsv").c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

bool SharedTestDataRequired() {
    const char* env = std::getenv("KORVANE_REQUIRE_SHARED_DATA");
    return env && *env && std::string(env) != "0";
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<TestFileEntry> SharedTestFiles(const std::string& prefix) {
    std::vector<TestFileEntry> entries;
    std::ifstream in(SharedTestFile("INDEX.tsv"));
    if (!in && SharedTestDataRequired())
        ADD_FAILURE() << "shared test data not found at " << SharedTestFile("INDEX.tsv");
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, '\t'))
            cells.push_back(cell);
        cells.resize(5);
        if (cells[0].rfind(prefix, 0) != 0)
            continue;
        entries.push_back(TestFileEntry{cells[0], cells[1], cells[2], cells[3], cells[4]});
    }
    return entries;
}

bool ReadPngRgba(const std::string& path, RgbaPicture& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str()))
        return false;
    img.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int>(img.width);
    out.height = static_cast<int>(img.height);
    out.rgba.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    return true;
}

std::string CompareWithReference(const CRasterImage& image, const RgbaPicture& ref, int tolerance, bool checkAlpha) {
    if (!image.IsValid())
        return "image not valid";
    if (image.GetWidth() != ref.width || image.GetHeight() != ref.height) {
        std::ostringstream s;
        s << "size " << image.GetWidth() << "x" << image.GetHeight() << " but reference " << ref.width << "x"
          << ref.height;
        return s.str();
    }
    const std::vector<std::uint8_t> ours = ImageToRgba(image);
    int bad = 0;
    std::ostringstream first;
    for (std::size_t i = 0; i < ours.size(); i += 4) {
        const std::uint8_t* a = &ours[i];
        const std::uint8_t* b = &ref.rgba[i];
        bool differs = false;
        if (a[3] == 255 && b[3] == 255) {
            for (int c = 0; c < 3; ++c)
                differs |= std::abs(a[c] - b[c]) > tolerance;
        }
        if (checkAlpha)
            differs |= std::abs(a[3] - b[3]) > tolerance;
        if (differs && bad++ == 0) {
            const std::size_t p = i / 4;
            first << "pixel (" << p % ref.width << ", " << p / ref.width << ") ours " << int(a[0]) << "," << int(a[1])
                  << "," << int(a[2]) << "," << int(a[3]) << " reference " << int(b[0]) << "," << int(b[1]) << ","
                  << int(b[2]) << "," << int(b[3]);
        }
    }
    if (bad == 0)
        return "";
    return std::to_string(bad) + " pixels differ, first " + first.str();
}

bool DecodeBytes(CRasterImage& image, const std::vector<std::uint8_t>& bytes, int type) {
    CMemorySource source(bytes.data(), bytes.size());
    return image.Decode(source, type);
}

void PutLE16(std::vector<std::uint8_t>& v, unsigned value) {
    v.push_back(static_cast<std::uint8_t>(value));
    v.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLE32(std::vector<std::uint8_t>& v, std::uint32_t value) {
    PutLE16(v, value & 0xFFFF);
    PutLE16(v, value >> 16);
}

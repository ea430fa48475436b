#pragma once
// Reading a PDF back as a person checks it: poppler's pdfimages for the
// pictures it holds, pdftoppm for the page as it prints, pdfinfo for its
// properties.
#include "image/RasterImage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pdfread {

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Output (stdout and stderr) of a shell command.
inline std::string Run(const std::string& command) {
    std::string out;
    std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    ::pclose(p);
    return out;
}

inline std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A field of pdfinfo's report ("Title", "Creator", "Pages", "Page size").
inline std::string Info(const std::string& pdf, const std::string& field) {
    std::istringstream lines(Run("pdfinfo " + Quote(pdf)));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(field + ":", 0) == 0) {
            std::string v = line.substr(field.size() + 1);
            v.erase(0, v.find_first_not_of(' '));
            return v;
        }
    return {};
}

// The pictures of the PDF as pdfimages writes them (`-j`: JPEG data as it
// is stored; `-png`: every picture decoded), sorted by name.
inline std::vector<std::string> Images(const std::string& pdf, const std::string& option, const std::string& folder) {
    const std::string stem = folder + "/img";
    Run("pdfimages " + option + " " + Quote(pdf) + " " + Quote(stem));
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().rfind("img-", 0) == 0)
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The rows of `pdfimages -list`, one per picture, without the header.
inline std::vector<std::string> ImageList(const std::string& pdf) {
    std::istringstream lines(Run("pdfimages -list " + Quote(pdf)));
    std::vector<std::string> rows;
    int n = 0;
    for (std::string line; std::getline(lines, line);)
        if (++n > 2 && !line.empty())
            rows.push_back(line);
    return rows;
}

// Page 1 rasterised at `dpi` (the area x, y, w, h in its pixels) as RGB.
struct Page {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    Rgb at(int x, int y) const {
        const std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
        return Rgb{p[0], p[1], p[2]};
    }
};

inline Page Rasterise(const std::string& pdf, int dpi, int x, int y, int w, int h, const std::string& folder) {
    const std::string out = folder + "/page";
    Run("pdftoppm -r " + std::to_string(dpi) + " -x " + std::to_string(x) + " -y " + std::to_string(y) + " -W " +
        std::to_string(w) + " -H " + std::to_string(h) + " -f 1 -l 1 -singlefile " + Quote(pdf) + " " + Quote(out));
    Page page;
    std::ifstream in(out + ".ppm", std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> page.width >> page.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255)
        return {};
    page.rgb.resize(static_cast<std::size_t>(page.width) * page.height * 3);
    in.read(reinterpret_cast<char*>(page.rgb.data()), static_cast<std::streamsize>(page.rgb.size()));
    return page;
}

// True when the two pictures have the same size and the same colours.
inline bool SamePixels(const CRasterImage& a, const CRasterImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (!(a.GetPixelColor(x, y) == b.GetPixelColor(x, y)))
                return false;
    return true;
}

}  // namespace pdfread

// korvane-cli decode: loads an image as the program does and describes it;
// -o writes the decoded pixels as an 8-bit RGBA PNG (top-down); --view WxH
// decodes as the open dialog's preview of that size does.
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "cli/PngWriter.h"
#include "image/RasterImage.h"
#include "image/RgbaExport.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
bool WriteRgbaPng(const std::string& path, const CRasterImage& image, std::string* error) {
    const std::vector<std::uint8_t> rgba = ImageToRgba(image);
    const std::size_t rowBytes = static_cast<std::size_t>(image.GetWidth()) * 4;
    return WritePng(
        path, image.GetWidth(), image.GetHeight(), 4,
        [&](int y, std::uint8_t* row) { std::memcpy(row, rgba.data() + rowBytes * y, rowBytes); }, error);
}

int Decode(const std::vector<std::string>& args) {
    std::string file, output;
    int type = -2;
    int viewW = 0, viewH = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--type" || a == "-o" || a == "--view") && i + 1 >= args.size()) {
            std::fprintf(stderr, "korvane-cli decode: %s needs a value\n", a.c_str());
            return 2;
        }
        if (a == "--type") {
            const std::string& v = args[++i];
            int t = -1;
            const auto r = std::from_chars(v.data(), v.data() + v.size(), t);
            if (r.ec != std::errc() || r.ptr != v.data() + v.size() || t < 0 || t > 9) {
                std::fprintf(stderr, "korvane-cli decode: --type takes 0 to 9\n");
                return 2;
            }
            type = t;
        } else if (a == "--view") {
            const std::string& v = args[++i];
            const char* end = v.data() + v.size();
            const auto w = std::from_chars(v.data(), end, viewW);
            const auto h = w.ec == std::errc() && w.ptr != end && *w.ptr == 'x'
                               ? std::from_chars(w.ptr + 1, end, viewH)
                               : std::from_chars_result{v.data(), std::errc::invalid_argument};
            if (h.ec != std::errc() || h.ptr != end || viewW <= 0 || viewH <= 0) {
                std::fprintf(stderr, "korvane-cli decode: --view takes WIDTHxHEIGHT, e.g. 200x200\n");
                return 2;
            }
        } else if (a == "-o") {
            output = args[++i];
        } else if (file.empty()) {
            file = a;
        } else {
            std::fprintf(stderr, "korvane-cli decode: unexpected argument '%s'\n", a.c_str());
            return 2;
        }
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: korvane-cli decode FILE [--type N] [--view WxH] [-o OUT.png]\n");
        return 2;
    }
    if (type == -2) {
        // The extension map of the program; files it would not open are tried
        // with every codec.
        type = ImageTypeFromExtension(file);
        if (type < 0)
            type = IMAGE_UNKNOWN;
    }
    CRasterImage image;
    image.SetDecodeLimit(viewW, viewH);
    if (!image.Load(file, type)) {
        const std::string& error = image.GetLastError();
        std::fprintf(stderr, "%s: %s\n", file.c_str(), OneLine(error.empty() ? "cannot load the image" : error).c_str());
        return 1;
    }
    std::printf("%dx%d bpp=%d type=%d alpha=%d transparent=%d frames=%d\n", image.GetWidth(), image.GetHeight(),
                image.GetBpp(), image.GetType(), image.HasAlpha() ? 1 : 0, image.GetTransparentIndex(),
                image.GetNumFrames());
    if (image.IsReduced())
        std::printf("reduced from %dx%d\n", image.GetFileWidth(), image.GetFileHeight());
    std::string error;
    if (!output.empty() && !WriteRgbaPng(output, image, &error)) {
        std::fprintf(stderr, "%s: cannot write: %s\n", output.c_str(), OneLine(error).c_str());
        return 1;
    }
    return 0;
}

CliCommand reg("decode", "decode FILE [--type N] [--view WxH] [-o OUT.png]   describe an image as the program loads it", Decode);
}  // namespace

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

int Decode(CCliArgs& args) {
    std::string typeText, viewText, output;
    int type = -2;
    int viewW = 0, viewH = 0;
    if (args.TakeValue("type", typeText)) {
        int t = -1;
        const auto r = std::from_chars(typeText.data(), typeText.data() + typeText.size(), t);
        if (r.ec != std::errc() || r.ptr != typeText.data() + typeText.size() || t < 0 || t > 9)
            args.SetError("--type takes 0 to 9");
        type = t;
    }
    if (args.TakeValue("view", viewText)) {
        const char* end = viewText.data() + viewText.size();
        const auto w = std::from_chars(viewText.data(), end, viewW);
        const auto h = w.ec == std::errc() && w.ptr != end && *w.ptr == 'x'
                           ? std::from_chars(w.ptr + 1, end, viewH)
                           : std::from_chars_result{viewText.data(), std::errc::invalid_argument};
        if (h.ec != std::errc() || h.ptr != end || viewW <= 0 || viewH <= 0)
            args.SetError("--view takes WIDTHxHEIGHT, e.g. 200x200");
    }
    const bool hasOutput = args.TakeValue("o", output);
    if (hasOutput && output.empty())
        args.SetError("-o needs a file name");
    const std::vector<std::string> files = args.TakeOperands();
    if (files.empty())
        args.SetError("FILE is required");
    else if (files.size() > 1)
        args.SetError("unexpected argument '" + files[1] + "'");
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("decode", error);
    const std::string& file = files.front();
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
        return CliFail(kCliFailed, file + ": " + OneLine(error.empty() ? "cannot load the image" : error));
    }
    // "-o -": the PNG on standard output, the description on standard error.
    std::FILE* report = output == "-" ? stderr : stdout;
    std::fprintf(report, "%dx%d bpp=%d type=%d alpha=%d transparent=%d frames=%d\n", image.GetWidth(), image.GetHeight(),
                image.GetBpp(), image.GetType(), image.HasAlpha() ? 1 : 0, image.GetTransparentIndex(),
                image.GetNumFrames());
    if (image.IsReduced())
        std::fprintf(report, "reduced from %dx%d\n", image.GetFileWidth(), image.GetFileHeight());
    if (hasOutput && !WriteRgbaPng(output, image, &error))
        return CliFail(kCliFailed, (output == "-" ? "standard output" : output) + ": cannot write: " + OneLine(error));
    return kCliDone;
}

CliCommand reg({"decode", "FILE [--type N] [--view WxH] [-o OUT.png]",
                "load a picture as the program does and describe it; -o writes its pixels as a PNG",
                {
                    {"type", "N", "the decoder to use, 0 to 9 (default: from the file name's extension)"},
                    {"view", "WxH", "decode as the open dialog's preview of that size does"},
                    {"o", "OUT.png", "write the decoded pixels as an 8-bit RGBA PNG; \"-\" is standard output"},
                },
                {{"FILE", "the picture"}},
                Decode});
}  // namespace

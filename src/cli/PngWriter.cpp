#include "cli/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>
#include <system_error>

namespace {
struct WriteState {
    char message[256] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message ? message : "PNG error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything libpng touches lives outside this frame, so that a longjmp out
// of libpng leaves nothing half-destroyed here.
bool WriteRows(std::FILE* file, int width, int height, int channels, const PngRowFunction& fillRow,
               std::uint8_t* row, WriteState* state, int dotsPerInch) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(state->message, sizeof state->message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(state->message, sizeof state->message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    if (dotsPerInch > 0) {
        const auto perMetre = static_cast<png_uint_32>(dotsPerInch * 10000.0 / 254.0 + 0.5);
        png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        fillRow(y, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}
}  // namespace

bool WritePng(const std::string& path, int width, int height, int channels, const PngRowFunction& fillRow,
              std::string* error, int dotsPerInch) {
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4)) {
        if (error)
            *error = "nothing to write";
        return false;
    }
    // "-" is standard output, which is flushed, not closed or removed.
    const bool toStdout = path == "-";
    std::FILE* file = toStdout ? stdout : std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error)
            *error = "cannot create " + path + ": " + std::generic_category().message(errno);
        return false;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * channels);
    WriteState state;
    bool ok = WriteRows(file, width, height, channels, fillRow, row.data(), &state, dotsPerInch);
    if ((toStdout ? std::fflush(file) : std::fclose(file)) != 0 && ok) {
        ok = false;
        std::snprintf(state.message, sizeof state.message, "%s", std::generic_category().message(errno).c_str());
    }
    if (!ok) {
        if (!toStdout)
            std::remove(path.c_str());
        if (error)
            *error = "cannot write " + path + ": " + state.message;
    }
    return ok;
}

bool WritePngBgr(const std::string& path, const PixelBlock& block, std::string* error) {
    return WritePng(
        path, block.width, block.height, 3,
        [&block](int y, std::uint8_t* row) {
            const std::uint8_t* src = block.first + y * block.stride;
            for (int x = 0; x < block.width; ++x) {
                row[3 * x] = src[3 * x + 2];
                row[3 * x + 1] = src[3 * x + 1];
                row[3 * x + 2] = src[3 * x];
            }
        },
        error);
}

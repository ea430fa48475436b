#include "TestEncoders.h"

#include <algorithm>

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {
void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}
}  // namespace

std::vector<std::uint8_t> EncodePng(const PngRecipe& s) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < s.palette.size(); i += 3)
        palette.push_back(png_color{s.palette[i], s.palette[i + 1], s.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_color_16 trans{};
    if (!s.paletteAlpha.empty())
        png_set_tRNS(png, info, s.paletteAlpha.data(), static_cast<int>(s.paletteAlpha.size()), nullptr);
    if (s.transparentGray >= 0) {
        trans.gray = static_cast<png_uint_16>(s.transparentGray);
        png_set_tRNS(png, info, nullptr, 0, &trans);
    }
    if (s.transparentRgb[0] >= 0) {
        trans.red = static_cast<png_uint_16>(s.transparentRgb[0]);
        trans.green = static_cast<png_uint_16>(s.transparentRgb[1]);
        trans.blue = static_cast<png_uint_16>(s.transparentRgb[2]);
        png_set_tRNS(png, info, nullptr, 0, &trans);
    }
    if (s.background[0] >= 0) {
        png_color_16 bg{};
        bg.index = static_cast<png_byte>(s.background[0]);
        bg.gray = static_cast<png_uint_16>(s.background[0]);
        bg.red = static_cast<png_uint_16>(s.background[0]);
        bg.green = static_cast<png_uint_16>(s.background[1] < 0 ? 0 : s.background[1]);
        bg.blue = static_cast<png_uint_16>(s.background[2] < 0 ? 0 : s.background[2]);
        png_set_bKGD(png, info, &bg);
    }
    if (s.pixelsPerMeter > 0)
        png_set_pHYs(png, info, s.pixelsPerMeter, s.pixelsPerMeter, PNG_RESOLUTION_METER);
    if (!s.iccProfile.empty())
        png_set_iCCP(png, info, "profile", PNG_COMPRESSION_TYPE_BASE, s.iccProfile.data(),
                     static_cast<png_uint_32>(s.iccProfile.size()));
    if (s.gamma > 0)
        png_set_gAMA_fixed(png, info, s.gamma);
    if (s.chromaticities.size() == 8) {
        const std::vector<double>& c = s.chromaticities;
        png_set_cHRM(png, info, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& r : s.rows)
        rows.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const JpegRecipe& s) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = static_cast<JDIMENSION>(s.width);
    c.image_height = static_cast<JDIMENSION>(s.height);
    c.input_components = s.components;
    c.in_color_space = s.components == 1 ? JCS_GRAYSCALE : s.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, s.quality, TRUE);
    if (s.jfifDensityUnit > 0) {
        c.density_unit = static_cast<UINT8>(s.jfifDensityUnit);
        c.X_density = static_cast<UINT16>(s.jfifX);
        c.Y_density = static_cast<UINT16>(s.jfifY);
    }
    if (s.components == 3) {
        c.comp_info[0].h_samp_factor = s.lumaH;
        c.comp_info[0].v_samp_factor = s.lumaV;
    }
    if (s.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (!s.exif.empty())
        jpeg_write_marker(&c, JPEG_APP0 + 1, s.exif.data(), static_cast<unsigned>(s.exif.size()));
    for (const auto& [code, payload] : s.markers)
        jpeg_write_marker(&c, code, payload.data(), static_cast<unsigned>(payload.size()));
    const std::size_t rowBytes = static_cast<std::size_t>(s.width) * s.components;
    std::vector<std::uint8_t> made(s.makeRow ? rowBytes : 0);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = made.data();
        if (s.makeRow)
            s.makeRow(static_cast<int>(c.next_scanline), row);
        else
            row = const_cast<JSAMPROW>(s.pixels.data() + c.next_scanline * rowBytes);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> out(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return out;
}

std::vector<std::uint8_t> ExifWithResolution(std::uint32_t x, std::uint32_t y, int unit) {
    std::vector<std::uint8_t> e = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    auto u16 = [&](unsigned v) {
        e.push_back(static_cast<std::uint8_t>(v));
        e.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    // IFD at TIFF offset 8: three entries, then the two rationals at 50.
    u16(3);
    u16(0x011A); u16(5); u32(1); u32(50);
    u16(0x011B); u16(5); u32(1); u32(58);
    u16(0x0128); u16(3); u32(1); u16(static_cast<unsigned>(unit)); u16(0);
    u32(0);
    u32(x); u32(1);
    u32(y); u32(1);
    return e;
}

std::vector<std::uint8_t> TwoToneGreyJpeg(int width, int height) {
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.components = 1;
    recipe.quality = 50;
    recipe.makeRow = [width, height](int y, std::uint8_t* row) {
        std::fill(row, row + width, static_cast<std::uint8_t>(y < height / 2 ? 60 : 200));
    };
    return EncodeJpeg(recipe);
}

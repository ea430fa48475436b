#include "ColourPictures.h"

#include <jpeglib.h>
#include <lcms2.h>

#include <cstdio>
#include <cstring>

namespace colourtest {

std::vector<std::uint8_t> RgbPatches() {
    return {60, 160, 90, 255, 0, 0, 0, 255, 0, 0, 0, 255, 20, 20, 20, 250, 250, 250, 128, 64, 200, 230, 200, 40};
}

std::vector<std::uint8_t> CmykPatches() {
    // As Adobe stores them: 255 - ink.
    return {255, 255, 255, 255, 0, 255, 255, 255, 255, 0, 255, 255, 255, 255, 0, 255,
            255, 255, 255, 0,   155, 95, 55, 235, 40, 40, 40, 40, 200, 140, 255, 205};
}

int PatchCount(int channels) {
    return static_cast<int>((channels == 4 ? CmykPatches() : RgbPatches()).size()) / channels;
}

std::vector<std::uint8_t> PatchPixels(const std::vector<std::uint8_t>& colours, int channels) {
    const int n = static_cast<int>(colours.size()) / channels;
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < kPatch; ++y)
        for (int i = 0; i < n; ++i)
            for (int x = 0; x < kPatch; ++x)
                pixels.insert(pixels.end(), colours.begin() + i * channels, colours.begin() + (i + 1) * channels);
    return pixels;
}

std::vector<std::uint8_t> PngWithProfile(const std::vector<std::uint8_t>& icc) {
    PngRecipe s;
    s.width = PatchCount(3) * kPatch;
    s.height = kPatch;
    const std::vector<std::uint8_t> pixels = PatchPixels(RgbPatches(), 3);
    for (int y = 0; y < s.height; ++y)
        s.rows.emplace_back(pixels.begin() + y * s.width * 3, pixels.begin() + (y + 1) * s.width * 3);
    s.iccProfile = icc;
    return EncodePng(s);
}

std::vector<std::uint8_t> JpegWithProfile(const std::vector<std::uint8_t>& icc, int components,
                                          std::size_t chunkBytes) {
    JpegRecipe s;
    s.components = components;
    s.width = PatchCount(components) * kPatch;
    s.height = kPatch;
    s.pixels = PatchPixels(components == 4 ? CmykPatches() : RgbPatches(), components);
    s.lumaH = s.lumaV = 1;
    s.quality = 95;
    const std::size_t count = (icc.size() + chunkBytes - 1) / chunkBytes;
    for (std::size_t i = 0; i < count; ++i) {
        std::vector<std::uint8_t> chunk = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0,
                                           static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(count)};
        const std::size_t end = std::min(icc.size(), (i + 1) * chunkBytes);
        chunk.insert(chunk.end(), icc.begin() + i * chunkBytes, icc.begin() + end);
        s.markers.emplace_back(JPEG_APP0 + 2, chunk);
    }
    return EncodeJpeg(s);
}

std::vector<std::uint8_t> LittleCmsToSrgb(const std::vector<std::uint8_t>& icc, const std::vector<std::uint8_t>& samples,
                                          unsigned format, int channels) {
    cmsHPROFILE in = cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size()));
    cmsHPROFILE out = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t = cmsCreateTransform(in, format, out, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                                         cmsFLAGS_BLACKPOINTCOMPENSATION);
    const std::size_t n = samples.size() / channels;
    std::vector<std::uint8_t> rgb(n * 3);
    if (t)
        cmsDoTransform(t, samples.data(), rgb.data(), static_cast<cmsUInt32Number>(n));
    if (t)
        cmsDeleteTransform(t);
    cmsCloseProfile(out);
    if (in)
        cmsCloseProfile(in);
    return rgb;
}

std::vector<std::uint8_t> JpegSamples(const std::vector<std::uint8_t>& jpeg, int& components) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = cinfo.num_components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    components = cinfo.output_components;
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_height * components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = samples.data() + static_cast<std::size_t>(cinfo.output_scanline) * cinfo.output_width * components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return samples;
}

}  // namespace colourtest

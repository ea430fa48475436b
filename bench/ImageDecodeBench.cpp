// Decoding speed of the image layer against the libraries and stb_image.
// Inputs are generated once per run in a temporary folder: a 4000 x 4000
// JPEG (quality 90) and PNG, a 3000 x 3000 24-bit BMP, 2000 x 2000 GIF, TGA
// and PCX. Compare, within one run:
//   BM_Jpeg_Ours / BM_Jpeg_BareLibjpeg   (target <= 1.15)
//   BM_Png_Ours / BM_Png_BareLibpng      (target <= 1.15)
//   BM_Bmp_Ours / BM_Bmp_Stb, BM_Gif_Ours / BM_Gif_Stb, BM_Tga_Ours / BM_Tga_Stb (target <= 1.0)
//   BM_Pcx_Ours / BM_Pcx_BareRle         (stb_image has no PCX reader)
#include "image/RasterImage.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include <jpeglib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

namespace {
// --- inputs --------------------------------------------------------------------------

// A photo-like picture: smooth gradients with a little noise.
std::vector<std::uint8_t> Picture(int w, int h) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            const int n = static_cast<int>(rng() % 9) - 4;
            p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / w + n, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / h + n, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(((x / 50 + y / 50) % 2) * 120 + 60 + n, 0, 255));
        }
    return rgb;
}

std::vector<std::uint8_t> WriteJpeg(int w, int h) {
    const std::vector<std::uint8_t> rgb = Picture(w, h);
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(c.next_scanline) * w * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> out(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return out;
}

void PngOut(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

std::vector<std::uint8_t> WritePng(int w, int h) {
    const std::vector<std::uint8_t> rgb = Picture(w, h);
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, PngOut, nullptr);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, &rgb[static_cast<std::size_t>(y) * w * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void Le16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Le32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Le16(v, x & 0xFFFF);
    Le16(v, x >> 16);
}

std::vector<std::uint8_t> WriteBmp(int w, int h) {
    const std::vector<std::uint8_t> rgb = Picture(w, h);
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    std::vector<std::uint8_t> f = {'B', 'M'};
    Le32(f, 54 + stride * h);
    Le32(f, 0);
    Le32(f, 54);
    Le32(f, 40);
    Le32(f, w);
    Le32(f, h);
    Le16(f, 1);
    Le16(f, 24);
    for (int i = 0; i < 6; ++i)
        Le32(f, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            f.insert(f.end(), {p[2], p[1], p[0]});
        }
        f.resize(f.size() + stride - w * 3);
    }
    return f;
}

// 8-bit indices of the picture: a palette of 6 x 6 x 6 colours.
std::vector<std::uint8_t> Indexed(int w, int h) {
    const std::vector<std::uint8_t> rgb = Picture(w, h);
    std::vector<std::uint8_t> idx(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < idx.size(); ++i)
        idx[i] = static_cast<std::uint8_t>((rgb[i * 3] / 43) * 36 + (rgb[i * 3 + 1] / 43) * 6 + rgb[i * 3 + 2] / 43);
    return idx;
}

std::vector<std::uint8_t> WriteGif(int w, int h) {
    const std::vector<std::uint8_t> idx = Indexed(w, h);
    std::vector<std::uint8_t> f = {'G', 'I', 'F', '8', '9', 'a'};
    Le16(f, w);
    Le16(f, h);
    f.insert(f.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i)
        f.insert(f.end(), {static_cast<std::uint8_t>((i / 36) * 51), static_cast<std::uint8_t>((i / 6 % 6) * 51),
                           static_cast<std::uint8_t>((i % 6) * 51)});
    f.push_back(',');
    Le16(f, 0);
    Le16(f, 0);
    Le16(f, w);
    Le16(f, h);
    f.push_back(0);
    f.push_back(8);
    // LZW with a dictionary, as real encoders write it.
    std::vector<std::uint8_t> bytes;
    std::uint32_t acc = 0;
    int bits = 0, codeSize = 9, next = 258;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += codeSize;
        while (bits >= 8) {
            bytes.push_back(static_cast<std::uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    std::unordered_map<std::uint32_t, int> dict;
    put(256);
    int prefix = idx[0];
    for (std::size_t i = 1; i < idx.size(); ++i) {
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | idx[i];
        const auto it = dict.find(key);
        if (it != dict.end()) {
            prefix = it->second;
            continue;
        }
        put(prefix);
        if (next < 4096) {
            dict.emplace(key, next);
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
            ++next;
        } else {
            put(256);
            dict.clear();
            codeSize = 9;
            next = 258;
        }
        prefix = idx[i];
    }
    put(prefix);
    put(257);
    if (bits > 0)
        bytes.push_back(static_cast<std::uint8_t>(acc));
    for (std::size_t i = 0; i < bytes.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, bytes.size() - i);
        f.push_back(static_cast<std::uint8_t>(n));
        f.insert(f.end(), bytes.begin() + i, bytes.begin() + i + n);
    }
    f.push_back(0);
    f.push_back(';');
    return f;
}

std::vector<std::uint8_t> WriteTga(int w, int h) {
    const std::vector<std::uint8_t> rgb = Picture(w, h);
    std::vector<std::uint8_t> f = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Le16(f, w);
    Le16(f, h);
    f.push_back(24);
    f.push_back(0x20);  // top-down
    // Run-length packets: runs of equal pixels, raw packets otherwise.
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = &rgb[static_cast<std::size_t>(y) * w * 3];
        int x = 0;
        while (x < w) {
            int run = 1;
            while (x + run < w && run < 128 && std::memcmp(row + x * 3, row + (x + run) * 3, 3) == 0)
                ++run;
            if (run > 1) {
                f.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
                f.insert(f.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
                x += run;
                continue;
            }
            int raw = 1;
            while (x + raw < w && raw < 128 && std::memcmp(row + (x + raw - 1) * 3, row + (x + raw) * 3, 3) != 0)
                ++raw;
            f.push_back(static_cast<std::uint8_t>(raw - 1));
            for (int i = 0; i < raw; ++i)
                f.insert(f.end(), {row[(x + i) * 3 + 2], row[(x + i) * 3 + 1], row[(x + i) * 3]});
            x += raw;
        }
    }
    return f;
}

std::vector<std::uint8_t> WritePcx(int w, int h) {
    const std::vector<std::uint8_t> idx = Indexed(w, h);
    std::vector<std::uint8_t> f(128, 0);
    f[0] = 10;
    f[1] = 5;
    f[2] = 1;
    f[3] = 8;
    f[8] = static_cast<std::uint8_t>((w - 1) & 0xFF);
    f[9] = static_cast<std::uint8_t>((w - 1) >> 8);
    f[10] = static_cast<std::uint8_t>((h - 1) & 0xFF);
    f[11] = static_cast<std::uint8_t>((h - 1) >> 8);
    f[65] = 1;
    f[66] = static_cast<std::uint8_t>(w & 0xFF);
    f[67] = static_cast<std::uint8_t>(w >> 8);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = &idx[static_cast<std::size_t>(y) * w];
        for (int x = 0; x < w;) {
            int run = 1;
            while (x + run < w && run < 63 && row[x + run] == row[x])
                ++run;
            if (run > 1 || row[x] >= 0xC0)
                f.push_back(static_cast<std::uint8_t>(0xC0 | run));
            f.push_back(row[x]);
            x += run;
        }
    }
    f.push_back(12);
    for (int i = 0; i < 256; ++i)
        f.insert(f.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 128});
    return f;
}

struct Inputs {
    std::string jpeg, png, bmp, gif, tga, pcx;
    std::vector<std::uint8_t> pcxBytes;
};

std::string Save(const std::filesystem::path& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path p = dir / name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
    return p.string();
}

const Inputs& GetInputs() {
    static const Inputs inputs = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() / "korvane-image-bench";
        std::filesystem::create_directories(dir);
        Inputs in;
        in.jpeg = Save(dir, "4000.jpg", WriteJpeg(4000, 4000));
        in.png = Save(dir, "4000.png", WritePng(4000, 4000));
        in.bmp = Save(dir, "3000.bmp", WriteBmp(3000, 3000));
        in.gif = Save(dir, "2000.gif", WriteGif(2000, 2000));
        in.tga = Save(dir, "2000.tga", WriteTga(2000, 2000));
        in.pcxBytes = WritePcx(2000, 2000);
        in.pcx = Save(dir, "2000.pcx", in.pcxBytes);
        return in;
    }();
    return inputs;
}

void DecodeOurs(benchmark::State& state, const std::string& path, int type) {
    for (auto _ : state) {
        CRasterImage img;
        if (!img.Load(path, type)) {
            state.SkipWithError(img.GetLastError().c_str());
            return;
        }
        benchmark::DoNotOptimize(img.GetBits());
    }
}

void DecodeStb(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        unsigned char* p = stbi_load(path.c_str(), &w, &h, &n, 0);
        if (!p) {
            state.SkipWithError(stbi_failure_reason());
            return;
        }
        benchmark::DoNotOptimize(p);
        stbi_image_free(p);
    }
}

// --- bare library decodes into 24-bit rows ------------------------------------------

void BM_Jpeg_BareLibjpeg(benchmark::State& state) {
    const std::string& path = GetInputs().jpeg;
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        jpeg_decompress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_decompress(&c);
        jpeg_stdio_src(&c, f);
        jpeg_read_header(&c, TRUE);
        c.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&c);
        const std::size_t stride = (c.output_width * 3 + 3) & ~3u;
        std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[stride * c.output_height]);
        while (c.output_scanline < c.output_height) {
            JSAMPROW row = rows.get() + stride * (c.output_height - 1 - c.output_scanline);
            jpeg_read_scanlines(&c, &row, 1);
        }
        jpeg_finish_decompress(&c);
        jpeg_destroy_decompress(&c);
        std::fclose(f);
        benchmark::DoNotOptimize(rows.get());
    }
}

void BM_Png_BareLibpng(benchmark::State& state) {
    const std::string& path = GetInputs().png;
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
        const std::size_t stride = (w * 3 + 3) & ~3u;
        std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[stride * h]);
        for (png_uint_32 y = 0; y < h; ++y)
            png_read_row(png, rows.get() + stride * (h - 1 - y), nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        benchmark::DoNotOptimize(rows.get());
    }
}

// The simplest PCX reader: run-length decoding of 8-bit rows, nothing else.
void BM_Pcx_BareRle(benchmark::State& state) {
    const std::string& path = GetInputs().pcx;
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int w = file[8] + (file[9] << 8) + 1, h = file[10] + (file[11] << 8) + 1;
        const std::size_t stride = (w + 3) & ~3;
        std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[stride * h]);
        std::size_t pos = 128;
        for (int y = 0; y < h; ++y) {
            std::uint8_t* out = rows.get() + stride * (h - 1 - y);
            for (int x = 0; x < w;) {
                const std::uint8_t c = file[pos++];
                if ((c & 0xC0) == 0xC0) {
                    const int n = c & 0x3F;
                    std::memset(out + x, file[pos++], n);
                    x += n;
                } else {
                    out[x++] = c;
                }
            }
        }
        benchmark::DoNotOptimize(rows.get());
    }
}

void BM_Jpeg_Ours(benchmark::State& s) { DecodeOurs(s, GetInputs().jpeg, IMAGE_JPG); }
void BM_Png_Ours(benchmark::State& s) { DecodeOurs(s, GetInputs().png, IMAGE_PNG); }
void BM_Bmp_Ours(benchmark::State& s) { DecodeOurs(s, GetInputs().bmp, IMAGE_BMP); }
void BM_Bmp_Stb(benchmark::State& s) { DecodeStb(s, GetInputs().bmp); }
void BM_Gif_Ours(benchmark::State& s) { DecodeOurs(s, GetInputs().gif, IMAGE_GIF); }
void BM_Gif_Stb(benchmark::State& s) { DecodeStb(s, GetInputs().gif); }
void BM_Tga_Ours(benchmark::State& s) { DecodeOurs(s, GetInputs().tga, IMAGE_TGA); }
void BM_Tga_Stb(benchmark::State& s) { DecodeStb(s, GetInputs().tga); }
void BM_Pcx_Ours(benchmark::State& s) { DecodeOurs(s, GetInputs().pcx, IMAGE_PCX); }
}  // namespace

BENCHMARK(BM_Jpeg_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jpeg_BareLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png_BareLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp_Stb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gif_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gif_Stb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tga_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tga_Stb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pcx_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pcx_BareRle)->Unit(benchmark::kMillisecond);

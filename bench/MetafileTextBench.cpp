// Metafile text speed: a text-heavy A4 Windows metafile (a thousand strings
// in four fonts, as a page of a word processor's export) decoded at 96 dpi.
// Target: BM_TextHeavyA4Wmf under 50 ms.
#include "image/ByteSource.h"
#include "image/RasterImage.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
void Put16(std::vector<std::uint8_t>& v, int x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Put16(v, static_cast<int>(x & 0xFFFF));
    Put16(v, static_cast<int>(x >> 16));
}

void Record(std::vector<std::uint8_t>& r, int function, const std::vector<int>& words,
            const std::vector<std::uint8_t>& tail = {}) {
    Put32(r, static_cast<std::uint32_t>(3 + words.size() + (tail.size() + 1) / 2));
    Put16(r, function);
    for (int w : words)
        Put16(r, w);
    r.insert(r.end(), tail.begin(), tail.end());
    if (tail.size() % 2)
        r.push_back(0);
}

std::vector<std::uint8_t> TextHeavyA4() {
    const int w = 11906, h = 16838;  // A4 in twips
    std::vector<std::uint8_t> r;
    Record(r, 0x020C, {h, w});
    Record(r, 0x0102, {1});   // transparent background
    Record(r, 0x012E, {24});  // baseline
    const char* faces[] = {"Arial", "Times New Roman", "Courier New", "Symbol"};
    for (int f = 0; f < 4; ++f) {
        std::vector<std::uint8_t> tail = {0, 0, 0, static_cast<std::uint8_t>(f == 3 ? 2 : 0), 0, 0, 0, 0};
        for (const char* c = faces[f]; *c; ++c)
            tail.push_back(static_cast<std::uint8_t>(*c));
        tail.resize(40, 0);
        Record(r, 0x02FB, {-120, 0, 0, 0, f == 0 ? 700 : 400}, tail);
    }
    for (int i = 0; i < 1000; ++i) {
        // Eight columns of 125 lines, 6-point text: a dense track list.
        const int row = i / 8, column = i % 8;
        if (column == 0)
            Record(r, 0x012D, {(row % 4)});  // a font per line
        std::string s = "Track " + std::to_string(i) + ": a+b=p";
        std::vector<std::uint8_t> bytes(s.begin(), s.end());
        if (bytes.size() % 2)
            bytes.push_back(0);
        std::vector<int> words = {static_cast<int>(s.size())};
        for (std::size_t k = 0; k < bytes.size(); k += 2)
            words.push_back(bytes[k] | (bytes[k + 1] << 8));
        words.push_back(400 + row * 130);      // y
        words.push_back(300 + column * 1430);  // x
        Record(r, 0x0521, words);
    }
    std::vector<std::uint8_t> f;
    Put32(f, 0x9AC6CDD7);
    Put16(f, 0);
    for (int v : {0, 0, w, h})
        Put16(f, v);
    Put16(f, 1440);
    Put32(f, 0);
    Put16(f, 0);
    Put16(f, 1);
    Put16(f, 9);
    Put16(f, 0x300);
    Put32(f, static_cast<std::uint32_t>(9 + r.size() / 2 + 3));
    Put16(f, 4);
    Put32(f, 64);
    Put16(f, 0);
    f.insert(f.end(), r.begin(), r.end());
    Put32(f, 3);
    Put16(f, 0);
    return f;
}

void BM_TextHeavyA4Wmf(benchmark::State& state) {
    const std::vector<std::uint8_t> file = TextHeavyA4();
    for (auto _ : state) {
        CMemorySource source(file.data(), file.size());
        CRasterImage image;
        if (!image.Decode(source, IMAGE_WMF) || image.GetWidth() != 794)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.GetBits());
    }
}
BENCHMARK(BM_TextHeavyA4Wmf)->Unit(benchmark::kMillisecond);
}  // namespace

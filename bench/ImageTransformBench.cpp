// Whole-image operations on a 16-megapixel 24-bit picture, against a memcpy
// of the same bytes, and drawing it into a 300 x 300 box.
//   BM_Rotate90 / BM_MemcpySameBytes   (target <= 3)
//   BM_DrawInto300x300                 (target < 1 ms)
#include "BenchPictures.h"
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {
constexpr int kSide = 4000;  // 16 megapixels

const CRasterImage& Picture() {
    static const CRasterImage picture = PatternPicture(kSide, 7, 3);
    return picture;
}

void BM_Rotate90(benchmark::State& state) {
    CRasterImage source(Picture());
    for (auto _ : state) {
        CRasterImage turned;
        source.Rotate(90, &turned);
        benchmark::DoNotOptimize(turned.GetBits());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.GetBitsSize()));
}

// The same bytes copied into a fresh block each time, as Rotate fills one.
void BM_MemcpySameBytes(benchmark::State& state) {
    const CRasterImage& source = Picture();
    const std::size_t bytes = source.GetBitsSize();
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes]);
        std::memcpy(copy.get(), source.GetBits(), bytes);
        benchmark::DoNotOptimize(copy.get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_ConvertToGray(benchmark::State& state) {
    const CRasterImage& source = Picture();
    for (auto _ : state) {
        state.PauseTiming();
        CRasterImage img(source);
        state.ResumeTiming();
        img.ConvertToGray();
        benchmark::DoNotOptimize(img.GetBits());
    }
}

void BM_DrawInto300x300(benchmark::State& state) {
    const CRasterImage& source = Picture();
    CRasterSurface surface(320, 320);
    CDrawContext surfaceDraw(surface);
    for (auto _ : state) {
        source.Draw(&surfaceDraw, 10, 10, 300, 300);
        benchmark::DoNotOptimize(surface.Bits());
    }
}
}  // namespace

BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpySameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawInto300x300)->Unit(benchmark::kMicrosecond);

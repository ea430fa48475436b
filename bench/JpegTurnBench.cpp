// Turning a 16-megapixel (4608 x 3456, 4:2:0, quality 90) JPEG a quarter
// turn on its coefficients, against decoding the same file to pixels; and a
// cover's whole Rotate (pixels and data) against the pixels alone; and
// Rotate as the screen sees it (the data's turn noted, not yet done).
//   BM_TurnJpeg             (target < 300 ms: it reads and writes the
//                            entropy-coded data, with optimised tables, so
//                            it costs about three decodes to pixels)
//   BM_RotateWithJpegData   (BM_RotatePixelsOnly plus BM_TurnJpeg)
//   BM_RotateOnScreen       (about BM_RotatePixelsOnly)
#include "image/JpegTurn.h"
#include "image/RasterImage.h"

#include "TestEncoders.h"

#include <benchmark/benchmark.h>

namespace {
constexpr int kWidth = 4608, kHeight = 3456;

const std::vector<std::uint8_t>& File() {
    static const std::vector<std::uint8_t> file = [] {
        JpegRecipe s;
        s.width = kWidth;
        s.height = kHeight;
        s.quality = 90;
        s.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight * 3);
        std::uint32_t noise = 1;
        std::size_t i = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c) {
                    noise = noise * 1103515245u + 12345u;
                    s.pixels[i++] = static_cast<std::uint8_t>(((x >> 3) + (y >> 2) + c * 60 + ((x * y) >> 12) +
                                                               (noise >> 29)) & 0xFF);
                }
        return EncodeJpeg(s);
    }();
    return file;
}

const CRasterImage& Decoded() {
    static const CRasterImage image = [] {
        CRasterImage img;
        CMemorySource source(File().data(), File().size());
        img.Decode(source, IMAGE_JPG);
        return img;
    }();
    return image;
}

void BM_TurnJpeg(benchmark::State& state) {
    const std::vector<std::uint8_t>& file = File();
    for (auto _ : state) {
        auto turned = TurnJpeg(file.data(), file.size(), 90);
        if (!turned)
            state.SkipWithError("not turned");
        benchmark::DoNotOptimize(turned);
    }
    state.counters["MB"] = static_cast<double>(file.size()) / 1e6;
}

void BM_DecodeJpeg(benchmark::State& state) {
    for (auto _ : state) {
        CRasterImage img;
        CMemorySource source(File().data(), File().size());
        img.Decode(source, IMAGE_JPG);
        benchmark::DoNotOptimize(img.GetBits());
    }
}

// A quarter turn of the decoded cover; `printed` also asks for the turned
// data, as printing does.
void RotateKeepingData(benchmark::State& state, bool printed) {
    CRasterImage source(Decoded());
    for (auto _ : state) {
        CRasterImage turned;
        source.Rotate(90, &turned);
        if (printed ? !turned.GetJpegData() : !turned.HasJpegData())
            state.SkipWithError("data dropped");
        benchmark::DoNotOptimize(turned.GetBits());
    }
}

void BM_RotateWithJpegData(benchmark::State& state) { RotateKeepingData(state, true); }
void BM_RotateOnScreen(benchmark::State& state) { RotateKeepingData(state, false); }

void BM_RotatePixelsOnly(benchmark::State& state) {
    CRasterImage source(Decoded());
    source.DropJpegData();
    for (auto _ : state) {
        CRasterImage turned;
        source.Rotate(90, &turned);
        benchmark::DoNotOptimize(turned.GetBits());
    }
}
}  // namespace

BENCHMARK(BM_TurnJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateWithJpegData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateOnScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotatePixelsOnly)->Unit(benchmark::kMillisecond);

// The scaled write's row gathering on each of its paths, so that the figures
// of processors without the wider byte shuffles can be read on any machine:
// the 16-megapixel picture (bottom-up rows) into the 120 mm cover at 600 dpi,
// on an A4 page of 24-bit and of 32-bit pixels. Compare with RenderCoverBench's
// BM_MemcpyDestinationBytes (24-bit) and PreviewStretchBench's memcpy (32-bit).
#include "image/StretchSampler.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kPageWidth = 4960, kPageHeight = 7016;
constexpr int kSide = 2834, kLeft = 1063, kTop = 674, kPicture = 4000;

const std::vector<std::uint8_t>& Picture() {
    static const std::vector<std::uint8_t> rows = [] {
        std::vector<std::uint8_t> r(static_cast<std::size_t>(kPicture) * kPicture * 3);
        for (std::size_t i = 0; i < r.size(); ++i)
            r[i] = static_cast<std::uint8_t>((i * 7 + i / 12000 * 13) & 0xFF);
        return r;
    }();
    return rows;
}

void Gather(benchmark::State& state, CStretchSampler::Path path, CStretchSampler::Target target) {
    const int pixelBytes = target == CStretchSampler::Target::Bgr24 ? 3 : 4;
    const std::ptrdiff_t stride = std::ptrdiff_t{kPageWidth} * pixelBytes;
    std::vector<std::uint8_t> page(static_cast<std::size_t>(stride) * kPageHeight, 0xFF);
    const std::ptrdiff_t srcStride = -std::ptrdiff_t{kPicture} * 3;
    const std::uint8_t* top = Picture().data() + static_cast<std::size_t>(kPicture - 1) * kPicture * 3;
    const SurfaceRect dst{kLeft, kTop, kLeft + kSide, kTop + kSide};
    for (auto _ : state) {
        const CStretchSampler sampler(dst, dst, kPicture, kPicture, target, path);
        for (int y = dst.top; y < dst.bottom; ++y) {
            std::uint8_t* out = page.data() + y * stride + std::ptrdiff_t{kLeft} * pixelBytes;
            const std::uint8_t* row = top + sampler.SourceRow(y) * srcStride;
            StretchRowsAhead ahead;
            if (y + 1 < dst.bottom)
                ahead = {top + sampler.SourceRow(y + 1) * srcStride, out + stride};
            if (pixelBytes == 3)
                sampler.Gather24(row, out, ahead);
            else
                sampler.Gather32(row, reinterpret_cast<std::uint32_t*>(out), ahead);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kSide} * kSide * pixelBytes);
}

using Path = CStretchSampler::Path;
using Target = CStretchSampler::Target;
BENCHMARK_CAPTURE(Gather, Bgr24Fastest, Path::Fastest, Target::Bgr24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Gather, Bgr24Shuffle16, Path::Shuffle16, Target::Bgr24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Gather, Bgr24Portable, Path::Portable, Target::Bgr24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Gather, Argb32Fastest, Path::Fastest, Target::Argb32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Gather, Argb32Shuffle16, Path::Shuffle16, Target::Argb32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Gather, Argb32Portable, Path::Portable, Target::Argb32)->Unit(benchmark::kMillisecond);

}  // namespace

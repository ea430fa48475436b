// RenderCover at printer resolution: a 120 mm cover at 600 dpi from a
// 16-megapixel picture, a 117 mm disc label, the bare stretch, and a memcpy
// of the cover's destination bytes to compare with.
#include "BenchPictures.h"
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "image/RasterSurface.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {
const PageMetrics kA4At600 = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);

const CRasterImage& Picture16MP() {
    static const CRasterImage image = PatternPicture(4000, 7, 13);
    return image;
}

// A typical scan: 1500 x 1500 pixels.
const CRasterImage& Picture1500() {
    static const CRasterImage image = PatternPicture(1500, 5, 11);
    return image;
}

CRasterSurface& Page() {
    static CRasterSurface page(kA4At600.printableWidth, kA4At600.printableHeight);
    return page;
}

CoverFormatList Formats(bool label) {
    CoverFormatList list;
    CoverFormat f = CoverFormat::NewFormat(label ? "CD Label" : "CD Front");
    f.type = label ? "CUSTOM" : "CD_FRONT";
    f.width = f.height = label ? 117.0 : 120.0;
    f.leftX = AUTO_POSITION;
    f.label = label ? 1 : 0;
    f.holeSize = label ? 41.0 : 0.0;
    list.formats.push_back(f);
    return list;
}

void RenderOne(benchmark::State& state, bool label, const CRasterImage& image) {
    const CoverFormatList formats = Formats(label);
    PlacementJob job;
    const CoverPlacement p = ComputePlacement(kA4At600, formats, LeftFormat(0), job);
    CRasterSurface& page = Page();
    CDrawContext context(page);
    for (auto _ : state) {
        RenderCover(context, kA4At600, p, image, formats, LeftFormat(0), RenderOptions{1, 1, 0});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(p.width) * p.height * 3);
    state.counters["cover_px"] = static_cast<double>(p.width);
}

void BM_RenderCover120mm600dpi16MP(benchmark::State& state) { RenderOne(state, false, Picture16MP()); }
void BM_RenderLabel117mm600dpi16MP(benchmark::State& state) { RenderOne(state, true, Picture16MP()); }
void BM_RenderCover120mm600dpiFrom1500px(benchmark::State& state) { RenderOne(state, false, Picture1500()); }
void BM_RenderLabel117mm600dpiFrom1500px(benchmark::State& state) { RenderOne(state, true, Picture1500()); }

// The stretch alone: the 16-megapixel picture into the 2834 x 2834 cover.
void BM_StretchOnly(benchmark::State& state) {
    const CRasterImage& image = Picture16MP();
    CRasterSurface& page = Page();
    CDrawContext context(page);
    const int W = CoverMmToPixels(120.0, 600);
    const PixelBlock src{image.GetRow(image.GetHeight() - 1), -static_cast<std::ptrdiff_t>(image.GetStride()),
                         image.GetWidth(), image.GetHeight()};
    for (auto _ : state) {
        context.StretchPixels(SurfaceRect{1063, 674, 1063 + W, 674 + W}, src);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(W) * W * 3);
}

// What the stretch is compared with: copying the cover's destination bytes.
void BM_MemcpyDestinationBytes(benchmark::State& state) {
    const int W = CoverMmToPixels(120.0, 600);
    const std::size_t bytes = static_cast<std::size_t>(W) * W * 3;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
}  // namespace

BENCHMARK(BM_MemcpyDestinationBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCover120mm600dpi16MP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderLabel117mm600dpi16MP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCover120mm600dpiFrom1500px)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderLabel117mm600dpiFrom1500px)->Unit(benchmark::kMillisecond);

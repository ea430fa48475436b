// The screen's scaled write: a 16-megapixel picture (bottom-up rows, as images
// hand them over) stretched through the QPainter surface into a 32-bit
// off-screen image, as the previews draw, and a memcpy of the destination
// bytes to compare with. The printer-sized case has the geometry of
// RenderCoverBench's BM_StretchOnly; the paper-sized one is a preview window.
//   QT_QPA_PLATFORM=offscreen build/bin/PreviewStretchBench
#include "../BenchPictures.h"
#include "image/RasterImage.h"
#include "image/ui/QtPainterSurface.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <vector>

namespace {

const CRasterImage& Picture16MP()
{
    static const CRasterImage image = PatternPicture(4000, 7, 13);
    return image;
}

struct Geometry {
    int imageWidth, imageHeight, left, top, side;
};
// A4 at 600 dpi with the 120 mm cover, and a preview window of 800 x 600.
constexpr Geometry kA4At600{4960, 7016, 1063, 674, 2834};
constexpr Geometry kWindow{800, 600, 190, 90, 420};

void PreviewStretch(benchmark::State& state, Geometry g)
{
    const CRasterImage& image = Picture16MP();
    const PixelBlock src{image.GetRow(image.GetHeight() - 1), -static_cast<std::ptrdiff_t>(image.GetStride()),
                         image.GetWidth(), image.GetHeight()};
    QImage target(g.imageWidth, g.imageHeight, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    for (auto _ : state) {
        CQtPainterSurface pixels(painter, target.width(), target.height());
        CDrawContext surface(pixels);
        surface.StretchPixels(SurfaceRect{g.left, g.top, g.left + g.side, g.top + g.side}, src);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{g.side} * g.side * 4);
}

void MemcpyDestinationBytes(benchmark::State& state, Geometry g)
{
    const std::size_t bytes = static_cast<std::size_t>(g.side) * g.side * 4;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

BENCHMARK_CAPTURE(MemcpyDestinationBytes, A4At600dpi, kA4At600)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PreviewStretch, A4At600dpi, kA4At600)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemcpyDestinationBytes, Window, kWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PreviewStretch, Window, kWindow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

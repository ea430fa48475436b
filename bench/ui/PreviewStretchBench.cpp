// The screen's scaled write: a 16-megapixel picture (bottom-up rows, as images
// hand them over) stretched through the QPainter surface into a 32-bit
// off-screen image, as the previews draw, and a memcpy of the destination
// bytes to compare with. The printer-sized case has the geometry of
// RenderCoverBench's BM_StretchOnly; the paper-sized one is a preview window.
//   QT_QPA_PLATFORM=offscreen build/bin/PreviewStretchBench
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
    static CRasterImage image = [] {
        CRasterImage i;
        i.Create(4000, 4000, 24, IMAGE_JPG);
        for (int y = 0; y < 4000; ++y) {
            std::uint8_t* row = i.GetRow(y);
            for (int x = 0; x < 4000 * 3; ++x)
                row[x] = static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF);
        }
        return i;
    }();
    return image;
}

// state.range: target image width and height, box left, top and side.
void BM_PreviewStretch(benchmark::State& state)
{
    const CRasterImage& image = Picture16MP();
    const PixelBlock src{image.GetRow(image.GetHeight() - 1), -static_cast<std::ptrdiff_t>(image.GetStride()),
                         image.GetWidth(), image.GetHeight()};
    QImage target(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
    target.fill(Qt::white);
    const int left = static_cast<int>(state.range(2));
    const int top = static_cast<int>(state.range(3));
    const int side = static_cast<int>(state.range(4));
    QPainter painter(&target);
    for (auto _ : state) {
        CQtPainterSurface surface(painter, target.width(), target.height());
        surface.StretchPixels(SurfaceRect{left, top, left + side, top + side}, src);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{side} * side * 4);
}

void BM_PreviewMemcpyDestinationBytes(benchmark::State& state)
{
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) * state.range(0) * 4;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// A4 at 600 dpi with the 120 mm cover, and a preview of 800 x 600 pixels.
BENCHMARK(BM_PreviewMemcpyDestinationBytes)->Name("MemcpyDestinationBytes/2834")->Arg(2834)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewStretch)->Name("PreviewStretch/A4at600dpi")->Args({4960, 7016, 1063, 674, 2834})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewMemcpyDestinationBytes)->Name("MemcpyDestinationBytes/420")->Arg(420)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewStretch)->Name("PreviewStretch/Window800x600")->Args({800, 600, 190, 90, 420})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

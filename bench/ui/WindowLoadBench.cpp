// A 16-megapixel JPEG (4000 x 4000, quality 90) opened into a slot through
// the window's loader, decoded as far as a 1920 x 1080 screen needs (what
// the window does), and in full (what it did). Peak memory is the process's
// (getrusage), so run each case in a process of its own:
//   QT_QPA_PLATFORM=offscreen build/bin/WindowLoadBench --benchmark_filter=Screen
//   QT_QPA_PLATFORM=offscreen build/bin/WindowLoadBench --benchmark_filter=Full
#include "app/ui/ImageLoadWorker.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include <sys/resource.h>

namespace {

const std::string& CoverFile()
{
    static const std::string path = [] {
        const QString file = QDir::temp().filePath(QStringLiteral("korvane-window-load-16mp.jpg"));
        if (!QFile::exists(file)) {
            QImage image(4000, 4000, QImage::Format_RGB32);
            for (int y = 0; y < 4000; ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < 4000; ++x)
                    row[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, ((x ^ y) >> 3) & 255);
            }
            image.save(file, "JPEG", 90);
        }
        return file.toStdString();
    }();
    return path;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void OpenInSlot(benchmark::State& state, int viewWidth, int viewHeight)
{
    const std::string& path = CoverFile();
    CImageLoadWorker worker(600000);
    worker.SetViewSize(viewWidth, viewHeight);
    CRasterImage slot;
    for (auto _ : state) {
        worker.Start(Slot::Left, path, IMAGE_JPG, [&slot](LoadOutcome, CRasterImage& decoded) {
            slot = std::move(decoded);
        });
        benchmark::DoNotOptimize(slot.GetBits());
    }
    state.counters["slot_pixels_MB"] = static_cast<double>(slot.GetBitsSize()) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = PeakMegabytes();
}

BENCHMARK_CAPTURE(OpenInSlot, Screen1920x1080, 1920, 1080)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenInSlot, Full, 100000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

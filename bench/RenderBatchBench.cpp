// A batch of 100 covers printed at 600 dpi: the peak memory of the whole
// batch against the peak after its first cover (reported as counters; the
// batch must not grow with the number of files).
#include "app/FormatRecognition.h"
#include "image/RasterSurface.h"
#include "print/BatchPrint.h"
#include "print/PageSink.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {
const PageMetrics kA4At600 = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);

// Peak resident memory of the process so far, in megabytes (VmHWM).
double PeakMegabytes() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kb = std::atof(line + 6);
    }
    std::fclose(f);
    return kb / 1024.0;
}

// Pages go to a printer one at a time: each is drawn, handed over, freed.
class OnePageAtATime : public IPageSink {
public:
    PageMetrics Metrics() const override { return kA4At600; }
    bool StartJob(const std::string&) override { return true; }
    CDrawContext* StartPage(int) override {
        page_ = std::make_unique<CRasterSurface>(kA4At600.printableWidth, kA4At600.printableHeight);
        return &context_.emplace(*page_);
    }
    bool EndPage() override {
        benchmark::DoNotOptimize(page_->Bits());
        context_.reset();
        page_.reset();
        return true;
    }
    void EndJob() override {}
    void AbortJob() override {}

private:
    std::unique_ptr<CRasterSurface> page_;
    std::optional<CDrawContext> context_;
};

// Four 3000 x 3000 BMP files of different content.
std::vector<std::string> WriteFiles(const std::string& dir) {
    std::vector<std::string> files;
    for (int k = 0; k < 4; ++k) {
        CRasterImage i;
        const int w = 3000, h = 3000, stride = w * 3;
        std::vector<std::uint8_t> bytes(54 + static_cast<std::size_t>(stride) * h);
        auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int b = 0; b < 4; ++b)
                bytes[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
        };
        bytes[0] = 'B', bytes[1] = 'M';
        put32(2, static_cast<std::uint32_t>(bytes.size()));
        put32(10, 54), put32(14, 40), put32(18, w), put32(22, h);
        bytes[26] = 1, bytes[28] = 24;
        for (std::size_t p = 54; p < bytes.size(); ++p)
            bytes[p] = static_cast<std::uint8_t>(p * (k + 3));
        const std::string path = dir + "/cover-" + std::to_string(k) + ".bmp";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        files.push_back(path);
    }
    return files;
}

void BM_Batch100CoversFlatMemory(benchmark::State& state) {
    const std::string dir = (std::filesystem::temp_directory_path() / "korvane_batch_bench").string();
    std::filesystem::create_directories(dir);
    const std::vector<std::string> files = WriteFiles(dir);
    CoverFormatList formats;
    CoverFormat f = CoverFormat::NewFormat("CD Front");
    f.type = "CD_FRONT";
    f.width = f.height = 120.0;
    f.autodetect = 1;
    formats.formats.push_back(f);
    const BatchRecognition recognition = BatchRecognitionFor(formats, 1, nullptr);

    for (auto _ : state) {
        CRasterImage left;
        OnePageAtATime sink;
        BatchJob one;
        one.files = {files[0]};
        BatchPrint(one, formats, left, recognition, sink, nullptr);
        const double afterOne = PeakMegabytes();
        BatchJob hundred;
        for (int i = 0; i < 100; ++i)
            hundred.files.push_back(files[i % files.size()]);
        const BatchResult r = BatchPrint(hundred, formats, left, recognition, sink, nullptr);
        const double afterHundred = PeakMegabytes();
        state.counters["pages"] = r.pages;
        state.counters["peak_after_1_MB"] = afterOne;
        state.counters["peak_after_100_MB"] = afterHundred;
        state.counters["ratio"] = afterHundred / afterOne;
    }
    std::filesystem::remove_all(dir);
}
}  // namespace

BENCHMARK(BM_Batch100CoversFlatMemory)->Iterations(1)->Unit(benchmark::kSecond);

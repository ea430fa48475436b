// Reading large formats files: time grows in step with the number of
// sections, REMAP lines included (target: 200,000 REMAP sections in under a
// second). Compare BM_ReadRemapSections/50000, /100000 and /200000: the
// times should double with the count.
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {
// Sections "F<i>", each with a size and a REMAP to the section before it.
std::string RemapSections(int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 40);
    for (int i = 0; i < count; ++i) {
        text += "[F" + std::to_string(i) + "]\r\nSIZE = 120,120\r\n";
        if (i > 0) text += "REMAP = F" + std::to_string(i - 1) + "\r\n";
    }
    return text;
}

void BM_ReadRemapSections(benchmark::State& state) {
    const std::string text = RemapSections(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CoverFormatList list;
        CCollectingFormatsReporter reporter;
        list.loadText(text, "Korvane.dat", reporter);
        benchmark::DoNotOptimize(list.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadRemapSections)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
}  // namespace

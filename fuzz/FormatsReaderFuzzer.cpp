// Fuzz target for the formats file reader and writer: any bytes are read
// without crashing, the list they give is written, and the written text
// settles: reading it back keeps every format, and writing that again gives
// the same bytes (so repeated saves never grow or change the file).
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CCollectingFormatsReporter reporter;

    CoverFormatList first;
    first.loadText(bytes, "fuzz.dat", reporter);
    for (int i = 0; i < first.count(); ++i) {
        // What the layout and recognition ask of every format.
        first.detectRatio(i);
        first.position(i, 1, true);
        if (first.remapIndex(i) < -1 || first.remapIndex(i) >= first.count()) std::abort();
    }
    const std::string saved = first.fileText();

    CoverFormatList second;
    second.loadText(saved, "fuzz.dat", reporter);
    if (second.count() != first.count()) std::abort();
    if (second.fileText() != saved) std::abort();
    return 0;
}

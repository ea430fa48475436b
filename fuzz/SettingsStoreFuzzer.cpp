// Korvane.cfg from untrusted bytes: the program's start-up and view reads, the
// shut-down writes and a save must never crash, and every value written must
// read back unchanged whatever the file held before.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "FuzzSupport.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"

namespace {

std::string Folder() { return FuzzFolder("cfg"); }

// A value made from the input: no line breaks (a value is one line) and no
// "%" (the text "%5B" stands for a bracket by design).
std::string ValueFrom(const std::string& bytes, std::size_t from, std::size_t length) {
    std::string v;
    for (std::size_t i = from; i < bytes.size() && v.size() < length; ++i)
        if (bytes[i] != '\r' && bytes[i] != '\n' && bytes[i] != '%') v += bytes[i];
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string cfg = Folder() + "/Korvane.cfg";
    std::ofstream(cfg, std::ios::binary | std::ios::trunc) << bytes;

    CSettingsStore store(cfg);
    AppSettings s;
    ReadStartSettings(s, store);
    ReadViewStartSettings(s, store);
    ReadWindowPosition(s, store);
    store.GetCfgString("Paths", "LastUsed", "");
    store.GetCfgInt(ValueFrom(bytes, 0, 12), ValueFrom(bytes, 12, 12), 5);

    // Shut-down with values from the input.
    s.recentFileLeft = ValueFrom(bytes, 0, 40);
    s.recentFileRight = ValueFrom(bytes, size / 2, 40);
    s.positionX = static_cast<int>(size) - 1000;
    s.lastUsedLeftFormat = size > 0 ? data[0] - 128 : 0;
    WriteWindowPosition(s, store);
    WriteViewCloseSettings(s, store);
    store.WriteCfgString("Paths", "LastUsed", s.recentFileRight);
    store.DeleteCfgKey("Options", "UseProxy");

    AppSettings back;
    ReadViewStartSettings(back, store);
    ReadWindowPosition(back, store);
    Check(back.recentFileLeft == s.recentFileLeft);
    Check(back.recentFileRight == s.recentFileRight);
    Check(back.positionX == s.positionX);
    Check(back.lastUsedLeftFormat == s.lastUsedLeftFormat);
    Check(back.printBorder == s.printBorder);
    Check(store.GetCfgString("Paths", "LastUsed", "-") == s.recentFileRight);
    Check(store.GetCfgInt("Options", "UseProxy", 77) == 77);

    const std::string text = store.Text();
    if (WriteExitSettings(s, 3, store)) {
        CSettingsStore again(cfg);
        Check(again.GetCfgInt("Options", "Language", -1) == 3);
        Check(again.GetCfgInt("Settings", "LastRanVersion", 0) == 123);
        Check(again.GetCfgInt("Position", "X", 0) == s.positionX);
    }
    return 0;
}

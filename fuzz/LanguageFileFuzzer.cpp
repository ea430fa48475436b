// A .lng file from untrusted bytes: loading it and asking for every text,
// captioning a dialog and translating a menu bar must never crash, and every
// text the file gives must be a clean single entry.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "../tests/settings/FakeMenu.h"
#include "FuzzSupport.h"
#include "settings/LanguageFile.h"
#include "settings/LanguageTable.h"

namespace {

std::string Folder() { return FuzzFolder("lng"); }

bool EndsInWhiteSpace(const std::string& s) {
    return !s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    constexpr int kGerman = 6;
    CLanguageTable table(Folder());
    std::ofstream(table.LanguageFilePath(kGerman), std::ios::binary | std::ios::trunc) << bytes;

    const auto& numbers = CLanguageTable::TextNumbers();
    const auto entries = LanguageEntries(LanguageFileText(bytes), numbers);
    Check(entries.size() == numbers.size());
    for (const auto& e : entries) Check(!EndsInWhiteSpace(e));

    table.SelectLanguage(kGerman);
    if (size > kMaxLanguageFileSize) return 0;  // refused as too large
    Check(table.GetCurrentLanguage() == kGerman);
    for (std::size_t row = 0; row < numbers.size(); ++row) {
        const std::string text = table.GetText(numbers[row]);
        Check(entries[row].empty() ? text == BuiltinEnglishText(numbers[row]) : text == entries[row]);
        table.GetText(numbers[row], true);
    }

    FakeDialog dialog;
    dialog.captions = {{1, "Ok"}, {2, "Cancel"}};
    const ControlTextNumber rows[] = {{1, 7030}, {2, 7031}, {3, 9010}};
    table.SetControlTexts(dialog, rows, size % 2 == 1);

    auto bar = FakeMenu::MainMenuBar();
    table.BuildEnglishTable(*bar);
    table.TranslateMenu(*bar);
    Check(bar->ItemText(0) == table.GetText(3000));
    return 0;
}

// A skin.ini from untrusted bytes: reading its lines and every key, and
// applying the skin folder holding it, must never crash; the text the
// values are looked up in ends its lines with CR LF.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "settings/ProgramFolder.h"
#include "app/Skin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    static const bool home = [] {
        SetProgramFolder(FuzzFolder("skin"));
        std::filesystem::create_directories(SkinFolderPath("Fuzz"));
        return true;
    }();
    (void)home;
    const std::string path = JoinPath(SkinFolderPath("Fuzz"), "skin.ini");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    ReadSkinIni(bytes);
    std::string text;
    if (!ReadSkinIniFile(path, text)) return 0;  // refused as too large
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') Check(i > 0 && text[i - 1] == '\r');
    }
    const SkinIniValues values = ReadSkinIni(text);

    SkinSettings skin;
    skin.folders = {"Fuzz"};
    Check(ApplySkin(skin, kFirstSkinFolder, size % 2 == 1));
    Check(skin.selectedSkin == kFirstSkinFolder);
    Check(skin.values.mainX == values.mainX && skin.values.text == values.text);
    Check(!skin.mainPicture.IsValid());
    return 0;
}

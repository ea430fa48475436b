// A .desktop file and a mimeapps.list from untrusted bytes (the user's own
// files, or any installed program's): reading them, filling in the Exec line
// and the whole text-editor search must never crash, and a command that is
// built always carries the file to open.
#include <cstdint>
#include <fstream>
#include <map>
#include <string>

#include "FuzzSupport.h"
#include "formats/DesktopEntry.h"
#include "formats/TextEditorLookup.h"

namespace {
const std::string kHostile = "/k/a b; touch P1; $(touch P2) `touch P3` \"q\" \\ it's/Korvane.dat";
const std::string kHostileWord = "'/k/a b; touch P1; $(touch P2) `touch P3` \"q\" \\ it'\\''s/Korvane.dat'";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
        text.replace(p, from.size(), to);
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = "/k/Korvane.dat";

    DesktopEntry entry;
    if (ParseDesktopEntry(bytes, "/apps/x.desktop", entry)) {
        std::vector<std::string> argv;
        if (ExpandExec(entry, file, argv)) {
            Check(!argv.empty());
            bool carried = false;
            for (const std::string& a : argv) carried = carried || a.find(file) != std::string::npos;
            Check(carried);
            std::vector<std::string> again;
            Check(SplitCommandLine(JoinCommandLine(argv), again) && again == argv);
            // A path full of shell syntax changes no argument but the ones
            // that hold it, where it stands whole or as one quoted word.
            std::vector<std::string> hostile;
            Check(ExpandExec(entry, kHostile, hostile) && hostile.size() == argv.size());
            for (std::size_t i = 0; i < argv.size(); ++i)
                Check(Replaced(Replaced(hostile[i], kHostileWord, "'" + file + "'"), kHostile, file) == argv[i]);
        }
    }

    // The same bytes as the user's list and as the entry it names.
    const std::string& root = FuzzFolder("desktop");
    std::filesystem::create_directories(root + "/config");
    std::filesystem::create_directories(root + "/data/applications");
    std::ofstream(root + "/config/mimeapps.list", std::ios::binary | std::ios::trunc) << bytes;
    std::ofstream(root + "/data/applications/x.desktop", std::ios::binary | std::ios::trunc) << bytes;
    const std::map<std::string, std::string> vars = {
        {"XDG_CONFIG_HOME", root + "/config"}, {"XDG_CONFIG_DIRS", root + "/none"},
        {"XDG_DATA_HOME", root + "/data"},     {"XDG_DATA_DIRS", root + "/none"},
        {"PATH", root + "/none"},              {"VISUAL", bytes.substr(0, 64)}};
    const EditorEnvironment env{[&vars](const std::string& name) {
        auto it = vars.find(name);
        return it == vars.end() ? std::string() : it->second;
    }};
    const EditorSearch search = FindTextEditors(file, env);
    for (const EditorCommand& c : search.commands) {
        bool carried = false;
        for (const std::string& a : c.argv) carried = carried || a.find(file) != std::string::npos;
        Check(carried);
    }
    EditorFailureMessage(search.tried, file);
    return 0;
}

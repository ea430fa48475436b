#include "settings/ProgramFolder.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

std::string& ChosenFolder() {
    static std::string folder;
    return folder;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string WithoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
    return folder;
}

std::string ExecutableFolder() {
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n <= 0) return ".";
        if (static_cast<std::size_t>(n) < buf.size()) {
            std::string path(buf.data(), static_cast<std::size_t>(n));
            std::size_t slash = path.rfind('/');
            if (slash == std::string::npos) return ".";
            return slash == 0 ? "/" : path.substr(0, slash);
        }
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

std::string ProgramFolder() {
    if (!ChosenFolder().empty()) return ChosenFolder();
    if (const char* home = std::getenv("KORVANE_HOME"); home && *home) return WithoutTrailingSeparator(home);
    return ExecutableFolder();
}

void SetProgramFolder(const std::string& folder) { ChosenFolder() = WithoutTrailingSeparator(folder); }

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (IsSeparator(folder.back())) return folder + name;
    return folder + "/" + name;
}

#include "settings/ProgramFolder.h"

#include "settings/AtomicFile.h"
#include "settings/TextFile.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

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

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
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

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The installed layout: PREFIX/bin/korvane beside PREFIX/share/korvane.
std::string ShippedFolderFor(const std::string& exe) {
    const std::string share = fs::path(exe).parent_path().append("share/korvane").lexically_normal().string();
    if (!Exists(JoinPath(exe, "Korvane.dat")) && Exists(JoinPath(share, "Korvane.dat")))
        return WithoutTrailingSeparator(share);
    return exe;
}

std::string UserFolderFor(const ProgramFolderInputs& in) {
    // XDG: a relative $XDG_CONFIG_HOME is invalid and ignored.
    if (!in.xdgConfigHome.empty() && in.xdgConfigHome[0] == '/')
        return JoinPath(WithoutTrailingSeparator(in.xdgConfigHome), "korvane");
    if (!in.home.empty()) return JoinPath(JoinPath(WithoutTrailingSeparator(in.home), ".config"), "korvane");
    return {};
}

ProgramFolders CurrentFolders() {
    ProgramFolders folders = ResolveProgramFolders(
        {ExecutableFolder(), Env("KORVANE_HOME"), Env("XDG_CONFIG_HOME"), Env("HOME")});
    if (!folders.perUser) return folders;
    // Once per user folder and run: make it and give it the shipped formats.
    static std::mutex mutex;
    static std::set<std::string> prepared;
    static std::set<std::string> failed;
    std::lock_guard<std::mutex> lock(mutex);
    if (failed.count(folders.program)) {
        folders.program = folders.shipped;
        folders.perUser = false;
    } else if (!prepared.count(folders.program)) {
        if (PrepareUserFolder(folders)) {
            prepared.insert(folders.program);
        } else {
            // Without a folder of its own the program still reads the shipped files.
            failed.insert(folders.program);
            folders.program = folders.shipped;
            folders.perUser = false;
        }
    }
    return folders;
}

}  // namespace

ProgramFolders ResolveProgramFolders(const ProgramFolderInputs& in) {
    ProgramFolders out;
    if (!in.korvaneHome.empty()) {
        out.program = out.shipped = WithoutTrailingSeparator(in.korvaneHome);
        return out;
    }
    const std::string exe = WithoutTrailingSeparator(in.executableFolder);
    out.shipped = ShippedFolderFor(exe);
    const bool ownFolder = out.shipped == exe && ::access(exe.c_str(), W_OK) == 0;
    const std::string user = UserFolderFor(in);
    if (ownFolder || user.empty()) {
        out.program = out.shipped;
        return out;
    }
    out.program = user;
    out.perUser = true;
    return out;
}

bool PrepareUserFolder(const ProgramFolders& folders, std::string* error) {
    std::error_code ec;
    fs::create_directories(folders.program, ec);
    if (ec || !fs::is_directory(folders.program, ec)) {
        if (error) *error = "cannot make the folder " + folders.program;
        return false;
    }
    const std::string target = JoinPath(folders.program, "Korvane.dat");
    const std::string source = JoinPath(folders.shipped, "Korvane.dat");
    if (Exists(target) || !Exists(source)) return true;
    // Read as the formats reader reads it: a pipe is refused, not waited on.
    std::string bytes;
    if (ReadWholeFile(source, 64u << 20, bytes) != FileReadResult::Ok)
        return true;  // the formats reader will say what is wrong with it
    return WriteFileAtomically(target, bytes, error);
}

std::string ProgramFolder() {
    if (!ChosenFolder().empty()) return ChosenFolder();
    return CurrentFolders().program;
}

void SetProgramFolder(const std::string& folder) { ChosenFolder() = WithoutTrailingSeparator(folder); }

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (IsSeparator(folder.back())) return folder + name;
    return folder + "/" + name;
}

std::vector<std::string> ProgramDataFolders() {
    if (!ChosenFolder().empty()) return {ChosenFolder()};
    const ProgramFolders folders = CurrentFolders();
    if (folders.shipped == folders.program) return {folders.program};
    return {folders.program, folders.shipped};
}

std::string FindProgramFile(const std::string& relative, const std::vector<std::string>& folders) {
    if (folders.empty()) return relative;
    for (const std::string& folder : folders)
        if (Exists(JoinPath(folder, relative))) return JoinPath(folder, relative);
    return JoinPath(folders.front(), relative);
}

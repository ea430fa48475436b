#pragma once
// Helpers shared by the fuzz targets that need files on disk.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A scratch folder for this run (in memory where /dev/shm exists), removed at exit.
inline const std::string& FuzzFolder(const char* tag) {
    static const std::string folder = [tag] {
        std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/korvane-fuzz-" + tag + "-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    static const bool cleanup = (std::atexit([] {
                                     std::error_code ec;
                                     std::filesystem::remove_all(folder, ec);
                                 }),
                                 true);
    (void)cleanup;
    return folder;
}

// A broken invariant is a finding: stop here so the fuzzer keeps the input.
inline void Check(bool ok) {
    if (!ok) std::abort();
}

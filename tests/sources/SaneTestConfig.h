#pragma once
// A SANE configuration folder that enables only SANE's own "test" backend,
// its platen set to `widthMm` x `heightMm`. SANE keeps the folder it first
// found for the rest of the process, so every test of a process uses the
// same folder and only its files change; SANE reads them at each start.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

inline std::string SaneTestFolder()
{
    static const std::string folder = [] {
        const auto f = std::filesystem::temp_directory_path() / ("korvane-sane-" + std::to_string(::getpid()));
        std::filesystem::create_directories(f);
        return f.string();
    }();
    return folder;
}

inline void UseSaneTestBackend(double widthMm, double heightMm, const std::string& extraLines = {})
{
    const std::string folder = SaneTestFolder();
    std::ofstream(folder + "/dll.conf") << "test\n";
    std::ofstream conf(folder + "/test.conf");
    conf << "number_of_devices 2\n"
         << "test-picture \"Color pattern\"\n"
         << "geometry_max 400.0\n"
         << "br_x " << widthMm << "\nbr_y " << heightMm << "\n"
         << extraLines;
    conf.close();
    setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
}

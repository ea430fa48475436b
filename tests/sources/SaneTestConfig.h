#pragma once
// A SANE configuration folder that enables only SANE's own "test" backend,
// its platen set to `widthMm` x `heightMm`; SANE reads it at each start.
#include <cstdlib>
#include <fstream>
#include <string>

inline void UseSaneTestBackend(const std::string& folder, double widthMm, double heightMm,
                               const std::string& extraLines = {})
{
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

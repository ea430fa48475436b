#pragma once
// Helpers shared by the formats tests.
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

// Lines joined with CR LF, each line ended.
inline std::string CrLf(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

// A list read from text, with the messages the reader gave.
struct ReadResult {
    CoverFormatList list;
    CCollectingFormatsReporter reporter;
};

inline ReadResult ReadFormats(const std::string& text) {
    ReadResult r;
    r.list.loadText(text, "memory.dat", r.reporter);
    return r;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvane-formats-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
    }

private:
    std::string path_;
};

// A format as the file can express it: with an automatic position the y
// coordinate has no meaning and reads back as 5000 like x.
inline std::vector<CoverFormat> Normalised(std::vector<CoverFormat> formats) {
    for (CoverFormat& f : formats) {
        if (f.leftX == AUTO_POSITION) f.leftY = AUTO_POSITION;
        if (f.rightX == AUTO_POSITION) f.rightY = AUTO_POSITION;
    }
    return formats;
}

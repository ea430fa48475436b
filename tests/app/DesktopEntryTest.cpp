// The desktop entry as the build writes it: a file manager offers the
// program for exactly the kinds of picture it reads, and hands it the files.
#include "image/PictureKinds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {
std::string Line(const std::string& key) {
    std::ifstream in(KORVANE_BIN_DIR "/../org.korvane.Korvane.desktop");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return {};
}
}  // namespace

TEST(DesktopEntry, OpensFilesOfEveryKindThePictureLayerReads) {
    EXPECT_EQ(Line("Exec"), "korvane %F");
    EXPECT_EQ(Line("TryExec"), "korvane");  // a program, without field codes
    const std::string list = Line("MimeType");
    ASSERT_FALSE(list.empty()) << "no MimeType line";
    ASSERT_EQ(list.back(), ';');
    std::multiset<std::string> listed;
    std::istringstream parts(list);
    for (std::string type; std::getline(parts, type, ';');)
        listed.insert(type);
    std::multiset<std::string> read;
    for (const PictureKind& kind : ReadablePictureKinds()) {
        EXPECT_FALSE(kind.mimeTypes.empty()) << kind.name;
        read.insert(kind.mimeTypes.begin(), kind.mimeTypes.end());
    }
    EXPECT_EQ(listed, read);
    for (const char* type : {"image/jpeg", "image/png", "image/webp", "image/heic", "image/avif", "image/jxl",
                             "image/tiff"})
        EXPECT_EQ(listed.count(type), 1u) << type;
}

// Build-time tool: writes the C++ table of built-in pictures.
//   EmbedPictures OUT.cpp ROOT TYPE/NAME.ext...
// Each file under ROOT/<TYPE>/<NAME>.<ext> becomes one entry
// { "<TYPE>", "<NAME>", bytes, size } of kBuiltinPictures.
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: EmbedPictures OUT.cpp ROOT [TYPE/NAME.ext...]\n");
        return 2;
    }
    const std::string out = argv[1], root = argv[2];
    std::string text = "// Generated from resources/pictures; do not edit.\n#include \"image/BuiltinPictures.h\"\n\n";
    std::string table;
    for (int i = 3; i < argc; ++i) {
        const std::string rel = argv[i];
        const std::size_t slash = rel.find('/');
        const std::size_t dot = rel.rfind('.');
        if (slash == std::string::npos || dot == std::string::npos || dot < slash) {
            std::fprintf(stderr, "EmbedPictures: %s is not TYPE/NAME.ext\n", rel.c_str());
            return 1;
        }
        std::FILE* f = std::fopen((root + "/" + rel).c_str(), "rb");
        if (!f) {
            std::fprintf(stderr, "EmbedPictures: cannot read %s\n", rel.c_str());
            return 1;
        }
        std::vector<unsigned char> bytes;
        unsigned char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
        const std::string id = "kPicture" + std::to_string(i - 3);
        text += "static const unsigned char " + id + "[] = {";
        char cell[8];
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            std::snprintf(cell, sizeof cell, "%s%u,", k % 24 == 0 ? "\n" : "", bytes[k]);
            text += cell;
        }
        text += "0};\n";
        table += "    {\"" + rel.substr(0, slash) + "\", \"" + rel.substr(slash + 1, dot - slash - 1) + "\", " + id +
                 ", " + std::to_string(bytes.size()) + "},\n";
    }
    text += "\nconst BuiltinPicture kBuiltinPictures[] = {\n" + table + "    {nullptr, nullptr, nullptr, 0},\n};\n";
    const std::string tmp = out + ".tmp";
    std::FILE* o = std::fopen(tmp.c_str(), "wb");
    if (!o || std::fwrite(text.data(), 1, text.size(), o) != text.size() || std::fclose(o) != 0) {
        std::fprintf(stderr, "EmbedPictures: cannot write %s\n", out.c_str());
        return 1;
    }
    return std::rename(tmp.c_str(), out.c_str()) == 0 ? 0 : 1;
}

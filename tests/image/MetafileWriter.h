#pragma once
// Small writers of Windows and enhanced metafiles for tests: records are
// added one by one, File() wraps them in their header and end record.
#include "TestImages.h"

#include <cstdint>
#include <string>
#include <vector>

// --- Windows metafile ----------------------------------------------------------
struct Wmf {
    std::vector<std::uint8_t> records;
    void Record(unsigned function, const std::vector<int>& words, const std::vector<std::uint8_t>& tail = {}) {
        PutLE32(records, static_cast<std::uint32_t>(3 + words.size() + (tail.size() + 1) / 2));
        PutLE16(records, function);
        for (int w : words)
            PutLE16(records, static_cast<unsigned>(w & 0xFFFF));
        records.insert(records.end(), tail.begin(), tail.end());
        if (tail.size() % 2)
            records.push_back(0);
    }
    // Placeable header with a box of `w` x `h` units at `unitsPerInch`.
    std::vector<std::uint8_t> File(int w, int h, int unitsPerInch) const {
        std::vector<std::uint8_t> f;
        PutLE32(f, 0x9AC6CDD7);
        PutLE16(f, 0);
        for (int v : {0, 0, w, h})
            PutLE16(f, static_cast<unsigned>(v));
        PutLE16(f, static_cast<unsigned>(unitsPerInch));
        PutLE32(f, 0);
        PutLE16(f, 0);
        PutLE16(f, 1);  // type: memory
        PutLE16(f, 9);  // header words
        PutLE16(f, 0x300);
        PutLE32(f, static_cast<std::uint32_t>(9 + records.size() / 2 + 3));
        PutLE16(f, 4);
        PutLE32(f, 8);
        PutLE16(f, 0);
        f.insert(f.end(), records.begin(), records.end());
        PutLE32(f, 3);
        PutLE16(f, 0);  // EOF
        return f;
    }
};

// --- Enhanced metafile ---------------------------------------------------------
struct Emf {
    std::vector<std::uint8_t> records;
    // A record of 32-bit values, then bytes (padded to four).
    void Record(std::uint32_t type, const std::vector<std::int32_t>& values,
                const std::vector<std::uint8_t>& tail = {}) {
        PutLE32(records, type);
        PutLE32(records, static_cast<std::uint32_t>(8 + values.size() * 4 + (tail.size() + 3) / 4 * 4));
        for (std::int32_t v : values)
            PutLE32(records, static_cast<std::uint32_t>(v));
        records.insert(records.end(), tail.begin(), tail.end());
        records.resize(records.size() + (4 - tail.size() % 4) % 4, 0);
    }
    // Frame in hundredths of a millimetre; reference device 96 dpi.
    std::vector<std::uint8_t> File(int frameW, int frameH) const {
        std::vector<std::uint8_t> f;
        PutLE32(f, 1);
        PutLE32(f, 88);
        for (int v : {0, 0, 100, 100, 0, 0, frameW, frameH})
            PutLE32(f, static_cast<std::uint32_t>(v));
        PutLE32(f, 0x464D4520);
        PutLE32(f, 0x10000);
        PutLE32(f, static_cast<std::uint32_t>(88 + records.size() + 20));
        PutLE32(f, 0);
        PutLE32(f, 0);
        PutLE32(f, 0);
        PutLE32(f, 0);
        PutLE32(f, 0);
        PutLE32(f, 960);  // device pixels
        PutLE32(f, 960);
        PutLE32(f, 254);  // device millimetres: 96 dpi
        PutLE32(f, 254);
        f.insert(f.end(), records.begin(), records.end());
        for (std::uint32_t v : {14u, 20u, 0u, 0u, 20u})
            PutLE32(f, v);
        return f;
    }
};


// Record helpers shared by the metafile tests.
// WMF CreateFontIndirect: height, width, escapement, weight, italic,
// underline, strike-out, charset, face name.
inline std::vector<std::uint8_t> WmfFontTail(const std::string& face, int charset, bool italic = false,
                                             bool underline = false, bool strikeOut = false) {
    std::vector<std::uint8_t> t = {static_cast<std::uint8_t>(italic), static_cast<std::uint8_t>(underline),
                                   static_cast<std::uint8_t>(strikeOut), static_cast<std::uint8_t>(charset),
                                   0, 0, 0, 0};
    for (char c : face)
        t.push_back(static_cast<std::uint8_t>(c));
    t.resize(8 + 32, 0);
    return t;
}

inline std::vector<std::uint8_t> Bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

// UTF-16 little-endian units.
inline std::vector<std::uint8_t> Utf16(const std::u16string& s) {
    std::vector<std::uint8_t> out;
    for (char16_t c : s)
        PutLE16(out, c);
    return out;
}

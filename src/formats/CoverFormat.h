#pragma once
// One cover format with its cut lines and rectangles. Lengths are millimetres.
#include <string>
#include <vector>

// Exact values stored in coordinate fields; tests are exact equality.
constexpr double AUTO_POSITION = 5000.0;
constexpr double EDGE_LEFT = 5001.0;
constexpr double EDGE_RIGHT = 5002.0;
constexpr double EDGE_TOP = 5003.0;
constexpr double EDGE_BOTTOM = 5004.0;
constexpr double MARKER_MIN = 5005.0;
constexpr double MARKER_MAX = 5006.0;
constexpr double MIRROR_POSITION = 5011.0;
constexpr double NO_SPINE = -99999.999;

// The nine type names, in the order the editor lists them.
inline constexpr const char* kFormatTypeNames[9] = {
    "DVD", "SLIMLINE_DVD", "PHOTO", "PHOTO_ZOOMED", "PLAYSTATION",
    "CD_FRONT", "CD_FRONT_INSIDE", "CD_TRAY", "CUSTOM"};

struct CutLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // x1 may hold an edge marker
    int solid = 1;                          // 1 solid, 0 dashed
    bool operator==(const CutLine&) const = default;
};

struct CutRect {
    double x = 0, y = 0, width = 0, height = 0;
    int solid = 1;
    bool operator==(const CutRect&) const = default;
};

struct CoverFormat {
    std::string name;
    double leftX = AUTO_POSITION, leftY = -1.0;
    double rightX = AUTO_POSITION, rightY = -1.0;
    double width = 100.0, height = 100.0;
    double detectWidth = 0, detectHeight = 0;
    double paperWidth = 210.0, paperHeight = 297.0;
    int label = 0;
    int autodetect = 0;
    double holeSize = 0;
    std::vector<CutLine> lines;
    std::vector<CutRect> rects;
    std::string type = "CUSTOM";
    int remapIndex = -1;
    double spine = NO_SPINE;
    int paperSource = -1;
    int mediaType = -1;
    int translationId = 0;

    bool operator==(const CoverFormat&) const = default;

    // Defaults of a section read from the file, before its keys.
    static CoverFormat FromFileSection(const std::string& name);
    // Defaults of a format added in the editor.
    static CoverFormat NewFormat(const std::string& name);
};

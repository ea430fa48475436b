#include "formats/MarkerText.h"

#include "formats/NumberText.h"

namespace {
const char* StyleText(int solid) { return solid ? "SOLID" : "DASHED"; }
}  // namespace

std::string LengthText(double mm, bool inches) {
    if (mm == AUTO_POSITION) return {};
    return inches ? FormatFixed(mm / kMmPerInch, 2) : FormatFixed1(mm);
}

double ParseLength(std::string_view text, bool inches) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    double value = 0;
    if (!ParseDecimalPrefix(text.substr(start), value)) value = 0;
    return inches ? value * kMmPerInch : value;
}

double ReadLength(std::string_view text, double held, bool inches) {
    if (text == MarkerValueText(held, inches)) return held;
    return ParseLength(text, inches);
}

std::string MarkerValueText(double value, bool inches) {
    if (value == EDGE_LEFT) return "LEFT";
    if (value == EDGE_RIGHT) return "RIGHT";
    if (value == EDGE_TOP) return "TOP";
    if (value == EDGE_BOTTOM) return "BOTTOM";
    return LengthText(value, inches);
}

std::string LineText(const CutLine& line, bool inches) {
    if (line.x1 > AUTO_POSITION)
        return "LINE = " + MarkerValueText(line.x1, inches) + ", " + StyleText(line.solid);
    return "LINE = (" + MarkerValueText(line.x1, inches) + ", " + MarkerValueText(line.y1, inches) + ")(" +
           MarkerValueText(line.x2, inches) + ", " + MarkerValueText(line.y2, inches) + "), " +
           StyleText(line.solid);
}

std::string RectText(const CutRect& rect, bool inches) {
    return "RECT = (" + MarkerValueText(rect.x, inches) + ", " + MarkerValueText(rect.y, inches) + ")(" +
           MarkerValueText(rect.width, inches) + ", " + MarkerValueText(rect.height, inches) + "), " +
           StyleText(rect.solid);
}

#include "formats/FormatEditing.h"

#include "formats/CoverFormatList.h"
#include "formats/MarkerText.h"

namespace {
constexpr double kSheetWidth = 210.0;
constexpr double kSheetHeight = 297.0;
constexpr double kHalfSheet = 148.5;

bool NameTaken(const CoverFormatList& formats, const std::string& name) {
    for (const CoverFormat& f : formats.formats)
        if (f.name == name) return true;
    return false;
}
}  // namespace

ManualPosition ManualLeftPosition(double width, double height) {
    ManualPosition p{(kSheetWidth - width) / 2, (kHalfSheet - height) / 2};
    if (p.y < 0) p.y = (kSheetHeight - height) / 2;
    return p;
}

ManualPosition ManualRightPosition(double width, double height) {
    const double g = kSheetHeight - height - (kHalfSheet - height) / 2;
    ManualPosition p{(kSheetWidth - width) / 2, g};
    if (height + g > kSheetHeight) p.y = (kSheetHeight - height) / 2;
    return p;
}

std::string UnusedFormatName(const CoverFormatList& formats, const std::string& base) {
    if (!NameTaken(formats, base)) return base;
    for (int n = 1;; ++n) {
        std::string name = base + " " + std::to_string(n);
        if (!NameTaken(formats, name)) return name;
    }
}

std::string CopyName(const std::string& copyOf, const std::string& shownName) { return copyOf + " " + shownName; }

double SpinStep(double mm, bool up, bool inches, bool& belowZero) {
    const double step = inches ? 0.01 * kMmPerInch : 0.1;
    const double result = up ? mm + step : mm - step;
    belowZero = result < 0;
    return belowZero ? 0.0 : result;
}

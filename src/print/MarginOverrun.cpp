#include "print/MarginOverrun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double MarginOverrunMm(const CoverPlacement& p, const PageMetrics& page) {
    if (page.dpiX <= 0 || page.dpiY <= 0 || p.width <= 0 || p.height <= 0)
        return 0;
    const long long left = static_cast<long long>(page.offsetX) - p.x;
    const long long right = static_cast<long long>(p.x) + p.width - (static_cast<long long>(page.offsetX) + page.printableWidth);
    const long long top = static_cast<long long>(page.offsetY) - p.y;
    const long long bottom =
        static_cast<long long>(p.y) + p.height - (static_cast<long long>(page.offsetY) + page.printableHeight);
    const double across = static_cast<double>(std::max({0LL, left, right})) * 25.4 / page.dpiX;
    const double down = static_cast<double>(std::max({0LL, top, bottom})) * 25.4 / page.dpiY;
    return std::max(across, down);
}

std::string OverrunCoverName(const std::string& fileName, const std::string& formatName) {
    if (fileName.empty())
        return "\"" + formatName + "\"";
    return "\"" + fileName + "\" (" + formatName + ")";
}

std::string OverrunMmText(double mm) {
    // A hair added against 3.1 being held as 3.0999...
    const double tenths = std::floor(mm * 10 + 1e-6);
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%lld", static_cast<long long>(tenths) / 10,
                  static_cast<long long>(tenths) % 10);
    return text;
}

namespace {
// Each "%s" in turn replaced by the next part; the parts are not searched again.
std::string Fill(const std::string& text, const std::vector<std::string>& parts) {
    std::string out;
    std::size_t pos = 0, next = 0;
    for (std::size_t hit; next < parts.size() && (hit = text.find("%s", pos)) != std::string::npos; ++next) {
        out.append(text, pos, hit - pos);
        out += parts[next];
        pos = hit + 2;
    }
    out.append(text, pos, std::string::npos);
    return out;
}
}  // namespace

std::string MarginOverrunText(const std::vector<CoverOverrun>& overruns, const std::function<std::string(int)>& textOf) {
    std::string text;
    for (const CoverOverrun& o : overruns) {
        if (!text.empty())
            text += "\n\n";
        text += Fill(textOf(kTextMarginOverrun), {o.cover, OverrunMmText(o.mm)});
    }
    return text;
}

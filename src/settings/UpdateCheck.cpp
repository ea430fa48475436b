#include "settings/UpdateCheck.h"

#include "settings/AppSettings.h"
#include "settings/WebAddress.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace {

constexpr const char kFrameTag[] = "<frame src=\"";  // 12 characters
constexpr const char kVersionTag[] = "<meta name=\"version\"";  // 20 characters
// From the version tag's start to its value: the tag, then ` content="`.
constexpr std::size_t kVersionValueOffset = 30;
constexpr std::size_t kVersionValueLength = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest decimal number at the start of `text` after blanks, in the C
// locale; 0 when there is none.
double ReadDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // A number starts with a digit or a point (no "inf", "nan" or hex here).
    if (i >= text.size() || !(IsDigit(text[i]) || text[i] == '.')) return 0;
    double value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}

// trunc(value * 100), kept within int.
int Hundredths(double value) {
    const double scaled = value * 100;
    if (!(scaled < static_cast<double>(INT_MAX))) return INT_MAX;
    if (!(scaled > static_cast<double>(INT_MIN))) return INT_MIN;
    return static_cast<int>(scaled);
}

}  // namespace

std::optional<std::string> FrameAddress(const std::string& homePage) {
    const std::size_t tag = homePage.find(kFrameTag);
    if (tag == std::string::npos) return std::nullopt;
    const std::size_t start = tag + sizeof(kFrameTag) - 1;
    const std::size_t quote = homePage.find('"', start);
    if (quote == std::string::npos) return std::string();
    return homePage.substr(start, quote - start);
}

std::optional<int> PageVersionNumber(const std::string& versionPage) {
    const std::size_t tag = versionPage.find(kVersionTag);
    if (tag == std::string::npos) return std::nullopt;
    const std::size_t value = tag + kVersionValueOffset;
    if (value >= versionPage.size()) return 0;
    return UpdateVersionNumber(versionPage.substr(value, kVersionValueLength));
}

int UpdateVersionNumber(const std::string& versionText) { return Hundredths(ReadDecimal(versionText)); }

bool IsNewerThanOwnVersion(int remoteNumber) { return remoteNumber > UpdateVersionNumber(kVersionText); }

std::optional<ProxyAddress> ParseProxySetting(const std::string& proxy) {
    ProxyAddress result;
    const std::size_t colon = proxy.rfind(':');
    result.host = proxy.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = proxy.substr(colon + 1);
        int value = 0;
        const auto parsed = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || parsed.ec != std::errc() || parsed.ptr != port.data() + port.size() || value < 1 ||
            value > 65535)
            return std::nullopt;
        result.port = value;
    }
    if (result.host.empty()) return std::nullopt;
    for (char c : result.host)
        if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '@') return std::nullopt;
    return result;
}

bool UpdateCheckWanted(const std::string& homePageAddress) {
    return IsWebAddress(homePageAddress) && !IsReservedExampleHost(AddressHost(homePageAddress));
}

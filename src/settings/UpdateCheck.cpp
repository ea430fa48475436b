#include "settings/UpdateCheck.h"

#include "base/VersionNumber.h"
#include "settings/AppSettings.h"
#include "settings/WebAddress.h"

#include <charconv>

namespace {

constexpr const char kFrameTag[] = "<frame src=\"";  // 12 characters
constexpr const char kVersionTag[] = "<meta name=\"version\"";  // 20 characters
// From the version tag's start to its value: the tag, then ` content="`.
constexpr std::size_t kVersionValueOffset = 30;
constexpr std::size_t kVersionValueLength = 4;

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
    return VersionNumber(std::string_view(versionPage).substr(value, kVersionValueLength));
}

bool IsNewerThanOwnVersion(int remoteNumber) { return remoteNumber > CurrentVersionNumber(); }

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

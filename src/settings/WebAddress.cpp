#include "settings/WebAddress.h"

#include "base/AsciiText.h"

namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The part after "scheme:" when it starts with "//", up to the path.
std::string Authority(const std::string& address) {
    const std::string scheme = AddressScheme(address);
    if (scheme.empty()) return {};
    const std::size_t start = scheme.size() + 1;
    if (address.compare(start, 2, "//") != 0) return {};
    const std::size_t end = address.find_first_of("/?#\\", start + 2);
    return address.substr(start + 2, end == std::string::npos ? std::string::npos : end - start - 2);
}

}  // namespace

std::string AddressScheme(const std::string& address) {
    // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
    if (address.empty() || !IsAsciiAlpha(address[0])) return {};
    std::size_t i = 1;
    while (i < address.size() && (IsAsciiAlpha(address[i]) || IsAsciiDigit(address[i]) || address[i] == '+' ||
                                  address[i] == '-' || address[i] == '.'))
        ++i;
    if (i >= address.size() || address[i] != ':') return {};
    return AsciiLower(address.substr(0, i));
}

std::string AddressHost(const std::string& address) {
    std::string authority = Authority(address);
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);
    std::string host;
    if (!authority.empty() && authority[0] == '[') {
        const std::size_t close = authority.find(']');
        host = authority.substr(0, close == std::string::npos ? std::string::npos : close + 1);
    } else {
        host = authority.substr(0, authority.find(':'));
    }
    while (!host.empty() && host.back() == '.') host.pop_back();
    return AsciiLower(host);
}

bool IsWebAddress(const std::string& address) {
    for (char c : address)
        if (static_cast<unsigned char>(c) <= ' ') return false;  // no blanks or control characters
    const std::string scheme = AddressScheme(address);
    return (scheme == "http" || scheme == "https") && !AddressHost(address).empty();
}

bool IsOpenableAddress(const std::string& address) {
    if (AddressScheme(address) == "mailto") {
        for (char c : address)
            if (static_cast<unsigned char>(c) < ' ') return false;
        return address.size() > 7;
    }
    return IsWebAddress(address);
}

bool IsReservedExampleHost(const std::string& host) {
    const std::string h = AsciiLower(host);
    constexpr const char* kDomain = "example";
    constexpr std::size_t kLen = 7;
    if (h == kDomain) return true;
    return h.size() > kLen + 1 && h.compare(h.size() - kLen - 1, kLen + 1, std::string(".") + kDomain) == 0;
}

// A web page from untrusted bytes, read as the update check reads the home
// page and the version page, and its addresses checked: nothing may crash,
// and whatever a page names is only fetched when it is an http(s) address.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/VersionNumber.h"
#include "settings/UpdateCheck.h"
#include "settings/WebAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    if (const auto frame = FrameAddress(page)) {
        Check(frame->find('"') == std::string::npos);
        Check(page.find("<frame src=\"" + *frame) != std::string::npos);
        if (IsWebAddress(*frame)) {
            const std::string scheme = AddressScheme(*frame);
            Check(scheme == "http" || scheme == "https");
            Check(!AddressHost(*frame).empty());
        }
        IsOpenableAddress(*frame);
        UpdateCheckWanted(*frame);
    }
    if (const auto number = PageVersionNumber(page)) IsNewerThanOwnVersion(*number);
    VersionNumber(page);
    if (const auto proxy = ParseProxySetting(page)) Check(!proxy->host.empty() && proxy->port > 0 && proxy->port < 65536);
    return 0;
}

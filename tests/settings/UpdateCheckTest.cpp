// Reading the web site's pages for the update check, the version comparison,
// and the checks on the addresses the program fetches and opens.
#include <gtest/gtest.h>

#include "base/VersionNumber.h"
#include "settings/UpdateCheck.h"
#include "settings/WebAddress.h"

#include <climits>

namespace {

std::string VersionPage(const std::string& version) {
    return "<html><head><meta name=\"version\" content=\"" + version + "\"></head></html>";
}

TEST(UpdateCheckTest, OffersOnlyANewerVersion) {
    EXPECT_EQ(PageVersionNumber(VersionPage("1.24")), 124);
    EXPECT_TRUE(IsNewerThanOwnVersion(*PageVersionNumber(VersionPage("1.24"))));
    EXPECT_FALSE(IsNewerThanOwnVersion(*PageVersionNumber(VersionPage("1.23"))));
    // 1.2 is 120, not above 123.
    EXPECT_EQ(PageVersionNumber(VersionPage("1.2")), 120);
    EXPECT_FALSE(IsNewerThanOwnVersion(*PageVersionNumber(VersionPage("1.2"))));
    EXPECT_EQ(PageVersionNumber(VersionPage("10.0")), 1000);
    EXPECT_TRUE(IsNewerThanOwnVersion(*PageVersionNumber(VersionPage("10.0"))));
    EXPECT_EQ(VersionNumber("1.23"), 123);
}

TEST(UpdateCheckTest, ReadsFourCharactersThirtyOnFromTheTag) {
    // Only four characters count: 1.239 reads as 1.23.
    EXPECT_EQ(PageVersionNumber(VersionPage("1.239")), 123);
    EXPECT_EQ(PageVersionNumber(VersionPage(" 1.3")), 130);   // leading blank skipped
    EXPECT_EQ(PageVersionNumber(VersionPage("2\">")), 200);   // stops at the quote
    EXPECT_EQ(PageVersionNumber(VersionPage("abc")), 0);      // no number: 0, never newer
    EXPECT_EQ(PageVersionNumber(VersionPage("inf")), 0);
    EXPECT_EQ(PageVersionNumber(VersionPage("-1.5")), -150);
    // A huge exponent is kept within range and counts as newer.
    EXPECT_EQ(PageVersionNumber(VersionPage("9e99")), INT_MAX);
    // The offset is counted from the tag, whatever stands between.
    EXPECT_EQ(PageVersionNumber("<meta name=\"version\" CONTENT='1.50'>"), 150);
    EXPECT_EQ(PageVersionNumber("<meta name=\"version\"xxxxxxxxxx2.00"), 200);
    // No tag, or a page that ends in the middle of it.
    EXPECT_EQ(PageVersionNumber("<meta name=\"Version\" content=\"9.99\">"), std::nullopt);
    EXPECT_EQ(PageVersionNumber("<meta name=\"version\""), 0);
    EXPECT_EQ(PageVersionNumber("<meta name=\"version\" content=\"1"), 100);
}

TEST(UpdateCheckTest, FrameTagNamesTheVersionPage) {
    EXPECT_EQ(FrameAddress("<frameset><frame src=\"http://site/v.html\"></frameset>"), "http://site/v.html");
    EXPECT_EQ(FrameAddress("<frame src=\"v.html\"><frame src=\"w.html\">"), "v.html");  // the first
    EXPECT_EQ(FrameAddress("<html>no frames</html>"), std::nullopt);
    EXPECT_EQ(FrameAddress("<FRAME SRC=\"v.html\">"), std::nullopt);  // the tag is matched exactly
    // Without a closing quote the address is empty: the check ends there.
    EXPECT_EQ(FrameAddress("<frame src=\"v.html"), "");
}

TEST(UpdateCheckTest, ProxySetting) {
    auto p = ParseProxySetting("proxy.lan:3128");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->host, "proxy.lan");
    EXPECT_EQ(p->port, 3128);
    EXPECT_EQ(ParseProxySetting("proxy.lan")->port, 80);
    EXPECT_EQ(ParseProxySetting("[::1]:8080")->host, "[::1]");
    EXPECT_FALSE(ParseProxySetting("server:port"));  // the default names no proxy
    EXPECT_FALSE(ParseProxySetting(":8080"));
    EXPECT_FALSE(ParseProxySetting("host:0"));
    EXPECT_FALSE(ParseProxySetting("host:70000"));
    EXPECT_FALSE(ParseProxySetting("a b:80"));
    EXPECT_FALSE(ParseProxySetting(""));
}

TEST(WebAddressTest, SchemesTheProgramFetchesAndOpens) {
    EXPECT_TRUE(IsWebAddress("http://korvane.org/"));
    EXPECT_TRUE(IsWebAddress("HTTPS://korvane.org"));
    EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(IsWebAddress("ftp://korvane.org/"));
    EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
    EXPECT_FALSE(IsWebAddress("version.html"));
    EXPECT_FALSE(IsWebAddress("http:///path"));  // no host
    EXPECT_FALSE(IsWebAddress("http://host/a b"));
    EXPECT_FALSE(IsWebAddress(""));

    EXPECT_TRUE(IsOpenableAddress("https://korvane.org/help"));
    EXPECT_TRUE(IsOpenableAddress("mailto:someone@korvane.org"));
    EXPECT_FALSE(IsOpenableAddress("mailto:"));
    EXPECT_FALSE(IsOpenableAddress("file:///home/user/cover.jpg"));
    EXPECT_FALSE(IsOpenableAddress("/usr/bin/xterm"));
    EXPECT_FALSE(IsOpenableAddress("smb://server/share"));
}

TEST(WebAddressTest, HostsAndTheReservedDomain) {
    EXPECT_EQ(AddressHost("http://user:pw@Korvane.ORG:8080/x"), "korvane.org");
    EXPECT_EQ(AddressHost("http://[::1]:81/"), "[::1]");
    EXPECT_EQ(AddressHost("https://korvane.example./"), "korvane.example");
    EXPECT_EQ(AddressHost("mailto:a@b"), "");

    EXPECT_FALSE(UpdateCheckWanted(""));
    EXPECT_FALSE(UpdateCheckWanted("https://korvane.example/"));
    EXPECT_FALSE(UpdateCheckWanted("http://www.Korvane.EXAMPLE:8080/index.html"));
    EXPECT_FALSE(UpdateCheckWanted("http://example/"));
    EXPECT_FALSE(UpdateCheckWanted("file:///tmp/index.html"));
    EXPECT_TRUE(UpdateCheckWanted("http://127.0.0.1:8080/"));
    EXPECT_TRUE(UpdateCheckWanted("https://korvane.example.org/"));
    EXPECT_TRUE(UpdateCheckWanted("https://counterexample/"));
}

}  // namespace

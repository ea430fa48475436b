// What a picture download fetches, follows and keeps, and the name it is
// kept under in the cache folder.
#include "sources/DownloadRules.h"
#include "app/SlotFiles.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

TEST(DownloadRules, OnlyHttpAndHttpsAreFetchedOrFollowed) {
    EXPECT_TRUE(IsDownloadScheme("http"));
    EXPECT_TRUE(IsDownloadScheme("HTTPS"));
    for (const char* other : {"file", "ftp", "data", "javascript", "", "httpx", "http:"})
        EXPECT_FALSE(IsDownloadScheme(other)) << other;
    EXPECT_EQ(SchemeOf("HTTPS://example.org/a.jpg"), "https");
    EXPECT_EQ(SchemeOf("file:///etc/passwd"), "file");
    EXPECT_EQ(SchemeOf("/local/path:with colon"), "");
    EXPECT_EQ(SchemeOf("no scheme"), "");
    EXPECT_EQ(SchemeOf("1http://x"), "");

    const DownloadLimits limits;
    EXPECT_EQ(limits.maxRedirects, 5);
    EXPECT_EQ(limits.maxBytes, 64ll * 1024 * 1024);
    // Five redirects are followed, the sixth is not.
    for (int followed = 0; followed < 5; ++followed)
        EXPECT_EQ(CheckRedirect(followed, "https", limits), DownloadRefusal::None) << followed;
    EXPECT_EQ(CheckRedirect(5, "http", limits), DownloadRefusal::TooManyRedirects);
    // A server never sends a download to the user's own files, even the first time.
    EXPECT_EQ(CheckRedirect(0, "file", limits), DownloadRefusal::RedirectScheme);
    EXPECT_EQ(CheckRedirect(0, "ftp", limits), DownloadRefusal::RedirectScheme);
    EXPECT_EQ(CheckRedirect(5, "file", limits), DownloadRefusal::RedirectScheme);

    EXPECT_FALSE(BeyondSizeLimit(-1, limits));  // no Content-Length
    EXPECT_FALSE(BeyondSizeLimit(64ll << 20, limits));
    EXPECT_TRUE(BeyondSizeLimit((64ll << 20) + 1, limits));
}

TEST(DownloadRules, TheCacheNameIsTheAddressesFileNameMadeSafe) {
    EXPECT_EQ(CacheFileName("https://covers.example/albums/Album%20Front.jpg?size=large#top"), "Album Front.jpg");
    EXPECT_EQ(CacheFileName("http://example.org/img/cover.webp"), "cover.webp");
    // No file name in the address: the fallback, with the kind's extension.
    EXPECT_EQ(CacheFileName("http://example.org/", "png"), "cover.png");
    EXPECT_EQ(CacheFileName("http://example.org", "png"), "cover.png");
    EXPECT_EQ(CacheFileName("http://example.org/get?id=5", "jpg"), "get.jpg");
    EXPECT_EQ(CacheFileName("http://example.org/a.jpg", "png"), "a.jpg");  // its own extension stays
    // Escapes cannot climb out of the cache folder or hide the file.
    EXPECT_EQ(CacheFileName("http://x/..%2F..%2Fetc%2Fpasswd"), "_.._etc_passwd");
    EXPECT_EQ(CacheFileName("http://x/%2e%2e"), "cover");
    EXPECT_EQ(CacheFileName("http://x/.bashrc"), "bashrc");
    EXPECT_EQ(CacheFileName("http://x/a%5Cb%00c%0A.png"), "a_b_c_.png");
    EXPECT_EQ(CacheFileName("http://x/%FF%FEbad.jpg"), "__bad.jpg");  // not UTF-8
    EXPECT_EQ(CacheFileName("http://x/H%C3%BCllen%20vorne.jpg"), "H\xC3\xBCllen vorne.jpg");
    EXPECT_EQ(CacheFileName("http://x/100%.jpg"), "100%.jpg");  // a stray % is kept

    EXPECT_EQ(SafeCacheName("", "png"), "cover.png");
    EXPECT_EQ(SafeCacheName("..", "png", ""), "");  // no fallback: nothing
    EXPECT_EQ(ExtensionForMimeType("image/webp"), "webp");
    EXPECT_EQ(ExtensionForMimeType("Image/JPEG; charset=binary"), "jpg");
    EXPECT_EQ(ExtensionForMimeType("text/html"), "");
    EXPECT_EQ(SafeCacheName("..", ""), "cover");
    EXPECT_EQ(SafeCacheName("a:b*c?.jpg"), "a_b_c_.jpg");
    // A long name keeps its extension and whole UTF-8 characters.
    std::string longName;
    for (int i = 0; i < 100; ++i)
        longName += "\xC3\xBC";  // ü, two bytes each
    const std::string cut = SafeCacheName(longName + ".jpeg");
    EXPECT_LE(cut.size(), kMaxCacheNameBytes);
    EXPECT_EQ(cut.substr(cut.size() - 5), ".jpeg");
    EXPECT_EQ((cut.size() - 5) % 2, 0u) << "a character was cut in two";
}

// The back-cover search finds a back cover downloaded into the same folder,
// as the file names of the addresses are kept.
TEST(DownloadRules, CachedFrontAndBackPairAsTheirAddressesDo) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("korvane-cache-" + std::to_string(::getpid())) / "covers";
    std::filesystem::create_directories(folder);
    const std::string front = (folder / CacheFileName("https://a.example/x/Album%20Front.jpg")).string();
    const std::string back = (folder / CacheFileName("https://b.example/y/Album%20back.jpg?w=600")).string();
    for (const std::string& p : {front, back})
        std::ofstream(p) << "x";
    const auto candidate = FindMatchingCover(front, SplitAutoFiles("front;front + inside;-f"),
                                             SplitAutoFiles("back;back;-b"));
    std::filesystem::remove_all(folder.parent_path());
    ASSERT_TRUE(candidate.has_value());
    EXPECT_EQ(*candidate, back);
}

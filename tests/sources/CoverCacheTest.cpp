// The cover cache stays within its size: the files touched longest ago go
// first, fresh ones stay, links are removed and never followed.
#include "sources/CoverCache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {
struct CacheFolder {
    fs::path root = fs::temp_directory_path() / ("korvane-prune-" + std::to_string(::getpid()));
    CacheFolder() { fs::create_directories(root); }
    ~CacheFolder() { fs::remove_all(root); }
    // A file of `kb` kilobytes last written `hoursAgo` hours ago.
    fs::path Add(const std::string& name, int kb, int hoursAgo) const {
        const fs::path p = root / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << std::string(static_cast<std::size_t>(kb) * 1024, 'x');
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
        return p;
    }
};
}  // namespace

TEST(CoverCache, OldestFilesGoUntilTheCacheFitsAndEmptiedFoldersWithThem) {
    CacheFolder cache;
    const fs::path oldest = cache.Add("release-a/Artist - Album - Front.jpg", 40, 50);
    const fs::path oldBack = cache.Add("release-a/Artist - Album - Back.jpg", 40, 49);
    const fs::path middle = cache.Add("dropped.png", 40, 10);
    const fs::path newest = cache.Add("release-b/Other - Front.jpg", 40, 2);
    EXPECT_EQ(PruneCoverCache(cache.root.string(), 100 * 1024), 80u * 1024);
    EXPECT_FALSE(fs::exists(oldest));
    EXPECT_FALSE(fs::exists(oldBack));
    EXPECT_FALSE(fs::exists(cache.root / "release-a"));
    EXPECT_TRUE(fs::exists(middle));
    EXPECT_TRUE(fs::exists(newest));
    EXPECT_TRUE(fs::exists(cache.root));
    // Within its size, nothing goes.
    EXPECT_EQ(PruneCoverCache(cache.root.string(), 100 * 1024), 80u * 1024);
    EXPECT_TRUE(fs::exists(middle));
}

TEST(CoverCache, FreshPicturesStayEvenOverTheSizeAndLinksAreNeverFollowed) {
    CacheFolder cache;
    const fs::path outside = cache.root / ".." / ("korvane-prune-outside-" + std::to_string(::getpid()));
    std::ofstream(outside) << "not the cache's";
    fs::create_directories(cache.root / "linked");
    fs::create_symlink(outside, cache.root / "linked" / "link.jpg");
    fs::create_directory_symlink(fs::temp_directory_path(), cache.root / "tmp-link");
    const fs::path fresh = cache.Add("just dropped.png", 300, 0);
    const fs::path old = cache.Add("old.png", 10, 30);
    PruneCoverCache(cache.root.string(), 100 * 1024);
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_FALSE(fs::exists(old));
    // The links are old by their own time or not; either way the files
    // they point to are untouched.
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_TRUE(fs::exists(fs::temp_directory_path()));
    fs::remove(outside);
    // A folder that is not there is nothing to prune.
    EXPECT_EQ(PruneCoverCache((cache.root / "missing").string(), 0), 0u);
}

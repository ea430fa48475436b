// The requests as the services' rules ask (addresses, query quoting, the
// User-Agent, one request a second), what a file name says to search for,
// and where downloaded covers are kept.
#include <gtest/gtest.h>

#include "settings/AppSettings.h"
#include "sources/CoverCache.h"
#include "sources/CoverQuery.h"
#include "sources/RateLimiter.h"
#include "sources/ServiceRequests.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

using namespace std::chrono_literals;

TEST(ServiceRequests, Addresses)
{
    EXPECT_EQ(ReleaseSearchAddress("https://musicbrainz.org", "Sigur Rós", "( )"),
              "https://musicbrainz.org/ws/2/release?query=artist%3A%22Sigur%20R%C3%B3s%22%20AND%20release%3A%22%28%20%29%22"
              "&limit=25&fmt=json");
    // Quotes in a name cannot end the phrase; an empty field is left out.
    EXPECT_EQ(ReleaseSearchAddress("http://h/", "", "Say \"Hi\""),
              "http://h/ws/2/release?query=release%3A%22Say%20%5C%22Hi%5C%22%22&limit=25&fmt=json");
    EXPECT_EQ(CoverArtAddress("http://127.0.0.1:9/caa//", "b84ee12a-09ef-421b-82de-0441a926375b"),
              "http://127.0.0.1:9/caa/release/b84ee12a-09ef-421b-82de-0441a926375b");
    EXPECT_EQ(ServiceUserAgent("contact@korvane.example"),
              std::string("Korvane/") + kVersionText + " ( contact@korvane.example )");
    EXPECT_FALSE(IsDiscId("49HHV7Eb8UKF3aQiNmu1GR8vKTY/"));
}

TEST(ServiceRequests, AtMostOneMusicBrainzRequestASecond)
{
    auto now = CRateLimiter::Clock::time_point{} + 100s;
    CRateLimiter limiter(1s, [&] { return now; });
    EXPECT_EQ(limiter.Reserve(), 0s);  // the first goes at once
    EXPECT_EQ(limiter.Reserve(), 1s);  // the next two wait their turn
    EXPECT_EQ(limiter.Reserve(), 2s);
    now += 2500ms;
    EXPECT_EQ(limiter.Reserve(), 500ms);
    now += 10s;                        // after a pause: at once again
    EXPECT_EQ(limiter.Reserve(), 0s);
    now += 300ms;
    EXPECT_EQ(limiter.Reserve(), 700ms);
}

TEST(ServiceRequests, TheRuleHoldsAcrossProcesses)
{
    const std::string stamp = "/tmp/korvane-stamp-" + std::to_string(::getpid()) + "/next";
    const auto t = std::chrono::system_clock::time_point{} + std::chrono::hours(500000);
    EXPECT_EQ(ReserveAcrossProcesses(stamp, 1000ms, t), 0ms);
    EXPECT_EQ(ReserveAcrossProcesses(stamp, 1000ms, t + 200ms), 800ms);
    EXPECT_EQ(ReserveAcrossProcesses(stamp, 1000ms, t + 200ms), 1800ms);
    EXPECT_EQ(ReserveAcrossProcesses(stamp, 1000ms, t + 10s), 0ms);
    // A clock set back does not make everyone wait for hours.
    EXPECT_EQ(ReserveAcrossProcesses(stamp, 1000ms, t - std::chrono::hours(1)), 0ms);
    std::filesystem::remove_all("/tmp/korvane-stamp-" + std::to_string(::getpid()));
}

TEST(ServiceRequests, SearchGuessedFromTheFileName)
{
    const std::vector<std::string> front{"front", "front + inside", "-f"};
    struct Case {
        const char* file;
        const char* artist;
        const char* album;
    } cases[] = {
        {"/music/Radiohead - OK Computer - Front.jpg", "Radiohead", "OK Computer"},
        {"Radiohead - OK Computer - front + inside.png", "Radiohead", "OK Computer"},
        {"Radiohead - OK Computer (Front).jpg", "Radiohead", "OK Computer"},
        {"Radiohead_-_OK_Computer_-_Front.jpg", "Radiohead", "OK Computer"},
        {"Radiohead - OK Computer-f.jpg", "Radiohead", "OK Computer"},
        {"Radiohead - OK Computer [cover].jpeg", "Radiohead", "OK Computer"},
        {"Radiohead - OK Computer.jpg", "Radiohead", "OK Computer"},
        {"AC-DC - Back in Black - Front.jpg", "AC-DC", "Back in Black"},
        {"Storefront.jpg", "", "Storefront"},
        {"OK Computer.jpg", "", "OK Computer"},
        {"Front.jpg", "", ""},
    };
    for (const Case& c : cases) {
        const CoverQuery q = QueryFromFileName(c.file, front);
        EXPECT_EQ(q.artist, c.artist) << c.file;
        EXPECT_EQ(q.album, c.album) << c.file;
    }
}

TEST(ServiceRequests, CoversAreCachedUnderTheirNames)
{
    setenv("XDG_CACHE_HOME", "/tmp/korvane-cache-test", 1);
    EXPECT_EQ(CoverCacheFolder(), "/tmp/korvane-cache-test/korvane/covers");
    const std::string id = "b84ee12a-09ef-421b-82de-0441a926375b";
    const std::string front = CoverFileName("Radiohead", "OK Computer", "Front", "http://caa.test/1.png?x=.gif");
    EXPECT_EQ(front, "Radiohead - OK Computer - Front.png");
    EXPECT_EQ(CoverCachePath(id, front), "/tmp/korvane-cache-test/korvane/covers/" + id + "/" + front);
    // Whatever a service names a release, the file stays in its folder.
    EXPECT_EQ(CoverFileName("../..", "a/b:c", "Back", "http://caa.test/x"), "_.. - a_b_c - Back.jpg");
    EXPECT_EQ(CoverFileName("", "", "Back", "http://caa.test/x.exe"), "Back.jpg");
    EXPECT_EQ(CoverCachePath("../etc", front), "");
    unsetenv("XDG_CACHE_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(CoverCacheFolder(), "/home/someone/.cache/korvane/covers");
}

// The online services' answers as they come (the documented shapes of
// MusicBrainz's JSON web service and of the Cover Art Archive) and as they
// must never harm us: malformed, mistyped, hostile.
#include <gtest/gtest.h>

#include "sources/ServiceAnswers.h"

#include <string>

namespace {

const char* kSearch = R"({"created":"2026-01-01T00:00:00.000Z","count":2,"offset":0,"releases":[
 {"id":"b84ee12a-09ef-421b-82de-0441a926375b","score":100,"title":"OK Computer","status":"Official",
  "date":"1997-06-16","country":"GB","track-count":12,
  "artist-credit":[{"name":"Radiohead","artist":{"id":"a74b1b7f-71a5-4011-9441-d0b5e4122711","name":"Radiohead"}}],
  "media":[{"format":"CD","disc-count":1,"track-count":12}]},
 {"id":"0b6b4ba0-d36f-47bd-b4ea-6a5b91842d29","title":"Duets","date":"2001",
  "artist-credit":[{"name":"A","joinphrase":" & "},{"artist":{"name":"B"}}],
  "media":[{"format":"CD","track-count":10},{"format":"DVD-Video","track-count":3}]},
 {"id":"not-an-id","title":"dropped"}]})";

const char* kDiscLookUp = R"({"id":"49HHV7Eb8UKF3aQiNmu1GR8vKTY-","offset-count":6,"sectors":95462,
 "offsets":[150,15363,32314,46592,63414,80489],"releases":[
 {"id":"3f1e4b7a-1c2d-4e5f-8a9b-0c1d2e3f4a5b","title":"Six","date":"1990-05","country":"XE",
  "artist-credit":[{"name":"Band"}],"media":[{"format":"CD","track-count":6},{"format":"CD","track-count":5}]}]})";

const char* kListing = R"({"images":[
 {"types":["Medium"],"front":false,"back":false,"image":"http://caa.test/medium.jpg","thumbnails":{}},
 {"types":["Front"],"front":true,"back":false,"image":"http://caa.test/front.jpg",
  "thumbnails":{"250":"http://caa.test/front-250.jpg","500":"http://caa.test/front-500.jpg","small":"http://caa.test/front-small.jpg"}},
 {"types":["Front"],"front":true,"image":"http://caa.test/second-front.jpg"},
 {"types":["Back"],"front":false,"back":true,"image":"https://caa.test/back.png","thumbnails":{"small":"https://caa.test/back-small.png"}}
],"release":"https://musicbrainz.org/release/b84ee12a-09ef-421b-82de-0441a926375b"})";

}  // namespace

TEST(ServiceAnswers, ReleaseSearchAndDiscLookUp)
{
    const ReleaseAnswer search = ParseReleases(kSearch);
    ASSERT_TRUE(search.ok) << search.error;
    ASSERT_EQ(search.releases.size(), 2u);  // the entry without a valid ID is left out
    const ReleaseInfo& ok = search.releases[0];
    EXPECT_EQ(ok.title, "OK Computer");
    EXPECT_EQ(ok.artist, "Radiohead");
    EXPECT_EQ(ok.year, "1997");
    EXPECT_EQ(ok.country, "GB");
    EXPECT_EQ(ok.format, "CD");
    EXPECT_EQ(ok.trackCount, 12);
    const ReleaseInfo& duets = search.releases[1];
    EXPECT_EQ(duets.artist, "A & B");
    EXPECT_EQ(duets.format, "CD + DVD-Video");
    EXPECT_EQ(duets.trackCount, 13);
    EXPECT_EQ(duets.country, "");

    const ReleaseAnswer disc = ParseReleases(kDiscLookUp);
    ASSERT_TRUE(disc.ok);
    ASSERT_EQ(disc.releases.size(), 1u);
    EXPECT_EQ(disc.releases[0].format, "2\u00d7CD");
    EXPECT_EQ(disc.releases[0].trackCount, 11);
    EXPECT_EQ(disc.releases[0].year, "1990");

    const ReleaseAnswer none = ParseReleases(R"({"count":0,"releases":[]})");
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.releases.empty());
}

TEST(ServiceAnswers, CoverArtListing)
{
    const CoverArtAnswer a = ParseCoverArt(kListing);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.images.front, "http://caa.test/front.jpg");
    EXPECT_EQ(a.images.frontThumbnail, "http://caa.test/front-250.jpg");
    EXPECT_EQ(a.images.back, "https://caa.test/back.png");
    EXPECT_EQ(a.images.backThumbnail, "https://caa.test/back-small.png");
    EXPECT_TRUE(a.images.HasArt());

    const CoverArtAnswer noArt = ParseCoverArt(R"({"images":[],"release":"x"})");
    EXPECT_TRUE(noArt.ok);
    EXPECT_FALSE(noArt.images.HasArt());
}

TEST(ServiceAnswers, BadAnswersGiveAReasonNeverACrash)
{
    const std::string bad[] = {
        "", "<html>503 Service Temporarily Unavailable</html>", "[]", "null", "{", R"({"releases":)",
        R"({"releases":{"id":"x"}})", R"({"releases":[1,"two",null,[],{"id":5}]})",
        R"({"releases":[{"id":"b84ee12a-09ef-421b-82de-0441a926375b","title":7,"track-count":-4,
            "artist-credit":"Radiohead","media":[{"format":["CD"],"track-count":1e99}]}]})",
        "{\"releases\":[{\"id\":\"b84ee12a-09ef-421b-82de-0441a926375b\",\"title\":\"\xff\xfe\"}]}",
        std::string(100000, '[') + std::string(100000, ']'),
        "{\"a\":" + std::string(5000, '[') + std::string(5000, ']') + "}",
    };
    for (const std::string& text : bad) {
        const ReleaseAnswer r = ParseReleases(text);
        const CoverArtAnswer c = ParseCoverArt(text);
        if (!r.ok) {
            EXPECT_FALSE(r.error.empty()) << text.substr(0, 60);
        }
        if (!c.ok) {
            EXPECT_FALSE(c.error.empty()) << text.substr(0, 60);
        }
    }
    // Mistyped fields are left empty rather than guessed.
    const ReleaseAnswer mistyped = ParseReleases(bad[8]);
    ASSERT_TRUE(mistyped.ok);
    ASSERT_EQ(mistyped.releases.size(), 1u);
    EXPECT_EQ(mistyped.releases[0].title, "");
    EXPECT_EQ(mistyped.releases[0].trackCount, 0);
    EXPECT_EQ(mistyped.releases[0].artist, "");
    // Too long to be an answer.
    EXPECT_FALSE(ParseReleases(std::string(kMaxAnswerBytes + 1, ' ')).ok);
}

TEST(ServiceAnswers, OnlyWebAddressesAndPrintableTexts)
{
    const CoverArtAnswer a = ParseCoverArt(R"js({"images":[
        {"front":true,"image":"file:///etc/passwd","thumbnails":{"250":"javascript:alert(1)"}},
        {"back":true,"image":"ftp://caa.test/back.jpg"},
        {"back":true,"image":"http://caa.test/b.jpg","thumbnails":{"250":"data:x","small":"http://caa.test/b-s.jpg"}}]})js");
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.images.front, "");
    EXPECT_EQ(a.images.back, "http://caa.test/b.jpg");
    EXPECT_EQ(a.images.backThumbnail, "http://caa.test/b-s.jpg");

    const ReleaseAnswer r = ParseReleases(
        "{\"releases\":[{\"id\":\"b84ee12a-09ef-421b-82de-0441a926375b\",\"title\":\"Line\\nBreak\\u0007\",\"country\":\"" +
        std::string(5000, 'x') + "\"}]}");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.releases[0].title, "LineBreak");
    EXPECT_LE(r.releases[0].country.size(), 300u);
}

TEST(ServiceAnswers, MusicBrainzIds)
{
    EXPECT_TRUE(IsMusicBrainzId("b84ee12a-09ef-421b-82de-0441a926375b"));
    EXPECT_FALSE(IsMusicBrainzId("B84EE12A-09EF-421B-82DE-0441A926375B"));
    EXPECT_FALSE(IsMusicBrainzId("b84ee12a-09ef-421b-82de-0441a926375"));
    EXPECT_FALSE(IsMusicBrainzId("../../../../../../etc/passwd-0441a926"));
}

// The disc in the drive: the ID libdiscid computes from a table of
// contents is the one the look-up asks MusicBrainz for; a machine without
// a drive or disc says so.
#include <gtest/gtest.h>

#include "sources/DiscId.h"
#include "sources/ServiceRequests.h"

#include <filesystem>

TEST(DiscId, ATableOfContentsGivesItsId)
{
    // A six-track disc: lead-out first, then the tracks' start sectors. Its
    // ID is the SHA-1 of the table written in hexadecimal, in MusicBrainz's
    // base64 ("49HHV7Eb8UKF3aQiNmu1GR8vKTY-" for this table).
    const DiscReading disc = DiscIdOfToc(1, 6, {95462, 150, 15363, 32314, 46592, 63414, 80489});
    ASSERT_TRUE(disc.ok) << disc.message;
    EXPECT_EQ(disc.id, "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
    EXPECT_TRUE(IsDiscId(disc.id));
    EXPECT_EQ(disc.toc, "1 6 95462 150 15363 32314 46592 63414 80489");

    const std::string address = DiscIdAddress("http://127.0.0.1:8080/", disc.id);
    EXPECT_EQ(address, "http://127.0.0.1:8080/ws/2/discid/49HHV7Eb8UKF3aQiNmu1GR8vKTY-?inc=artist-credits&fmt=json");
}

TEST(DiscId, ATableThatIsNoDiscIsRefused)
{
    EXPECT_FALSE(DiscIdOfToc(0, 3, {1000, 150, 300, 600}).ok);
    EXPECT_FALSE(DiscIdOfToc(1, 100, {}).ok);
    const DiscReading backwards = DiscIdOfToc(1, 2, {100, 150, 5000});  // lead-out before a track
    EXPECT_FALSE(backwards.ok);
    EXPECT_FALSE(backwards.message.empty());
}

TEST(DiscId, DrivesAreOnlyThoseThatExist)
{
    for (const std::string& d : DiscDrives())
        EXPECT_TRUE(std::filesystem::exists(d)) << d;
    const DiscReading none = ReadDiscId("/nonexistent/sr9");
    EXPECT_FALSE(none.ok);
    EXPECT_FALSE(none.message.empty());
}

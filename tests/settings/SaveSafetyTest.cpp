// Saves that leave nothing behind: a save killed half-way leaves a temporary
// file that the next save removes; a settings file kept behind a symbolic
// link stays a link; settings text with a stray byte or without its UTF-16
// mark keeps its characters and a copy of the old file.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"
#include "settings/AtomicFile.h"
#include "settings/SettingsStore.h"

namespace {
int TemporariesBeside(const TempFolder& dir, const std::string& name) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().filename().string().rfind(name + kAtomicTempInfix, 0) == 0) ++n;
    return n;
}
}  // namespace

TEST(SaveSafety, ASaveKilledMidWriteLeavesNoTemporaryAfterTheNextSave) {
    TempFolder dir;
    const std::string path = dir.File("Korvane.dat");
    dir.Write("Korvane.dat", "old");
    // The child writes a large file, slowly enough to be caught in the act.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        const std::string big(256u << 20, 'x');
        if (write(ready[1], "1", 1) != 1) _exit(2);
        WriteFileAtomically(path, big);
        _exit(0);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    // Killed as soon as its temporary file exists.
    for (int i = 0; i < 2000 && TemporariesBeside(dir, "Korvane.dat") == 0; ++i) usleep(1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save ended before it could be killed";
    EXPECT_EQ(TemporariesBeside(dir, "Korvane.dat"), 1);
    EXPECT_EQ(dir.Read("Korvane.dat"), "old");

    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(dir.Read("Korvane.dat"), "new");
    EXPECT_EQ(TemporariesBeside(dir, "Korvane.dat"), 0);
}

TEST(SaveSafety, ASaveStillRunningKeepsItsTemporaryFile) {
    TempFolder dir;
    const std::string other = dir.File("Korvane.cfg.tmpAbC123");
    dir.Write("Korvane.cfg.tmpAbC123", "someone else's save");
    // Held with a lock as a running save holds it.
    const int fd = open(other.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.File("Korvane.cfg"), "mine"));
    EXPECT_TRUE(std::filesystem::exists(other));
    close(fd);
    // Others' files that only look alike are never touched.
    dir.Write("Korvane.cfg.tmp-notes", "mine too");
    ASSERT_TRUE(WriteFileAtomically(dir.File("Korvane.cfg"), "again"));
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Korvane.cfg.tmp-notes")));
}

TEST(SaveSafety, ASymlinkedSettingsFileStaysALinkWithTheNewContentAtItsTarget) {
    TempFolder dir;
    dir.Write("dotfiles/korvane/Korvane.cfg", "\xFF\xFE");
    std::filesystem::create_directories(dir.File("program"));
    std::filesystem::create_symlink("../dotfiles/korvane/Korvane.cfg", dir.File("program/Korvane.cfg"));
    CSettingsStore store(dir.File("program/Korvane.cfg"));
    store.WriteCfgInt("Options", "GrayScale", 1);
    ASSERT_TRUE(store.SaveCfgFile());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("program/Korvane.cfg")));
    EXPECT_EQ(CSettingsStore(dir.File("dotfiles/korvane/Korvane.cfg")).GetCfgInt("Options", "GrayScale", 0), 1);
    // The temporary file was made beside the target, not beside the link.
    EXPECT_EQ(TemporariesBeside(dir, "program/Korvane.cfg"), 0);
    EXPECT_EQ(FollowSymlinks(dir.File("program/Korvane.cfg")),
              dir.File("program/../dotfiles/korvane/Korvane.cfg"));
}

TEST(SaveSafety, AStrayByteDoesNotGarbleTheRestAndTheOldFileIsKept) {
    TempFolder dir;
    const std::string old = "[Options]\r\nRecentFileLeft = \"/covers/M\xC3\xBCller.jpg\"\r\nNote = \"a\xFF b\"\r\n";
    dir.Write("Korvane.cfg", old);
    CSettingsStore store(dir.File("Korvane.cfg"));
    EXPECT_EQ(store.GetCfgString("Options", "RecentFileLeft", ""), "/covers/M\xC3\xBCller.jpg");
    EXPECT_EQ(store.GetCfgString("Options", "Note", ""), "a\xEF\xBF\xBD b");
    ASSERT_TRUE(store.SaveCfgFile());
    EXPECT_EQ(dir.Read("Korvane.cfg.bak"), old);
    EXPECT_NE(store.TakeBackupNotice().find("Korvane.cfg.bak"), std::string::npos);
    EXPECT_EQ(store.TakeBackupNotice(), "");  // said once
    EXPECT_EQ(CSettingsStore(dir.File("Korvane.cfg")).GetCfgString("Options", "RecentFileLeft", ""),
              "/covers/M\xC3\xBCller.jpg");

    // A second save keeps the copy of the file as it first was.
    store.WriteCfgInt("Options", "GrayScale", 1);
    ASSERT_TRUE(store.SaveCfgFile());
    EXPECT_EQ(dir.Read("Korvane.cfg.bak"), old);

    // A clean file makes no copy.
    TempFolder clean;
    clean.Write("Korvane.cfg", Utf16Le("[Options]\r\nGrayScale = 1\r\n"));
    CSettingsStore cleanStore(clean.File("Korvane.cfg"));
    cleanStore.WriteCfgInt("Options", "GrayScale", 0);
    ASSERT_TRUE(cleanStore.SaveCfgFile());
    EXPECT_FALSE(std::filesystem::exists(clean.File("Korvane.cfg.bak")));
    EXPECT_EQ(cleanStore.TakeBackupNotice(), "");
}

TEST(SaveSafety, Utf16WithoutItsMarkIsReadAndSavedUnchanged) {
    TempFolder dir;
    const std::string text = "[Options]\r\nLanguage = 3\r\nRecentFileLeft = \"/covers/M\xFCller.jpg\"\r\n";
    dir.Write("Korvane.cfg", Utf16Le(text, false));
    CSettingsStore store(dir.File("Korvane.cfg"));
    EXPECT_EQ(store.GetCfgInt("Options", "Language", -1), 3);
    EXPECT_EQ(store.GetCfgString("Options", "RecentFileLeft", ""), "/covers/M\xC3\xBCller.jpg");
    ASSERT_TRUE(store.SaveCfgFile());
    // Saved as the program always saves: the same text behind the mark.
    EXPECT_EQ(dir.Read("Korvane.cfg"), Utf16Le(text));
    EXPECT_EQ(dir.Read("Korvane.cfg.bak"), Utf16Le(text, false));
}

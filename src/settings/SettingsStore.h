#pragma once
// The settings text of Korvane.cfg, held in memory for the run and written
// back once at exit. Sections and keys are matched without regard to case.
#include <cstddef>
#include <string>

class CSettingsStore {
public:
    // The store reads and writes the file at `path` (loaded on first use).
    explicit CSettingsStore(std::string path);

    // The stored integer ("%d" text, read like strtol: leading blanks, a sign,
    // digits up to the first non-digit; 0 without digits), or `def` when the
    // key is not in its section.
    int GetCfgInt(const std::string& section, const std::string& key, int def);
    // The stored string without its quotes and escapes, or `def`; "%5B" and
    // "%5D" become square brackets in both.
    std::string GetCfgString(const std::string& section, const std::string& key, const std::string& def);
    void WriteCfgInt(const std::string& section, const std::string& key, int value);
    // Quotes the value and escapes "[", "]" and '"' (line breaks are dropped:
    // a value is one line).
    void WriteCfgString(const std::string& section, const std::string& key, const std::string& value);
    void DeleteCfgKey(const std::string& section, const std::string& key);
    // Writes UTF-16LE with FF FE, atomically; false when it could not be
    // written. An existing file that could not be read at load time is never
    // overwritten (false too), so a passing fault does not wipe the settings.
    // A file that was read but not cleanly (bytes replaced, encoding guessed)
    // is first kept as "Korvane.cfg.bak" beside it (path + ".bak").
    bool SaveCfgFile();
    // After a failed save: why, as a phrase ("Cannot write ...: No space
    // left on device"); empty after a save that worked.
    const std::string& SaveError() const { return saveError_; }
    // After a failed save: the sentences that tell the user that this run's
    // settings are lost, naming the file and the reason.
    std::string SaveFailureNotice() const;
    // After a save that kept a copy: the sentence that tells the user so,
    // once; empty otherwise.
    std::string TakeBackupNotice();

    const std::string& Path() const { return path_; }
    // The whole settings text (UTF-8 in memory, CR LF line ends).
    const std::string& Text();

    // Settings files larger than this are not read (nor overwritten): far
    // more than any settings file, it keeps a wrong file from filling memory.
    static constexpr std::size_t kMaxFileSize = 64u << 20;

private:
    void EnsureLoaded();
    // The value text of the key's line (trimmed), or false when not found.
    bool Lookup(const std::string& section, const std::string& key, std::string& value);
    void WriteValue(const std::string& section, const std::string& key, const std::string* value);
    std::string path_;
    std::string text_;
    bool loaded_ = false;
    bool unreadable_ = false;  // the file exists but could not be read
    std::string loadError_;    // why it could not be read
    std::string saveError_;
    bool readCleanly_ = true;  // every byte of the file was a character
    bool backedUp_ = false;
    std::string backupNotice_;
};

// The program-wide store at ProgramFolder()/Korvane.cfg.
CSettingsStore& Settings();
// Replaces the program-wide store (tests, the CLI).
void ResetSettings(const std::string& path);

int GetCfgInt(const std::string& section, const std::string& key, int def);
std::string GetCfgString(const std::string& section, const std::string& key, const std::string& def);
void WriteCfgInt(const std::string& section, const std::string& key, int value);
void WriteCfgString(const std::string& section, const std::string& key, const std::string& value);
void DeleteCfgKey(const std::string& section, const std::string& key);
bool SaveCfgFile();

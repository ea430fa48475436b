#pragma once
// The settings text of Korvane.cfg, held in memory for the run and written
// back once at exit. Sections and keys are matched without regard to case.
#include <string>

class CSettingsStore {
public:
    // The store reads and writes the file at `path` (loaded on first use).
    explicit CSettingsStore(std::string path);

    int GetCfgInt(const std::string& section, const std::string& key, int def);
    std::string GetCfgString(const std::string& section, const std::string& key, const std::string& def);
    void WriteCfgInt(const std::string& section, const std::string& key, int value);
    void WriteCfgString(const std::string& section, const std::string& key, const std::string& value);
    void DeleteCfgKey(const std::string& section, const std::string& key);
    // Writes UTF-16LE with FF FE, atomically; false when it could not be written.
    bool SaveCfgFile();

    const std::string& Path() const { return path_; }
    // The whole settings text (UTF-8 in memory, CR LF line ends).
    const std::string& Text();

private:
    void EnsureLoaded();
    void WriteValue(const std::string& section, const std::string& key, const std::string* value);
    std::string path_;
    std::string text_;
    bool loaded_ = false;
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

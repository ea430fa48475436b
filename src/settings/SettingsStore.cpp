#include "settings/SettingsStore.h"

#include <climits>
#include <memory>
#include <utility>

#include "base/AsciiText.h"
#include "settings/AtomicFile.h"
#include "settings/ProgramFolder.h"
#include "settings/TextFile.h"

namespace {

const std::string kCrLf = "\r\n";

bool EqualNoCaseAt(const std::string& text, std::size_t at, const std::string& word) {
    if (at > text.size() || text.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (AsciiLower(text[at + k]) != AsciiLower(word[k])) return false;
    return true;
}

// First position at or after `from` where `word` stands, letter case ignored
// (only A-Z fold: other characters, UTF-8 bytes included, compare as they are).
std::size_t FindNoCase(const std::string& text, const std::string& word, std::size_t from) {
    if (word.empty()) return from <= text.size() ? from : std::string::npos;
    const char a = AsciiLower(word[0]);
    const char b = (a >= 'a' && a <= 'z') ? static_cast<char>(a - 'a' + 'A') : a;
    for (std::size_t i = from; i < text.size(); ++i) {
        if ((text[i] == a || text[i] == b) && EqualNoCaseAt(text, i, word)) return i;
    }
    return std::string::npos;
}

// Names and values are single lines.
std::string WithoutLineBreaks(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
}

std::string Header(const std::string& section) { return "[" + WithoutLineBreaks(section) + "]"; }

// The first line that begins with the section header, or npos. A header text
// inside another line (a hand-written value) is no section: rewriting that
// line would take the section's header with it.
std::size_t FindHeader(const std::string& text, const std::string& header) {
    for (std::size_t p = FindNoCase(text, header, 0); p != std::string::npos; p = FindNoCase(text, header, p + 1))
        if (p == 0 || (p >= 2 && text.compare(p - 2, 2, kCrLf) == 0)) return p;
    return std::string::npos;
}

// The whole settings text from the file's characters: every CR removed, every
// line ended by CR LF.
std::string NormalisedLines(const std::string& chars) {
    std::string text;
    text.reserve(chars.size() + chars.size() / 16);
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i <= chars.size(); ++i) {
        if (i < chars.size() && chars[i] != '\n') continue;
        if (i == chars.size() && i == lineStart) break;  // no unterminated last line
        for (std::size_t k = lineStart; k < i; ++k)
            if (chars[k] != '\r') text += chars[k];
        text += kCrLf;
        lineStart = i + 1;
    }
    return text;
}

// Text after a section header on the header's own line ("[Options][Position]"
// or "[Options] X = 1") goes to a line of its own. A write puts a line break
// there anyway; doing it at load makes reads and writes see the same sections.
std::string HeadersOnOwnLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t end = text.find(kCrLf, lineStart);
        if (end == std::string::npos) end = text.size();
        std::size_t p = lineStart;
        while (p < end && text[p] == '[') {
            const std::size_t close = text.find(']', p);
            if (close == std::string::npos || close + 1 >= end) break;
            out.append(text, p, close + 1 - p);
            out += kCrLf;
            p = close + 1;
        }
        out.append(text, p, end - p);
        if (end < text.size()) out += kCrLf;
        lineStart = end + 2;
    }
    return out;
}

// Where the section whose header ends at `headerEnd` ends: the start of the
// next line that opens with a square bracket, or the end of the text.
std::size_t SectionEnd(const std::string& text, std::size_t headerEnd) {
    std::size_t p = text.find("\r\n[", headerEnd);
    return p == std::string::npos ? text.size() : p;
}

// The CR LF before the first line of the section that holds `key` as its
// whole key (blanks may stand before the "="), or npos. A longer key that
// only begins with `key` is another key.
std::size_t FindKeyLine(const std::string& text, const std::string& key, std::size_t from, std::size_t sectionEnd) {
    const std::string wanted = kCrLf + key;
    for (std::size_t p = FindNoCase(text, wanted, from); p != std::string::npos && p < sectionEnd;
         p = FindNoCase(text, wanted, p + 2)) {
        std::size_t q = p + wanted.size();
        while (q < text.size() && (text[q] == ' ' || text[q] == '\t')) ++q;
        if (q < text.size() && text[q] == '=') return p;
    }
    return std::string::npos;
}

std::size_t LineEnd(const std::string& text, std::size_t from) {
    std::size_t e = text.find(kCrLf, from);
    return e == std::string::npos ? text.size() : e;
}

}  // namespace

CSettingsStore::CSettingsStore(std::string path) : path_(std::move(path)) {}

void CSettingsStore::EnsureLoaded() {
    if (loaded_) return;
    loaded_ = true;
    std::string bytes;
    FileReadFailure why;
    switch (ReadWholeFile(path_, kMaxFileSize, bytes, &why)) {
    case FileReadResult::Ok:
        text_ = HeadersOnOwnLines(NormalisedLines(DecodeTextBytes(bytes, &readCleanly_)));
        break;
    case FileReadResult::Missing:
        break;
    case FileReadResult::Unreadable:
        unreadable_ = true;
        loadError_ = why.reason;
        break;
    case FileReadResult::TooLarge:
        unreadable_ = true;
        loadError_ = "it is " + std::to_string(why.size >> 20) + " MB, more than the " +
                     std::to_string(kMaxFileSize >> 20) + " MB a settings file may have";
        break;
    }
}

const std::string& CSettingsStore::Text() {
    EnsureLoaded();
    return text_;
}

bool CSettingsStore::Lookup(const std::string& section, const std::string& key, std::string& value) {
    EnsureLoaded();
    const std::string header = Header(section);
    const std::size_t h = FindHeader(text_, header);
    if (h == std::string::npos) return false;
    const std::size_t headerEnd = h + header.size();
    const std::string k = WithoutLineBreaks(key);
    const std::size_t p = FindKeyLine(text_, k, headerEnd, SectionEnd(text_, headerEnd));
    if (p == std::string::npos) return false;
    const std::size_t eq = text_.find('=', p + 2 + k.size());
    const std::size_t end = LineEnd(text_, p + 2);
    value = Trimmed(text_.substr(eq + 1, end - (eq + 1)));
    return true;
}

int CSettingsStore::GetCfgInt(const std::string& section, const std::string& key, int def) {
    std::string v;
    if (!Lookup(section, key, v)) return def;
    // As strtol: leading blanks, an optional sign, the digits up to the first
    // non-digit; no digits give 0. Out-of-range values stop at the limits.
    std::size_t i = 0;
    while (i < v.size() && IsBlank(v[i])) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    long long n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        n = n * 10 + (v[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    return static_cast<int>(n);
}

std::string CSettingsStore::GetCfgString(const std::string& section, const std::string& key, const std::string& def) {
    std::string v;
    if (Lookup(section, key, v)) {
        // The program writes strings in double quotes; a value written by hand
        // without them is taken as it stands.
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        ReplaceAll(v, "\\\"", "\"");
    } else {
        v = def;
    }
    ReplaceAll(v, "%5B", "[");
    ReplaceAll(v, "%5D", "]");
    return v;
}

void CSettingsStore::WriteCfgInt(const std::string& section, const std::string& key, int value) {
    const std::string v = std::to_string(value);
    WriteValue(section, key, &v);
}

void CSettingsStore::WriteCfgString(const std::string& section, const std::string& key, const std::string& value) {
    std::string v = WithoutLineBreaks(value);
    ReplaceAll(v, "[", "%5B");
    ReplaceAll(v, "]", "%5D");
    ReplaceAll(v, "\"", "\\\"");
    v = "\"" + v + "\"";
    WriteValue(section, key, &v);
}

void CSettingsStore::DeleteCfgKey(const std::string& section, const std::string& key) {
    WriteValue(section, key, nullptr);
}

void CSettingsStore::WriteValue(const std::string& section, const std::string& key, const std::string* value) {
    EnsureLoaded();
    const std::string header = Header(section);
    const std::string k = WithoutLineBreaks(key);
    std::size_t h = FindHeader(text_, header);
    if (h == std::string::npos) {
        // A new section goes at the end, after a blank line.
        if (text_.size() >= 2 && text_.compare(text_.size() - 2, 2, kCrLf) != 0) text_ += kCrLf;
        if (!text_.empty()) text_ += kCrLf;
        h = text_.size();
        text_ += header + kCrLf;
    }
    const std::size_t headerEnd = h + header.size();
    if (text_.compare(headerEnd, 2, kCrLf) != 0) text_.insert(headerEnd, kCrLf);

    // Remove every line of the key in this section; the new line takes the
    // place of the first one.
    std::size_t firstRemoved = std::string::npos;
    for (;;) {
        const std::size_t p = FindKeyLine(text_, k, headerEnd, SectionEnd(text_, headerEnd));
        if (p == std::string::npos) break;
        const std::size_t lineStart = p + 2;
        std::size_t lineEnd = LineEnd(text_, lineStart);
        if (lineEnd < text_.size()) lineEnd += 2;
        text_.erase(lineStart, lineEnd - lineStart);
        if (lineStart < firstRemoved) firstRemoved = lineStart;
    }
    if (value) {
        const std::size_t at = firstRemoved != std::string::npos ? firstRemoved : headerEnd + 2;
        text_.insert(at, k + " = " + WithoutLineBreaks(*value) + kCrLf);
    }
}

bool CSettingsStore::SaveCfgFile() {
    EnsureLoaded();
    saveError_.clear();
    if (unreadable_) {
        saveError_ = "the file could not be read when the program started (" + loadError_ +
                     "), so it is left as it is";
        return false;
    }
    if (!readCleanly_ && !backedUp_) {
        // The old bytes as they are, before the first save that replaces them.
        const std::string backup = FollowSymlinks(path_) + ".bak";
        std::string old;
        FileReadFailure why;
        if (ReadWholeFile(path_, kMaxFileSize, old, &why) != FileReadResult::Ok) {
            saveError_ = "the file could not be read again to keep a copy (" + why.reason + ")";
            return false;
        }
        if (!WriteFileAtomically(backup, old, &saveError_)) return false;
        backedUp_ = true;
        backupNotice_ = "Some of the settings in " + path_ +
                        " could not be read as text; the file as it was is kept as " + backup + ".";
    }
    return WriteFileAtomically(path_, EncodeUtf16LeWithMark(text_), &saveError_);
}

std::string CSettingsStore::SaveFailureNotice() const {
    if (saveError_.empty()) return {};
    return "The settings could not be saved to " + path_ + ": " + saveError_ +
           ".\nThe changes made to the settings in this run are lost; a settings file that was there is left as it was.";
}

std::string CSettingsStore::TakeBackupNotice() { return std::exchange(backupNotice_, std::string()); }

namespace {
std::unique_ptr<CSettingsStore>& Store() {
    static std::unique_ptr<CSettingsStore> store;
    return store;
}
}  // namespace

CSettingsStore& Settings() {
    if (!Store()) Store() = std::make_unique<CSettingsStore>(JoinPath(ProgramFolder(), "Korvane.cfg"));
    return *Store();
}

void ResetSettings(const std::string& path) { Store() = std::make_unique<CSettingsStore>(path); }

int GetCfgInt(const std::string& section, const std::string& key, int def) {
    return Settings().GetCfgInt(section, key, def);
}
std::string GetCfgString(const std::string& section, const std::string& key, const std::string& def) {
    return Settings().GetCfgString(section, key, def);
}
void WriteCfgInt(const std::string& section, const std::string& key, int value) {
    Settings().WriteCfgInt(section, key, value);
}
void WriteCfgString(const std::string& section, const std::string& key, const std::string& value) {
    Settings().WriteCfgString(section, key, value);
}
void DeleteCfgKey(const std::string& section, const std::string& key) { Settings().DeleteCfgKey(section, key); }
bool SaveCfgFile() { return Settings().SaveCfgFile(); }

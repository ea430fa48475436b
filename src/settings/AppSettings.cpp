#include "settings/AppSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

int CurrentVersionNumber() { return VersionNumber(kVersionText); }

AppSettings& RunningValues() {
    static AppSettings values;
    return values;
}

std::vector<std::string> SplitAutoFiles(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t semi = text.find(';'); semi != std::string::npos; semi = text.find(';', start)) {
        pieces.push_back(text.substr(start, semi - start));
        start = semi + 1;
    }
    if (start < text.size()) pieces.push_back(text.substr(start));
    return pieces;
}

void SplitAutoFileKeywords(AppSettings& s) {
    s.leftKeywords = SplitAutoFiles(s.leftAutoFiles);
    s.rightKeywords = SplitAutoFiles(s.rightAutoFiles);
}

namespace {
const char* const kOptions = "Options";

// Millimetres in the C locale's notation, whatever the user's locale; the
// bleed's range (0 to 3) kept. Text that is no number gives `def`.
double ReadMillimetres(const std::string& text, double def) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end == text.data() || !std::isfinite(v))
        return def;
    return std::clamp(v, 0.0, 3.0);
}

std::string MillimetresText(double mm) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::round(mm * 100) / 100);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}
}  // namespace

void ReadStartSettings(AppSettings& s, CSettingsStore& store) {
    const AppSettings d;
    s.language = store.GetCfgInt(kOptions, "Language", d.language);
    s.lastRanVersion = store.GetCfgInt("Settings", "LastRanVersion", d.lastRanVersion);
    s.leftAutoFiles = store.GetCfgString(kOptions, "LeftAutoFiles", d.leftAutoFiles);
    s.rightAutoFiles = store.GetCfgString(kOptions, "RightAutoFiles", d.rightAutoFiles);
    SplitAutoFileKeywords(s);
    s.showSplash = store.GetCfgInt(kOptions, "ShowSplash", d.showSplash);
    s.grayScale = store.GetCfgInt(kOptions, "GrayScale", d.grayScale);
    s.checkForUpdates = store.GetCfgInt(kOptions, "CheckForUpdates", d.checkForUpdates);
    s.useProxy = store.GetCfgInt(kOptions, "UseProxy", d.useProxy);
    s.proxy = store.GetCfgString(kOptions, "Proxy", d.proxy);
}

void ReadViewStartSettings(AppSettings& s, CSettingsStore& store) {
    const AppSettings d;
    s.drawCutAndFoldLines = store.GetCfgInt(kOptions, "DrawCutAndFoldLines", d.drawCutAndFoldLines);
    s.autoRotate = store.GetCfgInt(kOptions, "AutoRotate", d.autoRotate);
    s.batchMode = store.GetCfgInt(kOptions, "BatchMode", d.batchMode);
    s.checkForPrintableArea = store.GetCfgInt(kOptions, "CheckForPrintableArea", d.checkForPrintableArea);
    s.maskPrintJobName = store.GetCfgInt(kOptions, "MaskPrintJobName", d.maskPrintJobName);
    s.printJobName = store.GetCfgString(kOptions, "PrintJobName", d.printJobName);
    s.autoLoad2ndImage = store.GetCfgInt(kOptions, "Autoload2ndImage", d.autoLoad2ndImage);
    s.reloadOnStartup = store.GetCfgInt(kOptions, "ReloadOnStartup", d.reloadOnStartup);
    s.recentFileLeft = store.GetCfgString(kOptions, "RecentFileLeft", d.recentFileLeft);
    s.recentFileRight = store.GetCfgString(kOptions, "RecentFileRight", d.recentFileRight);
    s.autoDetectFormat = store.GetCfgInt(kOptions, "AutoDetectFormat", d.autoDetectFormat);
    s.lastUsedLeftFormat = store.GetCfgInt(kOptions, "LastUsedLeftFormat", d.lastUsedLeftFormat);
    s.lastUsedRightFormat = store.GetCfgInt(kOptions, "LastUsedRightFormat", d.lastUsedRightFormat);
    s.selectedSkin = store.GetCfgInt(kOptions, "SelectedSkin", d.selectedSkin);
    s.printBorder = store.GetCfgInt(kOptions, "Print Border", d.printBorder);
    s.checkForUpdates = store.GetCfgInt(kOptions, "CheckForUpdates", d.checkForUpdates);
    s.pictureFit = std::clamp(store.GetCfgInt(kOptions, "PictureFit", d.pictureFit), 0, 2);
    s.bleedMm = ReadMillimetres(store.GetCfgString(kOptions, "BleedMm", ""), d.bleedMm);
    s.recentPictures = SplitRecentPictures(store.GetCfgString(kOptions, "RecentPictures", ""));
}

void ReadWindowPosition(AppSettings& s, CSettingsStore& store) {
    const AppSettings d;
    s.positionX = store.GetCfgInt("Position", "X", d.positionX);
    s.positionY = store.GetCfgInt("Position", "Y", d.positionY);
}

void WriteWindowPosition(const AppSettings& s, CSettingsStore& store) {
    store.WriteCfgInt("Position", "X", s.positionX);
    store.WriteCfgInt("Position", "Y", s.positionY);
}

void WriteViewCloseSettings(const AppSettings& s, CSettingsStore& store) {
    store.WriteCfgInt(kOptions, "CheckForPrintableArea", s.checkForPrintableArea);
    store.WriteCfgInt(kOptions, "DrawCutAndFoldLines", s.drawCutAndFoldLines);
    store.WriteCfgInt(kOptions, "AutoRotate", s.autoRotate);
    store.WriteCfgInt(kOptions, "MaskPrintJobName", s.maskPrintJobName);
    store.WriteCfgInt(kOptions, "AutoLoad2ndImage", s.autoLoad2ndImage);
    store.WriteCfgInt(kOptions, "ReloadOnStartup", s.reloadOnStartup);
    store.WriteCfgString(kOptions, "RecentFileLeft", s.recentFileLeft);
    store.WriteCfgString(kOptions, "RecentFileRight", s.recentFileRight);
    store.WriteCfgInt(kOptions, "AutoDetectFormat", s.autoDetectFormat);
    store.WriteCfgInt(kOptions, "BatchMode", s.batchMode);
    store.WriteCfgInt(kOptions, "LastUsedLeftFormat", s.lastUsedLeftFormat);
    store.WriteCfgInt(kOptions, "LastUsedRightFormat", s.lastUsedRightFormat);
    store.WriteCfgInt(kOptions, "SelectedSkin", s.selectedSkin);
    store.WriteCfgInt(kOptions, "Print Border", s.printBorder);
    store.WriteCfgInt(kOptions, "CheckForUpdates", s.checkForUpdates);
    // What the user typed into the options dialog (and the proxy switch
    // beside it) lasts beyond the run like every other option.
    store.WriteCfgString(kOptions, "PrintJobName", s.printJobName);
    store.WriteCfgString(kOptions, "LeftAutoFiles", s.leftAutoFiles);
    store.WriteCfgString(kOptions, "RightAutoFiles", s.rightAutoFiles);
    store.WriteCfgInt(kOptions, "UseProxy", s.useProxy);
    store.WriteCfgString(kOptions, "Proxy", s.proxy);
    // Written only once chosen: a user who keeps the defaults keeps the file.
    if (s.pictureFit != 0)
        store.WriteCfgInt(kOptions, "PictureFit", s.pictureFit);
    else
        store.DeleteCfgKey(kOptions, "PictureFit");
    if (s.bleedMm > 0)
        store.WriteCfgString(kOptions, "BleedMm", MillimetresText(s.bleedMm));
    else
        store.DeleteCfgKey(kOptions, "BleedMm");
    if (s.recentPictures.empty())
        store.DeleteCfgKey(kOptions, "RecentPictures");
    else
        store.WriteCfgString(kOptions, "RecentPictures", JoinRecentPictures(s.recentPictures));
}

bool WriteExitSettings(const AppSettings& s, int currentLanguage, CSettingsStore& store) {
    store.WriteCfgInt(kOptions, "ShowSplash", s.showSplash);
    store.WriteCfgInt(kOptions, "GrayScale", s.grayScale);
    store.WriteCfgInt("Settings", "LastRanVersion", CurrentVersionNumber());
    store.WriteCfgInt(kOptions, "Language", currentLanguage);
    return store.SaveCfgFile();
}

int ReadShowPreview(CSettingsStore& store) { return store.GetCfgInt(kOptions, "ShowPreview", 1); }
void WriteShowPreview(int show, CSettingsStore& store) { store.WriteCfgInt(kOptions, "ShowPreview", show); }
std::string ReadLastUsedFolder(CSettingsStore& store) { return store.GetCfgString("Paths", "LastUsed", ""); }
void WriteLastUsedFolder(const std::string& folder, CSettingsStore& store) {
    store.WriteCfgString("Paths", "LastUsed", folder);
}

void RememberRecentPicture(AppSettings& s, const std::string& path) {
    if (path.empty()) return;
    auto& list = s.recentPictures;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > static_cast<std::size_t>(kMaxRecentPictures)) list.resize(kMaxRecentPictures);
}

std::string JoinRecentPictures(const std::vector<std::string>& paths) {
    static const char* const hex = "0123456789ABCDEF";
    std::string value;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        if (!value.empty()) value += ';';
        for (unsigned char c : path) {
            if (c == '%' || c == ';' || c < 0x20 || c == 0x7F) {
                value += '%';
                value += hex[c >> 4];
                value += hex[c & 15];
            } else {
                value += static_cast<char>(c);
            }
        }
    }
    return value;
}

std::vector<std::string> SplitRecentPictures(const std::string& value) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::vector<std::string> paths;
    std::string path;
    auto finish = [&] {
        // A hand-edited list may repeat a path or hold more than the menu shows.
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end() &&
            paths.size() < static_cast<std::size_t>(kMaxRecentPictures))
            paths.push_back(path);
        path.clear();
    };
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ';') {
            finish();
        } else if (c == '%' && i + 2 < value.size() && digit(value[i + 1]) >= 0 &&
                   digit(value[i + 2]) >= 0) {
            path += static_cast<char>(digit(value[i + 1]) * 16 + digit(value[i + 2]));
            i += 2;
        } else {
            path += c;
        }
    }
    finish();
    return paths;
}

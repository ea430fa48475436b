#include "settings/LanguageTable.h"

#include <cstdio>

#include "settings/LanguageFile.h"
#include "settings/ProgramFolder.h"
#include "settings/TextFile.h"

namespace {
const std::string kUnknown = "???";
}  // namespace

std::string PlainText(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '&') plain += c;
    if (plain.size() >= 3 && plain.compare(plain.size() - 3, 3, "...") == 0) plain.resize(plain.size() - 3);
    while (!plain.empty() && plain.back() == ':') plain.pop_back();
    return plain;
}

CLanguageTable::CLanguageTable() : CLanguageTable(std::string()) {}

CLanguageTable::CLanguageTable(std::string languageFolder) : folder_(std::move(languageFolder)) {
    available_.fill(true);
    FillBuiltinEnglish();
}

void CLanguageTable::FillBuiltinEnglish() {
    auto& english = tables_[0];
    english.clear();
    for (int number : TextNumbers()) english.push_back(BuiltinEnglishText(number));
}

std::string CLanguageTable::LanguageFilePath(int index) const {
    if (index < 1 || index >= kLanguageCount) return {};
    const std::string name = std::string(Languages()[index].fileName) + ".lng";
    // The user's own languages/ first, then the shipped one.
    if (folder_.empty()) return FindProgramFile(JoinPath("languages", name));
    return JoinPath(folder_, name);
}

std::string CLanguageTable::GetText(int number, bool plain) const {
    if (!IsLanguageAvailable(current_)) return kUnknown;
    const int row = RowOf(number);
    if (row < 0) return kUnknown;
    const auto& own = tables_[current_];
    std::string text = static_cast<std::size_t>(row) < own.size() ? own[row] : std::string();
    if (text.empty()) text = tables_[0][row];
    return plain ? PlainText(text) : text;
}

void CLanguageTable::SetEnglishText(int number, const std::string& text) {
    const int row = RowOf(number);
    if (row >= 0) tables_[0][row] = text;
}

void CLanguageTable::SetControlText(IControlTexts& controls, int controlId, int number, bool plain) {
    const int row = RowOf(number);
    if (row < 0) return;
    if (tables_[0][row].empty()) tables_[0][row] = controls.ControlText(controlId);
    // The language's own text only: without one the control keeps its caption.
    const auto& own = tables_[current_];
    std::string text = static_cast<std::size_t>(row) < own.size() ? own[row] : std::string();
    if (plain) text = PlainText(text);
    if (!text.empty()) controls.SetControlText(controlId, text);
}

void CLanguageTable::SetControlTexts(IControlTexts& controls, std::span<const ControlTextNumber> rows, bool plain) {
    for (const auto& r : rows) SetControlText(controls, r.controlId, r.number, plain);
}

bool CLanguageTable::LoadLanguageFile(int index) {
    std::string bytes;
    if (ReadWholeFile(LanguageFilePath(index), kMaxLanguageFileSize, bytes) != FileReadResult::Ok) {
        current_ = 0;
        return false;
    }
    tables_[index] = LanguageEntries(LanguageFileText(bytes), TextNumbers());
    return true;
}

void CLanguageTable::SelectLanguage(int index) {
    if (!IsLanguageAvailable(index)) return;
    chosen_ = index;
    if (index == 0) {
        current_ = 0;
        return;
    }
    if (LoadLanguageFile(index)) current_ = index;
}

void CLanguageTable::SelectLanguageForSystem(int primaryLanguageId) {
    current_ = chosen_ = 0;
    for (int i = 0; i < kLanguageCount; ++i) {
        if (Languages()[i].primaryLanguageId == primaryLanguageId) {
            SelectLanguage(i);
            return;
        }
    }
}

bool CLanguageTable::IsLanguageAvailable(int index) const {
    return index >= 0 && index < kLanguageCount && available_[index];
}

namespace {
// The menu holding a row's item, nullptr when the menu bar lacks it.
IMenuText* MenuOfRow(IMenuText& menuBar, const MenuTextRow& row) {
    IMenuText* menu = &menuBar;
    for (int d = 0; d + 1 < row.depth && menu; ++d) {
        const int pos = row.pos[d];
        menu = (pos >= 0 && pos < menu->ItemCount()) ? menu->SubMenu(pos) : nullptr;
    }
    if (menu && (row.pos[row.depth - 1] < 0 || row.pos[row.depth - 1] >= menu->ItemCount())) return nullptr;
    return menu;
}
}  // namespace

void CLanguageTable::BuildEnglishTable(IMenuText& menuBar) {
    for (const auto& row : MenuTextRows()) {
        if (IMenuText* menu = MenuOfRow(menuBar, row)) {
            std::string text = menu->ItemText(row.pos[row.depth - 1]);
            if (text.size() > 1024) text.resize(1024);
            if (!text.empty()) SetEnglishText(row.number, text);
        }
    }
    ProbeLanguageFiles();
}

void CLanguageTable::ProbeLanguageFiles() {
    for (int i = 1; i < kLanguageCount; ++i) available_[i] = CanOpenForReading(LanguageFilePath(i));
    if (!available_[current_]) current_ = 0;
}

void CLanguageTable::TranslateMenu(IMenuText& menuBar) const {
    for (const auto& row : MenuTextRows()) {
        if (IMenuText* menu = MenuOfRow(menuBar, row)) menu->SetItemText(row.pos[row.depth - 1], GetText(row.number));
    }
    menuBar.Redraw();
}

CLanguageTable& Language() {
    static CLanguageTable table;
    return table;
}

std::string FillTextPlaceholders(const std::string& text, std::initializer_list<std::string> parts) {
    std::string result;
    std::size_t from = 0;
    for (const std::string& part : parts) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        result.append(text, from, at - from).append(part);
        from = at + 2;
    }
    return result.append(text, from, std::string::npos);
}

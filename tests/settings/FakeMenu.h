#pragma once
// A menu bar in memory, built the way the main window builds its own: from
// the menu rows and their English texts.
#include <memory>
#include <string>
#include <vector>

#include "settings/LanguageTable.h"

class FakeMenu : public IMenuText {
public:
    struct Item {
        std::string text;
        std::unique_ptr<FakeMenu> sub;
    };
    std::vector<Item> items;
    int redraws = 0;

    int ItemCount() const override { return static_cast<int>(items.size()); }
    std::string ItemText(int pos) const override { return items.at(pos).text; }
    void SetItemText(int pos, const std::string& text) override { items.at(pos).text = text; }
    IMenuText* SubMenu(int pos) override { return items.at(pos).sub.get(); }
    void Redraw() override { ++redraws; }

    // The item at a row's path, created when missing.
    Item& At(const MenuTextRow& row) {
        FakeMenu* menu = this;
        for (int d = 0; d < row.depth; ++d) {
            auto& list = menu->items;
            if (static_cast<int>(list.size()) <= row.pos[d]) list.resize(row.pos[d] + 1);
            Item& item = list[row.pos[d]];
            if (d + 1 == row.depth) return item;
            if (!item.sub) item.sub = std::make_unique<FakeMenu>();
            menu = item.sub.get();
        }
        return items.at(0);
    }

    static std::unique_ptr<FakeMenu> MainMenuBar() {
        auto bar = std::make_unique<FakeMenu>();
        for (const auto& row : MenuTextRows()) bar->At(row).text = BuiltinEnglishText(row.number);
        return bar;
    }
};

// The captions of a dialog's controls.
class FakeDialog : public IControlTexts {
public:
    std::vector<std::pair<int, std::string>> captions;
    std::string ControlText(int id) const override {
        for (const auto& [cid, text] : captions)
            if (cid == id) return text;
        return {};
    }
    void SetControlText(int id, const std::string& text) override {
        for (auto& [cid, caption] : captions)
            if (cid == id) caption = text;
    }
};

#pragma once
// The main view in the current language: the caption, the form's texts, the
// menu bar and the format names in both format lists.
#include <QString>

#include <memory>

class CoverFormatList;
class CQtMenuText;
class CWidgetControlTexts;
class QComboBox;
class QMenuBar;
class QWidget;

class CViewTexts final {
public:
    // `controls` are the view's numbered controls; the caption goes to the
    // window that holds `view`.
    CViewTexts(CWidgetControlTexts& controls, QComboBox* leftCombo, QComboBox* rightCombo,
               const CoverFormatList& formats, QWidget& view);
    ~CViewTexts();

    // The main window's menu bar, whose texts follow the language.
    void SetMenuBar(QMenuBar* bar);
    // The menu's built-in English texts taken into the language table (once,
    // before the first translation).
    void ReadEnglishMenu();
    // The menu in the current language, when it is not English.
    void TranslateMenuIfNotEnglish();

    QString Caption() const;
    // Control texts, window title and menu in the current language.
    void Apply();
    // Refills both format lists, keeping their selections.
    void FillFormatLists();

private:
    CWidgetControlTexts& controls_;
    QComboBox* combos_[2];
    const CoverFormatList& formats_;
    QWidget& view_;
    std::unique_ptr<CQtMenuText> menuText_;
};

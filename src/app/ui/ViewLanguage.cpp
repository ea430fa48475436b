// The main view in the current language: the caption, the form's texts, the
// menu bar and the format names in both lists.
#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/QtMenuText.h"
#include "settings/ui/QtTranslations.h"

#include <QComboBox>

QString CTheView::Caption() const
{
    return QStringLiteral("Korvane V") + QString::fromLatin1(kVersionText) + QStringLiteral(" - ") +
           QString::fromStdString(Language().GetText(Txt::CaptionTail));
}

void CTheView::SetCaption()
{
    CLanguageTable& language = Language();
    static constexpr ControlTextNumber rows[] = {{Ctl::SinglePageLabel, Txt::SinglePage},
                                                 {Ctl::CutLinesLabel, Txt::CutLines},
                                                 {Ctl::PrintLeft, Txt::PrintLeft},
                                                 {Ctl::PrintBoth, Txt::PrintBoth},
                                                 {Ctl::PrintRight, Txt::PrintRight}};
    language.SetControlTexts(controls_, rows);
    window()->setWindowTitle(Caption());
    if (menuText_)
        language.TranslateMenu(*menuText_);
    doc_.SetSlotLabels();
}

void CTheView::FillCombos()
{
    CLanguageTable& language = Language();
    const bool translate = language.GetCurrentLanguage() != 0;
    const CoverFormatList& formats = doc_.formats;
    for (QComboBox* combo : combo_) {
        const int selected = combo->currentIndex();
        combo->clear();
        for (int i = 0; i < formats.count(); ++i) {
            const CoverFormat& f = formats.at(i);
            if (f.translationId != 0)
                language.SetEnglishText(f.translationId, f.name);
            const std::string name =
                translate && f.translationId != 0 ? language.GetText(f.translationId) : f.name;
            combo->addItem(QString::fromStdString(name));
        }
        combo->setCurrentIndex(selected < combo->count() ? selected : -1);
    }
}

void CTheView::SelectLanguage(int index)
{
    Language().SelectLanguage(index);
    InstallQtTranslations(Language().GetCurrentLanguage());
    SetCaption();
    FillCombos();
    Refresh();
}

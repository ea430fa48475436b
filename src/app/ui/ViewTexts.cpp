#include "app/ui/ViewTexts.h"

#include "app/CommandIds.h"
#include "formats/CoverFormatList.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/QtMenuText.h"
#include "settings/ui/WidgetControlTexts.h"

#include <QComboBox>
#include <QMenuBar>
#include <QWidget>

CViewTexts::CViewTexts(CWidgetControlTexts& controls, QComboBox* leftCombo, QComboBox* rightCombo,
                       const CoverFormatList& formats, QWidget& view)
    : controls_(controls), combos_{leftCombo, rightCombo}, formats_(formats), view_(view)
{
}

CViewTexts::~CViewTexts() = default;

void CViewTexts::SetMenuBar(QMenuBar* bar)
{
    menuText_ = bar ? std::make_unique<CQtMenuText>(bar) : nullptr;
}

void CViewTexts::ReadEnglishMenu()
{
    if (menuText_)
        Language().BuildEnglishTable(*menuText_);
}

void CViewTexts::TranslateMenuIfNotEnglish()
{
    if (Language().GetCurrentLanguage() != 0 && menuText_)
        Language().TranslateMenu(*menuText_);
}

QString CViewTexts::Caption() const
{
    return QStringLiteral("Korvane V") + QString::fromLatin1(kVersionText) + QStringLiteral(" - ") +
           QString::fromStdString(Language().GetText(Txt::CaptionTail));
}

void CViewTexts::Apply()
{
    CLanguageTable& language = Language();
    static constexpr ControlTextNumber rows[] = {{Ctl::SinglePageLabel, Txt::SinglePage},
                                                 {Ctl::CutLinesLabel, Txt::CutLines},
                                                 {Ctl::PrintLeft, Txt::PrintLeft},
                                                 {Ctl::PrintBoth, Txt::PrintBoth},
                                                 {Ctl::PrintRight, Txt::PrintRight}};
    language.SetControlTexts(controls_, rows);
    view_.window()->setWindowTitle(Caption());
    if (menuText_)
        language.TranslateMenu(*menuText_);
}

void CViewTexts::FillFormatLists()
{
    CLanguageTable& language = Language();
    const bool translate = language.GetCurrentLanguage() != 0;
    for (QComboBox* combo : combos_) {
        const int selected = combo->currentIndex();
        combo->clear();
        for (int i = 0; i < formats_.count(); ++i) {
            const CoverFormat& f = formats_.at(i);
            if (f.translationId != 0)
                language.SetEnglishText(f.translationId, f.name);
            const std::string name =
                translate && f.translationId != 0 ? language.GetText(f.translationId) : f.name;
            combo->addItem(QString::fromStdString(name));
        }
        combo->setCurrentIndex(selected < combo->count() ? selected : -1);
    }
}

#include "app/ui/FormatReasons.h"

#include "app/KorvaneDoc.h"
#include "app/RecognitionReason.h"
#include "app/ViewState.h"
#include "print/ui/PaperWidget.h"
#include "settings/LanguageTable.h"

#include <QComboBox>

CFormatReasons::CFormatReasons(const CKorvaneDoc& doc, const ViewState& state, QComboBox* const (&combos)[2],
                               CPaper* const (&papers)[2])
    : doc_(doc), state_(state), combos_{combos[0], combos[1]}, papers_{papers[0], papers[1]}
{
}

QString CFormatReasons::Reason(Slot slot) const
{
    const int format = state_.format(slot);
    const QComboBox* combo = combos_[slot == Slot::Left ? 0 : 1];
    if (format < 0 || format >= combo->count() || !doc_.IsLoaded(slot))
        return {};
    const std::string name = combo->itemText(format).toStdString();
    return QString::fromStdString(RecognitionReason(doc_.Recognition(slot), format, name,
                                                    doc_.formats.detectRatio(format),
                                                    [](int n) { return Language().GetText(n); }));
}

bool CFormatReasons::Show(Slot lastChanged)
{
    QString texts[2];
    for (Slot slot : {Slot::Left, Slot::Right}) {
        const int i = slot == Slot::Left ? 0 : 1;
        texts[i] = Reason(slot);
        papers_[i]->setToolTip(texts[i]);
        papers_[i]->setStatusTip(texts[i]);
    }
    const int last = lastChanged == Slot::Left ? 0 : 1;
    const QString status = texts[last].isEmpty() ? texts[1 - last] : texts[last];
    if (status == statusText_)
        return false;
    statusText_ = status;
    return true;
}

// Why each slot shows its format: the paper's tooltip, and the status line
// for the slot that changed last.
#include "app/KorvaneDoc.h"
#include "app/RecognitionReason.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "settings/LanguageTable.h"

#include <QComboBox>

QString CTheView::Reason(Slot slot) const
{
    const int format = state_.format(slot);
    const QComboBox* combo = combo_[slot == Slot::Left ? 0 : 1];
    if (format < 0 || format >= combo->count() || !doc_.IsLoaded(slot))
        return {};
    const std::string name = combo->itemText(format).toStdString();
    return QString::fromStdString(RecognitionReason(doc_.Recognition(slot), format, name,
                                                    doc_.formats.detectRatio(format),
                                                    [](int n) { return Language().GetText(n); }));
}

void CTheView::ShowReasons()
{
    QString texts[2];
    for (Slot slot : {Slot::Left, Slot::Right}) {
        const int i = slot == Slot::Left ? 0 : 1;
        texts[i] = Reason(slot);
        paper_[i]->setToolTip(texts[i]);
        paper_[i]->setStatusTip(texts[i]);
    }
    const int last = lastChanged_ == Slot::Left ? 0 : 1;
    const QString status = texts[last].isEmpty() ? texts[1 - last] : texts[last];
    if (status != statusText_) {
        statusText_ = status;
        emit StatusTextChanged(status);
    }
}

#pragma once
// Why each slot shows its format ("CD Front: 1400 x 1400 px, ratio 1.00
// (format 1.00); not turned"): the papers' tooltips and status tips, and the
// status line's text, that of the slot changed last.
#include "base/CoverSlot.h"

#include <QString>

class CKorvaneDoc;
class CPaper;
class QComboBox;
struct ViewState;

class CFormatReasons final {
public:
    // The format names are those the slots' lists show.
    CFormatReasons(const CKorvaneDoc& doc, const ViewState& state, QComboBox* const (&combos)[2],
                   CPaper* const (&papers)[2]);

    // The slot's reason, empty for an empty slot or one without a format.
    QString Reason(Slot slot) const;
    // Both papers' tips; returns whether the status text changed.
    bool Show(Slot lastChanged);
    const QString& StatusText() const { return statusText_; }

private:
    const CKorvaneDoc& doc_;
    const ViewState& state_;
    QComboBox* combos_[2];
    CPaper* papers_[2];
    QString statusText_;
};

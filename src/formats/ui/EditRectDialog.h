#pragma once
// "Add / Edit Rectangle": one cut rectangle of a format, its top-left corner
// relative to the cover's top-left corner.
#include "formats/CoverFormat.h"
#include "formats/ui/MarkerDialog.h"

class QLineEdit;

class CEditRectDialog final : public CMarkerDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 169;
    static constexpr int kX = 1107, kY = 1108, kWidth = 1109, kHeight = 1110;

    CEditRectDialog(const CutRect& rect, bool inches, QWidget* parent = nullptr);

    const CutRect& Rect() const { return rect_; }

private:
    void UpdateStep() override;

    CutRect rect_;
    QLineEdit* fields_[4] = {};
};

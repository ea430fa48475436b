#pragma once
// "Add / Edit Line": one cut or fold line of a format. A line runs along one
// of the cover's edges (x1 holds the edge marker) or between two points
// relative to the cover's top-left corner.
#include "formats/CoverFormat.h"
#include "formats/ui/MarkerDialog.h"

class QLineEdit;

class CEditLineDialog final : public CMarkerDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 12347;
    static constexpr int kTypeGroupId = 1105;
    // The line-type radios, index 0..4: left, right, top, bottom edge, custom.
    static constexpr int kTypeIds[5] = {1014, 1030, 1031, 1032, 1033};
    static constexpr int kStartX = 1106, kStartY = 1045, kEndX = 1046, kEndY = 1047;

    CEditLineDialog(const CutLine& line, bool inches, QWidget* parent = nullptr);

    // The values as the dialog holds them now (after OK: the result).
    const CutLine& Line() const { return line_; }
    // The checked line type, -1 when none is.
    int TypeIndex() const;

private:
    void UpdateStep() override;

    CutLine line_;
    class QButtonGroup* type_ = nullptr;
    QLineEdit* fields_[4] = {};
    QWidget* positionGroups_[2] = {};
};

// The line-type radio of an x1 value: 0..3 for the edge markers 5001..5004,
// 5 (no radio) for AUTO_POSITION, 4 (custom) for anything else.
int LineTypeIndex(double x1);

#include "formats/ui/EditLineDialog.h"

#include "formats/MarkerText.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kCustom = 4;
constexpr int kTitleText = 7100;
constexpr ControlTextNumber kTexts[] = {
    {1105, 7101}, {1014, 7102}, {1030, 7103}, {1031, 7104}, {1032, 7105}, {1033, 7106},
    {1097, 7107}, {1095, 7108}, {1098, 7108}, {1096, 7109}, {1099, 7109}, {1100, 7110},
    {1104, 7111}, {1101, 7112}, {1102, 7113}, {1103, 7114}, {1094, 7115}};
constexpr const char* kTypeCaptions[5] = {
    "Vertical line on the left of the cover.", "Vertical line on the right of the cover.",
    "Horizontal line at the top of the cover.", "Horizontal line at the bottom of the cover.",
    "Custom (specify the coordinates)."};
}  // namespace

int LineTypeIndex(double x1)
{
    if (x1 == EDGE_LEFT) return 0;
    if (x1 == EDGE_RIGHT) return 1;
    if (x1 == EDGE_TOP) return 2;
    if (x1 == EDGE_BOTTOM) return 3;
    if (x1 == AUTO_POSITION) return 5;
    return kCustom;
}

CEditLineDialog::CEditLineDialog(const CutLine& line, bool inches, QWidget* parent)
    : CMarkerDialog(inches, parent), line_(line)
{
    setWindowTitle(QStringLiteral("Add / Edit Line"));
    auto* layout = new QVBoxLayout(this);

    auto* typeGroup = Named(new QGroupBox(QStringLiteral("Line type"), this), kTypeGroupId);
    auto* typeColumn = new QVBoxLayout(typeGroup);
    type_ = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto* radio = Named(new QRadioButton(QString::fromUtf8(kTypeCaptions[i]), typeGroup), kTypeIds[i]);
        type_->addButton(radio, i);
        typeColumn->addWidget(radio);
    }
    layout->addWidget(typeGroup);

    static constexpr int startCaptions[2] = {1095, 1096};
    static constexpr int endCaptions[2] = {1098, 1099};
    static constexpr const char* xy[2] = {"X:", "Y:"};
    static constexpr int startFields[2] = {kStartX, kStartY};
    static constexpr int endFields[2] = {kEndX, kEndY};
    positionGroups_[0] = AddFieldGroup(layout, 1097, "Start position", startCaptions, xy, startFields, &fields_[0]);
    positionGroups_[1] = AddFieldGroup(layout, 1100, "End position", endCaptions, xy, endFields, &fields_[2]);
    AddCommonRows(layout, line.solid);

    // Opening: the values, the type from x1, the captions, one update step.
    const double values[4] = {line.x1, line.y1, line.x2, line.y2};
    for (int i = 0; i < 4; ++i)
        SetFieldValue(fields_[i], values[i]);
    const int index = LineTypeIndex(line.x1);
    if (index < 5)
        type_->button(index)->setChecked(true);
    ApplyTexts(kTitleText, kTexts);
    UpdateStep();
    connect(type_, &QButtonGroup::idClicked, this, [this] { UpdateStep(); });
}

int CEditLineDialog::TypeIndex() const
{
    return type_->checkedId();
}

void CEditLineDialog::UpdateStep()
{
    const int index = TypeIndex();
    const bool custom = index == kCustom;
    for (QWidget* group : positionGroups_)
        group->setEnabled(custom);
    if (custom) {
        line_.x1 = FieldValue(fields_[0], line_.x1);
        line_.y1 = FieldValue(fields_[1], line_.y1);
        line_.x2 = FieldValue(fields_[2], line_.x2);
        line_.y2 = FieldValue(fields_[3], line_.y2);
    } else {
        // An edge line: x1 holds the edge; the other values mean nothing.
        for (QLineEdit* field : fields_)
            field->clear();
        line_.x1 = EDGE_LEFT + index;
    }
    line_.solid = Solid();
    SetPreview(LineText(line_, inches_));
}

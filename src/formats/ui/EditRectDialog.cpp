#include "formats/ui/EditRectDialog.h"

#include "formats/MarkerText.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kTitleText = 7200;
constexpr ControlTextNumber kTexts[] = {{1113, 7201}, {1095, 7108}, {1096, 7109}, {1114, 7202},
                                        {1111, 7203}, {1112, 7204}, {1104, 7111}, {1101, 7112},
                                        {1102, 7113}, {1103, 7114}, {1094, 7115}};
}  // namespace

CEditRectDialog::CEditRectDialog(const CutRect& rect, bool inches, QWidget* parent)
    : CMarkerDialog(inches, parent), rect_(rect)
{
    setWindowTitle(QStringLiteral("Add / Edit Rectangle"));
    auto* layout = new QVBoxLayout(this);
    static constexpr int positionCaptions[2] = {1095, 1096};
    static constexpr const char* xy[2] = {"X:", "Y:"};
    static constexpr int positionFields[2] = {kX, kY};
    static constexpr int sizeCaptions[2] = {1111, 1112};
    static constexpr const char* size[2] = {"Width:", "Height:"};
    static constexpr int sizeFields[2] = {kWidth, kHeight};
    AddFieldGroup(layout, 1113, "Top left position", positionCaptions, xy, positionFields, &fields_[0]);
    AddFieldGroup(layout, 1114, "Size", sizeCaptions, size, sizeFields, &fields_[2]);
    AddCommonRows(layout, rect.solid);

    const double values[4] = {rect.x, rect.y, rect.width, rect.height};
    for (int i = 0; i < 4; ++i)
        SetFieldValue(fields_[i], values[i]);
    ApplyTexts(kTitleText, kTexts);
    UpdateStep();
}

void CEditRectDialog::UpdateStep()
{
    rect_.x = FieldValue(fields_[0], rect_.x);
    rect_.y = FieldValue(fields_[1], rect_.y);
    rect_.width = FieldValue(fields_[2], rect_.width);
    rect_.height = FieldValue(fields_[3], rect_.height);
    rect_.solid = Solid();
    SetPreview(RectText(rect_, inches_));
}

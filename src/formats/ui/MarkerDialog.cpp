#include "formats/ui/MarkerDialog.h"

#include "controls/ui/FormLayout.h"
#include "formats/MarkerText.h"
#include "settings/LanguageTable.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kOkText = 7030;
constexpr int kCancelText = 7031;
}  // namespace

QFont CMarkerDialog::MarkerFont()
{
    QFont font(QStringLiteral("Courier New"));
    if (!QFontDatabase::hasFamily(QStringLiteral("Courier New")))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(CFormLayout::PixelHeight(9));
    return font;
}

CMarkerDialog::CMarkerDialog(bool inches, QWidget* parent) : QDialog(parent), inches_(inches)
{
    setFont(CFormLayout::TemplateFont());
    texts_.Add(0, this);
}

QGroupBox* CMarkerDialog::AddFieldGroup(QVBoxLayout* layout, int groupId, const char* title,
                                        const int captionIds[2], const char* const captions[2],
                                        const int fieldIds[2], QLineEdit* fields[2])
{
    auto* group = Named(new QGroupBox(QString::fromUtf8(title), this), groupId);
    auto* grid = new QGridLayout(group);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("-00000.00")) + 12;
    for (int i = 0; i < 2; ++i) {
        auto* caption = Named(new QLabel(QString::fromUtf8(captions[i]), group), captionIds[i]);
        fields[i] = Named(new QLineEdit(group), fieldIds[i]);
        fields[i]->setMinimumWidth(fieldWidth);
        caption->setBuddy(fields[i]);
        grid->addWidget(caption, 0, i * 2);
        grid->addWidget(fields[i], 0, i * 2 + 1);
        Watch(fields[i]);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(group);
    return group;
}

void CMarkerDialog::AddCommonRows(QVBoxLayout* layout, int solid)
{
    auto* note = Named(new QLabel(
        QStringLiteral("All positions are relative from the top left position of the cover."), this), kNoteId);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* styleGroup = Named(new QGroupBox(QStringLiteral("Line style"), this), kStyleGroupId);
    auto* styleRow = new QHBoxLayout(styleGroup);
    style_ = new QButtonGroup(this);
    auto* solidButton = Named(new QRadioButton(QStringLiteral("Solid"), styleGroup), kSolidId);
    auto* dashedButton = Named(new QRadioButton(QStringLiteral("Dashed"), styleGroup), kDashedId);
    style_->addButton(solidButton, 0);
    style_->addButton(dashedButton, 1);
    styleRow->addWidget(solidButton);
    styleRow->addWidget(dashedButton);
    styleRow->addStretch(1);
    layout->addWidget(styleGroup);
    (solid ? solidButton : dashedButton)->setChecked(true);
    connect(style_, &QButtonGroup::idClicked, this, [this] { UpdateStep(); });

    auto* caption = Named(new QLabel(QStringLiteral("Preview:"), this), kPreviewCaptionId);
    preview_ = Named(new QLineEdit(this), kPreviewId);
    preview_->setReadOnly(true);
    preview_->setFont(MarkerFont());
    preview_->setMinimumWidth(QFontMetrics(preview_->font()).horizontalAdvance(
                                  QStringLiteral("LINE = (-000.00, -000.00)(-000.00, -000.00), DASHED")) + 16);
    layout->addWidget(caption);
    layout->addWidget(preview_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = Named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), 1);
    Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), 2);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMarkerDialog::ApplyTexts(int titleNumber, std::span<const ControlTextNumber> rows)
{
    CLanguageTable& language = Language();
    if (language.GetCurrentLanguage() == 0)
        return;
    language.SetControlText(texts_, 0, titleNumber);
    language.SetControlTexts(texts_, rows);
    static constexpr ControlTextNumber kButtons[] = {{1, kOkText}, {2, kCancelText}};
    language.SetControlTexts(texts_, kButtons);
}

void CMarkerDialog::Watch(QLineEdit* field)
{
    connect(field, &QLineEdit::textEdited, this, [this] { UpdateStep(); });
}

double CMarkerDialog::FieldValue(const QLineEdit* field, double held) const
{
    return ReadLength(field->text().toStdString(), held, inches_);
}

void CMarkerDialog::SetFieldValue(QLineEdit* field, double mm)
{
    field->setText(QString::fromStdString(MarkerValueText(mm, inches_)));
}

int CMarkerDialog::Solid() const
{
    return style_->checkedId() == 1 ? 0 : 1;
}

void CMarkerDialog::SetPreview(const std::string& text)
{
    preview_->setText(QString::fromStdString(text));
}

QString CMarkerDialog::PreviewText() const
{
    return preview_->text();
}

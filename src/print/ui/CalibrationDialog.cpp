#include "print/ui/CalibrationDialog.h"

#include "settings/LanguageTable.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QString Text(int number) {
    const std::string s = Language().GetText(number);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Millimetres to a hundredth, as a ruler and a printer allow.
QDoubleSpinBox* MillimetreBox(double low, double high, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setDecimals(2);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    return box;
}

}  // namespace

CCalibrationDialog::CCalibrationDialog(Calibration current, QWidget* parent) : QDialog(parent), current_(current) {
    namespace T = CalibrationText;
    setWindowTitle(Text(T::Title));
    auto* instructions = new QLabel(Text(T::Instructions), this);
    instructions->setWordWrap(true);
    measuredX_ = MillimetreBox(0, 200, this);
    measuredY_ = MillimetreBox(0, 200, this);
    offsetX_ = MillimetreBox(-100, 100, this);
    offsetY_ = MillimetreBox(-100, 100, this);
    auto* fixedOnly = new QLabel(Text(T::FixedOnly), this);
    fixedOnly->setWordWrap(true);
    reprint_ = new QCheckBox(Text(T::Reprint), this);
    reprint_->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(Text(T::MeasuredX), measuredX_);
    form->addRow(Text(T::MeasuredY), measuredY_);
    form->addRow(Text(T::OffsetX), offsetX_);
    form->addRow(Text(T::OffsetY), offsetY_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(T::Save), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(Text(T::Cancel), QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instructions);
    layout->addLayout(form);
    layout->addWidget(fixedOnly);
    layout->addWidget(reprint_);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    // A mark printed where it belongs was measured where it was meant to be.
    measuredX_->setValue(kCalibrationInsetMm);
    measuredY_->setValue(kCalibrationInsetMm);
    MeasurementChanged();

    connect(measuredX_, &QDoubleSpinBox::valueChanged, this, &CCalibrationDialog::MeasurementChanged);
    connect(measuredY_, &QDoubleSpinBox::valueChanged, this, &CCalibrationDialog::MeasurementChanged);
    connect(offsetX_, &QDoubleSpinBox::valueChanged, this, &CCalibrationDialog::OffsetChanged);
    connect(offsetY_, &QDoubleSpinBox::valueChanged, this, &CCalibrationDialog::OffsetChanged);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CCalibrationDialog::MeasurementChanged() {
    const QSignalBlocker bx(offsetX_), by(offsetY_);
    offsetX_->setValue(CalibratedOffset(current_.x, kCalibrationInsetMm, measuredX_->value()));
    offsetY_->setValue(CalibratedOffset(current_.y, kCalibrationInsetMm, measuredY_->value()));
}

void CCalibrationDialog::OffsetChanged() {
    // The measurement that gives these offsets.
    const QSignalBlocker bx(measuredX_), by(measuredY_);
    measuredX_->setValue(kCalibrationInsetMm + current_.x - offsetX_->value());
    measuredY_->setValue(kCalibrationInsetMm + current_.y - offsetY_->value());
}

Calibration CCalibrationDialog::Result() const { return Calibration{offsetX_->value(), offsetY_->value()}; }

bool CCalibrationDialog::Reprint() const { return reprint_->isChecked(); }

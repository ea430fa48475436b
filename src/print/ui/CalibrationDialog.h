#pragma once
// What the user measured on the calibration page, or the offsets typed in
// directly, turned into CALIBRATEX / CALIBRATEY. Measurements and offsets
// follow each other as either is edited.
#include "print/CalibrationPage.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;

class CCalibrationDialog final : public QDialog {
    Q_OBJECT
public:
    // `current`: the offsets the page was printed with.
    explicit CCalibrationDialog(Calibration current, QWidget* parent = nullptr);

    // The offsets to save.
    Calibration Result() const;
    // Whether the page is to be printed again to check.
    bool Reprint() const;

    QDoubleSpinBox* MeasuredX() const { return measuredX_; }
    QDoubleSpinBox* MeasuredY() const { return measuredY_; }
    QDoubleSpinBox* OffsetX() const { return offsetX_; }
    QDoubleSpinBox* OffsetY() const { return offsetY_; }

private:
    void MeasurementChanged();
    void OffsetChanged();

    Calibration current_;
    QDoubleSpinBox* measuredX_;
    QDoubleSpinBox* measuredY_;
    QDoubleSpinBox* offsetX_;
    QDoubleSpinBox* offsetY_;
    QCheckBox* reprint_;
};

// Text numbers of the calibration command and dialog.
namespace CalibrationText {
inline constexpr int MenuItem = 9500;
inline constexpr int Title = 9501;
inline constexpr int Instructions = 9502;
inline constexpr int MeasuredX = 9503;
inline constexpr int MeasuredY = 9504;
inline constexpr int OffsetX = 9505;
inline constexpr int OffsetY = 9506;
inline constexpr int FixedOnly = 9507;
inline constexpr int Reprint = 9508;
inline constexpr int Save = 9509;
inline constexpr int Cancel = 9510;
inline constexpr int NotSaved = 9511;
}  // namespace CalibrationText

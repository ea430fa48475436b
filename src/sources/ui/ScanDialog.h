#pragma once
// "Scan Cover": the scanner, the resolution (150/300/600 dpi), colour or
// grey, the slot the cover goes into, and whether the cover is cut out of
// the platen's background; a preview scan at low resolution and the scan
// itself, with a progress bar and Cancel. Scanning runs on a worker
// thread; a cancelled or failed scan leaves the slots as they were.
// Controls are named for the tests: "scanner", "resolution", "colour",
// "grey", "slot", "crop", "preview", "scan", "cancel", "progress",
// "status", "previewPicture".
#include "base/CoverSlot.h"
#include "image/RasterImage.h"

#include <QDialog>

#include <functional>
#include <memory>

class CScanThread;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

class CScanDialog final : public QDialog {
    Q_OBJECT
public:
    // Gets the scanned picture and the slot chosen.
    using Take = std::function<void(Slot slot, CRasterImage& picture)>;
    CScanDialog(Slot slot, Take take, QWidget* parent = nullptr);
    ~CScanDialog() override;

private:
    void BuildControls(Slot slot);
    void FindScanners();
    void StartScan(bool preview);
    void ScanEnded(bool preview);
    void SetScanning(bool scanning);

    Take take_;
    std::unique_ptr<CScanThread> thread_;
    QComboBox* scanner_ = nullptr;
    QComboBox* resolution_ = nullptr;
    QRadioButton* colour_ = nullptr;
    QRadioButton* grey_ = nullptr;
    QComboBox* slot_ = nullptr;
    QCheckBox* crop_ = nullptr;
    QPushButton* preview_ = nullptr;
    QPushButton* scan_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* previewPicture_ = nullptr;
};

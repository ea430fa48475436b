#pragma once
// "Format Editor": add, copy, remove, reorder and edit the cover formats with
// their cut markers. Every change goes straight into the list, so the two
// paper previews (and, after OK, the whole program) see it; a backup taken on
// opening comes back on Cancel, and OK after a change rewrites Korvane.dat.
// Controls carry their template ids as object names. Building and wiring
// the controls: FormatEditDialogLayout.cpp; the marker list: CFormatMarkerList.
#include "app/ui/FormatMarkerList.h"
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "print/PrinterOptions.h"
#include "settings/ui/WidgetControlTexts.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class CPaper;
class CUpDown;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class CFormatEditDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 164;

    // Control ids of the template.
    enum Id {
        FormatList = 1047, Add = 3, Copy = 4, Remove = 1067, MoveUp = 8, MoveDown = 9,
        Name = 1041, Type = 1005,
        LeftAuto = 1013, LeftManual = 1014, LeftX = 1042, LeftY = 1043, LeftXSpin = 1094, LeftYSpin = 1095,
        RightAuto = 1020, RightManual = 1021, RightX = 1049, RightY = 1050, RightXSpin = 1096, RightYSpin = 1097,
        Width = 1044, Height = 1048, WidthSpin = 1089, HeightSpin = 1090,
        PaperWidth = 1051, PaperHeight = 1052, PaperWidthSpin = 1093, PaperHeightSpin = 1060,
        Label = 1053, HoleSize = 1054, HoleSizeSpin = 1091, HoleSizeCaption = 1068,
        Remap = 1056, RemapCombo = 1062, Autodetect = 1055,
        Spine = 1064, SpineValue = 1057, SpineSpin = 1092, SpineCaption = 1069,
        Inches = 1045, Millimeters = 1046,
        MediaType = 1063, MediaTypeCaption = 1073, PaperSource = 1066, PaperSourceCaption = 1075,
        Markers = 1065, AddLine = 5, AddRect = 11, EditMarker = 6, DeleteMarker = 7,
        LeftPreview = 1027, RightPreview = 1030, Ok = 1, Cancel = 2,
        NameCaption = 1070, TypeCaption = 1071, MarkersCaption = 1072,
        LeftGroup = 1083, RightGroup = 1084, SizeGroup = 1085, PaperGroup = 1074, DimensionsGroup = 1086,
        WidthCaption = 1077, HeightCaption = 1078, PaperWidthCaption = 1079, PaperHeightCaption = 1080,
    };

    // What the current printer offers for the media-type and paper-source
    // lists; without a printer both lists stay empty.
    struct PrinterLists {
        bool havePrinter = false;
        std::vector<PrinterChoice> mediaTypes;
        std::vector<PrinterChoice> sources;
        // The program's printer, read from its driver.
        static PrinterLists Read();
    };

    // Opens on `formats` (changed in place) with `initialSelection` selected
    // (-1 for none); the previews show a copy of `leftImage` when it is
    // valid, else the built-in sample cover.
    CFormatEditDialog(CoverFormatList& formats, const CRasterImage* leftImage, int initialSelection,
                      const PrinterLists& printer, QWidget* parent = nullptr);
    ~CFormatEditDialog() override;

    QWidget* Control(int controlId) const { return texts_.Control(controlId); }
    int Selected() const;
    bool Modified() const { return modified_ != 0; }
    bool InchMode() const { return units_ == 0; }
    // The message shown when OK could not save (empty when it saved or had
    // nothing to save).
    const QString& SaveError() const { return saveError_; }

    // Runs the line or rectangle dialog for a new or edited marker; tests
    // replace it to answer without a window. Returns false for Cancel.
    using LineEditor = CFormatMarkerList::LineEditor;
    using RectEditor = CFormatMarkerList::RectEditor;
    void SetMarkerEditors(LineEditor line, RectEditor rect);

    void accept() override;
    void reject() override;

private:
    template <class W>
    W* Named(W* w, int controlId);
    QLineEdit* LengthField(int id);
    CUpDown* Spin(int id, int fieldId);
    QWidget* BuildListColumn();
    QWidget* BuildPositionColumn();
    QWidget* BuildOptionsColumn();
    QWidget* BuildMarkerColumn();
    QGroupBox* PositionGroup(int groupId, const char* title, int autoId, int manualId, int xId, int xSpin,
                             int yId, int ySpin, QButtonGroup*& radios);
    QGroupBox* PairGroup(int groupId, const char* title, int firstCaption, int firstId, int firstSpin,
                         int secondCaption, int secondId, int secondSpin);
    void Connect();
    void ApplyTexts();

    QString DisplayName(int i) const;
    void FillList();
    void Select(int i);
    void ShowSelected(QLineEdit* typing = nullptr);
    void ShowNoFormat();
    void ShowLength(QLineEdit* field, double mm, QLineEdit* typing);
    double FieldLength(int id, double held) const;
    void RefreshMarkers();
    // A marker added, changed or removed through the marker list.
    void MarkersChanged();
    void RepaintPreviews();
    void Changed() { modified_ = 1; }
    QLineEdit* Field(int id) const;

    // Handlers.
    void OnSelectionChanged();
    void OnNameTyped(const QString& text);
    void OnTypeChosen(int index);
    void OnPositionRadio(int which, bool manual);
    void OnPositionTyped(int which);
    void OnSizeTyped(QLineEdit* typing);
    void OnPaperTyped(QLineEdit* typing);
    void OnHoleTyped();
    void OnSpineTyped();
    void OnSpin(int spinId, bool up);
    void OnAdd();
    void OnCopy();
    void OnRemove();
    void OnMove(int delta);
    void UpdateMarkerButtons();

    CoverFormatList& formats_;
    CRasterImage sample_;
    int modified_ = 0;
    int units_ = 1;  // 0 inches, 1 millimetres
    int updating_ = 0;
    int initialSelection_;
    // The format the fields show, -1 for none: the only one the handlers change.
    int shown_ = -1;
    QString saveError_;
    CFormatMarkerList markerList_;
    CWidgetControlTexts texts_;

    QTreeWidget* list_ = nullptr;
    QComboBox* type_ = nullptr;
    QComboBox* remapCombo_ = nullptr;
    QComboBox* media_ = nullptr;
    QComboBox* source_ = nullptr;
    QButtonGroup* leftRadios_ = nullptr;
    QButtonGroup* rightRadios_ = nullptr;
    QButtonGroup* unitRadios_ = nullptr;
    QListWidget* markers_ = nullptr;
    CPaper* preview_[2] = {};
};

template <class W>
W* CFormatEditDialog::Named(W* w, int controlId)
{
    w->setObjectName(QString::number(controlId));
    texts_.Add(controlId, w);
    return w;
}

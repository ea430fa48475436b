#pragma once
// What the line and the rectangle dialogs share: four length fields in the
// editor's units, the line style, the sentence on relative positions, the
// one-line preview in a fixed-width font, OK and Cancel, and the captions in
// the current language. Controls carry their template ids as object names.
#include "settings/ui/WidgetControlTexts.h"

#include <QDialog>

#include <span>

class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class CMarkerDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids both templates use.
    static constexpr int kNoteId = 1104;
    static constexpr int kStyleGroupId = 1101;
    static constexpr int kSolidId = 1102;
    static constexpr int kDashedId = 1103;
    static constexpr int kPreviewCaptionId = 1094;
    static constexpr int kPreviewId = 1027;

    // The font of marker texts: 9-point "Courier New", else the platform's
    // fixed-width face.
    static QFont MarkerFont();

    QWidget* Control(int controlId) const { return texts_.Control(controlId); }
    QString PreviewText() const;
    bool Inches() const { return inches_; }

protected:
    CMarkerDialog(bool inches, QWidget* parent);

    // A control known by its id (object name, caption lookups).
    template <class W>
    W* Named(W* w, int controlId)
    {
        w->setObjectName(QString::number(controlId));
        texts_.Add(controlId, w);
        return w;
    }
    // A group of two length fields with their captions, in `layout`.
    QGroupBox* AddFieldGroup(QVBoxLayout* layout, int groupId, const char* title, const int captionIds[2],
                             const char* const captions[2], const int fieldIds[2], QLineEdit* fields[2]);
    // The note, the style group, the preview and the buttons, in `layout`.
    void AddCommonRows(QVBoxLayout* layout, int solid);
    // Title and captions in the current language when it is not English.
    void ApplyTexts(int titleNumber, std::span<const ControlTextNumber> rows);

    // Runs the dialog's update step on every click and every typed change.
    void Watch(QLineEdit* field);
    virtual void UpdateStep() = 0;

    // The field's length; `held` while the field still shows it.
    double FieldValue(const QLineEdit* field, double held) const;
    void SetFieldValue(QLineEdit* field, double mm);
    int Solid() const;
    void SetPreview(const std::string& text);

    bool inches_;
    QButtonGroup* style_ = nullptr;
    QLineEdit* preview_ = nullptr;
    CWidgetControlTexts texts_;
};

#pragma once
// COptionsDialog: the program's on/off options, the print job name, the
// proxy and the two keyword lists. It shows the running values and, when it
// is closed with OK, Escape or the close box, writes every value back to them
// and splits the keyword lists again; Cancel leaves them as they were. It
// saves nothing itself.
#include "image/RasterImage.h"
#include "settings/ui/WidgetControlTexts.h"

#include <QDialog>

struct AppSettings;
class QAbstractButton;
class QLineEdit;

class COptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit COptionsDialog(AppSettings& values, QWidget* parent = nullptr);
    ~COptionsDialog() override;

    // Closing by any way ends here; all but Cancel hand the values back.
    void done(int result) override;

    // Controls by object name, for the tests: the check boxes are named
    // after their running values ("autoRotate", "grayScale", ...), the edit
    // fields "printJobName", "proxy", "leftAutoFiles", "rightAutoFiles".
    QAbstractButton* CheckBox(const char* name) const;
    QLineEdit* Edit(const char* name) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void FitToTexts();
    void ShowValues();
    void UpdateEnabling();
    void WriteBack();

    AppSettings& values_;
    CWidgetControlTexts controls_;
    CRasterImage picture_;
    bool written_ = false;
    bool cancelled_ = false;
};

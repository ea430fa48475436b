#include "settings/ui/OptionsDialog.h"

#include "controls/ui/FormLayout.h"
#include "controls/ui/WrappingCheckBox.h"
#include "image/ui/QtPainterSurface.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

// The dialog's size in template units, and where its picture stands in pixels.
constexpr int kWidth = 372;
constexpr int kHeight = 220;
constexpr int kPictureX = 415;
constexpr int kPictureY = 20;

// A check box: control id, text number, running value, object name and its
// template rectangle.
struct CheckRow {
    int id;
    int number;
    int AppSettings::*value;
    const char* name;
    int x, y, w, h;
};
// Top to bottom. The rows beside the picture end before it.
constexpr CheckRow kChecks[] = {
    {1001, 5009, &AppSettings::autoRotate, "autoRotate", 7, 7, 225, 10},
    {1002, 5018, &AppSettings::autoDetectFormat, "autoDetectFormat", 7, 19, 225, 10},
    {1003, 5010, &AppSettings::maskPrintJobName, "maskPrintJobName", 7, 31, 225, 10},
    {1004, 5011, &AppSettings::reloadOnStartup, "reloadOnStartup", 7, 59, 225, 10},
    {1005, 5012, &AppSettings::autoLoad2ndImage, "autoLoad2ndImage", 7, 71, 225, 18},
    {1006, 5015, &AppSettings::showSplash, "showSplash", 7, 107, 355, 10},
    {1007, 5016, &AppSettings::checkForPrintableArea, "checkForPrintableArea", 7, 119, 355, 10},
    {1008, 5017, &AppSettings::batchMode, "batchMode", 7, 131, 355, 10},
    {1009, 5019, &AppSettings::printBorder, "printBorder", 7, 143, 355, 10},
    {1010, 5020, &AppSettings::checkForUpdates, "checkForUpdates", 7, 155, 355, 10},
    {1011, 5021, &AppSettings::useProxy, "useProxy", 22, 168, 70, 10},
    {1012, 5022, &AppSettings::grayScale, "grayScale", 7, 181, 355, 10},
};

struct EditRow {
    std::string AppSettings::*value;
    const char* name;
    int x, y, w, h;
};
constexpr EditRow kEdits[] = {
    {&AppSettings::printJobName, "printJobName", 22, 43, 140, 12},
    {&AppSettings::leftAutoFiles, "leftAutoFiles", 44, 91, 80, 12},
    {&AppSettings::rightAutoFiles, "rightAutoFiles", 156, 91, 80, 12},
    {&AppSettings::proxy, "proxy", 94, 167, 120, 12},
};

// The two labels of the keyword fields.
constexpr int kLeftLabel = 1013;
constexpr int kRightLabel = 1014;

constexpr ControlTextNumber kTexts[] = {
    {1001, 5009}, {1002, 5018}, {1003, 5010}, {1004, 5011}, {1005, 5012}, {kLeftLabel, 5013}, {kRightLabel, 5014},
    {1006, 5015}, {1007, 5016}, {1008, 5017}, {1009, 5019}, {1010, 5020}, {1011, 5021}, {1012, 5022},
};

constexpr int kTitle = 0;
constexpr int kTitleNumber = 5008;

QString English(int number)
{
    return QString::fromStdString(BuiltinEnglishText(number));
}

}  // namespace

COptionsDialog::COptionsDialog(AppSettings& values, QWidget* parent) : QDialog(parent), values_(values)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildControls();
    controls_.Add(kTitle, this);
    CLanguageTable& language = Language();
    language.SetControlTexts(controls_, kTexts);
    language.SetControlText(controls_, kTitle, kTitleNumber);
    picture_.LoadFromResource("IDP_OPTIONS", "PNG_IMAGES", IMAGE_PNG);
    ShowValues();
    UpdateEnabling();
}

COptionsDialog::~COptionsDialog()
{
    // A dialog destroyed while still open hands its values back too.
    WriteBack();
}

void COptionsDialog::BuildControls()
{
    const CFormLayout layout(CFormLayout::TemplateFont());
    setFont(layout.Font());
    setFixedSize(layout.MapSize(kWidth, kHeight));

    for (const CheckRow& row : kChecks) {
        auto* box = new CWrappingCheckBox(English(row.number), this);
        box->setObjectName(QLatin1String(row.name));
        layout.Place(box, row.x, row.y, row.w, row.h);
        controls_.Add(row.id, box);
    }
    for (const EditRow& row : kEdits) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(row.name));
        layout.Place(edit, row.x, row.y, row.w, row.h);
    }
    const struct {
        int id, number, x;
    } labels[] = {{kLeftLabel, 5013, 22}, {kRightLabel, 5014, 130}};
    for (const auto& l : labels) {
        auto* label = new QLabel(English(l.number), this);
        layout.Place(label, l.x, 93, 24, 8);
        controls_.Add(l.id, label);
    }
    // A small angle before each indented control: it belongs to the option above.
    for (int top : {41, 165}) {
        auto* down = new QFrame(this);
        down->setFrameShape(QFrame::VLine);
        down->setFrameShadow(QFrame::Sunken);
        layout.Place(down, 11, top, 2, 8);
        auto* across = new QFrame(this);
        across->setFrameShape(QFrame::HLine);
        across->setFrameShadow(QFrame::Sunken);
        layout.Place(across, 12, top + 7, 8, 2);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    layout.Place(ok, kWidth - 57, kHeight - 21, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    for (const char* name : {"maskPrintJobName", "checkForUpdates", "useProxy"})
        connect(CheckBox(name), &QAbstractButton::toggled, this, &COptionsDialog::UpdateEnabling);
}

QAbstractButton* COptionsDialog::CheckBox(const char* name) const
{
    return findChild<QAbstractButton*>(QLatin1String(name));
}

QLineEdit* COptionsDialog::Edit(const char* name) const
{
    return findChild<QLineEdit*>(QLatin1String(name));
}

void COptionsDialog::ShowValues()
{
    for (const CheckRow& row : kChecks)
        CheckBox(row.name)->setChecked(values_.*row.value == 1);
    for (const EditRow& row : kEdits)
        Edit(row.name)->setText(QString::fromStdString(values_.*row.value));
}

void COptionsDialog::UpdateEnabling()
{
    Edit("printJobName")->setEnabled(CheckBox("maskPrintJobName")->isChecked());
    const bool updates = CheckBox("checkForUpdates")->isChecked();
    CheckBox("useProxy")->setEnabled(updates);
    Edit("proxy")->setEnabled(updates && CheckBox("useProxy")->isChecked());
}

void COptionsDialog::WriteBack()
{
    if (written_)
        return;
    written_ = true;
    for (const CheckRow& row : kChecks)
        values_.*row.value = CheckBox(row.name)->isChecked() ? 1 : 0;
    for (const EditRow& row : kEdits)
        values_.*row.value = Edit(row.name)->text().toStdString();
    SplitAutoFileKeywords(values_);
}

void COptionsDialog::done(int result)
{
    WriteBack();
    QDialog::done(result);
}

void COptionsDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (!picture_.IsValid())
        return;
    QPainter p(this);
    CQtPainterSurface pixels(p, width(), height());
    CDrawContext surface(pixels);
    picture_.Draw(&surface, kPictureX, kPictureY);
}

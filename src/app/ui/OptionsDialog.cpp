#include "app/ui/OptionsDialog.h"

#include "controls/ui/FormLayout.h"
#include "controls/ui/WrappingCheckBox.h"
#include "image/ui/QtPainterSurface.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>

namespace {

// The dialog's size in template units (its least size: a wordy language
// makes it taller), and where its picture stands in pixels.
constexpr int kWidth = 372;
constexpr int kHeight = 220;
constexpr int kPictureX = 415;
constexpr int kPictureY = 20;
constexpr int kPictureSize = 128;

// A check box: control id, text number, running value and object name.
struct CheckRow {
    int id;
    int number;
    int AppSettings::*value;
    const char* name;
};
constexpr CheckRow kChecks[] = {
    {1001, 5009, &AppSettings::autoRotate, "autoRotate"},
    {1002, 5018, &AppSettings::autoDetectFormat, "autoDetectFormat"},
    {1003, 5010, &AppSettings::maskPrintJobName, "maskPrintJobName"},
    {1004, 5011, &AppSettings::reloadOnStartup, "reloadOnStartup"},
    {1005, 5012, &AppSettings::autoLoad2ndImage, "autoLoad2ndImage"},
    {1006, 5015, &AppSettings::showSplash, "showSplash"},
    {1007, 5016, &AppSettings::checkForPrintableArea, "checkForPrintableArea"},
    {1008, 5017, &AppSettings::batchMode, "batchMode"},
    {1009, 5019, &AppSettings::printBorder, "printBorder"},
    {1010, 5020, &AppSettings::checkForUpdates, "checkForUpdates"},
    {1011, 5021, &AppSettings::useProxy, "useProxy"},
    {1012, 5022, &AppSettings::grayScale, "grayScale"},
};

struct EditRow {
    std::string AppSettings::*value;
    const char* name;
};
constexpr EditRow kEdits[] = {
    {&AppSettings::printJobName, "printJobName"},
    {&AppSettings::leftAutoFiles, "leftAutoFiles"},
    {&AppSettings::rightAutoFiles, "rightAutoFiles"},
    {&AppSettings::proxy, "proxy"},
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

const CheckRow& Check(const char* name)
{
    for (const CheckRow& row : kChecks)
        if (std::string_view(row.name) == name)
            return row;
    return kChecks[0];
}

// A small angle before an indented control: it belongs to the option above.
QWidget* Angle(const CFormLayout& units, QWidget* parent)
{
    auto* angle = new QWidget(parent);
    angle->setFixedSize(units.X(15), units.Y(10));
    auto* down = new QFrame(angle);
    down->setFrameShape(QFrame::VLine);
    down->setFrameShadow(QFrame::Sunken);
    down->setGeometry(units.X(4), 0, units.X(2), units.Y(8));
    auto* across = new QFrame(angle);
    across->setFrameShape(QFrame::HLine);
    across->setFrameShadow(QFrame::Sunken);
    across->setGeometry(units.X(5), units.Y(7), units.X(8), units.Y(2));
    return angle;
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
    FitToTexts();
    picture_.LoadFromResource("IDP_OPTIONS", "PNG_IMAGES", IMAGE_PNG);
    ShowValues();
    UpdateEnabling();
}

COptionsDialog::~COptionsDialog()
{
    // A dialog destroyed while still open hands its values back too.
    if (!cancelled_)
        WriteBack();
}

// The controls stand in layouts, created in the order they are read, so that
// every caption gets the lines its language needs and Tab follows the page.
void COptionsDialog::BuildControls()
{
    const CFormLayout units(CFormLayout::TemplateFont());
    setFont(units.Font());
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(units.X(7), units.Y(7), units.X(7), units.Y(7));
    page->setSpacing(units.Y(2));

    auto check = [&](const char* name) {
        const CheckRow& row = Check(name);
        auto* box = new CWrappingCheckBox(English(row.number), this);
        box->setObjectName(QLatin1String(row.name));
        controls_.Add(row.id, box);
        return box;
    };
    auto edit = [&](const char* name, int templateWidth) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QLatin1String(name));
        field->setMinimumWidth(units.X(templateWidth));
        return field;
    };
    auto indented = [&] {
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(Angle(units, this), 0, Qt::AlignTop);
        return row;
    };

    // The rows beside the picture end before it; the rows below it run on.
    auto* upper = new QVBoxLayout;
    upper->setSpacing(page->spacing());
    upper->addWidget(check("autoRotate"));
    upper->addWidget(check("autoDetectFormat"));
    upper->addWidget(check("maskPrintJobName"));
    QHBoxLayout* jobRow = indented();
    jobRow->addWidget(edit("printJobName", 140));
    jobRow->addStretch(1);
    upper->addLayout(jobRow);
    upper->addWidget(check("reloadOnStartup"));
    upper->addWidget(check("autoLoad2ndImage"));
    auto* keywords = new QHBoxLayout;
    keywords->addSpacing(units.X(15));
    const struct { int id, number; const char* field; } labels[] = {
        {kLeftLabel, 5013, "leftAutoFiles"}, {kRightLabel, 5014, "rightAutoFiles"}};
    for (const auto& l : labels) {
        auto* label = new QLabel(English(l.number), this);
        controls_.Add(l.id, label);
        QLineEdit* field = edit(l.field, 60);
        label->setBuddy(field);
        keywords->addWidget(label);
        keywords->addWidget(field, 1);
    }
    upper->addLayout(keywords);
    upper->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addLayout(upper, 1);
    const int dialogWidth = units.MapSize(kWidth, kHeight).width();
    const int gap = units.X(4);
    top->addSpacerItem(new QSpacerItem(dialogWidth - page->contentsMargins().right() - kPictureX + gap,
                                       kPictureY + kPictureSize + gap - page->contentsMargins().top(),
                                       QSizePolicy::Fixed, QSizePolicy::Fixed));
    page->addLayout(top);

    for (const char* name : {"showSplash", "checkForPrintableArea", "batchMode", "printBorder", "checkForUpdates"})
        page->addWidget(check(name));
    QHBoxLayout* proxyRow = indented();
    QCheckBox* useProxy = check("useProxy");
    useProxy->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    proxyRow->addWidget(useProxy);
    proxyRow->addSpacing(units.X(2));
    proxyRow->addWidget(edit("proxy", 120));
    proxyRow->addStretch(1);
    page->addLayout(proxyRow);
    page->addWidget(check("grayScale"));
    page->addStretch(1);

    // OK and Escape hand the values back; Cancel leaves them as they were.
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancel"));
    for (QPushButton* b : {ok, cancel})
        b->setMinimumSize(units.X(50), units.Y(14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        reject();
    });
    page->addWidget(buttons);

    for (const char* name : {"maskPrintJobName", "checkForUpdates", "useProxy"})
        connect(CheckBox(name), &QAbstractButton::toggled, this, &COptionsDialog::UpdateEnabling);
}

void COptionsDialog::FitToTexts()
{
    const CFormLayout units(CFormLayout::TemplateFont());
    const QSize least = units.MapSize(kWidth, kHeight);
    layout()->activate();
    const int height = std::max(least.height(), layout()->totalHeightForWidth(least.width()));
    setFixedSize(least.width(), height);
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
    if (!cancelled_)
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

#include "print/ui/BatchPrintingDialog.h"

#include "controls/ui/FormLayout.h"
#include "formats/CoverFormatList.h"
#include "settings/LanguageTable.h"
#include "settings/ui/WidgetControlTexts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int kTitleText = 6000;
constexpr int kMessageText = 6001;
constexpr ControlTextNumber kControlTexts[] = {
    {CBatchPrintingDialog::kAutoDetectId, 6002},
    {CBatchPrintingDialog::kForceFormatId, 6003},
    {1, 6004},  // Print
    {2, 6005},  // Cancel
};

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

CBatchPrintingDialog::CBatchPrintingDialog(int count, int proposedFormat, const CoverFormatList& formats,
                                           QWidget* parent)
    : QDialog(parent), count_(count), format_(proposedFormat) {
    const CFormLayout layout;
    setFont(layout.Font());
    setFixedSize(layout.MapSize(212, 81));

    message_ = new QLabel(this);
    layout.Place(message_, 10, 7, 193, 8);
    autoDetect_ = new QRadioButton(QStringLiteral("Auto detect the format of every single file."), this);
    layout.Place(autoDetect_, 9, 23, 196, 10);
    forceFormat_ = new QRadioButton(QStringLiteral("Force format:"), this);
    layout.Place(forceFormat_, 9, 36, 69, 10);
    combo_ = new QComboBox(this);
    layout.Place(combo_, 81, 35, 125, 12);  // a drop-down list: its edit part's height
    print_ = new QPushButton(QStringLiteral("Print"), this);
    layout.Place(print_, 101, 62, 50, 14);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    layout.Place(cancel_, 157, 62, 50, 14);
    print_->setDefault(true);

    auto* group = new QButtonGroup(this);
    group->addButton(autoDetect_, 0);
    group->addButton(forceFormat_, 1);

    for (int i = 0; i < formats.count(); ++i)
        combo_->addItem(Utf8(formats.name(i)));

    // Title and captions in the current language.
    CWidgetControlTexts texts;
    texts.Add(0, this);
    texts.Add(kAutoDetectId, autoDetect_);
    texts.Add(kForceFormatId, forceFormat_);
    texts.Add(1, print_);
    texts.Add(2, cancel_);
    setWindowTitle(QStringLiteral("Batch Printing"));
    Language().SetControlText(texts, 0, kTitleText);
    Language().SetControlTexts(texts, kControlTexts);
    message_->setText(Message());

    if (proposedFormat < 0 || proposedFormat >= formats.count()) {
        format_ = -1;
        autoDetect_->setChecked(true);
        combo_->setCurrentIndex(-1);
    } else {
        forceFormat_->setChecked(true);
        combo_->setCurrentIndex(proposedFormat);
    }
    UpdateComboEnabled();

    connect(group, &QButtonGroup::idClicked, this, [this] { UpdateComboEnabled(); });
    connect(combo_, &QComboBox::activated, this, [this](int index) { format_ = index; });
    connect(print_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

CBatchPrintingDialog::~CBatchPrintingDialog() = default;

QString CBatchPrintingDialog::Message() const {
    QString text = Utf8(Language().GetText(kMessageText));
    return text.replace(QStringLiteral("%d"), QString::number(count_));
}

int CBatchPrintingDialog::Choice() const { return forceFormat_->isChecked() ? 1 : 0; }

int CBatchPrintingDialog::Result() const {
    if (Choice() == 0)
        return -1;
    return combo_->currentIndex() >= 0 ? combo_->currentIndex() : -1;
}

void CBatchPrintingDialog::UpdateComboEnabled() { combo_->setEnabled(forceFormat_->isChecked()); }

#include "app/ui/AboutDialog.h"

#include "controls/ui/LinkLabel.h"
#include "image/ui/QtPainterSurface.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/WebLinks.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStringList>

namespace {

constexpr int kAboutTextNumber = 3029;  // "&About Korvane..."
constexpr int kPictureX = 390;
constexpr int kPictureY = -15;

const QColor kLinkBlue(0, 0, 255);
const QColor kHoverOrange(255, 165, 0);

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromStdString(Language().GetText(kAboutTextNumber, true)));
    setFont(layout_.Font());
    setFixedSize(layout_.MapSize(kTemplateWidth, kTemplateHeight));
    picture_.LoadFromResource("IDP_PHOTOSVIDEOS", "PNG_IMAGES", IMAGE_PNG);

    AddText(QStringLiteral("Version:"), 10, 10, 34, 8);
    version_ = AddText(QStringLiteral("V") + QString::fromLatin1(kVersionText), 48, 10, 120, 8);
    AddText(QStringLiteral("Build:"), 10, 21, 34, 8);
    build_ = AddText(BuildStamp(__DATE__, __TIME__), 48, 21, 160, 8);
    QLabel* bugs = AddText(
        QStringLiteral("Send your bugs, compliments or just a friendly word to the email address below."), 10, 40, 215,
        17);
    bugs->setWordWrap(true);
    AddText(QStringLiteral("Contact:"), 10, 61, 34, 8);
    contact_ = AddLink(ContactAddress(), ContactMailAddress(), 48, 61, 200, 8);
    AddText(QStringLiteral("Web:"), 10, 73, 34, 8);
    web_ = AddLink(HomePageAddress(), HomePageAddress(), 48, 73, 200, 8);
    AddText(QStringLiteral("Thank you for using Korvane and have fun,"), 10, 95, 240, 8);
    AddText(QStringLiteral("The Korvane developers"), 10, 106, 240, 8);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    layout_.Place(ok, 179, 124, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel* CAboutDlg::AddText(const QString& text, int x, int y, int cx, int cy)
{
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout_.Place(label, x, y, cx, cy);
    return label;
}

CLinkLabel* CAboutDlg::AddLink(const QString& address, const QString& shown, int x, int y, int cx, int cy)
{
    auto* link = new CLinkLabel(shown, this);
    link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout_.Place(link, x, y, cx, cy);
    QFont bold = CFormLayout::TemplateFont();
    bold.setWeight(QFont::Bold);
    link->SetLinkFont(bold);
    link->SetLinkColour(kLinkBlue);
    link->SetVisitedColour(kLinkBlue);
    link->SetHoverColour(kHoverOrange);
    link->SetFitToText(true);
    link->SetAddress(address);
    link->Attach();
    return link;
}

QString CAboutDlg::VersionText() const
{
    return version_->text();
}

QString CAboutDlg::BuildText() const
{
    return build_->text();
}

QString CAboutDlg::BuildStamp(const char* date, const char* time)
{
    // The compiler pads a one-digit day with a blank: "Dec  8 2026".
    const QStringList parts = QString::fromLatin1(date).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char(' ')) + QStringLiteral(" - ") + QString::fromLatin1(time);
}

void CAboutDlg::paintEvent(QPaintEvent*)
{
    QImage buffer(size(), QImage::Format_RGB32);
    buffer.fill(palette().color(QPalette::Window));
    {
        QPainter p(&buffer);
        CQtPainterSurface pixels(p, width(), height());
        CDrawContext surface(pixels);
        picture_.Draw(&surface, kPictureX, kPictureY);
    }
    QPainter(this).drawImage(0, 0, buffer);
}

#include "controls/ui/LinkLabel.h"

#include "controls/ui/OpenAddress.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMessageBox>
#include <QMouseEvent>

CLinkLabel::CLinkLabel(QWidget* parent) : QLabel(parent)
{
    Init();
}

CLinkLabel::CLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    Init();
}

void CLinkLabel::Init()
{
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(false);  // the parent shows through
    normalFont_ = font();
    underlinedFont_ = normalFont_;
    underlinedFont_.setUnderline(true);
    hoverTimer_.setInterval(kHoverWatchMs);
    connect(&hoverTimer_, &QTimer::timeout, this, &CLinkLabel::WatchMouse);
    ApplyLook();
}

void CLinkLabel::SetAddress(const QString& address)
{
    address_ = address;
    setToolTip(address_);
}

void CLinkLabel::SetLinkColour(const QColor& colour)
{
    link_ = colour;
    ApplyLook();
}

void CLinkLabel::SetVisitedColour(const QColor& colour)
{
    visitedColour_ = colour;
    ApplyLook();
}

void CLinkLabel::SetHoverColour(const QColor& colour)
{
    hover_ = colour.isValid() ? colour : palette().color(QPalette::Highlight);
    ApplyLook();
}

void CLinkLabel::SetUnderline(int mode)
{
    underline_ = mode;
    ApplyLook();
}

void CLinkLabel::SetFitToText(bool fit)
{
    fitToText_ = fit;
    if (fitToText_)
        FitToText();
}

void CLinkLabel::SetLinkFont(const QFont& font)
{
    linkFontSet_ = true;
    normalFont_ = font;
    underlinedFont_ = font;
    underlinedFont_.setUnderline(true);
    ApplyLook();
    if (fitToText_)
        FitToText();
}

void CLinkLabel::Attach()
{
    if (!linkFontSet_) {
        // The font the control has been given since it was made.
        normalFont_ = font();
        normalFont_.setUnderline(false);
        underlinedFont_ = normalFont_;
        underlinedFont_.setUnderline(true);
    }
    if (address_.isEmpty())
        SetAddress(text());
    if (text().isEmpty())
        setText(address_);
    setToolTip(address_);
    if (fitToText_)
        FitToText();
    SetUnderline(kUnderlineWhileHovering);
}

QColor CLinkLabel::CurrentColour() const
{
    if (hovering_)
        return hover_;
    return visited_ ? visitedColour_ : link_;
}

void CLinkLabel::ApplyLook()
{
    const bool underlined = underline_ == kUnderlineAlways || (hovering_ && underline_ == kUnderlineWhileHovering);
    setFont(underlined ? underlinedFont_ : normalFont_);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, CurrentColour());
    setPalette(p);
    update();
}

// The control takes its text's size, keeping the edge or centre its
// alignment holds on to.
void CLinkLabel::FitToText()
{
    const QSize text = QFontMetrics(normalFont_).size(Qt::TextSingleLine, QLabel::text());
    const QRect old = geometry();
    QRect r(old.topLeft(), text);
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter)
        r.moveTop(old.top() + (old.height() - text.height()) / 2);
    if (align & Qt::AlignHCenter)
        r.moveLeft(old.left() + (old.width() - text.width()) / 2);
    else if (align & Qt::AlignRight)
        r.moveRight(old.right());
    setGeometry(r);
}

void CLinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (!hovering_) {
        hovering_ = true;
        ApplyLook();
        hoverTimer_.start();
    }
    QLabel::mouseMoveEvent(event);
}

void CLinkLabel::leaveEvent(QEvent* event)
{
    WatchMouse();
    QLabel::leaveEvent(event);
}

void CLinkLabel::WatchMouse()
{
    if (hovering_ && !rect().contains(mapFromGlobal(QCursor::pos())))
        EndHover();
}

void CLinkLabel::EndHover()
{
    hovering_ = false;
    hoverTimer_.stop();
    ApplyLook();
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    EndHover();
    const int result = OpenAddress(address_);
    if (result > 32) {
        visited_ = true;
        ApplyLook();
        emit Opened();
        return;
    }
    QApplication::beep();
    QMessageBox::warning(this, QStringLiteral("Korvane"),
                         QStringLiteral("Unable to open hyperlink:\n\n") + ErrorText(result), QMessageBox::Ok);
}

QString CLinkLabel::ErrorText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral(
            "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

#pragma once
// CLinkLabel: a static text that opens its address when clicked, drawn in
// the link colour, the hover colour while the mouse is over it (underlined,
// by default) and the visited colour once opened; hand cursor, the address
// as tooltip. A failed open beeps and says why, and the link stays unvisited.
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QTimer>

class CLinkLabel : public QLabel {
    Q_OBJECT
public:
    // Underline modes.
    static constexpr int kUnderlineWhileHovering = -1;
    static constexpr int kUnderlineNever = 0;
    static constexpr int kUnderlineAlways = 1;
    // How often the mouse is looked for while hovering.
    static constexpr int kHoverWatchMs = 100;

    explicit CLinkLabel(QWidget* parent = nullptr);
    CLinkLabel(const QString& text, QWidget* parent = nullptr);

    void SetAddress(const QString& address);
    const QString& Address() const { return address_; }
    void SetLinkColour(const QColor& colour);
    void SetVisitedColour(const QColor& colour);
    // An invalid colour stands for the system colour of highlighted items.
    void SetHoverColour(const QColor& colour);
    void SetUnderline(int mode);
    void SetFitToText(bool fit);
    // The normal font (else the control's own font when attached); the hover
    // font is the same, underlined.
    void SetLinkFont(const QFont& font);

    // Once the text, address, font and place are set: the address from the
    // text or the text from the address, the size fitted to the text, the
    // tooltip, and underlining while hovering.
    void Attach();

    bool IsVisited() const { return visited_; }
    bool IsHovering() const { return hovering_; }
    // The colour the text is drawn in now.
    QColor CurrentColour() const;

    // The text after "Unable to open hyperlink:\n\n" for an open's error code.
    static QString ErrorText(int code);

signals:
    // The address was opened.
    void Opened();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Init();
    void FitToText();
    void WatchMouse();
    void EndHover();
    void ApplyLook();

    QString address_;
    QColor link_{0, 0, 238};
    QColor visitedColour_{85, 26, 139};
    QColor hover_{255, 0, 0};
    bool hovering_ = false;
    bool visited_ = false;
    int underline_ = kUnderlineWhileHovering;
    bool fitToText_ = true;
    bool linkFontSet_ = false;
    QFont normalFont_;
    QFont underlinedFont_;
    QTimer hoverTimer_;
};

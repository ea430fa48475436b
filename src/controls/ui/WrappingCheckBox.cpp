#include "controls/ui/WrappingCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

CWrappingCheckBox::CWrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int CWrappingCheckBox::TextLeft() const
{
    return IndicatorRect().right() + 1 + style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

int CWrappingCheckBox::heightForWidth(int width) const
{
    const QRect room(0, 0, std::max(1, width - TextLeft()), 100000);
    const int lines = fontMetrics().boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text()).height();
    return std::max({lines, IndicatorRect().bottom() + 1, fontMetrics().height()});
}

QSize CWrappingCheckBox::sizeHint() const
{
    const int width = TextLeft() + fontMetrics().horizontalAdvance(text()) + 1;
    return QSize(width, heightForWidth(width));
}

QSize CWrappingCheckBox::minimumSizeHint() const
{
    // Room for the box and a short word; the layout asks for the height.
    const int width = TextLeft() + fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM"));
    return QSize(width, heightForWidth(width));
}

QRect CWrappingCheckBox::IndicatorRect() const
{
    const int w = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int h = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    const int line = fontMetrics().height();
    return QRect(0, std::max(0, (line - h) / 2), w, h);
}

void CWrappingCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    option.rect = IndicatorRect();
    p.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);

    const QRect textRect = rect().adjusted(TextLeft(), 0, 0, 0);
    p.drawItemText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, palette(), isEnabled(), caption,
                   QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = p.boundingRect(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool CWrappingCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

#include "controls/ui/WrappingCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

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

    const int gap = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
    const QRect textRect = rect().adjusted(option.rect.right() + 1 + gap, 0, 0, 0);
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

#pragma once
// Captions a window cuts off: a label, button, check box, radio button,
// group title or list entry wider than its room, and wrapping text that
// needs more lines than its control has. Only what is shown is checked;
// `entries` false leaves the entries of drop-down lists out.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>

inline QStringList CutCaptions(const QWidget* root, bool entries = true)
{
    QStringList cut;
    auto report = [&cut](const QWidget* w, const QString& text, int need, int room, const char* what) {
        cut << QStringLiteral("%1 \"%2\" (%3 > %4 px, %5)")
                   .arg(w->objectName(), text)
                   .arg(need)
                   .arg(room)
                   .arg(QLatin1String(what));
    };
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->width() <= 0)
            continue;
        const QStyle* style = w->style();
        QString text;
        int room = 0;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text()))
                continue;
            text = label->text();
            if (label->wordWrap()) {
                const int need = label->heightForWidth(label->contentsRect().width());
                if (!text.isEmpty() && need > label->contentsRect().height())
                    report(w, text, need, label->contentsRect().height(), "lines");
                continue;
            }
            room = label->contentsRect().width();
        } else if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            text = box->text();
            if (box->hasHeightForWidth()) {
                // A wrapping caption: every line it needs must be there.
                const int need = box->heightForWidth(box->width());
                if (!text.isEmpty() && need > box->height())
                    report(w, text, need, box->height(), "lines");
                continue;
            }
            room = box->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
                   style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        } else if (const auto* radio = qobject_cast<const QRadioButton*>(w)) {
            text = radio->text();
            room = radio->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) -
                   style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
        } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            text = button->text();
            room = button->width() - 2;
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            text = group->title();
            room = group->width() - 2 * style->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, w);
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            if (combo->isEditable() || !entries)
                continue;
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const int field =
                style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
            for (int k = 0; k < combo->count(); ++k) {
                const int need = combo->fontMetrics().horizontalAdvance(combo->itemText(k));
                if (need > field)
                    report(w, combo->itemText(k), need, field, "list entry");
            }
            continue;
        }
        text.remove(QLatin1Char('&'));
        const int need = w->fontMetrics().horizontalAdvance(text);
        if (!text.isEmpty() && need > room)
            report(w, text, need, room, "width");
    }
    return cut;
}

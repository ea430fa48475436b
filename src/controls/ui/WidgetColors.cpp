#include "controls/ui/WidgetColors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPalette>
#include <QWidget>

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

void ApplyControlColors(QWidget* widget, const ControlColors& colors)
{
    QPalette palette = QApplication::palette(widget);
    if (colors.text) {
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, ToQColor(*colors.text));
    }
    if (colors.textBackground) {
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button})
            palette.setColor(role, ToQColor(*colors.textBackground));
    }
    if (colors.brush)
        palette.setColor(QPalette::Window, ToQColor(*colors.brush));
    widget->setAutoFillBackground(colors.brush.has_value());
    widget->setPalette(palette);
    // A combo box's list is a window of its own and keeps its own palette.
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->view()->setPalette(palette);
}

#include "settings/ui/WidgetControlTexts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

void CWidgetControlTexts::Add(int controlId, QWidget* control)
{
    controls_[controlId] = control;
}

QWidget* CWidgetControlTexts::Control(int controlId) const
{
    auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : it->second.data();
}

std::string WidgetCaption(const QWidget* w)
{
    if (!w)
        return {};
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text().toStdString();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text().toStdString();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title().toStdString();
    return w->windowTitle().toStdString();
}

void SetWidgetCaption(QWidget* w, const QString& text)
{
    if (!w)
        return;
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else
        w->setWindowTitle(text);
}

std::string CWidgetControlTexts::ControlText(int controlId) const
{
    return WidgetCaption(Control(controlId));
}

void CWidgetControlTexts::SetControlText(int controlId, const std::string& text)
{
    SetWidgetCaption(Control(controlId), QString::fromStdString(text));
}

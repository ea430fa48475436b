#pragma once
// The language table's view of a window's controls: captions by control id
// over labels, buttons, check boxes, group boxes and the window title (id 0).
#include "settings/LanguageTable.h"

#include <QPointer>
#include <QWidget>

#include <map>

class CWidgetControlTexts : public IControlTexts {
public:
    void Add(int controlId, QWidget* control);
    QWidget* Control(int controlId) const;

    std::string ControlText(int controlId) const override;
    void SetControlText(int controlId, const std::string& text) override;

private:
    std::map<int, QPointer<QWidget>> controls_;
};

// The caption of a label, button, group box or window as UTF-8.
std::string WidgetCaption(const QWidget* w);
void SetWidgetCaption(QWidget* w, const QString& text);

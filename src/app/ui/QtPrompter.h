#pragma once
// The document's and the print core's message boxes, shown as Qt message
// boxes over the main window with the current language's texts.
#include "settings/Prompter.h"
#include "formats/FormatsReporter.h"

#include <QPointer>
#include <QWidget>

class CQtPrompter : public IPrompter {
public:
    explicit CQtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Information(int textNumber) override;
    bool AskYesNo(int textNumber) override;
    void Error(const std::string& text) override;
    void Warning(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};

// The formats reader's messages as error boxes (text 4000 for a bad line),
// at most ten bad lines per read and one box that counts the rest.
class CQtFormatsReporter : public CBoxLimitFormatsReporter {
public:
    explicit CQtFormatsReporter(QWidget* parent = nullptr) : parent_(parent) {}

protected:
    void show(const FormatsMessage& message) override;

private:
    QPointer<QWidget> parent_;
};

// The title of the program's message boxes.
QString MessageBoxTitle();

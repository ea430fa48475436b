#pragma once
// The format editor's cut-marker list: one item per line and rectangle of a
// format, added and changed through the line and rectangle dialogs.
#include "formats/CoverFormat.h"

#include <functional>

class CoverFormatList;
class QListWidget;
class QWidget;

class CFormatMarkerList final {
public:
    // Item data: line j is j, rectangle j is kRectData + j.
    static constexpr int kRectData = 1000;
    // Runs the line or rectangle dialog for a new or edited marker; returns
    // false for Cancel.
    using LineEditor = std::function<bool(CutLine&, bool inches, QWidget* parent)>;
    using RectEditor = std::function<bool(CutRect&, bool inches, QWidget* parent)>;

    // The editors are the line and rectangle dialogs until SetEditors.
    explicit CFormatMarkerList(CoverFormatList& formats);

    // The list widget the dialog built.
    void SetList(QListWidget* list) { list_ = list; }
    void SetEditors(LineEditor line, RectEditor rect);

    // Lists the markers of format `i` (none for -1), keeping the current
    // row, or the one before when the last went.
    void Show(int i, bool inches);
    bool HasCurrent() const;
    // Each changes format `i` through its dialog over `parent`; false when
    // nothing changed (Cancel, no format, no marker chosen).
    bool AddLine(int i, bool inches, QWidget* parent);
    bool AddRect(int i, bool inches, QWidget* parent);
    bool EditCurrent(int i, bool inches, QWidget* parent);
    bool DeleteCurrent(int i);

private:
    CoverFormatList& formats_;
    QListWidget* list_ = nullptr;
    LineEditor lineEditor_;
    RectEditor rectEditor_;
};

#pragma once
// Dragging a picture from one paper onto the other. Watches both papers: a
// left press and a move past the drag distance on a paper that shows a
// picture starts a drag of its slot, carried under a type of this program's
// own; the other paper takes it on the drop, as a move, or as a copy with
// Ctrl held. Drags of anything else (files, pictures, addresses from other
// programs) pass on to the paper's own drop handling untouched.
#include "app/ViewState.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QMimeData;
class QWidget;

class CSlotDrag : public QObject {
    Q_OBJECT
public:
    // The type of the drag's data.
    static constexpr const char* kMimeType = "application/x-korvane-slot";

    explicit CSlotDrag(QObject* parent = nullptr);

    // Makes `paper` a source and a target for `slot`; `loaded` says whether
    // the slot holds a picture now.
    void AddPaper(QWidget* paper, Slot slot, std::function<bool()> loaded);

    // The data a drag of `slot` carries: the slot, and this process, so that
    // a drag from another running Korvane is not taken for one of ours.
    static QMimeData* MakeData(Slot slot);
    // The slot a drag's data names, when it is one of this process's drags.
    static std::optional<Slot> SlotOf(const QMimeData* data);

signals:
    // A drag leaves a paper, with the data it carries (before the drag runs).
    void DragStarted(Slot from, const QMimeData* data);
    // A picture was dropped on the other paper.
    void Dropped(Slot from, Slot to, bool copy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Paper {
        QWidget* widget;
        Slot slot;
        std::function<bool()> loaded;
    };
    const Paper* PaperOf(QObject* widget) const;
    void StartDrag(const Paper& paper);

    std::vector<Paper> papers_;
    QPointer<QWidget> pressed_;  // the paper a left press began on
    QPoint pressPos_;
    bool dragged_ = false;       // a drag ran since that press
};

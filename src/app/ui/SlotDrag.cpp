#include "app/ui/SlotDrag.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>

namespace {

QByteArray Payload(Slot slot)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + (slot == Slot::Left ? ":left" : ":right");
}

}  // namespace

CSlotDrag::CSlotDrag(QObject* parent) : QObject(parent) {}

void CSlotDrag::AddPaper(QWidget* paper, Slot slot, std::function<bool()> loaded)
{
    papers_.push_back({paper, slot, std::move(loaded)});
    paper->setAcceptDrops(true);
    paper->installEventFilter(this);
}

QMimeData* CSlotDrag::MakeData(Slot slot)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), Payload(slot));
    return data;
}

std::optional<Slot> CSlotDrag::SlotOf(const QMimeData* data)
{
    if (!data || !data->hasFormat(QString::fromLatin1(kMimeType)))
        return std::nullopt;
    const QByteArray payload = data->data(QString::fromLatin1(kMimeType));
    if (payload == Payload(Slot::Left))
        return Slot::Left;
    if (payload == Payload(Slot::Right))
        return Slot::Right;
    return std::nullopt;
}

const CSlotDrag::Paper* CSlotDrag::PaperOf(QObject* widget) const
{
    for (const Paper& p : papers_) {
        if (p.widget == widget)
            return &p;
    }
    return nullptr;
}

void CSlotDrag::StartDrag(const Paper& paper)
{
    dragged_ = true;
    // The press becomes a drag, not a click that opens the file dialog.
    if (auto* button = qobject_cast<QAbstractButton*>(paper.widget))
        button->setDown(false);
    QDrag* drag = new QDrag(paper.widget);
    QMimeData* data = MakeData(paper.slot);
    drag->setMimeData(data);
    const QPixmap look = paper.widget->grab();
    if (!look.isNull()) {
        drag->setPixmap(look.scaledToHeight(std::max(1, look.height() / 2), Qt::SmoothTransformation));
        drag->setHotSpot(pressPos_ / 2);
    }
    emit DragStarted(paper.slot, data);
    const QPointer<QDrag> running(drag);
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    if (running)
        running->deleteLater();
}

bool CSlotDrag::eventFilter(QObject* watched, QEvent* event)
{
    const Paper* paper = PaperOf(watched);
    if (!paper)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            pressed_ = paper->widget;
            pressPos_ = e->position().toPoint();
            dragged_ = false;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (pressed_ != paper->widget || !(e->buttons() & Qt::LeftButton))
            return false;
        if (dragged_)
            return true;  // the rest of a press that became a drag
        if ((e->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance() ||
            !paper->loaded || !paper->loaded())
            return false;
        StartDrag(*paper);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || pressed_ != paper->widget)
            return false;
        const bool wasDrag = dragged_;
        pressed_ = nullptr;
        dragged_ = false;
        return wasDrag;  // no click after a drag
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        const std::optional<Slot> from = SlotOf(e->mimeData());
        if (!from)
            return false;
        if (*from == paper->slot) {
            e->ignore();
        } else {
            e->setDropAction(e->modifiers().testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
            e->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const std::optional<Slot> from = SlotOf(e->mimeData());
        if (!from)
            return false;
        if (*from == paper->slot) {
            e->ignore();
            return true;
        }
        const bool copy = e->modifiers().testFlag(Qt::ControlModifier);
        e->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
        e->accept();
        emit Dropped(*from, paper->slot, copy);
        return true;
    }
    default:
        return false;
    }
}

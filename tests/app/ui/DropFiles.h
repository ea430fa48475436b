#pragma once
// Drops on a widget as another program does: a drag entering with what it
// carries (files' addresses from a file manager; addresses or picture data
// from a browser), then the drop.
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <QWidget>

inline void DropData(QWidget* target, const QMimeData& data)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
}

inline void Drop(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    DropData(target, data);
}

// A drag's enter, move and drop on the middle of `target`, as the drag loop
// delivers them, with the keyboard's modifiers at that moment; the drop's
// action in `action` when asked. True when the drop was taken.
inline bool DeliverDrop(QWidget* target, const QMimeData& data, Qt::KeyboardModifiers modifiers,
                        Qt::DropAction* action = nullptr)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(target, &drop);
    if (action)
        *action = drop.dropAction();
    return drop.isAccepted();
}

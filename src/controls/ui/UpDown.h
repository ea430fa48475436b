#pragma once
// A pair of small arrow buttons beside an edit field (an up-down control):
// it holds no value of its own, it only reports each step, so the owner can
// step the value it keeps in its model.
#include <QWidget>

class QToolButton;

class CUpDown : public QWidget {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }
    // As a click on an arrow.
    void Step(bool up);

signals:
    void Stepped(bool up);

private:
    QToolButton* up_;
    QToolButton* down_;
};

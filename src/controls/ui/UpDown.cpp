#include "controls/ui/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    b->setFixedWidth(16);
    b->setMinimumHeight(8);
    return b;
}
}  // namespace

CUpDown::CUpDown(QWidget* parent) : QWidget(parent)
{
    up_ = ArrowButton(Qt::UpArrow, this);
    down_ = ArrowButton(Qt::DownArrow, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    connect(up_, &QToolButton::clicked, this, [this] { Step(true); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(false); });
}

void CUpDown::Step(bool up)
{
    if (isEnabled())
        emit Stepped(up);
}

#pragma once
// A check box whose caption wraps onto further lines within the control's
// width, for long captions beside a picture or in wordy languages. The box
// stays beside the first line; a click anywhere on the control toggles it.
#include <QCheckBox>

class CWrappingCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRect IndicatorRect() const;
};

#pragma once
// A check box whose caption wraps onto further lines within the control's
// width, for long captions beside a picture or in wordy languages. The box
// stays beside the first line; a click anywhere on the control toggles it.
#include <QCheckBox>

class CWrappingCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CWrappingCheckBox(const QString& text, QWidget* parent = nullptr);

    // As tall as the caption's lines at the given width, so that a layout
    // gives a wordy language the lines it needs.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRect IndicatorRect() const;
    int TextLeft() const;
};

#pragma once
// A static text that reports clicks (the labels beside the main form's
// check boxes).
#include <QLabel>

class CClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

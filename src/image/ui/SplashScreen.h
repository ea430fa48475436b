#pragma once
// CSplashScreen: the built-in splash picture in a frameless window centred on
// the screen, closed after the display time or by a click.
#include "image/RasterImage.h"

#include <QDialog>

class CSplashScreen final : public QDialog {
    Q_OBJECT
public:
    explicit CSplashScreen(QWidget* parent = nullptr);

    // Shows the window modally for `displayMs` milliseconds (less when the
    // user clicks it); returns when it has closed.
    int ShowModal(int displayMs);
    const CRasterImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CRasterImage picture_;
};

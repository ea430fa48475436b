#pragma once
// CPaperZoomView: a resizable window with one paper's page drawn large by
// the paper drawing itself (DrawPaper), in the screen's device pixels. The
// wheel zooms about the pointer, a drag pans; on a filled picture a drag
// moves the crop. "100%" shows the picture one picture pixel to a screen
// pixel, "Whole Page" the page fitted into the window. It follows the paper
// it was opened from and closes with it, or with Escape.
#include "print/PaperDrawing.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

class CPaper;
class QPushButton;

class CPaperZoomView : public QWidget {
    Q_OBJECT
public:
    // `textOf` gives language texts by number (empty: the English one).
    CPaperZoomView(CPaper* paper, std::function<std::string(int)> textOf, QWidget* parent = nullptr);

    // Device pixels per millimetre of paper, and the paper's top-left corner
    // in the page area, in device pixels.
    double Zoom() const { return zoom_; }
    QPointF PaperOrigin() const { return origin_; }
    // The zoom at which the picture shows at its own pixels.
    double ActualSizeZoom() const;
    void ShowWholePage();
    void ShowActualSize();
    // Zooms by `factor` keeping the page point under `anchor` (logical
    // coordinates of the page area) where it is.
    void ZoomBy(double factor, const QPointF& anchor);

    // The page area as it is painted (device pixels).
    QImage Render() const;
    // The page area's widget, where the mouse acts.
    QWidget* PageArea() const { return area_; }

signals:
    // A drag on a filled picture moved its crop.
    void FillDragged(const PictureFill& fill);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PaperView ShownView() const;
    double Ratio() const;
    SurfaceRect PaperBox() const;  // the page's rectangle in device pixels
    void Limit();
    void PaintArea();

    QPointer<CPaper> paper_;
    QWidget* area_ = nullptr;
    QPushButton* actual_ = nullptr;
    QPushButton* whole_ = nullptr;
    double zoom_ = 1.0;
    QPointF origin_;
    bool wholePage_ = true;  // keeps the page fitted while the window is resized
    // A drag: where it began, what it moves.
    bool dragging_ = false;
    bool dragsCrop_ = false;
    QPointF pressAt_;
    QPointF originAtPress_;
    PictureFill fillAtPress_;
    // The pictures decoded at the zoom's scale, kept while it shows them.
    mutable CScaledPicture decodes_[2];
};

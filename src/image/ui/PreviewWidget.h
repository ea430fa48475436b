#pragma once
// CPreview: a small owner-drawn button showing one picture file scaled to fit,
// keeping its proportions, inside a one-pixel black frame on white. The image
// open dialog shows it and reads the picture's size and depth from it.
#include "image/RasterImage.h"
#include "image/DrawContext.h"

#include <QAbstractButton>

#include <string>

class CPreview : public QAbstractButton {
    Q_OBJECT
public:
    explicit CPreview(QWidget* parent = nullptr);

    // Remembers the path and, when its extension is one a slot accepts, loads
    // the file; a failed load keeps the previous picture. Repaints.
    void SetFile(const std::string& path);
    const std::string& File() const { return path_; }
    // False when there is no valid picture.
    bool GetImageSize(int& width, int& height) const;
    int GetImageBpp() const;
    const CRasterImage& Image() const { return image_; }

    // Where a w x h picture is drawn in a client of clientW x clientH: fitted
    // into the inner rectangle, centred within its size (not shifted by the
    // frame, as the program always drew it).
    static SurfaceRect Placement(int w, int h, int clientW, int clientH);
    // The whole drawing: frame, white inside, the picture.
    void Render(CDrawContext& surface) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CRasterImage image_;
    std::string path_;
};

#include "image/ui/PreviewWidget.h"

#include "image/ui/QtPainterSurface.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

CPreview::CPreview(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPreview::SetFile(const std::string& path)
{
    path_ = path;
    if (!path.empty()) {
        // A name that says no kind leaves it to the file's content.
        const int type = std::max(static_cast<int>(IMAGE_UNKNOWN), ImageTypeFromExtension(path));
        {
            // Only a thumbnail is shown: a large JPEG is decoded at a reduced
            // scale, which takes a fraction of the time and memory.
            const qreal ratio = devicePixelRatioF();
            image_.SetDecodeLimit(std::max(64, static_cast<int>(width() * ratio)),
                                  std::max(64, static_cast<int>(height() * ratio)));
            image_.Load(path, type);
        }
    }
    update();
}

bool CPreview::GetImageSize(int& width, int& height) const
{
    if (!image_.IsValid())
        return false;
    width = image_.GetFileWidth();
    height = image_.GetFileHeight();
    return true;
}

int CPreview::GetImageBpp() const
{
    return image_.GetBpp();
}

SurfaceRect CPreview::Placement(int w, int h, int clientW, int clientH)
{
    const int iw = clientW - 2;
    const int ih = clientH - 2;
    if (w <= 0 || h <= 0)
        return {};
    if (h < w) {
        const int dh = static_cast<int>(static_cast<double>(h) / w * iw);
        const int top = (ih - dh) / 2;
        return {1, top, 1 + iw, top + dh};
    }
    const int dw = static_cast<int>(static_cast<double>(w) / h * ih);
    const int left = (iw - dw) / 2;
    return {left, 1, left + dw, 1 + ih};
}

void CPreview::Render(CDrawContext& surface) const
{
    const int w = surface.Width();
    const int h = surface.Height();
    surface.FillRect({0, 0, w, h}, Rgb{0, 0, 0});
    surface.FillRect({1, 1, w - 1, h - 1}, Rgb{255, 255, 255});
    if (!image_.IsValid())
        return;
    // Placed by the file's size, so that a reduced decode sits exactly where
    // the full picture would.
    const SurfaceRect r = Placement(image_.GetFileWidth(), image_.GetFileHeight(), w, h);
    if (!r.empty())
        image_.Draw(&surface, r.left, r.top, r.width(), r.height());
}

void CPreview::paintEvent(QPaintEvent*)
{
    // Drawn off-screen and copied in one block.
    QImage buffer(size(), QImage::Format_RGB32);
    {
        QPainter p(&buffer);
        CQtPainterSurface pixels(p, width(), height());
        CDrawContext surface(pixels);
        Render(surface);
    }
    QPainter(this).drawImage(0, 0, buffer);
}

#include "print/ui/PaperZoomView.h"

#include "print/ui/PaperWidget.h"
#include "image/ui/QtPainterSurface.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
constexpr Rgb kZoomBackground{60, 60, 60};
// Zoom steps of the wheel, and how far it goes: a whole page at half the
// window, the picture at eight times its pixels (at least 40 px per mm).
constexpr double kWheelStep = 1.25;
constexpr double kMostPixelsPerMm = 400.0;

double FittedMm(const PaperView& v, bool height) {
    const double mm = height ? v.paperHeight : v.paperWidth;
    return std::isfinite(mm) && mm > 0 ? mm : (height ? 297.0 : 210.0);
}
}  // namespace

CPaperZoomView::CPaperZoomView(CPaper* paper, std::function<std::string(int)> textOf, QWidget* parent)
    : QWidget(parent, Qt::Window), paper_(paper)
{
    const auto text = [&](int number, const char* english) {
        const std::string t = textOf ? textOf(number) : std::string();
        return t.empty() ? QString::fromLatin1(english) : QString::fromStdString(t);
    };
    setWindowTitle(text(9784, "Zoomed Paper"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    actual_ = new QPushButton(text(9785, "100%"), this);
    whole_ = new QPushButton(text(9786, "Whole Page"), this);
    for (QPushButton* b : {actual_, whole_}) {
        b->setAutoDefault(false);
        bar->addWidget(b);
    }
    bar->addStretch(1);
    layout->addLayout(bar);
    area_ = new QWidget(this);
    area_->setAttribute(Qt::WA_OpaquePaintEvent);
    area_->setMouseTracking(false);
    area_->setMinimumSize(160, 160);
    area_->setToolTip(text(9787, "Wheel: zoom. Drag: move the page, or the crop of a filled picture."));
    area_->installEventFilter(this);
    layout->addWidget(area_, 1);
    // Escape (and the platform's Close) shuts the view, as in a picture viewer.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
        new QShortcut(keys, this, this, &QWidget::close, Qt::WidgetWithChildrenShortcut);
    connect(actual_, &QPushButton::clicked, this, &CPaperZoomView::ShowActualSize);
    connect(whole_, &QPushButton::clicked, this, &CPaperZoomView::ShowWholePage);
    if (paper_) {
        connect(paper_, &CPaper::ViewChanged, area_, qOverload<>(&QWidget::update));
        connect(paper_, &QObject::destroyed, this, &QWidget::close);
    }
    resize(640, 800);
    ShowWholePage();
}

PaperView CPaperZoomView::ShownView() const
{
    PaperView view = paper_ ? paper_->View() : PaperView{};
    // The page itself: no skin decoration, no placeholder, no frame.
    view.overlay = nullptr;
    view.placeholder = nullptr;
    view.drawBorder = false;
    view.backgroundColor = kZoomBackground;
    return view;
}

double CPaperZoomView::Ratio() const { return std::clamp(area_->devicePixelRatioF(), 1.0, 8.0); }

SurfaceRect CPaperZoomView::PaperBox() const
{
    const PaperView v = ShownView();
    const int w = static_cast<int>(std::lround(FittedMm(v, false) * zoom_));
    const int h = static_cast<int>(std::lround(FittedMm(v, true) * zoom_));
    const int x = static_cast<int>(std::lround(origin_.x())), y = static_cast<int>(std::lround(origin_.y()));
    return SurfaceRect{x, y, x + w, y + h};
}

double CPaperZoomView::ActualSizeZoom() const
{
    const PaperView v = ShownView();
    const PaperCoverBoxes boxes = FirstCoverBoxes(v, static_cast<int>(std::lround(FittedMm(v, false) * zoom_)),
                                                  static_cast<int>(std::lround(FittedMm(v, true) * zoom_)));
    if (!v.firstImage || boxes.picture.picture.width() <= 0)
        return zoom_;
    return zoom_ * v.firstImage->GetFileWidth() / boxes.picture.picture.width();
}

void CPaperZoomView::Limit()
{
    const PaperView v = ShownView();
    const double w = area_->width() * Ratio(), h = area_->height() * Ratio();
    const double whole = std::min(w / FittedMm(v, false), h / FittedMm(v, true));
    zoom_ = std::clamp(zoom_, whole / 2, std::max(whole, kMostPixelsPerMm));
    // A page smaller than the window stays centred; a larger one cannot be
    // pushed out of sight.
    const double pw = FittedMm(v, false) * zoom_, ph = FittedMm(v, true) * zoom_;
    const auto axis = [](double o, double page, double view) {
        return page <= view ? (view - page) / 2 : std::clamp(o, view - page, 0.0);
    };
    origin_ = QPointF(axis(origin_.x(), pw, w), axis(origin_.y(), ph, h));
    area_->update();
}

void CPaperZoomView::ShowWholePage()
{
    wholePage_ = true;
    const PaperView v = ShownView();
    const double w = area_->width() * Ratio(), h = area_->height() * Ratio();
    zoom_ = 0.96 * std::min(w / FittedMm(v, false), h / FittedMm(v, true));
    origin_ = QPointF();
    Limit();
}

void CPaperZoomView::ShowActualSize()
{
    // Centred on the picture's middle.
    const PaperView v = ShownView();
    const SurfaceRect page = PaperBox();
    const PaperCoverBoxes boxes = FirstCoverBoxes(v, page.width(), page.height());
    const double centreX = (boxes.cover.left + boxes.cover.right) / 2.0 / std::max(1e-9, zoom_);
    const double centreY = (boxes.cover.top + boxes.cover.bottom) / 2.0 / std::max(1e-9, zoom_);
    wholePage_ = false;
    zoom_ = ActualSizeZoom();
    const double w = area_->width() * Ratio(), h = area_->height() * Ratio();
    origin_ = QPointF(w / 2 - centreX * zoom_, h / 2 - centreY * zoom_);
    Limit();
}

void CPaperZoomView::ZoomBy(double factor, const QPointF& anchor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    wholePage_ = false;
    const QPointF at = anchor * Ratio();
    const double before = zoom_;
    zoom_ *= factor;
    Limit();
    const double k = zoom_ / before;
    origin_ = at - (at - origin_) * k;
    Limit();
}

QImage CPaperZoomView::Render() const
{
    const int w = std::max(1, static_cast<int>(std::lround(area_->width() * Ratio())));
    const int h = std::max(1, static_cast<int>(std::lround(area_->height() * Ratio())));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(kZoomBackground.r, kZoomBackground.g, kZoomBackground.b));
    QPainter painter(&image);
    CQtPainterSurface pixels(painter, w, h);
    // The page drawn at its zoomed size with its corner at the origin: only
    // the part inside the window is worked out.
    CDrawContext page(pixels, PaperBox());
    // Each picture at the pixels it shows at this zoom, decoded from its
    // file's data where the slot holds it coarser.
    const SurfaceRect box = PaperBox();
    DrawPaper(page, WithPicturesForSize(ShownView(), box.width(), box.height(), decodes_));
    return image;
}

void CPaperZoomView::PaintArea()
{
    QImage image = Render();
    image.setDevicePixelRatio(Ratio());
    QPainter(area_).drawImage(0, 0, image);
}

void CPaperZoomView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (wholePage_)
        ShowWholePage();
    else
        Limit();
}

bool CPaperZoomView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != area_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        PaintArea();
        return true;
    case QEvent::Resize:
        if (wholePage_)
            ShowWholePage();
        else
            Limit();
        return false;
    case QEvent::Wheel: {
        auto* e = static_cast<QWheelEvent*>(event);
        const int steps = e->angleDelta().y() / 120;
        if (steps != 0)
            ZoomBy(std::pow(kWheelStep, steps), e->position());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        dragging_ = true;
        pressAt_ = e->position() * Ratio();
        originAtPress_ = origin_;
        // A press on a filled picture moves its crop; anywhere else the page.
        const PaperView v = ShownView();
        const SurfaceRect page = PaperBox();
        const PaperCoverBoxes boxes = FirstCoverBoxes(v, page.width(), page.height());
        const QPointF inPage = pressAt_ - QPointF(page.left, page.top);
        const SurfaceRect& clip = boxes.picture.clip;
        dragsCrop_ = v.firstFill.fit == CoverFit::Fill && boxes.picture.clipped && inPage.x() >= clip.left &&
                     inPage.x() < clip.right && inPage.y() >= clip.top && inPage.y() < clip.bottom;
        fillAtPress_ = v.firstFill;
        area_->setCursor(dragsCrop_ ? Qt::SizeAllCursor : Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!dragging_)
            return false;
        const QPointF delta = e->position() * Ratio() - pressAt_;
        if (dragsCrop_) {
            const PaperView v = ShownView();
            const SurfaceRect page = PaperBox();
            const PictureBox box = FirstCoverBoxes(v, page.width(), page.height()).picture;
            emit FillDragged(DragCrop(fillAtPress_, static_cast<int>(std::lround(delta.x())),
                                      static_cast<int>(std::lround(delta.y())), box.picture.width(),
                                      box.picture.height(), box.clip.width(), box.clip.height()));
        } else {
            wholePage_ = false;
            origin_ = originAtPress_ + delta;
            Limit();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        dragging_ = false;
        area_->unsetCursor();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

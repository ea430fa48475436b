#include "print/ui/PreviewSurface.h"

#include <QPainter>
#include <QPolygon>

CPreviewSurface::CPreviewSurface(QPainter& painter, CDrawSurface& page) : painter_(painter), page_(page) {}

void CPreviewSurface::SetPen(const Pen& pen) {
    pen_ = pen;
    page_.SetPen(pen);
}

void CPreviewSurface::SetBrush(const Brush& brush) {
    brush_ = brush;
    page_.SetBrush(brush);
}

// A cosmetic pen of the pen's colour and at least one screen pixel; the
// brush, or none.
void CPreviewSurface::UsePen(bool fill) {
    if (pen_.style == PenStyle::Null) {
        painter_.setPen(Qt::NoPen);
    } else {
        QPen pen(QColor(pen_.color.r, pen_.color.g, pen_.color.b), std::max(1, pen_.width));
        pen.setCosmetic(true);
        pen.setStyle(pen_.style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
        painter_.setPen(pen);
    }
    if (fill && !brush_.hollow)
        painter_.setBrush(QColor(brush_.color.r, brush_.color.g, brush_.color.b));
    else
        painter_.setBrush(Qt::NoBrush);
}

void CPreviewSurface::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    UsePen(true);
    painter_.drawRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
}

void CPreviewSurface::Ellipse(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    UsePen(true);
    painter_.drawEllipse(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
}

void CPreviewSurface::Polygon(const std::vector<SurfacePoint>& points) {
    QPolygon polygon;
    for (const SurfacePoint& p : points)
        polygon << QPoint(p.x, p.y);
    UsePen(true);
    painter_.drawPolygon(polygon);
}

void CPreviewSurface::Line(int x1, int y1, int x2, int y2) {
    UsePen(false);
    painter_.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
}

void CPreviewSurface::Polyline(const std::vector<SurfacePoint>& points) {
    QPolygonF line;
    for (const SurfacePoint& p : points)
        line << QPointF(p.x + 0.5, p.y + 0.5);
    UsePen(false);
    painter_.drawPolyline(line);
}

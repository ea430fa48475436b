#include "controls/ui/FormLayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QWidget>

#include <cmath>

int CFormLayout::PixelHeight(int points)
{
    return static_cast<int>(points * 96.0 / 72.0 + 0.5);
}

QFont CFormLayout::TemplateFont(const QString& face, int points)
{
    QFont font;
    if (QFontDatabase::hasFamily(face)) {
        font.setFamily(face);
    } else {
        // The template's face is a Windows font; stand in the platform's own
        // sans-serif so the form keeps its proportions.
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPixelSize(PixelHeight(points));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

CFormLayout::CFormLayout(const QFont& font) : font_(font)
{
    const QFontMetrics metrics(font_);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
}

int CFormLayout::X(int v) const
{
    return static_cast<int>(std::trunc(v * baseX_ / 4.0 + 0.5));
}

int CFormLayout::Y(int v) const
{
    return static_cast<int>(std::trunc(v * baseY_ / 8.0 + 0.5));
}

QRect CFormLayout::Map(int x, int y, int w, int h) const
{
    return QRect(X(x), Y(y), X(w), Y(h));
}

QSize CFormLayout::MapSize(int w, int h) const
{
    return QSize(X(w), Y(h));
}

void CFormLayout::Place(QWidget* w, int x, int y, int cx, int cy) const
{
    w->setFont(font_);
    w->setGeometry(Map(x, y, cx, cy));
}

#pragma once
// Lays out a dialog-unit form at a fixed 96 dots per inch: the form's font is
// created at -trunc(points * 96 / 72 + 0.5) pixels, its base units are
// measured, and every template rectangle is converted with them.
#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

class CFormLayout {
public:
    // The template's font: 8-point "Microsoft Sans Serif" when the platform has
    // it, else the platform's sans-serif face, weight 400, upright.
    static QFont TemplateFont(const QString& face = QStringLiteral("Microsoft Sans Serif"), int points = 8);
    // Pixel height of a font of `points` at 96 dpi: trunc(points * 96 / 72 + 0.5).
    static int PixelHeight(int points);

    explicit CFormLayout(const QFont& font = TemplateFont());

    const QFont& Font() const { return font_; }
    // Horizontal base unit: (width of the 52 letters / 26 + 1) / 2; vertical:
    // the font's line height.
    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

    // trunc(v * base / 4 + 0.5) and trunc(v * base / 8 + 0.5).
    int X(int v) const;
    int Y(int v) const;
    QRect Map(int x, int y, int w, int h) const;
    QSize MapSize(int w, int h) const;

    // Gives the widget the font and moves it to the template rectangle.
    void Place(QWidget* w, int x, int y, int cx, int cy) const;

private:
    QFont font_;
    int baseX_ = 0;
    int baseY_ = 0;
};

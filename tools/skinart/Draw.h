// Drawing helpers shared by the artwork generators.
#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRectF>

#include <initializer_list>
#include <utility>

namespace skinart {

// The drawing scale: 1 for the pictures the skin names, 2 for their "@2x" twins. Layers made
// here are that many times their size; painters on them scale by it (see ScaledPainter), so
// every drawing routine keeps the 1x coordinates.
int Scale();
void SetScale(int k);
void ScaledPainter(QPainter& p);

// Runs a routine that sets single pixels at scale 1 and doubles its picture, pixel for pixel,
// for the 2x set: for rows, columns and pixel-exact glyphs that need no finer drawing.
template <class F> QImage PixelExact(F draw)
{
    const int k = Scale();
    SetScale(1);
    QImage img = draw();
    SetScale(k);
    return k == 1 ? img : img.scaled(img.size() * k, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The colour the skin drawing routines treat as "show the parent here".
inline constexpr QRgb kMagenta = 0xFFFF00FF;

// A colour written as the window system stores it: 0xBBGGRR, red in the low byte.
QColor FromBgr(quint32 bgr);

QColor Mix(const QColor& a, const QColor& b, double t);

// Colour at row y of a piecewise-linear ramp given as (row, colour) keys in ascending row order.
QColor Ramp(std::initializer_list<std::pair<int, QColor>> keys, int y);

// A transparent premultiplied layer to paint a piece on.
QImage NewLayer(int w, int h);
QImage Solid(int w, int h, const QColor& c);

// Flattens a painted layer for a masked piece: a pixel at least half covered takes the shape's own
// colour, anything else becomes magenta, so no pink fringe survives the mask.
QImage OverMagenta(const QImage& layer);
// Flattens a painted layer over an opaque background of the same size.
QImage OverBackground(const QImage& layer, const QImage& background);

// Side-by-side strip of equal pieces, numbered from the left.
QImage Strip(std::initializer_list<QImage> pieces);

// Glossy fill: the upper half runs from top to midTop, the lower half from midBottom to bottom.
struct Gloss {
    QColor border;
    QColor top, midTop, midBottom, bottom;
    QColor highlight = QColor(255, 255, 255, 0);  // inner top line; fully transparent means none
};

// A rounded rectangle on pixel boundaries with a one-pixel border.
void GlossRect(QPainter& p, const QRectF& r, qreal radius, const Gloss& g);
// A face that the skin stretches in nine parts: the gloss ramps live in the top and bottom
// parts, and the rows the stretch repeats are all one colour.
void GlossFace(QPainter& p, const QRectF& r, qreal radius, const Gloss& g);
void GlossRect(QPainter& p, const QRectF& r, qreal radius, const Gloss& g, const QLinearGradient& fill);
void GlossEllipse(QPainter& p, const QRectF& r, const Gloss& g);

enum class Glyph { ControlBox, Help, Maximise, Restore, Minimise, Close, ArrowLeft, ArrowRight, ArrowDown };

// Pixel-exact glyphs (no anti-aliasing) centred in box; t is the stroke thickness.
void DrawGlyph(QPainter& p, Glyph g, const QRect& box, const QColor& c, int t);

}  // namespace skinart

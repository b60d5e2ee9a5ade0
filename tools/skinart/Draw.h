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

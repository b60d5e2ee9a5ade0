#include "Draw.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace skinart {

QColor FromBgr(quint32 bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto ch = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()), ch(a.alpha(), b.alpha()));
}

QColor Ramp(std::initializer_list<std::pair<int, QColor>> keys, int y)
{
    const std::pair<int, QColor>* prev = keys.begin();
    if (y <= prev->first) return prev->second;
    for (const auto* k = keys.begin() + 1; k != keys.end(); ++k) {
        if (y <= k->first)
            return Mix(prev->second, k->second, double(y - prev->first) / double(k->first - prev->first));
        prev = k;
    }
    return prev->second;
}

namespace {
int g_scale = 1;
}  // namespace

int Scale() { return g_scale; }

void SetScale(int k) { g_scale = k; }

void ScaledPainter(QPainter& p) { p.scale(g_scale, g_scale); }

QImage NewLayer(int w, int h)
{
    QImage img(w * g_scale, h * g_scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage Solid(int w, int h, const QColor& c)
{
    QImage img(w * g_scale, h * g_scale, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

QImage OverMagenta(const QImage& layer)
{
    const QImage src = layer.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            d[x] = qAlpha(s[x]) >= 128 ? (s[x] | 0xFF000000) : kMagenta;
    }
    return out;
}

QImage OverBackground(const QImage& layer, const QImage& background)
{
    QImage out = background.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.drawImage(0, 0, layer);
    return out;
}

QImage Strip(std::initializer_list<QImage> pieces)
{
    const int w = pieces.begin()->width();
    const int h = pieces.begin()->height();
    QImage out(w * int(pieces.size()), h, QImage::Format_RGB32);
    QPainter p(&out);
    int x = 0;
    for (const QImage& piece : pieces) {
        p.drawImage(x, 0, piece);
        x += w;
    }
    return out;
}

static QLinearGradient GlossGradient(const QRectF& r, const Gloss& g)
{
    QLinearGradient grad(0, r.top(), 0, r.bottom());
    grad.setColorAt(0.0, g.top);
    grad.setColorAt(0.5, g.midTop);
    grad.setColorAt(0.501, g.midBottom);
    grad.setColorAt(1.0, g.bottom);
    return grad;
}

// The same gloss with its middle rows flat: a nine-part stretch repeats the one or two middle
// rows of a face, so the break between the halves sits above them, in the fixed top part, and
// the lower ramp starts below them. The rows kept flat reach one row into each fixed part, so
// a stretched face has no step where its edges meet its corners.
static QLinearGradient FlatMiddleGradient(const QRectF& r, const Gloss& g)
{
    const qreal h = r.height();
    const int half = int(h) / 2;
    const qreal flatTop = (half - 1) / h;
    const qreal flatBottom = (int(h) - half + 2) / h;
    QLinearGradient grad(0, r.top(), 0, r.bottom());
    grad.setColorAt(0.0, g.top);
    grad.setColorAt(flatTop - 0.001, g.midTop);
    grad.setColorAt(flatTop, g.midBottom);
    grad.setColorAt(std::min<qreal>(flatBottom, 0.999), g.midBottom);
    grad.setColorAt(1.0, g.bottom);
    return grad;
}

void GlossRect(QPainter& p, const QRectF& r, qreal radius, const Gloss& g)
{
    GlossRect(p, r, radius, g, GlossGradient(r, g));
}

void GlossFace(QPainter& p, const QRectF& r, qreal radius, const Gloss& g)
{
    GlossRect(p, r, radius, g, FlatMiddleGradient(r, g));
}

void GlossRect(QPainter& p, const QRectF& r, qreal radius, const Gloss& g, const QLinearGradient& fill)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF edge = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
    if (g.highlight.alpha() > 0) {
        p.setPen(QPen(g.highlight, 1));
        p.setBrush(Qt::NoBrush);
        const qreal inset = std::max<qreal>(radius * 0.6, 1.5);
        p.drawLine(QPointF(r.left() + inset, r.top() + 1.5), QPointF(r.right() - inset, r.top() + 1.5));
    }
    p.setPen(QPen(g.border, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(edge, std::max<qreal>(radius - 0.5, 0), std::max<qreal>(radius - 0.5, 0));
    p.restore();
}

void GlossEllipse(QPainter& p, const QRectF& r, const Gloss& g)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(GlossGradient(r, g));
    p.drawEllipse(r);
    if (g.highlight.alpha() > 0) {
        // A soft reflection across the upper part of the ball.
        QRectF shine(r.left() + r.width() * 0.2, r.top() + 1.5, r.width() * 0.6, r.height() * 0.4);
        QLinearGradient sg(0, shine.top(), 0, shine.bottom());
        sg.setColorAt(0, g.highlight);
        QColor clear = g.highlight;
        clear.setAlpha(0);
        sg.setColorAt(1, clear);
        p.setBrush(sg);
        p.drawEllipse(shine);
    }
    p.setPen(QPen(g.border, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

namespace {

struct Pen {
    QPainter& p;
    QColor c;
    void fill(int x, int y, int w, int h) const { p.fillRect(QRect(x, y, w, h), c); }
    // A window outline: a title band `top` rows thick over a one-pixel frame.
    void window(int x, int y, int w, int h, int top) const
    {
        fill(x, y, w, top);
        fill(x, y, 1, h);
        fill(x + w - 1, y, 1, h);
        fill(x, y + h - 1, w, 1);
    }
};

// The question mark, five columns by seven rows.
constexpr const char* kHelp[7] = {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."};

// The glyphs below share one frame: an n x n square at (x0, y0) centred in box, strokes t thick.
struct GlyphFrame {
    QRect box;
    int n, x0, y0, t;
};

void DrawClose(const Pen& pen, const GlyphFrame& f)
{
    const int rows = f.n - f.t + 1;
    const int yy = f.box.y() + (f.box.height() - rows) / 2;
    for (int i = 0; i < rows; ++i) {
        pen.fill(f.x0 + i, yy + i, f.t, 1);
        pen.fill(f.x0 + f.n - f.t - i, yy + i, f.t, 1);
    }
}

void DrawRestore(const Pen& pen, const GlyphFrame& f)
{
    const int k = f.n - 3, top = f.t;
    const int bx = f.x0 + 3, fy = f.y0 + 3;
    // back window: only the parts the front window leaves uncovered
    pen.fill(bx, f.y0, k, top);
    pen.fill(bx + k - 1, f.y0, 1, k);
    pen.fill(f.x0 + k, f.y0 + k - 1, bx + k - (f.x0 + k), 1);
    pen.fill(bx, f.y0, 1, fy - f.y0);
    pen.window(f.x0, fy, k, k, top);  // front window
}

void DrawHelp(const Pen& pen, const GlyphFrame& f)
{
    const int w = 5 + (f.t > 1 ? 1 : 0);
    const int hx = f.box.x() + (f.box.width() - w) / 2;
    const int hy = f.box.y() + (f.box.height() - 7) / 2;
    for (int r = 0; r < 7; ++r)
        for (int col = 0; col < 5; ++col)
            if (kHelp[r][col] == '#') pen.fill(hx + col, hy + r, f.t > 1 ? 2 : 1, 1);
}

void DrawControlBox(const Pen& pen, const GlyphFrame& f)
{
    const int w = f.n - 1, h = f.n - 2;
    const int yy = f.y0 + 1;
    pen.fill(f.x0, yy, w, 2);
    pen.fill(f.x0, yy, 1, h);
    pen.fill(f.x0 + w - 1, yy, 1, h);
    pen.fill(f.x0, yy + h - 1, w, 1);
}

// The arrows are one pixel thick and of a fixed size, centred in the box.
void DrawArrow(const Pen& pen, Glyph g, const QRect& box)
{
    if (g == Glyph::ArrowDown) {
        const int ax = box.x() + (box.width() - 7) / 2;
        const int ay = box.y() + (box.height() - 4) / 2;
        for (int r = 0; r < 4; ++r)
            pen.fill(ax + r, ay + r, 7 - 2 * r, 1);
        return;
    }
    const int a = 4;  // columns; the arrow is 2a-1 rows high
    const int ax = box.x() + (box.width() - a) / 2;
    const int ay = box.y() + (box.height() - (2 * a - 1)) / 2;
    for (int j = 0; j < a; ++j) {
        const int col = g == Glyph::ArrowRight ? ax + j : ax + a - 1 - j;
        pen.fill(col, ay + j, 1, 2 * a - 1 - 2 * j);
    }
}

}  // namespace

void DrawGlyph(QPainter& p, Glyph g, const QRect& box, const QColor& c, int t)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const Pen pen{p, c};
    const int n = std::min(box.width(), box.height());
    const GlyphFrame f{box, n, box.x() + (box.width() - n) / 2, box.y() + (box.height() - n) / 2, t};
    switch (g) {
    case Glyph::Close: DrawClose(pen, f); break;
    case Glyph::Minimise: pen.fill(f.x0, f.y0 + n - t - 1, n - 1, t); break;
    case Glyph::Maximise: pen.window(f.x0, f.y0, n - 1, n - 1, t + 1); break;
    case Glyph::Restore: DrawRestore(pen, f); break;
    case Glyph::Help: DrawHelp(pen, f); break;
    case Glyph::ControlBox: DrawControlBox(pen, f); break;
    case Glyph::ArrowRight:
    case Glyph::ArrowLeft:
    case Glyph::ArrowDown: DrawArrow(pen, g, box); break;
    }
    p.restore();
}

}  // namespace skinart

// The application icon at every size a desktop's icon theme asks for. Each size is painted afresh
// rather than scaled from one picture: the small ones drop detail and keep their strokes on whole
// pixels so that they stay sharp.

#include "Art.h"
#include "Draw.h"

#include <QDir>

#include <cmath>

namespace skinart {
namespace {

const Gloss kIconGloss{QColor("#14408f"), QColor("#6aaaf6"), QColor("#2f7ae9"),
                       QColor("#1553c6"), QColor("#2467da"), QColor(255, 255, 255, 160)};

}  // namespace

QImage AppIcon(int size)
{
    QImage layer = NewLayer(size, size);
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Drawn on a 32-unit grid; from 32 pixels up the whole picture grows with the size, borders too.
    const double s = size / 32.0;
    const double unit = std::max(1.0, std::round(s));
    const double margin = size < 24 ? 0 : unit;
    GlossRect(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), std::round(6 * s), kIconGloss);
    if (s > 1) {
        // GlossRect's border is one pixel wide: thicken it to the grown scale.
        p.setPen(QPen(kIconGloss.border, unit));
        p.setBrush(Qt::NoBrush);
        const double inset = margin + unit / 2;
        const double radius = std::round(6 * s) - unit / 2;
        p.drawRoundedRect(QRectF(inset, inset, size - 2 * inset, size - 2 * inset), radius, radius);
    }

    // The module: a mast on a small box, sending out arcs. Edges fall on whole pixels; the mast is
    // an even number of pixels wide so that it sits on the centre line.
    const double centre = size / 2.0;
    const double mastWidth = 2 * unit;
    const double mastTop = std::round(9 * s);
    const double boxWidth = 2 * std::round(7 * s);
    const QRectF box(centre - boxWidth / 2, std::round(20 * s), boxWidth, std::max(3.0, std::round(7 * s)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, 1.5 * s, 1.5 * s);
    p.drawRect(QRectF(centre - mastWidth / 2, mastTop, mastWidth, box.top() - mastTop));
    const double knob = std::max(1.5, 2.2 * s);
    p.drawEllipse(QPointF(centre, mastTop), knob, knob);

    // 16 pixels leave room for one arc only, drawn a whole pixel wide.
    const int arcs = size <= 16 ? 1 : 2;
    const double stroke = size <= 24 ? 1.0 : 1.6 * s;
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= arcs; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 230 - 50 * i), stroke, Qt::SolidLine, Qt::RoundCap));
        const double r = size <= 16 ? 4.0 : (3.5 + 3.5 * i) * s;
        p.drawArc(QRectF(centre - r, mastTop - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
    }
    p.end();
    return layer;
}

QImage AppIcon() { return AppIcon(32); }

bool WriteThemeIcons(const QString& dir)
{
    if (!QDir().mkpath(dir)) return false;
    for (int size : kThemeIconSizes) {
        if (!AppIcon(size).save(QDir(dir).filePath(QStringLiteral("%1x%1.png").arg(size)), "PNG")) return false;
    }
    return true;
}

}  // namespace skinart

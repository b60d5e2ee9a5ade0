#include "Art.h"
#include "Draw.h"

#include <QPainterPath>

#include <algorithm>
#include <iterator>

namespace skinart {
namespace {

struct TabLook {
    int pieceW, height;
    int lineW, lineH;
    QColor border;    // tab outline
    QColor lineEdge;  // the base line's top row, which the active tab covers
    QColor lineBand;  // the base line's second row; the active tab's bottom row matches it
    QColor page;      // the base line fades to this
    Gloss active, inactive;
    QColor accent, accentLight;  // a coloured crown on the active tab; invalid for none
};

// Each built-in style's tab look, in the order of kStyles.
const TabLook kTabLooks[] = {
    // MacOS
    {18,
     27,
     17,
     7,
     QColor("#7f7f7f"),
     QColor("#7f7f7f"),
     QColor("#c8e0f6"),
     QColor("#e7e7e7"),
     {QColor("#5e86b5"), QColor("#eaf5fe"), QColor("#b8dbf8"), QColor("#a2cdf3"), QColor("#c8e0f6")},
     {QColor("#8a8a8a"), QColor("#fdfdfd"), QColor("#ececec"), QColor("#e0e0e0"), QColor("#d0d0d0")},
     QColor(),
     QColor()},
    // WinXP
    {9,
     18,
     8,
     1,
     QColor("#919b9c"),
     QColor("#919b9c"),
     QColor("#ffffff"),
     QColor("#ffffff"),
     {QColor("#919b9c"), QColor("#ffffff"), QColor("#ffffff"), QColor("#fefefe"), QColor("#ffffff")},
     {QColor("#919b9c"), QColor("#ffffff"), QColor("#f7f6f2"), QColor("#f3f2ed"), QColor("#e6e4db")},
     QColor("#e68b2c"),
     QColor("#ffc73c")},
    // DeepBlue
    {6,
     17,
     5,
     5,
     QColor("#0e1a3f"),
     QColor("#000000"),
     QColor("#dce2ee"),
     QColor("#e8e8e8"),
     {QColor("#0e1a3f"), QColor("#f6f8fc"), QColor("#eaeef6"), QColor("#e2e7f1"), QColor("#dce2ee")},
     {QColor("#0e1a3f"), QColor("#d4dcec"), QColor("#c2cde2"), QColor("#b6c2da"), QColor("#a9b6d0")},
     QColor("#2c4483"),
     QColor("#4d6ab4")},
    // Protein
    {9,
     17,
     10,
     5,
     QColor("#000000"),
     QColor("#000000"),
     QColor("#ffffff"),
     QColor("#fbfbfb"),
     {QColor("#000000"), QColor("#ffffff"), QColor("#ffffff"), QColor("#ffffff"), QColor("#ffffff")},
     {QColor("#5a5a5a"), QColor("#f6f6f6"), QColor("#e9e9e9"), QColor("#e2e2e2"), QColor("#d6d6d6")},
     QColor("#2f7bef"),
     QColor("#7ab4ff")},
    // BlueGlass
    {9,
     17,
     10,
     5,
     QColor("#1e4f90"),
     QColor("#000000"),
     QColor("#d0e7fb"),
     QColor("#e7e7e7"),
     {QColor("#1e4f90"), QColor("#f4faff"), QColor("#d8ecfd"), QColor("#c0ddf8"), QColor("#d0e7fb")},
     {QColor("#4a6e9e"), QColor("#d6e6f6"), QColor("#b4cfec"), QColor("#98b9e0"), QColor("#abc8e8")},
     QColor(),
     QColor()},
};
static_assert(std::size(kTabLooks) == std::size(kStyles));

TabLook Look(Style s) { return IsBuiltInStyle(s) ? kTabLooks[s - Style::MacOS] : TabLook{}; }

// One tab: rounded top corners on magenta, open at the bottom. An inactive tab starts two rows lower,
// so the active one stands above its neighbours.
QImage Tab(const TabLook& t, bool active)
{
    const int w = t.pieceW, h = t.height;
    const int top = active ? 0 : 2;
    const qreal radius = w >= 12 ? 4 : 2.5;
    QImage layer = NewLayer(w, h);
    QPainter p(&layer);
    ScaledPainter(p);
    const QRectF body(0, top, w, h - top + radius + 2);  // runs past the bottom so only the top is rounded
    GlossRect(p, body, radius, active ? t.active : t.inactive);
    if (active && t.accent.isValid()) {
        QPainterPath clip;
        clip.addRoundedRect(body.adjusted(1, 1, -1, 0), radius - 1, radius - 1);
        p.setClipPath(clip);
        p.fillRect(QRectF(0, 1, w, 1), t.accent);
        p.fillRect(QRectF(0, 2, w, 1), t.accentLight);
    }
    p.end();
    return OverMagenta(layer);
}

QImage TabLine(const TabLook& t)
{
    QImage img(t.lineW, t.lineH, QImage::Format_RGB32);
    for (int y = 0; y < t.lineH; ++y) {
        const QColor c = y == 0 ? t.lineEdge : Mix(t.lineBand, t.page, (y - 1) / double(std::max(1, t.lineH - 2)));
        for (int x = 0; x < t.lineW; ++x)
            img.setPixelColor(x, y, c);
    }
    return img;
}

struct ScrollLook {
    Gloss normal, over;
    QColor arrow, arrowOver;
};

QImage ScrollPiece(int w, int h, const Gloss& face, const QColor& arrow, Glyph g)
{
    QImage img = Solid(w, h, face.border);
    QPainter p(&img);
    ScaledPainter(p);
    const int mid = h / 2;
    for (int y = 1; y < h - 1; ++y) {
        const QColor c = y < mid ? Mix(face.top, face.midTop, (y - 1) / double(std::max(1, mid - 2)))
                                 : Mix(face.midBottom, face.bottom, (y - mid) / double(std::max(1, h - 2 - mid)));
        p.fillRect(QRect(1, y, w - 2, 1), c);
    }
    DrawGlyph(p, g, QRect(0, 0, w, h), arrow, 1);
    p.end();
    return img;
}

// Pieces: right arrow, right arrow under the pointer, left arrow, left arrow under the pointer.
QImage ScrollStrip(int h, const ScrollLook& l)
{
    const int w = 18;
    return Strip({ScrollPiece(w, h, l.normal, l.arrow, Glyph::ArrowRight),
                  ScrollPiece(w, h, l.over, l.arrowOver, Glyph::ArrowRight),
                  ScrollPiece(w, h, l.normal, l.arrow, Glyph::ArrowLeft),
                  ScrollPiece(w, h, l.over, l.arrowOver, Glyph::ArrowLeft)});
}

}  // namespace

void AddTabs(QList<Resource>& out)
{
    for (Style s : kStyles) {
        const TabLook t = Look(s);
        out.append({GetInsideThemePictureName(s, SUI_THEME_TAB_STRIP), Strip({Tab(t, true), Tab(t, false)})});
        out.append({GetInsideThemePictureName(s, SUI_THEME_TAB_LINE), PixelExact([&] { return TabLine(t); })});
    }
    out.append(
        {QStringLiteral("MACOS_SCROLLBUTTON"),
         ScrollStrip(18,
                     {{QColor("#8a8a8a"), QColor("#ffffff"), QColor("#f0f0f0"), QColor("#e2e2e2"), QColor("#d6d6d6")},
                      {QColor("#2a62a8"), QColor("#e2f1fe"), QColor("#aed5f8"), QColor("#7fbaf0"), QColor("#b4dbfa")},
                      QColor("#404040"),
                      QColor("#0e2f5a")})});
    out.append(
        {QStringLiteral("WINXP_SCROLLBUTTON"),
         ScrollStrip(18,
                     {{QColor("#a4b9e8"), QColor("#e1eafe"), QColor("#d0defc"), QColor("#c4d5fb"), QColor("#b4c8f6")},
                      {QColor("#6f8fd8"), QColor("#f4f8ff"), QColor("#dbe7ff"), QColor("#c9dbff"), QColor("#a9c4fa")},
                      QColor("#4d6185"),
                      QColor("#2b3f68")})});
    out.append(
        {QStringLiteral("MORE_SCROLLBUTTON"),
         ScrollStrip(17,
                     {{QColor("#5f6773"), QColor("#ffffff"), QColor("#f2f3f5"), QColor("#e6e8ec"), QColor("#d9dde3")},
                      {QColor("#2d5bb8"), QColor("#f2f8ff"), QColor("#dfebfd"), QColor("#cfe0fb"), QColor("#bcd3f6")},
                      QColor("#1f2937"),
                      QColor("#0e1a3f")})});
}

}  // namespace skinart

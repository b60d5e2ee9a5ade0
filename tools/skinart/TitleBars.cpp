#include "Art.h"
#include "Draw.h"

#include <QVector>

#include <cmath>

namespace skinart {
namespace {

// The caption background, one colour per row from the window's top edge down. Every title picture
// is built on these rows so that the stretched middle piece, the ends and the opaque buttons meet.
QColor TitleRow(Style s, int y)
{
    switch (s) {
    case Style::MacOS: {
        if (y == 0) return QColor("#7f7f7f");
        if (y == 1) return QColor("#fbfbfb");
        if (y == 22) return QColor("#8c8c8c");
        const QColor base = Mix(QColor("#efefef"), QColor("#d3d3d3"), (y - 2) / 19.0);
        return y % 2 ? base.darker(103) : base;  // fine pinstripes
    }
    case Style::WinXP:
        // Deep enough behind the caption rows (5 to 18) for white and pale captions to read.
        return Ramp({{0, QColor("#002cc8")},
                     {1, QColor("#5a9cf6")},
                     {2, QColor("#3580f0")},
                     {4, QColor("#0f60e4")},
                     {8, QColor("#0858e2")},
                     {21, QColor("#0052de")},
                     {25, QColor("#004ad2")},
                     {27, QColor("#003ebe")},
                     {28, QColor("#002cc8")}},
                    y);
    case Style::DeepBlue:
        // The buttons and caption sit in rows 2 to 20, so the navy bar ends at row 22 and the rest
        // of the picture is a light shelf in the form's colour: the bar looks centred on them.
        if (y >= 23) return Mix(QColor("#c9d2e4"), QColor("#e8e8e8"), (y - 23) / 8.0);
        return Ramp({{0, QColor("#000000")},
                     {1, QColor("#5069ad")},
                     {2, QColor("#34508f")},
                     {11, QColor("#1f3370")},
                     {12, QColor("#162759")},
                     {21, QColor("#0d1840")},
                     {22, QColor("#050a1e")}},
                    y);
    case Style::Protein:
        return Ramp({{0, QColor("#000000")},
                     {1, QColor("#5c5c5c")},
                     {2, QColor("#3e3e3e")},
                     {11, QColor("#262626")},
                     {12, QColor("#111111")},
                     {21, QColor("#1d1d1d")},
                     {22, QColor("#000000")}},
                    y);
    case Style::BlueGlass:
        // Light glass above the caption, a deeper blue behind it (rows 6 to 19).
        return Ramp({{0, QColor("#000000")},
                     {1, QColor("#c4e2ff")},
                     {2, QColor("#8cc2f2")},
                     {4, QColor("#4f92dc")},
                     {5, QColor("#2a68bc")},
                     {15, QColor("#2160b4")},
                     {16, QColor("#1a56a8")},
                     {29, QColor("#2566b8")},
                     {31, QColor("#4a8cd6")},
                     {32, QColor("#0e3468")}},
                    y);
    case Style::FromThemeFile:  // drawn from no art of its own
        break;
    }
    return {};
}

// Protein's bright caption colour, blended into the black bar along the long left picture.
QColor ProteinBlue(int y)
{
    return Ramp({{0, QColor("#000000")},
                 {1, QColor("#8fc0ff")},
                 {2, QColor("#3f86f0")},
                 {4, QColor("#1f5fd0")},
                 {11, QColor("#1a58c8")},
                 {12, QColor("#1048b0")},
                 {21, QColor("#1a56c4")},
                 {22, QColor("#05205c")}},
                y);
}

// The sizes of a style's title-bar pictures and title buttons. Where the buttons sit in the bar
// is the skin's: its theme table gives their top row.
struct TitleBarSizes {
    int height, leftW, clientW, rightW;
    int button;  // side of a square title-button piece
    int barEnd;  // the bar's bottom edge row; DeepBlue's light shelf lies below it
};

TitleBarSizes TitleBarSizesOf(Style s)
{
    switch (s) {
    case Style::MacOS: return {23, 48, 49, 48, 17, 22};
    case Style::WinXP: return {29, 35, 37, 35, 21, 28};
    case Style::DeepBlue: return {32, 97, 98, 97, 19, 22};
    case Style::Protein: return {23, 441, 1, 1, 19, 22};
    case Style::BlueGlass: return {33, 162, 179, 101, 19, 32};
    case Style::FromThemeFile:  // drawn from no art of its own
        break;
    }
    return {};
}

QImage Rows(Style s, int w)
{
    const TitleBarSizes t = TitleBarSizesOf(s);
    QImage img(w, t.height, QImage::Format_RGB32);
    for (int y = 0; y < t.height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line, line + w, TitleRow(s, y).rgb());
    }
    return img;
}

QImage TitleLeft(Style s)
{
    const TitleBarSizes t = TitleBarSizesOf(s);
    QImage img = Rows(s, t.leftW);
    switch (s) {
    case Style::Protein:
        // Bright blue behind the icon and caption, easing into the black bar.
        for (int y = 1; y < t.height; ++y)
            for (int x = 0; x < t.leftW; ++x) {
                const double u = std::clamp((x - 24) / double(t.leftW - 25), 0.0, 1.0);
                const double w = 0.5 + 0.5 * std::cos(u * M_PI);
                img.setPixelColor(x, y, Mix(TitleRow(s, y), ProteinBlue(y), w));
            }
        break;
    case Style::DeepBlue:
        // A faint glow at the left end of the navy bar.
        for (int y = 1; y < 22; ++y)
            for (int x = 0; x < t.leftW; ++x)
                img.setPixelColor(x, y, Mix(TitleRow(s, y), QColor("#5d7fd0"), 0.22 * (1.0 - x / double(t.leftW - 1))));
        break;
    case Style::BlueGlass: {
        // A slanted reflection on the glass, above the caption only.
        for (int y = 1; y < 5; ++y)
            for (int x = 0; x < t.leftW; ++x) {
                const double d = std::abs((x + y * 0.8) - 70.0);
                const double a = d < 26 ? 0.28 * (1.0 - d / 26.0) : 0.0;
                img.setPixelColor(x, y, Mix(TitleRow(s, y), Qt::white, a));
            }
        break;
    }
    case Style::MacOS:
    case Style::WinXP:
        for (int y = 1; y < t.height - 1; ++y)
            img.setPixelColor(1, y, Mix(TitleRow(s, y), Qt::white, 0.35));
        break;
    case Style::FromThemeFile:  // drawn from no art of its own
        break;
    }
    return img;
}

QImage TitleRight(Style s)
{
    const TitleBarSizes t = TitleBarSizesOf(s);
    QImage img = Rows(s, t.rightW);
    if (t.rightW > 2)
        for (int y = 1; y < t.barEnd; ++y)
            img.setPixelColor(t.rightW - 2, y, TitleRow(s, y).darker(112));
    return img;
}

const Glyph kTitleGlyphs[6]
    = {Glyph::ControlBox, Glyph::Help, Glyph::Maximise, Glyph::Restore, Glyph::Minimise, Glyph::Close};

// Where a style puts the parts of a title button.
struct TitleButtonShape {
    int side;      // the piece is side x side pixels
    QRectF face;   // the gloss face
    bool ball;     // a round face; otherwise a square with rounded corners
    qreal radius;  // those corners
    QRect glyph;   // the glyph's box at rest; held down, it moves one pixel down and right
    int stroke;    // the glyph's line thickness
};

// One title button on a transparent layer: the face, then the glyph over it.
QImage TitleButtonLayer(const TitleButtonShape& shape, Glyph g, State st, const Gloss& face, const QColor& ink)
{
    QImage layer = NewLayer(shape.side, shape.side);
    QPainter p(&layer);
    ScaledPainter(p);
    if (shape.ball)
        GlossEllipse(p, shape.face, face);
    else
        GlossRect(p, shape.face, shape.radius, face);
    const int shift = st == State::MouseDown ? 1 : 0;
    DrawGlyph(p, g, shape.glyph.translated(shift, shift), ink, shape.stroke);
    p.end();
    return layer;
}

// MacOS: gel balls, light grey at rest, aqua (red for close) under the pointer.
QImage MacTitleButton(Glyph g, State st, const QImage& bg)
{
    const bool close = g == Glyph::Close;
    Gloss ball;
    QColor ink;
    if (st == State::Normal) {
        ball = {QColor("#8a8a8a"), QColor("#fdfdfd"), QColor("#e7e7e7"),
                QColor("#d0d0d0"), QColor("#f4f4f4"), QColor(255, 255, 255, 220)};
        ink = QColor("#4a4a4a");
    } else if (close) {
        ball = st == State::MouseOn
            ? Gloss{QColor("#9e2a22"), QColor("#f7b1a9"), QColor("#e8695d"),
                    QColor("#d4473b"), QColor("#f39a8f"), QColor(255, 255, 255, 200)}
            : Gloss{QColor("#7a1c16"), QColor("#d86c62"), QColor("#c4443a"), QColor("#a92f26"), QColor("#d06a60")};
        ink = Qt::white;
    } else {
        ball = st == State::MouseOn
            ? Gloss{QColor("#2a62a8"), QColor("#d4ebfd"), QColor("#8fc4f3"),
                    QColor("#4f9be6"), QColor("#a3d2f8"), QColor(255, 255, 255, 220)}
            : Gloss{QColor("#1d4a85"), QColor("#8cbdea"), QColor("#5b9bdf"), QColor("#2f76c9"), QColor("#6aa8e6")};
        ink = Qt::white;
    }
    const TitleButtonShape shape{17, QRectF(1, 1, 15, 15), true, 0, QRect(5, 5, 7, 7), 1};
    return OverBackground(TitleButtonLayer(shape, g, st, ball, ink), bg);
}

// WinXP: blue rounded squares with a white rim; close is red-orange.
QImage XpTitleButton(Glyph g, State st, const QImage& bg)
{
    const bool close = g == Glyph::Close;
    Gloss face;
    if (close)
        face = st == State::Normal
            ? Gloss{QColor("#ffffff"), QColor("#f0a080"), QColor("#e46a45"), QColor("#d9532c"), QColor("#c23d1c")}
            : st == State::MouseOn
            ? Gloss{QColor("#ffffff"), QColor("#ffc0a4"), QColor("#f58a62"), QColor("#ec6c44"), QColor("#d9512c")}
            : Gloss{QColor("#ffffff"), QColor("#a8321a"), QColor("#be4124"), QColor("#c84a2b"), QColor("#d86a4c")};
    else
        face = st == State::Normal
            ? Gloss{QColor("#ffffff"), QColor("#7eb3ff"), QColor("#3c85f5"), QColor("#2b72ee"), QColor("#1d5ddc")}
            : st == State::MouseOn
            ? Gloss{QColor("#ffffff"), QColor("#a6ccff"), QColor("#5ea3ff"), QColor("#478ff8"), QColor("#3377ee")}
            : Gloss{QColor("#ffffff"), QColor("#1a4ab8"), QColor("#2257c8"), QColor("#2a62d2"), QColor("#3d78e0")};
    const TitleButtonShape shape{21, QRectF(0, 0, 21, 21), false, 3, QRect(6, 6, 9, 9), 2};
    return OverBackground(TitleButtonLayer(shape, g, st, face, Qt::white), bg);
}

// DeepBlue: dark navy squares with a pale rim; close turns red under the pointer.
QImage DeepBlueTitleButton(Glyph g, State st, const QImage& bg)
{
    const bool close = g == Glyph::Close;
    Gloss face;
    if (st == State::Normal)
        face = {QColor("#6d87c4"), QColor("#3d5799"), QColor("#2a417c"), QColor("#1f3369"), QColor("#2a4280")};
    else if (st == State::MouseOn)
        face = close
            ? Gloss{QColor("#f0a09a"), QColor("#e0665e"), QColor("#c8403a"), QColor("#aa2e28"), QColor("#c44840")}
            : Gloss{QColor("#a8c4f6"), QColor("#5f86d8"), QColor("#3f66c4"), QColor("#2f54ae"), QColor("#4470cc")};
    else
        face = close
            ? Gloss{QColor("#c0605a"), QColor("#7e1e1a"), QColor("#962822"), QColor("#a4302a"), QColor("#b43c34")}
            : Gloss{QColor("#6d87c4"), QColor("#0f1c44"), QColor("#16275a"), QColor("#1c3068"), QColor("#26407e")};
    const TitleButtonShape shape{19, QRectF(1, 1, 17, 17), false, 2.5, QRect(5, 5, 9, 9), 2};
    return OverBackground(TitleButtonLayer(shape, g, st, face, QColor("#eef3ff")), bg);
}

// Protein: white glyphs on the black bar; a bright blue (red for close) tile under the pointer.
QImage ProteinTitleButton(Glyph g, State st)
{
    const bool close = g == Glyph::Close;
    Gloss face;
    if (st == State::Normal)
        face = {QColor("#6a6a6a"), QColor("#4a4a4a"), QColor("#363636"), QColor("#222222"), QColor("#2e2e2e")};
    else if (st == State::MouseOn)
        face = close
            ? Gloss{QColor("#ffb0a8"), QColor("#ff7a6e"), QColor("#e8473b"), QColor("#cc2e24"), QColor("#e04438")}
            : Gloss{QColor("#a9d0ff"), QColor("#6aabff"), QColor("#2f7bef"), QColor("#1a5fd6"), QColor("#2d74ea")};
    else
        face = close
            ? Gloss{QColor("#ff8a80"), QColor("#9e1c14"), QColor("#b42a20"), QColor("#c0342a"), QColor("#d04438")}
            : Gloss{QColor("#6aabff"), QColor("#0f3f9e"), QColor("#1650b8"), QColor("#1c5cc8"), QColor("#2a6ad8")};
    const TitleButtonShape shape{19, QRectF(1, 1, 17, 17), false, 3, QRect(5, 5, 9, 9), 2};
    return OverMagenta(TitleButtonLayer(shape, g, st, face, Qt::white));
}

// BlueGlass: glass beads; clear blue at rest, brighter under the pointer, red for close.
QImage GlassTitleButton(Glyph g, State st)
{
    const bool close = g == Glyph::Close;
    Gloss bead;
    if (close)
        bead = st == State::Normal ? Gloss{QColor("#7a1c16"), QColor("#f3a49b"), QColor("#de5a4e"),
                                           QColor("#c23a2f"), QColor("#e8776b"), QColor(255, 255, 255, 210)}
            : st == State::MouseOn
            ? Gloss{QColor("#8e241d"), QColor("#ffc4bc"), QColor("#f47a6e"),
                    QColor("#e0463a"), QColor("#ff9a8e"), QColor(255, 255, 255, 230)}
            : Gloss{QColor("#5e140f"), QColor("#c45a50"), QColor("#a8342a"), QColor("#8e231b"), QColor("#b4463c")};
    else
        bead = st == State::Normal ? Gloss{QColor("#163e72"), QColor("#c9e5fd"), QColor("#7ab8f0"),
                                           QColor("#3a86d8"), QColor("#78b8f2"), QColor(255, 255, 255, 210)}
            : st == State::MouseOn
            ? Gloss{QColor("#1e5aa6"), QColor("#e4f4ff"), QColor("#8fd2ff"),
                    QColor("#44a2f0"), QColor("#8ad0ff"), QColor(255, 255, 255, 240)}
            : Gloss{QColor("#0e2c56"), QColor("#76a8dc"), QColor("#3f7cc6"), QColor("#225fae"), QColor("#3e7cc4")};
    const TitleButtonShape shape{19, QRectF(1, 1, 17, 17), true, 0, QRect(5, 5, 9, 9), 2};
    return OverMagenta(TitleButtonLayer(shape, g, st, bead, Qt::white));
}

QImage TitleButtonStrip(Style s)
{
    const TitleBarSizes t = TitleBarSizesOf(s);
    // Opaque buttons carry the caption rows they are drawn over; the control box sits one row higher.
    const int k = Scale();
    const QImage rows = PixelExact([s, &t] { return Rows(s, t.button); });
    const int buttonTop = GetInsideThemeInt(s, SUI_THEME_TITLE_BUTTON_TOP);
    const QImage behind = rows.copy(0, buttonTop * k, t.button * k, t.button * k);
    const QImage behindBox = rows.copy(0, (buttonTop - 1) * k, t.button * k, t.button * k);
    QImage strip(t.button * 18 * k, t.button * k, QImage::Format_RGB32);
    QPainter p(&strip);
    int x = 0;
    for (Glyph g : kTitleGlyphs)
        for (State st : kFaceStates) {
            const QImage& bg = g == Glyph::ControlBox ? behindBox : behind;
            QImage piece;
            switch (s) {
            case Style::MacOS: piece = MacTitleButton(g, st, bg); break;
            case Style::WinXP: piece = XpTitleButton(g, st, bg); break;
            case Style::DeepBlue: piece = DeepBlueTitleButton(g, st, bg); break;
            case Style::Protein: piece = ProteinTitleButton(g, st); break;
            case Style::BlueGlass: piece = GlassTitleButton(g, st); break;
            case Style::FromThemeFile:  // drawn from no art of its own
                break;
            }
            p.drawImage(x, 0, piece);
            x += t.button * k;
        }
    return strip;
}

}  // namespace

void AddTitleBars(QList<Resource>& out)
{
    for (Style s : kStyles) {
        const TitleBarSizes t = TitleBarSizesOf(s);
        out.append({GetInsideThemePictureName(s, SUI_THEME_TITLE_BUTTON_STRIP), TitleButtonStrip(s)});
        out.append(
            {GetInsideThemePictureName(s, SUI_THEME_TITLE_LEFT_PICTURE), PixelExact([s] { return TitleLeft(s); })});
        out.append({GetInsideThemePictureName(s, SUI_THEME_TITLE_CLIENT_PICTURE),
                    PixelExact([s, &t] { return Rows(s, t.clientW); })});
        out.append(
            {GetInsideThemePictureName(s, SUI_THEME_TITLE_RIGHT_PICTURE), PixelExact([s] { return TitleRight(s); })});
    }
}

}  // namespace skinart

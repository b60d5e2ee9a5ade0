#include "Art.h"
#include "Draw.h"

#include <QMetaEnum>

namespace skinart {

QString Prefix(Style s) { return QString::fromLatin1(QMetaEnum::fromType<Sui::TsuiUIStyle>().valueToKey(s)).toUpper(); }

QString SheetName(Style s) { return Prefix(s).toLower(); }

namespace {

// A rounded gloss face alone, its corners left to show the parent.
QImage GlossButton(int w, int h, qreal radius, const Gloss& face)
{
    QImage layer = NewLayer(w, h);
    QPainter p(&layer);
    ScaledPainter(p);
    GlossFace(p, QRectF(0, 0, w, h), radius, face);
    p.end();
    return OverMagenta(layer);
}

// MacOS: a white gel capsule that turns aqua under the pointer. The corners show the parent.
QImage MacButton(State st)
{
    const Gloss normal{QColor("#8a8a8a"), QColor("#ffffff"), QColor("#eeeeee"),
                       QColor("#dcdcdc"), QColor("#f6f6f6"), QColor(255, 255, 255, 200)};
    const Gloss over{QColor("#3b6fae"), QColor("#e2f1fe"), QColor("#aed5f8"),
                     QColor("#7fbaf0"), QColor("#c4e3fb"), QColor(255, 255, 255, 220)};
    const Gloss pressed{QColor("#2a5590"), QColor("#a9cdf1"), QColor("#7db4ea"),
                        QColor("#4f94dd"), QColor("#8cc2f1"), QColor(255, 255, 255, 120)};
    return GlossButton(84, 23, 11, st == State::Normal ? normal : st == State::MouseOn ? over : pressed);
}

// WinXP: a beige face in a dark blue rounded frame; orange inner glow under the pointer.
QImage XpButton(State st)
{
    const int w = 18, h = 21;
    const QColor form("#efebde");
    QImage layer = NewLayer(w, h);
    QPainter p(&layer);
    ScaledPainter(p);
    // A warm cream face, softly lit from above, in the dark blue rounded frame.
    const Gloss face = st == State::MouseDown
        ? Gloss{QColor("#003c74"), QColor("#d2cbb0"), QColor("#ddd7c0"), QColor("#e2dcc6"), QColor("#efead8")}
        : Gloss{QColor("#003c74"), QColor("#fefdf8"), QColor("#f1ecd9"), QColor("#e7e0c6"), QColor("#d2c9a4")};
    GlossFace(p, QRectF(0, 0, w, h), 3, face);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (st == State::MouseOn) {
        p.fillRect(QRect(2, 1, w - 4, 1), QColor("#fff0cf"));
        p.fillRect(QRect(1, 2, w - 2, 1), QColor("#fcd795"));
        p.fillRect(QRect(1, 3, 2, h - 6), QColor("#f9c15c"));
        p.fillRect(QRect(w - 3, 3, 2, h - 6), QColor("#f9c15c"));
        p.fillRect(QRect(1, h - 3, w - 2, 1), QColor("#eeae3d"));
        p.fillRect(QRect(2, h - 2, w - 4, 1), QColor("#e5972a"));
    } else if (st == State::Normal) {
        p.fillRect(QRect(w - 2, 3, 1, h - 6), QColor("#d6d0c5"));
        p.fillRect(QRect(2, h - 2, w - 4, 1), QColor("#d6d0c5"));
    }
    p.end();
    return OverBackground(layer, Solid(w, h, form));
}

// DeepBlue: a clear mid-blue face in a navy frame, so the controls carry the style's colour too.
QImage DeepBlueButton(State st)
{
    const int w = 74, h = 21;
    const QColor form("#e8e8e8");
    QImage layer = NewLayer(w, h);
    QPainter p(&layer);
    ScaledPainter(p);
    const Gloss normal{QColor("#0e1a3f"), QColor("#e2ebfc"), QColor("#bccff2"),
                       QColor("#a2bcea"), QColor("#b8cdf2"), QColor(255, 255, 255, 200)};
    const Gloss over{QColor("#1c3a8c"), QColor("#eef4ff"), QColor("#cadcf8"),
                     QColor("#b0caf4"), QColor("#c8dbfa"), QColor(255, 255, 255, 230)};
    const Gloss pressed{QColor("#0e1a3f"), QColor("#7f9ad0"), QColor("#94acdc"), QColor("#a0b7e2"), QColor("#b4c7ea")};
    GlossFace(p, QRectF(0, 0, w, h), 2.5, st == State::Normal ? normal : st == State::MouseOn ? over : pressed);
    if (st == State::MouseOn) {
        p.setPen(QColor("#8fb4f0"));
        p.drawRect(1, 2, w - 3, h - 4);
    }
    p.end();
    return OverBackground(layer, Solid(w, h, form));
}

// Protein: crisp white in a black frame; a blue inner line under the pointer, sunken when held.
QImage ProteinButton(State st)
{
    const int w = 74, h = 21;
    QImage layer = NewLayer(w, h);
    QPainter p(&layer);
    ScaledPainter(p);
    const Gloss normal{QColor("#000000"), QColor("#ffffff"), QColor("#fafafa"), QColor("#f1f1f1"), QColor("#e4e4e4")};
    const Gloss over{QColor("#000000"), QColor("#ffffff"), QColor("#f3f8ff"), QColor("#e6f0fe"), QColor("#d4e5fd")};
    const Gloss pressed{QColor("#000000"), QColor("#cfcfcf"), QColor("#dedede"), QColor("#e6e6e6"), QColor("#f2f2f2")};
    GlossFace(p, QRectF(0, 0, w, h), 2, st == State::Normal ? normal : st == State::MouseOn ? over : pressed);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (st == State::MouseOn) {
        p.setPen(QColor("#2f7bef"));
        p.drawRect(1, 1, w - 3, h - 3);
    } else if (st == State::MouseDown) {
        p.fillRect(QRect(1, 1, w - 2, 1), QColor("#a8a8a8"));
    }
    p.end();
    // The single corner pixels sit between white forms and light blue pages.
    return OverBackground(layer, Solid(w, h, QColor("#dfe5ec")));
}

// BlueGlass: a pane of blue glass with a bright upper reflection. The corners show the parent.
QImage GlassButton(State st)
{
    const Gloss normal{QColor("#1e4f90"), QColor("#eaf5fe"), QColor("#c3dff8"),
                       QColor("#95c4f0"), QColor("#bfdef9"), QColor(255, 255, 255, 230)};
    const Gloss over{QColor("#2a6fc0"), QColor("#f4fbff"), QColor("#d2edff"),
                     QColor("#9cd8ff"), QColor("#cbedff"), QColor(255, 255, 255, 255)};
    const Gloss pressed{QColor("#163e72"), QColor("#a6cbee"), QColor("#89b7e6"),
                        QColor("#5e9adb"), QColor("#8ab9e9"), QColor(255, 255, 255, 90)};
    return GlossButton(77, 27, 6, st == State::Normal ? normal : st == State::MouseOn ? over : pressed);
}

QImage ButtonStrip(Style s)
{
    auto make = [s](State st) {
        switch (s) {
        case Style::MacOS: return MacButton(st);
        case Style::WinXP: return XpButton(st);
        case Style::DeepBlue: return DeepBlueButton(st);
        case Style::Protein: return ProteinButton(st);
        case Style::BlueGlass: return GlassButton(st);
        case Style::FromThemeFile:  // drawn from no art of its own
            break;
        }
        return QImage();
    };
    return Strip({make(State::Normal), make(State::MouseOn), make(State::MouseDown)});
}

// The MacOS combo button: an aqua gel face; the control draws the arrow over it.
QImage MacComboButton()
{
    const int w = 16, h = 17;
    QImage img = Solid(w, h, Qt::white);
    QPainter p(&img);
    ScaledPainter(p);
    for (int y = 0; y < h; ++y) {
        const QColor c = y < 8 ? Mix(QColor("#e4f2fe"), QColor("#b2d8f8"), y / 7.0)
                               : Mix(QColor("#86c0f1"), QColor("#c6e4fb"), (y - 8) / 8.0);
        p.fillRect(QRect(0, y, w, 1), c);
    }
    p.fillRect(QRect(0, 0, 1, h), QColor("#6f95c2"));
    p.fillRect(QRect(1, 1, w - 1, 1), QColor("#f6fbff"));
    return img;
}

// The WinXP combo button: a pale blue rounded face with its own dark arrow.
QImage XpComboButton()
{
    const int w = 16, h = 18;
    QImage layer = NewLayer(w, h);
    QPainter p(&layer);
    ScaledPainter(p);
    GlossRect(p, QRectF(0, 0, w, h), 2.5,
              Gloss{QColor("#b9cdf7"), QColor("#e3ebfe"), QColor("#cfdcfc"), QColor("#c1d3fb"), QColor("#adc4f6"),
                    QColor(255, 255, 255, 200)});
    DrawGlyph(p, Glyph::ArrowDown, QRect(0, 1, w, h - 1), QColor("#4d6185"), 1);
    p.end();
    return OverBackground(layer, Solid(w, h, Qt::white));
}

}  // namespace

void AddButtons(QList<Resource>& out)
{
    for (Style s : kStyles)
        out.append({GetInsideThemePictureName(s, SUI_THEME_BUTTON_STRIP), ButtonStrip(s)});
    out.append({QStringLiteral("MACOS_COMBOBOX_BUTTON"), MacComboButton()});
    out.append({QStringLiteral("WINXP_COMBOBOX_BUTTON"), XpComboButton()});
}

}  // namespace skinart

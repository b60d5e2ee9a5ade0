#include "ui/Fonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace {

// Below this the letters run into each other at 11 pixels; a text that still does not fit
// is then drawn a pixel smaller as well.
constexpr int kNarrowestStretch = 70;

// Whether the text, drawn on one line centred vertically as a label draws it, keeps its ink
// inside the box's height. A stretch narrows the letters only, so this holds at every stretch.
bool InkFitsHeight(const QFont& font, const QString& text, const QSize& box)
{
    const QFontMetrics fm(font);
    const int baseline = (box.height() - fm.height()) / 2 + fm.ascent();
    const QRect ink = fm.tightBoundingRect(text).translated(0, baseline);
    return ink.top() >= 0 && ink.bottom() < box.height();
}

bool FitsWidthAt(QFont font, int stretch, const QString& text, const QSize& box)
{
    font.setStretch(stretch);
    return QFontMetrics(font).horizontalAdvance(text) <= box.width();
}

// The widest stretch from kNarrowestStretch to 100 at which the text fits the box's width, or 0.
// Each stretch tried loads a face through the font database, the dearest step of start-up: start at
// the stretch the natural width asks for and step from there rather than try them all.
int WidestFittingStretch(const QFont& font, const QString& text, const QSize& box)
{
    if (FitsWidthAt(font, 100, text, box)) return 100;
    QFont natural = font;
    natural.setStretch(100);
    const int width = std::max(QFontMetrics(natural).horizontalAdvance(text), 1);
    int stretch = std::clamp(100 * box.width() / width, kNarrowestStretch, 99);
    if (FitsWidthAt(font, stretch, text, box)) {
        while (stretch < 99 && FitsWidthAt(font, stretch + 1, text, box))
            ++stretch;
        return stretch;
    }
    while (--stretch >= kNarrowestStretch) {
        if (FitsWidthAt(font, stretch, text, box)) return stretch;
    }
    return 0;
}

}  // namespace

void RegisterFontSubstitutions()
{
    const QStringList latin{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), latin);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), latin);
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    // The window menu asks for the system's menu font; on the windows' platform that is the
    // same 8 point face as every other text, not the desktop's larger default.
    QApplication::setFont(DialogFont(), "QMenu");
}

QFont DialogFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

QFont SongFont(int pixels)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    return font;
}

QFont TitleFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QFont FitToBox(QFont font, const QString& text, const QSize& box)
{
    for (;;) {
        font.setStretch(100);
        if (InkFitsHeight(font, text, box)) {
            if (const int stretch = WidestFittingStretch(font, text, box)) {
                font.setStretch(stretch);
                return font;
            }
        }
        if (font.pixelSize() <= 6) return font;
        font.setPixelSize(font.pixelSize() - 1);
    }
}

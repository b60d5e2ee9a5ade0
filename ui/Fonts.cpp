#include "ui/Fonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace {

// Below this the letters run into each other at 11 pixels; a text that still does not fit
// is then drawn a pixel smaller as well.
constexpr int kNarrowestStretch = 70;

// Whether the text, drawn on one line centred vertically as a label draws it, keeps its ink
// inside the box.
bool Fits(const QFont& font, const QString& text, const QSize& box)
{
    const QFontMetrics fm(font);
    const int baseline = (box.height() - fm.height()) / 2 + fm.ascent();
    const QRect ink = fm.tightBoundingRect(text).translated(0, baseline);
    return fm.horizontalAdvance(text) <= box.width() && ink.top() >= 0 && ink.bottom() < box.height();
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
        for (int stretch = 100; stretch >= kNarrowestStretch; --stretch) {
            font.setStretch(stretch);
            if (Fits(font, text, box))
                return font;
        }
        if (font.pixelSize() <= 6)
            return font;
        font.setPixelSize(font.pixelSize() - 1);
    }
}

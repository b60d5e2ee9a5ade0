#pragma once
// The fonts the windows name, mapped to installed ones. Sizes are in pixels: the windows are
// not scaled to the screen's text size.

#include <QFont>

class QSize;
class QString;

// Maps "MS Sans Serif", "Tahoma" and "宋体" to installed fonts, and gives menus the dialog font
// (the system menu font beside the windows' 8 point text). Once, after the application object
// exists and before any window is built.
void RegisterFontSubstitutions();

// "MS Sans Serif" 8 point (11 pixels).
QFont DialogFont();
// "宋体" at the given pixel height.
QFont SongFont(int pixels);
// The title bar's bold "Tahoma" 8 point.
QFont TitleFont();

// The font narrowed (QFont::setStretch) just enough for the text to be drawn no wider than the
// box, and a pixel smaller where its ink would still not fit the box's height. The windows'
// boxes are their texts' sizes in the original fonts, and the substitutes run wider and taller.
QFont FitToBox(QFont font, const QString& text, const QSize& box);

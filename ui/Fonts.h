#pragma once
// The fonts the windows name, mapped to installed ones. Sizes are in pixels: the windows are
// not scaled to the screen's text size.

#include <QFont>

// Maps "MS Sans Serif", "Tahoma" and "宋体" to installed fonts. Once, before any window is built.
void RegisterFontSubstitutions();

// "MS Sans Serif" 8 point (11 pixels).
QFont DialogFont();
// "宋体" at the given pixel height.
QFont SongFont(int pixels);
// The title bar's bold "Tahoma" 8 point.
QFont TitleFont();

// The artwork of the five built-in styles, drawn by code so that it can be regenerated.
#pragma once

#include "skin/Suithemes.h"

#include <QImage>
#include <QList>
#include <QString>

namespace skinart {

// The skin's built-in styles, each drawn by its own routines here.
using Style = TsuiUIStyle;
inline constexpr Style kStyles[] = {Style::MacOS, Style::WinXP, Style::DeepBlue, Style::Protein, Style::BlueGlass};
// A face's state: the pieces of a button or title-button strip.
using State = SuiFaceState;
inline constexpr State kFaceStates[] = {State::Normal, State::MouseOn, State::MouseDown};

// The upper-case prefix of a style's resource names ("MACOS").
QString Prefix(Style s);
// The lower-case file stem used for a style's contact sheet ("macos").
QString SheetName(Style s);

struct Resource {
    QString name;  // the name the skin looks it up by, e.g. "PROTEIN_BUTTON"
    QImage image;
};

void AddButtons(QList<Resource>& out);    // button strips, combo box buttons
void AddTitleBars(QList<Resource>& out);  // title pictures, title-button strips
void AddTabs(QList<Resource>& out);       // tab strips, tab lines, tab scroll buttons
void AddMisc(QList<Resource>& out);       // form backgrounds, menu pictures, spin glyphs

// The parameter page's background, 791 x 669 times the current scale, and the status line's 8 x 37
// gradient.
QImage PageBackground();
QImage StatusGradient();
// The application icon, 32 x 32 with an alpha channel.
QImage AppIcon();
// The same picture drawn for size x size pixels.
QImage AppIcon(int size);

// The sizes a desktop icon theme gets, and writing them to DIR as <N>x<N>.png.
inline constexpr int kThemeIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
bool WriteThemeIcons(const QString& dir);

}  // namespace skinart

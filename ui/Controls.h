#pragma once
// The settings both windows give their frame and their controls.

#include "modal/MessageBox.h"
#include "skin/Suithemes.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

class QFont;
class QLabel;
class QWidget;
class TsuiButton;
class TsuiComboBox;
class TsuiForm;

inline constexpr TColor kControlGrey = 0x7F7F7F;  // borders and arrows
inline constexpr TColor kButtonGrey = 0xE7E7E7;   // combo box buttons, the page
inline constexpr TColor kBlack = 0x000000;
inline constexpr TColor kSkyBlue = 0xF0CAA6;  // the main window's top bar

// The Protein frame on a window with a fixed dialog border: black 1-pixel border, background
// RGB 251, 251, 251, bold "Tahoma" title, the application icon, system-menu and close buttons.
// The window takes the size that gives the frame the client size.
TsuiForm* MakeWindowFrame(QWidget* window, const QSize& clientSize);

// A Protein button, "MS Sans Serif" 8 point black, opaque.
TsuiButton* MakeButton(QWidget* parent, const QRect& r, const QString& caption);

// A MacOS drop-down list (pick only) with grey border, arrow and button, nothing selected.
TsuiComboBox* MakeComboBox(QWidget* parent, const QRect& r, const QStringList& items = {});

// A transparent label at the given place, its font narrowed where the text would not fit.
QLabel* MakeLabel(QWidget* parent, const QRect& r, const QString& text, const QFont& font);

QStringList BaudRateItems();
QStringList ParityItems();

// Connects a signal to a window's handler, which runs under the exception display.
template <class Window, class Sender, class Signal>
void Bind(Window* window, Sender* sender, Signal signal, void (Window::*handler)())
{
    QObject::connect(sender, signal, window,
                     [window, handler] { platform::RunHandler([window, handler] { (window->*handler)(); }); });
}

// The windows' boxes: modal, an OK button only, no icon.
void ShowBox(QWidget* parent, const QString& text, const QString& title);

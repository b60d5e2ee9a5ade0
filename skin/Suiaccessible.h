#pragma once
// What assistive technology sees of the painted controls. Qt describes a plain QWidget as a
// nameless client area; the skinned buttons, group boxes, tab sheets, tab rows and panels draw
// their own captions, so they report a role, their caption as name, and their state themselves.

#include <QString>

class TsuiCustomPanel;

// Installs the description once per process; every skinned control's constructor calls it.
void RegisterSkinAccessibility();

// Makes a panel the window's status line: it reads as one from the start, named `name` until it
// shows a message, and by its message after that.
void MarkStatusLine(TsuiCustomPanel* panel, const QString& name);

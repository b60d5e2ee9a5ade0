#pragma once
// What assistive technology sees of the painted controls. Qt describes a plain QWidget as a
// nameless client area; the skinned buttons, group boxes, tab sheets and panels draw their own
// captions, so they report a role, their caption as name, and their state themselves.

// Installs the description once per process; every skinned control's constructor calls it.
void RegisterSkinAccessibility();

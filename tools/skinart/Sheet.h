#pragma once

#include "Art.h"

namespace skinart {

// Writes one review picture per style into dir (<style>.png): every resource of the style enlarged
// four times, above a mock-up of the pieces put together (title bar, buttons, tabs), and one picture
// (shared.png) of the resources that belong to no single style.
bool WriteContactSheets(const QList<Resource>& all, const QString& dir);

}  // namespace skinart

#pragma once
// Registered notice types, the stand-in for registered window messages. It lives with the serial
// layer, the lowest that has Qt; like the modal seam it keeps the platform namespace of the
// system services it stands in for.

#include <string>

namespace platform {

// A nonzero QEvent type for the name: registered once per name, the same number for the same name
// in the whole process. 0 only when Qt has no event type left.
unsigned RegisterWindowMessage(const std::string& name);

}  // namespace platform

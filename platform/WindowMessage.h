#pragma once
// Registered notice types, the stand-in for registered window messages.

#include <string>

namespace platform {

// A nonzero QEvent type for the name: registered once per name, the same number for the same name
// in the whole process. 0 only when Qt has no event type left.
unsigned RegisterWindowMessage(const std::string& name);

}  // namespace platform

#pragma once
// The master side of a fresh pseudo-terminal, for tests that play a device on it.

#include <string>

namespace testcommon {

// A non-blocking master descriptor with its slave unlocked and its path in *slavePath; -1 (and
// *slavePath untouched) when the system has no pty to give.
int OpenPtyMaster(std::string* slavePath);

}  // namespace testcommon

#pragma once
// The failure convention of the platform layer: every call that can fail returns a Result holding
// the SerialError captured where it failed (protocol/Result.h).

#include <string>

#include "protocol/Result.h"

namespace platform {

using SerialError = protocol::SerialError;
template <typename T = void> using Result = protocol::Result<T>;

// The reason text for an errno value met while opening or using a serial device
// (EBUSY/EWOULDBLOCK "in use", EACCES/EPERM "permission denied", ENOENT/ENXIO/ENODEV "no such device",
// EIO "device hung up", ENOTTY "not a serial device", otherwise strerror's text).
std::string SerialReasonOf(int errnoValue);

// The error of a failed call: the errno, the device, and the reason (SerialReasonOf's text when
// none is given).
SerialError ErrorOf(int errnoValue, const std::string& device, std::string reason = {});

// True when the error says the device has gone away (EIO, ENXIO, ENODEV): an unplugged adapter, a
// closed pseudo-terminal. Using it again is pointless.
bool IsGone(const SerialError& error);

}  // namespace platform

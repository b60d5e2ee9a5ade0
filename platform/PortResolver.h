#pragma once
// From what a user types to a port: "COM33", "33", "/dev/ttyUSB0" or a /dev/serial/by-id/ name
// become a COM number and its device; what state each port is in; which port to take when none
// was named.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/PortDiscovery.h"
#include "platform/SerialError.h"

namespace platform {

struct PortChoice {
    int port = 0;        // the COM number
    std::string device;  // the device it names
};

// A COM name or number (1 to 63), a path to any serial device, or the URL of a network port (a COM
// number is found for it, see NetworkPorts.h). A device that no discovery numbers (a pty) gets the
// numbering rule's number for this process. Text that is none of these, or a URL that is not well
// formed, fails with EINVAL; a path that does not lead to a serial device (a regular file, a
// directory, /dev/null, a link loop, a dangling link) with another errno, and so does a console or
// a session's terminal (EBUSY). The reason names the text or path given.
Result<PortChoice> ResolvePortArgument(const std::string& text);

enum class PortState { kReady, kInUse, kPermissionDenied, kStaleLink, kSystem, kNoUart, kUnavailable };
// "ready", "in use", "permission denied", "stale link", "used by the system", "no UART", "unavailable".
const char* PortStateName(PortState state);

struct PortStatus {
    PortState state = PortState::kUnavailable;
    std::vector<pid_t> holders;  // in use: the processes holding it, where /proc tells
    std::string reason;          // unavailable: why
};

// Opens the port for a moment to learn its state; a stale link, a UART-less node and a terminal the
// system uses are never opened.
PortStatus ProbeState(const SerialPortInfo& info);

// The port to use when none was named: the first USB adapter (serial or CDC-ACM) with a COM number,
// otherwise the first port with a COM number that opens. Never a UART-less node or a terminal the
// system uses. Fails with EACCES when no port will do and some port refused access, else ENODEV.
Result<SerialPortInfo> DefaultPort(const std::vector<SerialPortInfo>& ports);

}  // namespace platform

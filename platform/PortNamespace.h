#pragma once
// Port numbers and the devices they name.
//
// Port n (1..63) is first the link "comN" in the ports directory
// ($XDG_CONFIG_HOME/orvane/ports, ~/.config/orvane/ports when XDG_CONFIG_HOME is unset);
// otherwise the built-in table: COM1-COM32 /dev/ttyS0-31, COM33-COM48 /dev/ttyUSB0-15,
// COM49-COM63 /dev/ttyACM0-14. Port 0 and numbers outside 0..63 name no device.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr int kHighestPort = 63;

// The ports directory (not created here); empty when neither XDG_CONFIG_HOME nor HOME is an
// absolute path: the built-in table alone names the ports then.
std::string PortsDirectory();
// The path of the link "comN" in the ports directory, whether or not it exists; empty for no device
// or no ports directory.
std::string PortLinkPath(int port);
// The built-in device of a port; empty for port 0 and numbers outside 1..63.
std::string BuiltinDevicePath(int port);
// The device a port names: the URL of a network port (NetworkPorts.h), the ports-directory entry when it
// exists (even a dangling link), else the built-in one. Empty when the port names no device.
std::string PortDevicePath(int port);

// "COM3": the name the user sees; the URL itself for one named on the command line.
std::string PortDisplayName(int port);
// "COM3", "com3", "3" or "\\.\COM10" -> the port number; nothing for other text or numbers outside 0..63.
std::optional<int> ParsePortName(std::string_view text);

struct PortEntry {
    int port = 0;
    std::string name;     // "COM3"
    std::string device;   // the device path the port names
    bool linked = false;  // true when the ports directory supplies the device
};
// Every port 1..63 whose device exists, in ascending order. Says nothing about whether it can be opened
// (ProbePort does).
std::vector<PortEntry> ListPorts();

}  // namespace platform

#pragma once
// Port numbers and the devices they name.
//
// Port n (1..63) is first the link "comN" in the ports directory
// ($XDG_CONFIG_HOME/orvane/ports, ~/.config/orvane/ports when XDG_CONFIG_HOME is unset);
// then a device the numbering rule gave it (below); otherwise the built-in table: COM1-COM32
// /dev/ttyS0-31, COM33-COM48 /dev/ttyUSB0-15, COM49-COM63 /dev/ttyACM0-14. Port 0 and numbers
// outside 0..63 name no device.
//
// The numbering rule, for serial devices the table does not cover (ttyAMA0, rfcomm0, ttyUSB16,
// ttyACM15, ttyXRUSB0, a pty named by its path): a device's name (its /dev/serial/by-id/ name when
// the system made one, else its device path) hashed with 32-bit FNV-1a, modulo 32, plus 1 is its
// first choice; a number that is taken (a ports-directory entry, a port of the table that has a
// UART or device behind it, a device numbered before it, in the order of their names) passes the
// choice to the next number up, after COM32 back to COM1; when COM1-COM32 are all taken, the
// highest number from COM63 down whose table device does not exist. The same device gets the same
// number on every run and in any plug order while the same numbers are taken.

#include <array>
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

// The rule's first choice for a device name: 1..32.
int RuleFirstChoice(std::string_view name);
// The rule's numbers for the names, in the order given; free[n] says whether number n may be
// given. 0 for a name that finds no free number.
std::vector<int> RuleNumbers(const std::vector<std::string>& names, std::array<bool, kHighestPort + 1> free);

// The device the rule gave a port in this process (a discovery runs when none has yet); empty for
// none.
std::string RuleDevice(int port);
// The devices the rule numbered, as the last discovery in this process found them: PortDevicePath
// names them. Each call replaces the last one's, but for the devices named by path (NameDevice).
void RememberRuleNumbers(const std::vector<std::pair<int, std::string>>& numbered);
// The number the rule gives a device named by its path that no discovery lists (a pty): the
// first free number for it, kept for this process. 0 when none is free.
int NameDevice(const std::string& device, std::array<bool, kHighestPort + 1> free);
// The numbers given to devices named by path in this process.
std::vector<std::pair<int, std::string>> NamedByPath();

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

#pragma once
// The serial devices this PC has, and what the system tells about a tty: the processes holding it
// and whether a login runs on it. On Linux the facts come from the device database
// (PortDiscoveryUdev.cpp: libudev; where udev keeps no database, as in containers, from sysfs
// through libudev's attribute calls, the only reader of sysfs) and from /proc (ProcTerminals.cpp).

#include <array>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/PortNamespace.h"
#include "platform/SerialError.h"

namespace platform {

enum class PortKind {
    kUart,       // a built-in UART (ttyS*)
    kUsbSerial,  // a USB serial adapter (ttyUSB*)
    kUsbAcm,     // a USB CDC-ACM device (ttyACM*)
    kLink,       // a link in the ports directory to something the device database does not know (a pty)
    kOther,      // any other serial device
    kNetwork,    // a port on another machine: a ports-directory entry holding its URL, the device
};

// "uart", "usb-serial", "usb-acm", "link", "other", "network": the words `ports --json` uses.
const char* PortKindName(PortKind kind);

struct SerialPortInfo {
    int port = 0;        // the COM number in our namespace; 0 when the device has none
    std::string device;  // the device node (/dev/ttyUSB0), or what a ports-directory link points at
    std::string link;    // the ports-directory link that gives the COM number, when one does
    std::string byId;    // the /dev/serial/by-id/ name, when the system made one
    PortKind kind = PortKind::kOther;
    std::string vendorId;      // USB only: "10c4"
    std::string productId;     // USB only: "ea60"
    std::string manufacturer;  // USB only: "Silicon Labs"
    std::string product;       // USB only: "CP2102 USB to UART Bridge Controller"
    std::string serial;        // USB only: "0001"
    int uartType = -1;         // UARTs: the kernel's port type; 0 means no UART behind the node
    bool stale = false;        // a ports-directory link whose target is gone
    std::string
        systemUse;  // why the system owns it ("kernel console", "login on it (agetty, PID 812)"); empty when it does not
    std::string session;  // the session whose terminal it is, "bash (4242)"; never a port. Empty when none

    // A node with no UART behind it: it opens, and every read then fails. Not a port.
    bool NoUart() const { return kind == PortKind::kUart && uartType == 0; }
};

// Every serial device and every link in the ports directory: those with a COM number first, in
// ascending order, then the others by device name. UART-less nodes are included (NoUart()).
// Devices the built-in table does not cover are numbered by the rule (PortNamespace.h).
std::vector<SerialPortInfo> DiscoverPorts();

// The numbers the rule may still give, besides those the ports hold: free[n] for port n.
std::array<bool, kHighestPort + 1> FreeRuleNumbers(const std::vector<SerialPortInfo>& ports);

// The facts of the device that a path finally names; device empty when the path names no
// character device the system knows as a tty.
SerialPortInfo DescribeDevice(const std::string& path);

// "Silicon Labs CP2102 USB to UART Bridge Controller, serial 0001", "built-in serial port (16550A)",
// "link in the ports directory".
std::string Description(const SerialPortInfo& info);
// The shorter form for one line of output: the USB product alone when there is one.
std::string ShortDescription(const SerialPortInfo& info);

// Fails when the device behind a path must not be opened as a port, saying why: "no UART behind
// it", or "used by the system (kernel console)" (opening a console or a login's terminal in raw
// mode breaks it, so it counts as in use), or "no such device" for a path that leads nowhere.
// Opens nothing.
Result<> MayOpen(const std::string& path);

// Follows symbolic links one by one (a mocked or a real /dev alike) to the path that is no link.
// Fails for a link loop or a link whose target is gone; the error's device is then the last path
// reached.
Result<std::string> ResolveLinks(const std::string& path);

// The processes that hold the device open, where /proc lets us see them.
std::vector<pid_t> HolderPids(const std::string& device);

}  // namespace platform

#pragma once
// The serial devices the system has now, kept current from its device events. The owner watches
// EventFd() for reading (a socket notifier, or poll()), calls TakeEvents() when it is readable and
// Refresh() once on its next loop turn: a burst of plug and unplug events costs one re-read.

#include <string>
#include <vector>

#include "platform/PortDiscovery.h"
#include "platform/PortResolver.h"

struct udev;
struct udev_monitor;

namespace platform {

struct ListedPort {
    SerialPortInfo info;
    PortStatus status;

    bool Opens() const { return status.state == PortState::kReady; }
    // It exists but cannot be opened for a reason the user can fix: permission denied, or another
    // program holds it.
    bool Fixable() const { return status.state == PortState::kPermissionDenied || status.state == PortState::kInUse; }
};

// Why a fixable port cannot be opened and what to do: "permission denied: add yourself to the
// dialout group (sudo adduser $USER dialout), then log in again", "in use by minicom (PID 4242):
// close it there first". Empty for any other port.
std::string FixAdvice(const ListedPort& entry);

// "minicom (PID 4242)", the program's name as /proc gives it; "PID 4242" where it cannot be read.
std::string ProcessText(pid_t pid);

struct PortChange {
    bool added = false;  // false: it went away (or changed, and comes back as added)
    ListedPort entry;
};

class PortModel {
public:
    // Starts listening for device events, then reads the list once.
    PortModel();
    ~PortModel();
    PortModel(const PortModel&) = delete;
    PortModel& operator=(const PortModel&) = delete;

    // The descriptor to watch; -1 when the system sends no device events here (the list then stays
    // as first read).
    int EventFd() const;
    // Takes every event waiting on the descriptor. Whatever it was (a tty's event, another device's,
    // or word that events were lost), the list is then worth reading again.
    void TakeEvents();
    // Reads the list again and says what came and went. A port known to open is not opened again
    // (it may be our own open port), nor is a port on another machine; every other port is probed.
    std::vector<PortChange> Refresh();

    // Every port but the UART-less nodes, in the order of DiscoverPorts.
    const std::vector<ListedPort>& Ports() const { return m_ports; }

private:
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    std::vector<ListedPort> m_ports;
};

}  // namespace platform

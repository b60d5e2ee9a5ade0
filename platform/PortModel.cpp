#include "platform/PortModel.h"

#include <libudev.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace platform {

namespace {

// A tty whose node is already gone is on its way out: the device records outlive it briefly.
bool Present(const SerialPortInfo& info)
{
    if (info.kind == PortKind::kLink || info.kind == PortKind::kNetwork) return true;
    struct stat st { };
    return ::stat(info.device.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

bool SameEntry(const ListedPort& a, const ListedPort& b)
{
    return a.info.port == b.info.port && a.info.device == b.info.device && a.status.state == b.status.state
        && a.status.holders == b.status.holders;
}

const ListedPort* Find(const std::vector<ListedPort>& entries, const SerialPortInfo& info)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const ListedPort& e) {
        return e.info.port == info.port && e.info.device == info.device;
    });
    return it != entries.end() ? &*it : nullptr;
}

// What is in `from` and has no equal in `to`.
void Differences(const std::vector<ListedPort>& from, const std::vector<ListedPort>& to, bool added,
                 std::vector<PortChange>* changes)
{
    for (const ListedPort& e : from) {
        if (std::none_of(to.begin(), to.end(), [&](const ListedPort& t) { return SameEntry(e, t); }))
            changes->push_back({added, e});
    }
}

}  // namespace

std::string ProcessText(pid_t pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    const std::string id = "PID " + std::to_string(pid);
    return name.empty() ? id : name + " (" + id + ")";
}

std::string FixAdvice(const ListedPort& entry)
{
    switch (entry.status.state) {
    case PortState::kPermissionDenied:
        return "permission denied: add yourself to the dialout group (sudo adduser $USER dialout), then log in again";
    case PortState::kInUse: {
        std::string text = "in use";
        for (std::size_t i = 0; i < entry.status.holders.size(); ++i)
            text += (i == 0 ? " by " : ", ") + ProcessText(entry.status.holders[i]);
        return text + ": close it there first";
    }
    default: return {};
    }
}

PortModel::PortModel()
    : m_udev(udev_new())
{
    // Events as udev sends them once its rules have run: the node and its links exist by then.
    if (m_udev != nullptr) m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor != nullptr
        && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0
            || udev_monitor_enable_receiving(m_monitor) < 0)) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    Refresh();
}

PortModel::~PortModel()
{
    if (m_monitor != nullptr) udev_monitor_unref(m_monitor);
    if (m_udev != nullptr) udev_unref(m_udev);
}

int PortModel::EventFd() const { return m_monitor != nullptr ? udev_monitor_get_fd(m_monitor) : -1; }

void PortModel::TakeEvents()
{
    if (m_monitor == nullptr) return;
    // The descriptor does not block: this ends when nothing more is waiting.
    while (udev_device* device = udev_monitor_receive_device(m_monitor))
        udev_device_unref(device);
}

std::vector<PortChange> PortModel::Refresh()
{
    std::vector<ListedPort> fresh;
    for (SerialPortInfo& info : DiscoverPorts()) {
        if (info.NoUart() || !Present(info)) continue;
        const ListedPort* known = Find(m_ports, info);
        ListedPort entry{std::move(info), {}};
        // A port on another machine is listed unprobed: connecting would take the server's one
        // client place; opening it says whether it works.
        if (entry.info.kind == PortKind::kNetwork || (known != nullptr && known->Opens()))
            entry.status.state = PortState::kReady;
        else
            entry.status = ProbeState(entry.info);
        fresh.push_back(std::move(entry));
    }
    std::vector<PortChange> changes;
    Differences(m_ports, fresh, false, &changes);
    Differences(fresh, m_ports, true, &changes);
    m_ports = std::move(fresh);
    return changes;
}

}  // namespace platform

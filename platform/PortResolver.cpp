#include "platform/PortResolver.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/PortNamespace.h"
#include "platform/SerialDevice.h"

namespace platform {

namespace {

PortResolution Failed(PortResolution::Failure failure, std::string message)
{
    PortResolution r;
    r.failure = failure;
    r.message = std::move(message);
    return r;
}

bool Usable(const SerialPortInfo& p) { return p.port != 0 && !p.stale && !p.NoUart() && p.systemUse.empty(); }

}  // namespace

PortResolution ResolvePortArgument(const std::string& text)
{
    if (text.find('/') == std::string::npos) {
        const std::optional<int> port = ParsePortName(text);
        if (!port || *port < 1)
            return Failed(PortResolution::kNotAPortName,
                          "port must be COM1 to COM63, 1 to 63 or a device path, not '" + text + "'");
        PortResolution r;
        r.port = *port;
        r.device = PortDevicePath(*port);
        return r;
    }

    std::string device, why;
    if (!ResolveLinks(text, &device, &why)) return Failed(PortResolution::kNotUsable, text + ": " + why);
    struct stat st { };
    if (::stat(device.c_str(), &st) != 0) return Failed(PortResolution::kNotUsable, text + ": no such file");
    const std::string shown = device == text ? text : text + " (" + device + ")";
    if (S_ISDIR(st.st_mode)) return Failed(PortResolution::kNotUsable, shown + ": a directory, not a serial device");
    if (!S_ISCHR(st.st_mode) || DescribeDevice(device).device.empty())
        return Failed(PortResolution::kNotUsable, shown + ": not a serial device");

    const std::vector<SerialPortInfo> ports = DiscoverPorts();
    const auto it = std::find_if(ports.begin(), ports.end(),
                                 [&](const SerialPortInfo& p) { return p.device == device && p.port != 0; });
    if (it == ports.end())
        return Failed(PortResolution::kNotUsable,
                      shown + ": has no COM number; give it one with a link: ln -s " + device + " " + PortsDirectory()
                          + "/comN");
    PortResolution r;
    r.port = it->port;
    r.device = device;
    return r;
}

const char* PortStateName(PortState state)
{
    switch (state) {
    case PortState::kReady: return "ready";
    case PortState::kInUse: return "in use";
    case PortState::kPermissionDenied: return "permission denied";
    case PortState::kStaleLink: return "stale link";
    case PortState::kSystem: return "used by the system";
    case PortState::kNoUart: return "no UART";
    case PortState::kUnavailable: return "unavailable";
    }
    return "unavailable";
}

PortStatus ProbeState(const SerialPortInfo& info)
{
    PortStatus status;
    if (info.stale) {
        status.state = PortState::kStaleLink;
        return status;
    }
    if (info.NoUart()) {
        status.state = PortState::kNoUart;
        return status;
    }
    if (!info.systemUse.empty()) {
        status.state = PortState::kSystem;
        status.reason = info.systemUse;
        return status;
    }
    SerialDevice device;
    SerialError error;
    if (device.Open(info.device, &error)) {
        status.state = PortState::kReady;
        return status;
    }
    switch (error.errnoValue) {
    case EBUSY:
#if EWOULDBLOCK != EBUSY
    case EWOULDBLOCK:
#endif
        status.state = PortState::kInUse;
        status.holders = HolderPids(info.device);
        break;
    case EACCES:
    case EPERM: status.state = PortState::kPermissionDenied; break;
    default:
        status.state = PortState::kUnavailable;
        status.reason = error.reason;
        break;
    }
    return status;
}

std::optional<SerialPortInfo> DefaultPort(const std::vector<SerialPortInfo>& ports, bool* anyDenied)
{
    for (const SerialPortInfo& p : ports) {
        if (Usable(p) && (p.kind == PortKind::kUsbSerial || p.kind == PortKind::kUsbAcm)) return p;
    }
    for (const SerialPortInfo& p : ports) {
        if (!Usable(p)) continue;
        const PortStatus status = ProbeState(p);
        if (status.state == PortState::kReady) return p;
        if (status.state == PortState::kPermissionDenied && anyDenied != nullptr) *anyDenied = true;
    }
    return std::nullopt;
}

}  // namespace platform

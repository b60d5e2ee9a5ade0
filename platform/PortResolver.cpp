#include "platform/PortResolver.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/NetworkPorts.h"
#include "platform/PortNamespace.h"
#include "platform/SerialDevice.h"
#include "protocol/NetworkPortUrl.h"

namespace platform {

namespace {

SerialError NotUsable(int errnoValue, std::string message) { return ErrorOf(errnoValue, {}, std::move(message)); }

// A port on another machine is taken only when named: connecting to find out could keep the
// caller waiting on a slow host.
bool Usable(const SerialPortInfo& p)
{
    return p.port != 0 && !p.stale && !p.NoUart() && p.systemUse.empty() && p.session.empty()
        && p.kind != PortKind::kNetwork;
}

}  // namespace

Result<PortChoice> ResolvePortArgument(const std::string& text)
{
    if (protocol::LooksLikeNetworkPortUrl(text)) {
        if (!protocol::ParseNetworkPortUrl(text))
            return NotUsable(EINVAL, "'" + text + "' is no network port: rfc2217://HOST:PORT expected");
        const int port = NumberNetworkPort(text);
        if (port == 0) return NotUsable(ENOSPC, text + ": every COM number is taken");
        return PortChoice{port, text};
    }
    if (text.find('/') == std::string::npos) {
        const std::optional<int> port = ParsePortName(text);
        if (!port || *port < 1)
            return NotUsable(EINVAL,
                             "port must be COM1 to COM63, 1 to 63, a device path or rfc2217://HOST:PORT, not '" + text
                                 + "'");
        return PortChoice{*port, PortDevicePath(*port)};
    }

    const Result<std::string> resolved = ResolveLinks(text);
    if (!resolved) return NotUsable(resolved.Error().errnoValue, text + ": " + resolved.Error().reason);
    const std::string& device = *resolved;
    struct stat st { };
    if (::stat(device.c_str(), &st) != 0) return NotUsable(ENOENT, text + ": no such file");
    const std::string shown = device == text ? text : text + " (" + device + ")";
    if (S_ISDIR(st.st_mode)) return NotUsable(EISDIR, shown + ": a directory, not a serial device");
    const SerialPortInfo info = S_ISCHR(st.st_mode) ? DescribeDevice(device) : SerialPortInfo{};
    if (info.device.empty()) return NotUsable(ENOTTY, shown + ": not a serial device");

    const std::vector<SerialPortInfo> ports = DiscoverPorts();
    const auto it = std::find_if(ports.begin(), ports.end(),
                                 [&](const SerialPortInfo& p) { return p.device == device && p.port != 0; });
    if (it != ports.end()) return PortChoice{it->port, device};
    // Neither the table nor a link nor the rule numbered it (a pty): never a console or a session's
    // terminal, else the rule's number for this process.
    if (!info.systemUse.empty()) return NotUsable(EBUSY, shown + ": used by the system (" + info.systemUse + ")");
    if (!info.session.empty()) return NotUsable(EBUSY, shown + ": in use by " + info.session);
    const int port = NameDevice(device, FreeRuleNumbers(ports));
    if (port == 0)
        return NotUsable(ENOSPC, shown + ": every COM number is taken; remove a link from " + PortsDirectory());
    return PortChoice{port, device};
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
    if (!info.session.empty()) {
        status.state = PortState::kInUse;
        status.reason = "by " + info.session;
        return status;
    }
    SerialDevice device;
    const Result<> opened = device.Open(info.device);
    if (opened) {
        status.state = PortState::kReady;
        return status;
    }
    const SerialError& error = opened.Error();
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

Result<SerialPortInfo> DefaultPort(const std::vector<SerialPortInfo>& ports)
{
    for (const SerialPortInfo& p : ports) {
        if (Usable(p) && (p.kind == PortKind::kUsbSerial || p.kind == PortKind::kUsbAcm)) return p;
    }
    bool anyDenied = false;
    for (const SerialPortInfo& p : ports) {
        if (!Usable(p)) continue;
        const PortStatus status = ProbeState(p);
        if (status.state == PortState::kReady) return p;
        if (status.state == PortState::kPermissionDenied) anyDenied = true;
    }
    return anyDenied ? ErrorOf(EACCES, {}) : ErrorOf(ENODEV, {}, "no serial port can be opened");
}

}  // namespace platform

#include "PortCommands.h"

#include <cerrno>
#include <ostream>
#include <sstream>
#include <vector>

#include "CliError.h"
#include "ModuleLink.h"
#include "ModuleReport.h"
#include "Values.h"
#include "WatchCommand.h"
#include "platform/PortNamespace.h"
#include "platform/PortResolver.h"

namespace cli {

namespace {

constexpr const char* kDialoutHint
    = "hint: serial devices belong to the group 'dialout'; join it with 'sudo adduser $USER dialout' and log in again";

std::string PortName(const platform::SerialPortInfo& p)
{
    return p.port != 0 ? platform::PortDisplayName(p.port) : "-";
}

std::string StateText(const platform::SerialPortInfo& p, const platform::PortStatus& s)
{
    std::string text = platform::PortStateName(s.state);
    if (s.state == platform::PortState::kInUse && !s.holders.empty()) {
        text += " (PID";
        for (pid_t pid : s.holders)
            text += " " + std::to_string(pid);
        text += ")";
    } else if (s.state == platform::PortState::kInUse && !s.reason.empty()) {
        text += " " + s.reason;  // "in use by bash (4242)": a session's terminal
    } else if (!s.reason.empty()) {
        text += " (" + s.reason + ")";
    } else if (s.state == platform::PortState::kStaleLink && IsLinkLoop(p.link)) {
        text += " (link loop)";
    }
    return text;
}

// The device column; for a link that loops, the link the user made rather than one on the way round.
std::string DeviceOf(const platform::SerialPortInfo& p)
{
    return cmdline::Escaped(p.stale && !p.link.empty() && IsLinkLoop(p.link) ? p.link : p.device);
}

// USB strings are the device's own: an adapter may hold escape sequences in them.
std::string DescriptionWithIds(const platform::SerialPortInfo& p)
{
    std::string text = platform::Description(p);
    if (!p.vendorId.empty()) text += " [" + p.vendorId + ":" + p.productId + "]";
    return cmdline::Escaped(text);
}

}  // namespace

std::string PortLine(const platform::SerialPortInfo& p, const platform::PortStatus& s)
{
    return PortName(p) + '\t' + DeviceOf(p) + '\t' + cmdline::Escaped(StateText(p, s)) + '\t' + DescriptionWithIds(p)
        + '\t' + (p.byId.empty() ? "-" : cmdline::Escaped(p.byId));
}

std::string PortJson(const platform::SerialPortInfo& p, const platform::PortStatus& s)
{
    std::ostringstream out;
    auto field = [&out](const char* name, const std::string& value) {
        out << ",\"" << name << "\":" << (value.empty() ? std::string("null") : Quoted(value));
    };
    out << "{\"port\":" << (p.port != 0 ? Quoted(platform::PortDisplayName(p.port)) : std::string("null"));
    field("device", p.device);
    field("by_id", p.byId);
    field("link", p.link);
    field("kind", platform::PortKindName(p.kind));
    field("description", platform::Description(p));
    field("state", platform::PortStateName(s.state));
    field("reason", s.reason);
    out << ",\"holders\":[";
    for (std::size_t i = 0; i < s.holders.size(); ++i)
        out << (i ? "," : "") << s.holders[i];
    out << "]";
    field("vendor_id", p.vendorId);
    field("product_id", p.productId);
    field("manufacturer", p.manufacturer);
    field("product", p.product);
    field("serial", p.serial);
    out << "}";
    return out.str();
}

int Ports(const Invocation& inv, std::ostream& out, std::ostream& err)
{
    bool denied = false;
    bool first = true;
    if (inv.json) out << "{\"ports\":[";
    for (const platform::SerialPortInfo& p : platform::DiscoverPorts()) {
        if (p.NoUart() && !inv.allPorts) continue;
        const platform::PortStatus status = platform::ProbeState(p);
        denied = denied || status.state == platform::PortState::kPermissionDenied;
        if (inv.json) {
            out << (first ? "" : ",") << PortJson(p, status);
        } else {
            out << PortLine(p, status) << '\n';
        }
        first = false;
    }
    if (inv.json) out << "]}\n";
    if (denied && !inv.json) err << "orvane-cli: " << kDialoutHint << '\n';
    return kExitDone;
}

int ChoosePort(const Invocation& inv, std::ostream& err)
{
    if (!inv.ports.empty()) return inv.ports.front();
    if (inv.waitForSeconds > 0) WaitForUsablePort(inv, err);
    const platform::Result<platform::SerialPortInfo> chosen = platform::DefaultPort(platform::DiscoverPorts());
    if (!chosen) {
        std::string message = "no serial port can be opened; name one with --port";
        if (chosen.Error().errnoValue == EACCES) message += std::string("\n") + kDialoutHint;
        throw CliError(kExitPortFailure, message);
    }
    if (!inv.json && !inv.quiet) {
        err << "orvane-cli: using " << platform::PortDisplayName(chosen->port) << " ("
            << cmdline::Escaped(chosen->device) << ", " << cmdline::Escaped(platform::ShortDescription(*chosen))
            << ")\n";
    }
    return chosen->port;
}

std::string PortArgument(int port)
{
    for (const auto& [n, device] : platform::NamedByPath()) {
        if (n == port) return cmdline::Escaped(device);
    }
    return platform::PortDisplayName(port);
}

std::vector<int> ReadyPorts()
{
    std::vector<int> ports;
    for (const platform::SerialPortInfo& p : platform::DiscoverPorts()) {
        // Local ones only: ports on other machines are taken when named.
        if (p.port == 0 || p.kind == platform::PortKind::kNetwork) continue;
        if (platform::ProbeState(p).state == platform::PortState::kReady) ports.push_back(p.port);
    }
    return ports;
}

}  // namespace cli

#include "platform/PortNamespace.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>

#include "platform/NetworkPorts.h"

namespace platform {

namespace {

bool Exists(const std::string& path, bool followLink)
{
    struct stat st { };
    return (followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0;
}

bool InRange(int port) { return port >= 1 && port <= kHighestPort; }

}  // namespace

std::string PortsDirectory()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/orvane/ports";
    // Without a home there is no directory: not one under "/" that some other user may have made.
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.config/orvane/ports";
}

std::string PortLinkPath(int port)
{
    const std::string dir = PortsDirectory();
    if (!InRange(port) || dir.empty()) return {};
    return dir + "/com" + std::to_string(port);
}

std::string BuiltinDevicePath(int port)
{
    if (port >= 1 && port <= 32) return "/dev/ttyS" + std::to_string(port - 1);
    if (port >= 33 && port <= 48) return "/dev/ttyUSB" + std::to_string(port - 33);
    if (port >= 49 && port <= kHighestPort) return "/dev/ttyACM" + std::to_string(port - 49);
    return {};
}

std::string PortDevicePath(int port)
{
    if (std::optional<std::string> url = NetworkPortUrlOf(port)) return *std::move(url);
    const std::string link = PortLinkPath(port);
    if (!link.empty() && Exists(link, false)) return link;
    return BuiltinDevicePath(port);
}

std::string PortDisplayName(int port)
{
    // A URL named on the command line is shown as given: its number is the process's own.
    if (std::optional<std::string> url = CommandLineNetworkPort(port)) return *std::move(url);
    return "COM" + std::to_string(port);
}

std::optional<int> ParsePortName(std::string_view text)
{
    if (text.starts_with("\\\\.\\")) text.remove_prefix(4);
    if (text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C'
        && std::toupper(static_cast<unsigned char>(text[1])) == 'O'
        && std::toupper(static_cast<unsigned char>(text[2])) == 'M') {
        text.remove_prefix(3);
    }
    if (text.empty() || text.size() > 2) return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > kHighestPort) return std::nullopt;
    return n;
}

std::vector<PortEntry> ListPorts()
{
    std::vector<PortEntry> out;
    for (int port = 1; port <= kHighestPort; ++port) {
        const std::string link = PortLinkPath(port);
        const bool linked = Exists(link, false);
        const std::optional<std::string> url = NetworkPortUrlOf(port);
        const std::string device = url ? *url : linked ? link : BuiltinDevicePath(port);
        if (!url && !Exists(device, true)) continue;
        out.push_back({port, PortDisplayName(port), device, linked});
    }
    return out;
}

}  // namespace platform

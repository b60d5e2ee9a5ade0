#include "platform/PortNamespace.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <numeric>

#include "platform/PortDiscovery.h"

#include "platform/NetworkPorts.h"

namespace platform {

namespace {

bool Exists(const std::string& path, bool followLink)
{
    struct stat st { };
    return (followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0;
}

bool InRange(int port) { return port >= 1 && port <= kHighestPort; }

constexpr int kRulePorts = 32;  // the numbers of the table's built-in UARTs come first

struct RuleTable {
    std::mutex lock;
    bool known = false;                               // a discovery has run in this process
    std::vector<std::pair<int, std::string>> found;   // numbered by the last discovery
    std::vector<std::pair<int, std::string>> byPath;  // named by path, kept for the process
};

RuleTable& Rules()
{
    static RuleTable table;
    return table;
}

int RuleNumber(std::string_view name, const std::array<bool, kHighestPort + 1>& free)
{
    const int first = RuleFirstChoice(name);
    for (int i = 0; i < kRulePorts; ++i) {
        const int n = (first - 1 + i) % kRulePorts + 1;
        if (free[static_cast<std::size_t>(n)]) return n;
    }
    for (int n = kHighestPort; n > kRulePorts; --n) {
        if (free[static_cast<std::size_t>(n)] && !Exists(BuiltinDevicePath(n), true)) return n;
    }
    return 0;
}

std::string Lookup(const RuleTable& t, int port)
{
    for (const auto* list : {&t.byPath, &t.found}) {
        for (const auto& [n, device] : *list) {
            if (n == port) return device;
        }
    }
    return {};
}

}  // namespace

std::string RuleDevice(int port)
{
    RuleTable& t = Rules();
    {
        std::lock_guard guard(t.lock);
        if (t.known) return Lookup(t, port);
    }
    DiscoverPorts();
    std::lock_guard guard(t.lock);
    return Lookup(t, port);
}

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
    if (!InRange(port)) return {};
    const std::string numbered = RuleDevice(port);
    return numbered.empty() ? BuiltinDevicePath(port) : numbered;
}

int RuleFirstChoice(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return static_cast<int>(hash % kRulePorts) + 1;
}

std::vector<int> RuleNumbers(const std::vector<std::string>& names, std::array<bool, kHighestPort + 1> free)
{
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
    std::vector<int> numbers(names.size(), 0);
    for (std::size_t i : order) {
        numbers[i] = RuleNumber(names[i], free);
        free[static_cast<std::size_t>(numbers[i])] = false;
    }
    return numbers;
}

void RememberRuleNumbers(const std::vector<std::pair<int, std::string>>& numbered)
{
    RuleTable& t = Rules();
    std::lock_guard guard(t.lock);
    t.found = numbered;
    t.known = true;
}

int NameDevice(const std::string& device, std::array<bool, kHighestPort + 1> free)
{
    RuleTable& t = Rules();
    std::lock_guard guard(t.lock);
    for (const auto& [n, path] : t.byPath) {
        if (path == device) return n;
    }
    const int n = RuleNumber(device, free);
    if (n != 0) t.byPath.emplace_back(n, device);
    return n;
}

std::vector<std::pair<int, std::string>> NamedByPath()
{
    RuleTable& t = Rules();
    std::lock_guard guard(t.lock);
    return t.byPath;
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

#include "platform/NetworkPorts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <map>
#include <mutex>
#include <string_view>

#include "platform/PortNamespace.h"
#include "protocol/NetworkPortUrl.h"

namespace platform {

namespace {

constexpr std::size_t kMaxEntrySize = 4096;

std::mutex g_lock;
std::map<int, std::string> g_named;  // numbers given to URLs of the command line

std::string_view Trimmed(std::string_view line)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<std::string> ReadNetworkPortEntry(const std::string& entryPath)
{
    // O_NOFOLLOW: a link is a device entry, never read as text; O_NONBLOCK: a fifo cannot hold us.
    const int fd = ::open(entryPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st { };
    std::array<char, kMaxEntrySize + 1> buffer{};
    ssize_t size = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) size = ::read(fd, buffer.data(), buffer.size());
    ::close(fd);
    if (size < 0 || static_cast<std::size_t>(size) > kMaxEntrySize) return std::nullopt;
    std::string_view text(buffer.data(), static_cast<std::size_t>(size));
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (!protocol::ParseNetworkPortUrl(line)) return std::nullopt;
        return std::string(line);
    }
    return std::nullopt;
}

std::optional<std::string> CommandLineNetworkPort(int port)
{
    std::lock_guard guard(g_lock);
    if (const auto it = g_named.find(port); it != g_named.end()) return it->second;
    return std::nullopt;
}

std::optional<std::string> NetworkPortUrlOf(int port)
{
    if (std::optional<std::string> named = CommandLineNetworkPort(port)) return named;
    const std::string entry = PortLinkPath(port);
    if (entry.empty()) return std::nullopt;
    return ReadNetworkPortEntry(entry);
}

int NumberNetworkPort(const std::string& url)
{
    int number = 0;
    for (int port = 1; port <= kHighestPort && number == 0; ++port) {
        if (NetworkPortUrlOf(port) == url) number = port;
    }
    // Numbers the numbering rule gave to devices outside the table are theirs (looked up before the
    // lock: a discovery may run, and it asks for the numbers given here).
    std::array<bool, kHighestPort + 1> ruled{};
    for (int port = 1; port <= kHighestPort && number == 0; ++port)
        ruled[static_cast<std::size_t>(port)] = !RuleDevice(port).empty();
    std::lock_guard guard(g_lock);
    for (int port = 1; port <= kHighestPort && number == 0; ++port) {
        struct stat st { };
        const std::string entry = PortLinkPath(port);
        const bool taken = g_named.contains(port) || ruled[static_cast<std::size_t>(port)]
            || (!entry.empty() && ::lstat(entry.c_str(), &st) == 0)
            || ::lstat(BuiltinDevicePath(port).c_str(), &st) == 0;
        if (!taken) number = port;
    }
    // Named on the command line, it is shown as given, also when an entry holds it.
    if (number != 0) g_named[number] = url;
    return number;
}

}  // namespace platform

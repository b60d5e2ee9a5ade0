#include "platform/ProcTerminals.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/PortDiscovery.h"

namespace platform {

namespace {

bool IsProcessDirectory(const std::string& name) { return !name.empty() && name[0] >= '1' && name[0] <= '9'; }

bool IsLoginProgram(const std::string& comm)
{
    return comm == "login" || comm == "sulogin" || (comm.size() >= 5 && comm.compare(comm.size() - 5, 5, "getty") == 0);
}

}  // namespace

// The names in a directory, "." and ".." left out. Read through open() and fdopendir(): a preload
// library that redirects /dev and /sys (the mock-hardware tests run under one) keeps a small table
// of the streams opendir() gave out, and a scan of /proc would exhaust it.
std::vector<std::string> ListDirectory(const std::string& path)
{
    std::vector<std::string> names;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return names;
    }
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

// Every controlling terminal of a process: one pass over /proc.
std::vector<Login> Logins()
{
    struct Holder {
        std::string comm;
        long pid = 0;
        bool leader = false;
    };
    std::vector<Login> logins;
    std::vector<Holder> holders;  // per entry of logins: the process that names the session
    for (const std::string& pid : ListDirectory("/proc")) {
        if (!IsProcessDirectory(pid)) continue;
        std::ifstream in("/proc/" + pid + "/stat");
        std::string line;
        if (!std::getline(in, line)) continue;
        // "pid (comm) state ppid pgrp session tty_nr ...": comm may hold blanks and parentheses.
        const auto open = line.find('(');
        const auto close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open) continue;
        const std::string comm = line.substr(open + 1, close - open - 1);
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        long ppid = 0, pgrp = 0, session = 0, ttyNr = 0;
        if (!(rest >> state >> ppid >> pgrp >> session >> ttyNr) || ttyNr == 0) continue;
        const unsigned major = static_cast<unsigned>((ttyNr >> 8) & 0xfff);
        const unsigned minor = static_cast<unsigned>((ttyNr & 0xff) | ((ttyNr >> 12) & 0xfff00));
        const dev_t terminal = makedev(major, minor);
        const Holder holder{comm, std::atol(pid.c_str()), std::atol(pid.c_str()) == session};
        auto it = std::find_if(logins.begin(), logins.end(), [&](const Login& l) { return l.terminal == terminal; });
        if (it == logins.end()) {
            logins.push_back({terminal, {}, {}});
            holders.push_back(holder);
            it = logins.end() - 1;
        }
        Holder& named = holders[static_cast<std::size_t>(it - logins.begin())];
        if (!named.leader && (holder.leader || holder.pid < named.pid)) named = holder;
        if (IsLoginProgram(comm) && it->text.empty()) it->text = "login on it (" + comm + ", PID " + pid + ")";
    }
    for (std::size_t i = 0; i < logins.size(); ++i)
        logins[i].session = holders[i].comm + " (" + std::to_string(holders[i].pid) + ")";
    return logins;
}

std::string LoginOn(dev_t device, const std::vector<Login>& logins)
{
    for (const Login& l : logins) {
        if (l.terminal == device) return l.text;
    }
    return {};
}

std::string SessionOn(dev_t device, const std::vector<Login>& logins)
{
    for (const Login& l : logins) {
        if (l.terminal == device) return l.session;
    }
    return {};
}

std::vector<pid_t> HolderPids(const std::string& device)
{
    // A mocked node is itself a link to the pty that backs it; the holder's descriptor names that.
    std::vector<std::string> names{device};
    std::array<char, 4096> target{};
    const ssize_t n = ::readlink(device.c_str(), target.data(), target.size() - 1);
    if (n > 0) names.emplace_back(target.data(), static_cast<std::size_t>(n));

    std::vector<pid_t> pids;
    for (const std::string& pid : ListDirectory("/proc")) {
        if (!IsProcessDirectory(pid)) continue;
        const std::string fdDir = "/proc/" + pid + "/fd";
        for (const std::string& fd : ListDirectory(fdDir)) {
            const ssize_t m = ::readlink((fdDir + "/" + fd).c_str(), target.data(), target.size() - 1);
            if (m <= 0) continue;
            if (std::find(names.begin(), names.end(), std::string(target.data(), static_cast<std::size_t>(m)))
                != names.end()) {
                pids.push_back(static_cast<pid_t>(std::atoi(pid.c_str())));
                break;
            }
        }
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

}  // namespace platform

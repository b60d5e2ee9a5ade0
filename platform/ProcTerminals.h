#pragma once
// What /proc tells about terminals (Linux back-end of port discovery): which processes hold a
// device, and which terminals are some session's (a shell's, an editor's, a login's).

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

// A terminal that is the controlling terminal of a session.
struct Login {
    dev_t terminal;
    std::string text;     // a getty or login on it: "login on it (agetty, PID 812)"; empty for other sessions
    std::string session;  // the session's leader, or the lowest PID on it when the leader is gone: "bash (4242)"
};

// Every controlling terminal of a process, one entry each: one pass over /proc.
std::vector<Login> Logins();
// The text of the login on a terminal; empty when none runs there.
std::string LoginOn(dev_t device, const std::vector<Login>& logins);
// "bash (4242)" when the terminal is some session's; empty otherwise.
std::string SessionOn(dev_t device, const std::vector<Login>& logins);

// The names in a directory, "." and ".." left out.
std::vector<std::string> ListDirectory(const std::string& path);

}  // namespace platform

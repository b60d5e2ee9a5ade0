#pragma once
// What /proc tells about terminals (Linux back-end of port discovery): which processes hold a
// device, and on which terminals a login runs.

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

struct Login {
    dev_t terminal;
    std::string text;  // "login on it (agetty, PID 812)"
};

// Every getty and login with a controlling terminal: one pass over /proc.
std::vector<Login> Logins();
// The text of the login on a terminal; empty when none runs there.
std::string LoginOn(dev_t device, const std::vector<Login>& logins);

// The names in a directory, "." and ".." left out.
std::vector<std::string> ListDirectory(const std::string& path);

}  // namespace platform

#pragma once
// A child process under a given name, in a session of its own with a fresh pty as its controlling
// terminal: a terminal window's shell, or a getty's login. The system's terminals must never be
// taken for serial ports.

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "common/PtyMaster.h"

namespace testcommon {

class SessionOnPty {
public:
    explicit SessionOnPty(const char* processName)
    {
        master = OpenPtyMaster(&slave);
        int ready[2];
        if (master < 0 || ::pipe(ready) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_NAME, processName);
            ::setsid();
            const int fd = ::open(slave.c_str(), O_RDWR);
            if (fd < 0 || ::ioctl(fd, TIOCSCTTY, 0) != 0) ::_exit(1);
            [[maybe_unused]] const ssize_t w = ::write(ready[1], "x", 1);
            for (;;)
                ::pause();
        }
        char c = 0;
        [[maybe_unused]] const ssize_t r = ::read(ready[0], &c, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~SessionOnPty()
    {
        End();
        if (master >= 0) ::close(master);
    }
    SessionOnPty(const SessionOnPty&) = delete;
    SessionOnPty& operator=(const SessionOnPty&) = delete;

    // Ends the session, as a logout does.
    void End()
    {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }

    int master = -1;
    pid_t pid = -1;
    std::string slave;
};

}  // namespace testcommon

// A terminal that a login runs on belongs to the system: it is described as such and never opened.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "common/TempConfigHome.h"
#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "serial/CXSerial.h"

namespace {

// A process named like a getty, with the pty as its controlling terminal.
class LoginOnPty {
public:
    LoginOnPty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        std::array<char, 128> name{};
        int ready[2];
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
            || ::ptsname_r(master, name.data(), name.size()) != 0 || ::pipe(ready) != 0)
            return;
        slave = name.data();
        pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_NAME, "agetty");
            ::setsid();
            // The first terminal a session leader opens becomes its controlling terminal.
            if (::open(slave.c_str(), O_RDWR) < 0) ::_exit(1);
            [[maybe_unused]] const ssize_t w = ::write(ready[1], "x", 1);
            for (;;)
                ::pause();
        }
        char c = 0;
        [[maybe_unused]] const ssize_t r = ::read(ready[0], &c, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LoginOnPty()
    {
        End();
        if (master >= 0) ::close(master);
    }
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

TEST(SystemTerminals, ALoginsTerminalIsNeitherProbedNorOpened)
{
    testcommon::TempConfigHome home("platform");
    LoginOnPty login;
    ASSERT_GT(login.pid, 0);
    const std::string use = "login on it (agetty, PID " + std::to_string(login.pid) + ")";
    EXPECT_EQ(platform::DescribeDevice(login.slave).systemUse, use);

    std::filesystem::create_symlink(login.slave, platform::PortLinkPath(7));
    EXPECT_EQ(ProbePort(7), 0);
    const platform::Result<> tried = TryPort(7);
    ASSERT_FALSE(tried);
    EXPECT_EQ(tried.Error().reason, "used by the system (" + use + ")");
    for (const platform::SerialPortInfo& p : platform::DiscoverPorts()) {
        if (p.port == 7) {
            EXPECT_EQ(p.systemUse, use);
        }
    }

    login.End();
    EXPECT_EQ(platform::DescribeDevice(login.slave).systemUse, "");
    EXPECT_EQ(ProbePort(7), 1);
}

}  // namespace

// A terminal that a login runs on belongs to the system: it is described as such and never opened.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "common/SessionOnPty.h"
#include "common/TempConfigHome.h"
#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "serial/CXSerial.h"

namespace {

TEST(SystemTerminals, ALoginsTerminalIsNeitherProbedNorOpened)
{
    testcommon::TempConfigHome home("platform");
    testcommon::SessionOnPty login("agetty");
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

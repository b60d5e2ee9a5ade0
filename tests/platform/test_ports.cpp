#include <gtest/gtest.h>

#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "common/TempConfigHome.h"
#include "platform/PortNamespace.h"
#include "platform/SerialDevice.h"
#include "platform/SerialError.h"
#include "platform/TtyLineSpeed.h"
#include "serial/WindowMessage.h"

namespace fs = std::filesystem;

namespace {

// Every test here runs with XDG_CONFIG_HOME in a fresh temporary directory.
class PortsDir : public ::testing::Test {
protected:
    testcommon::TempConfigHome home{"platform"};
    const fs::path& root = home.Path();
};

// Port names as the user sees them, in the device-name form (\\.\COMn from 10 on) that the parser
// takes too, and the devices the built-in table gives.
TEST(PortNames, DisplayWin32AndBuiltinTable)
{
    struct Row {
        int port;
        const char* display;
        const char* win32;
        const char* builtin;
    };
    const Row rows[] = {
        {0, "COM0", "COM0", ""},
        {1, "COM1", "COM1", "/dev/ttyS0"},
        {9, "COM9", "COM9", "/dev/ttyS8"},
        {10, "COM10", "\\\\.\\COM10", "/dev/ttyS9"},
        {32, "COM32", "\\\\.\\COM32", "/dev/ttyS31"},
        {33, "COM33", "\\\\.\\COM33", "/dev/ttyUSB0"},
        {48, "COM48", "\\\\.\\COM48", "/dev/ttyUSB15"},
        {49, "COM49", "\\\\.\\COM49", "/dev/ttyACM0"},
        {63, "COM63", "\\\\.\\COM63", "/dev/ttyACM14"},
        {64, "COM64", "\\\\.\\COM64", ""},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(platform::PortDisplayName(r.port), r.display);
        EXPECT_EQ(platform::ParsePortName(r.win32),
                  r.port <= platform::kHighestPort ? std::optional(r.port) : std::nullopt);
        EXPECT_EQ(platform::BuiltinDevicePath(r.port), r.builtin) << r.port;
    }
}

// Devices the built-in table does not cover: the hash's first choice, the next free number up when
// it is taken (in the order of the names, whatever order the devices came in), COM1 after COM32,
// then from COM63 down.
TEST(NumberingRule, FirstChoiceThenUpwardsThenFromTheTop)
{
    EXPECT_EQ(platform::RuleFirstChoice(""), 6);  // FNV-1a's offset basis, modulo 32, plus 1
    using Free = std::array<bool, platform::kHighestPort + 1>;
    auto freeBut = [](std::initializer_list<int> taken) {
        Free free;
        free.fill(true);
        free[0] = false;
        for (int n : taken)
            free[static_cast<std::size_t>(n)] = false;
        return free;
    };
    auto freeOnly = [](std::initializer_list<int> given) {
        Free free{};
        for (int n : given)
            free[static_cast<std::size_t>(n)] = true;
        return free;
    };
    std::initializer_list<int> upper = {19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
    const struct {
        std::vector<std::string> names;
        Free free;
        std::vector<int> numbers;
    } cases[] = {
        {{"/dev/ttyAMA0", "/dev/rfcomm0"}, freeBut({}), {19, 11}},
        // Both hash to 19: the first name in order keeps it, in either plug order.
        {{"/dev/ttyUSB16", "/dev/ttyAMA0"}, freeBut({}), {20, 19}},
        {{"/dev/ttyAMA0", "/dev/ttyUSB16"}, freeBut({}), {19, 20}},
        {{"/dev/ttyAMA0"}, freeBut({19, 20}), {21}},
        {{"/dev/ttyAMA0"}, freeBut(upper), {1}},
        {{"/dev/ttyAMA0", "/dev/rfcomm0"}, freeOnly({40, 63}), {40, 63}},
        {{"/dev/ttyAMA0", "/dev/rfcomm0"}, freeOnly({7}), {0, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::RuleNumbers(c.names, c.free), c.numbers) << ::testing::PrintToString(c.names);
}

TEST(LineSpeeds, OneTableBothWays)
{
    termios t{};
    for (int rate : {50, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 921600}) {
        ASSERT_TRUE(platform::SetLineSpeed(&t, rate)) << rate;
        EXPECT_EQ(platform::LineSpeedOf(t), rate);
        EXPECT_EQ(cfgetispeed(&t), cfgetospeed(&t)) << rate;
    }
    // A rate the system has no setting for changes nothing.
    for (int rate : {0, 14400, 12345, -9600}) {
        EXPECT_FALSE(platform::SetLineSpeed(&t, rate)) << rate;
        EXPECT_EQ(platform::LineSpeedOf(t), 921600) << rate;
    }
}

TEST(PortNames, Parse)
{
    EXPECT_EQ(platform::ParsePortName("COM3"), 3);
    EXPECT_EQ(platform::ParsePortName("com12"), 12);
    EXPECT_EQ(platform::ParsePortName("7"), 7);
    EXPECT_EQ(platform::ParsePortName("\\\\.\\COM10"), 10);
    EXPECT_EQ(platform::ParsePortName("COM0"), 0);
    for (const char* bad : {"", "COM", "COM64", "COM-1", "COM1a", "LPT1", "COM123", " COM1"}) {
        EXPECT_FALSE(platform::ParsePortName(bad).has_value()) << bad;
    }
}

TEST_F(PortsDir, LinkInPortsDirectoryComesFirst)
{
    EXPECT_EQ(platform::PortsDirectory(), (root / "orvane/ports").string());
    EXPECT_EQ(platform::PortDevicePath(3), "/dev/ttyS2");
    fs::create_symlink("/dev/null", root / "orvane/ports/com3");
    EXPECT_EQ(platform::PortDevicePath(3), (root / "orvane/ports/com3").string());
    EXPECT_EQ(platform::PortDevicePath(0), "");
    EXPECT_EQ(platform::PortDevicePath(64), "");

    const auto ports = platform::ListPorts();
    auto it = std::find_if(ports.begin(), ports.end(), [](const auto& e) { return e.port == 3; });
    ASSERT_NE(it, ports.end());
    EXPECT_TRUE(it->linked);
    EXPECT_EQ(it->name, "COM3");
    // A dangling link still names the port (and hides the built-in device) but is not listed.
    fs::create_symlink(root / "missing", root / "orvane/ports/com4");
    EXPECT_EQ(platform::PortDevicePath(4), (root / "orvane/ports/com4").string());
    for (const auto& e : platform::ListPorts())
        EXPECT_NE(e.port, 4);
}

TEST_F(PortsDir, RelativeConfigHomeIsIgnored)
{
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    ::setenv("HOME", root.c_str(), 1);
    EXPECT_EQ(platform::PortsDirectory(), (root / ".config/orvane/ports").string());
}

TEST_F(PortsDir, OpeningWhatIsNoSerialDeviceSaysWhy)
{
    platform::SerialDevice device;
    const platform::Result<> absent = device.Open((root / "absent").string());
    ASSERT_FALSE(absent);
    EXPECT_EQ(absent.Error().reason, "no such device");
    EXPECT_EQ(absent.Error().errnoValue, ENOENT);

    std::ofstream(root / "file") << "x";
    const platform::Result<> file = device.Open((root / "file").string());
    ASSERT_FALSE(file);
    EXPECT_EQ(file.Error().reason, "not a serial device");
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(file.Error().Describe(), (root / "file").string() + ": not a serial device");
}

TEST(SerialReason, Texts)
{
    EXPECT_EQ(platform::SerialReasonOf(EBUSY), "in use");
    EXPECT_EQ(platform::SerialReasonOf(EWOULDBLOCK), "in use");
    EXPECT_EQ(platform::SerialReasonOf(EACCES), "permission denied");
    EXPECT_EQ(platform::SerialReasonOf(EIO), "device hung up");
}

TEST(WindowMessage, SameNameSameNumber)
{
    const unsigned a = platform::RegisterWindowMessage("ZebSerial_MSG_RECV_1");
    const unsigned b = platform::RegisterWindowMessage("Another");
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(platform::RegisterWindowMessage("ZebSerial_MSG_RECV_1"), a);
}

}  // namespace

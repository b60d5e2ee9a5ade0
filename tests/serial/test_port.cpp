// CXSerial/ZebSerial on pseudo-terminals: open, probe, reconfigure, write limits, hang-up, leaks.

#include <gtest/gtest.h>

#include <termios.h>

#include <memory>

#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "protocol/ModuleFrame.h"
#include "serial/support/SerialTestKit.h"

namespace {

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override { testkit::EnsureApp(); }
    testkit::TempConfigHome home;
};

std::unique_ptr<modsim::PtyModule> StartModule(int port, modsim::PtyModuleOptions options = {})
{
    options.port = port;
    return testcommon::StartModule(options);
}

TEST_F(SerialPort, ReadsTheModulesAnswers)
{
    modsim::PtyModuleOptions options;
    options.settings.channel = 17;
    options.settings.moduleType = 3;
    auto module = StartModule(2, options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.Open(2, 9600, 0), 1) << serial.LastError().Describe();
    EXPECT_EQ(serial.DevicePath(), platform::PortLinkPath(2));
    ASSERT_TRUE(SendSearch(serial));
    ASSERT_TRUE(target.WaitFor(1));
    EXPECT_EQ(target.notices[0].command, 0);
    EXPECT_EQ(target.notices[0].data[2], 3);
    ASSERT_TRUE(SendReadChannel(serial));
    ASSERT_TRUE(target.WaitFor(2));
    EXPECT_EQ(target.notices[1].command, 6);
    EXPECT_EQ(target.notices[1].data[0], 17);
    EXPECT_EQ(serial.channelReply[0].load(), 17);
}

TEST_F(SerialPort, HeldPortIsNeitherProbedNorOpenedTwice)
{
    auto module = StartModule(3);
    EXPECT_EQ(ProbePort(3), 1);
    ZebSerial holder;
    ASSERT_EQ(holder.Open(3, 9600, 0), 1);
    EXPECT_EQ(ProbePort(3), 0);
    const platform::Result<> tried = TryPort(3);
    ASSERT_FALSE(tried);
    EXPECT_EQ(tried.Error().reason, "in use");
    ZebSerial second;
    EXPECT_EQ(second.Open(3, 9600, 0), 0);
    EXPECT_EQ(second.IsOpen(), 0);
    EXPECT_EQ(second.LastError().reason, "in use");
    holder.Close();
    EXPECT_EQ(ProbePort(3), 1);
    EXPECT_EQ(second.Open(3, 9600, 0), 1);
}

TEST_F(SerialPort, FailedOpensLeaveThePortClosed)
{
    auto module = StartModule(4);
    ZebSerial serial;
    // No link and no built-in device behind COM0, COM64, or a missing link target.
    EXPECT_EQ(serial.Open(0, 9600, 0), 0);
    EXPECT_EQ(serial.Open(64, 9600, 0), 0);
    std::filesystem::create_symlink(home.Path() / "absent", platform::PortLinkPath(9));
    EXPECT_EQ(serial.Open(9, 4800, 2), 0);
    EXPECT_EQ(serial.LastError().reason, "no such device");
    EXPECT_EQ(serial.Port(), 9);
    EXPECT_EQ(serial.BaudRate(), 4800);
    EXPECT_EQ(serial.Parity(), 2);
    // A configuration the device refuses closes it again and releases it.
    EXPECT_EQ(serial.Open(4, 12345, 0), 0);
    EXPECT_EQ(serial.IsOpen(), 0);
    EXPECT_EQ(serial.LastError().reason, "baud rate 12345 not supported");
    EXPECT_EQ(ProbePort(4), 1);
    EXPECT_EQ(serial.Open(4, 9600, 3), 0);
    EXPECT_EQ(serial.IsOpen(), 0);
    EXPECT_EQ(serial.Close(), 1);
}

TEST_F(SerialPort, ReconfiguringTheSamePortKeepsThreadAndPartialFrame)
{
    testkit::RawPty pty(5);
    ASSERT_TRUE(pty.Ok());
    testkit::NoticeCollector target;
    testkit::TestSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.OpenOrReconfigure(5, 9600, 0), 1);
    const int fdBefore = serial.Fd();
    // Open records the driver settings a tty has no counterpart for: 1024-byte queues, the line
    // events 0x69, every timeout 0. Closing forgets them.
    const platform::SerialDevice::DriverSettings opened{1024, 1024, 0x69, {}};
    EXPECT_EQ(serial.Driver(), opened);
    pty.Write({0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80, 0x06});
    EXPECT_EQ(serial.OpenOrReconfigure(5, 19200, 1), 1);
    EXPECT_EQ(pty.BaudRate(), 19200);
    // Reconfiguring records the parity only and touches no driver setting.
    EXPECT_EQ(serial.Parity(), 1);
    EXPECT_EQ(serial.BaudRate(), 9600);
    EXPECT_EQ(serial.Driver(), opened);
    EXPECT_EQ(serial.Fd(), fdBefore);
    pty.Write({0x02, 0x0B, 0x00, 0x00, 0x0D, 0x0A});
    ASSERT_TRUE(target.WaitFor(1));
    EXPECT_EQ(target.notices[0].command, 6);
    EXPECT_EQ(target.notices[0].data[0], 0x0B);
    EXPECT_EQ(serial.SetLineState(33333, 0), 0);
    EXPECT_EQ(serial.IsOpen(), 1);
    serial.Close();
    EXPECT_EQ(serial.Driver(), platform::SerialDevice::DriverSettings{});
}

TEST_F(SerialPort, ParityLineCanBeSetAgainOnAPty)
{
    // A pty keeps PARODD but drops PARENB, so the second identical request changes nothing it can
    // read back; that must not count as a failure, whether the port is reconfigured or reopened.
    // With any parity, a byte that arrives with a parity or framing error is passed on as it came:
    // no input check turns it into 0x00, drops it or marks it.
    testkit::RawPty pty(8);
    ASSERT_TRUE(pty.Ok());
    for (int parity : {0, 1, 2}) {
        testkit::TestSerial serial;
        ASSERT_EQ(serial.Open(8, 38400, parity), 1) << serial.LastError().reason;
        EXPECT_EQ(serial.SetLineState(38400, parity), 1) << serial.LastError().reason;
        serial.Close();
        ASSERT_EQ(serial.Open(8, 38400, parity), 1) << serial.LastError().reason;
        termios t{};
        ASSERT_EQ(::tcgetattr(serial.Fd(), &t), 0);
        EXPECT_EQ(t.c_iflag & (INPCK | IGNPAR | PARMRK | ISTRIP), 0u) << parity;
        EXPECT_EQ((t.c_cflag & PARODD) != 0, parity == 1) << parity;
    }
}

TEST_F(SerialPort, AnotherPortNumberClosesTheOldPortFirst)
{
    auto a = StartModule(6);
    auto b = StartModule(7);
    ZebSerial serial;
    ASSERT_EQ(serial.OpenOrReconfigure(6, 9600, 0), 1);
    EXPECT_EQ(ProbePort(6), 0);
    ASSERT_EQ(serial.OpenOrReconfigure(7, 9600, 0), 1);
    EXPECT_EQ(ProbePort(6), 1);
    EXPECT_EQ(ProbePort(7), 0);
    EXPECT_EQ(serial.Port(), 7);
}

TEST_F(SerialPort, OpenCloseCyclesLeakNoDescriptorOrThread)
{
    auto module = StartModule(8);
    ZebSerial serial;
    ASSERT_EQ(serial.Open(8, 9600, 0), 1);
    serial.Close();
    const int fds = testkit::CountEntries("/proc/self/fd");
    const int threads = testkit::CountEntries("/proc/self/task");
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(serial.Open(8, i % 2 ? 9600 : 19200, i % 3), 1) << i;
        ASSERT_EQ(serial.Close(), 1);
    }
    EXPECT_EQ(testkit::CountEntries("/proc/self/fd"), fds);
    EXPECT_EQ(testkit::CountEntries("/proc/self/task"), threads);
}

TEST_F(SerialPort, HangUpClosesThePortAndEndsTheReceiveThread)
{
    testkit::RawPty pty(10);
    ASSERT_TRUE(pty.Ok());
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    const int threads = testkit::CountEntries("/proc/self/task");
    ASSERT_EQ(serial.Open(10, 9600, 0), 1);
    pty.HangUp();
    ASSERT_TRUE(testkit::WaitUntil([&] { return target.goneNotices == 1; }));
    EXPECT_TRUE(serial.HungUp());
    EXPECT_EQ(serial.IsOpen(), 0);
    // The receive thread has ended by itself; no thread waits on a device that is gone.
    EXPECT_TRUE(testkit::WaitUntil([&] { return testkit::CountEntries("/proc/self/task") == threads; }));
    EXPECT_FALSE(SendSearch(serial));
    EXPECT_EQ(serial.LastError().reason, "device hung up");
    EXPECT_EQ(serial.Close(), 1);
    EXPECT_EQ(serial.IsOpen(), 0);
    EXPECT_EQ(target.goneNotices, 1);
}

TEST_F(SerialPort, ReconfiguringAHungUpPortOpensItAfresh)
{
    auto module = StartModule(13);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.Open(13, 9600, 0), 1);
    module->HangUp();
    ASSERT_TRUE(testkit::WaitUntil([&] { return serial.HungUp(); }));
    module = StartModule(13);  // the adapter is back
    ASSERT_EQ(serial.OpenOrReconfigure(13, 9600, 0), 1);
    EXPECT_FALSE(serial.HungUp());
    ASSERT_TRUE(SendReadChannel(serial));
    ASSERT_TRUE(target.WaitFor(1));
}

TEST_F(SerialPort, WriteGivesUpOnALineThatNeverDrains)
{
    testkit::RawPty pty(11);
    ASSERT_TRUE(pty.Ok());
    testkit::TestSerial serial;
    ASSERT_EQ(serial.Open(11, 9600, 0), 1);
    const auto frame = protocol::BuildFrame(protocol::kSearch, std::vector<std::uint8_t>{0, 0});
    ASSERT_EQ(serial.Write(frame.data(), static_cast<unsigned>(frame.size())), 1);
    EXPECT_EQ(pty.Read(frame.size()), frame);
    // Suspended output: nothing leaves, every try of the chunk times out.
    ASSERT_EQ(tcflow(serial.Fd(), TCOOFF), 0);
    EXPECT_EQ(serial.Write(frame.data(), static_cast<unsigned>(frame.size())), 0);
    EXPECT_EQ(serial.LastError().reason, "write timed out");
    ASSERT_EQ(tcflow(serial.Fd(), TCOON), 0);
    EXPECT_EQ(serial.Write(frame.data(), static_cast<unsigned>(frame.size())), 1);
}

TEST_F(SerialPort, LargeWritesGoOutInChunks)
{
    testkit::RawPty pty(12);
    ASSERT_TRUE(pty.Ok());
    ZebSerial serial;
    ASSERT_EQ(serial.Open(12, 115200, 0), 1);
    std::vector<std::uint8_t> data(3000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_EQ(serial.Write(data.data(), static_cast<unsigned>(data.size())), 1);
    EXPECT_EQ(pty.Read(data.size()), data);
}

TEST_F(SerialPort, ProbeKeepsTheFirstEightPorts)
{
    std::vector<std::unique_ptr<testkit::RawPty>> ptys;
    for (int port = 1; port <= 10; ++port)
        ptys.push_back(std::make_unique<testkit::RawPty>(port));
    ZebSerial serial;
    EXPECT_EQ(serial.ProbePorts(), 8);
    EXPECT_EQ(serial.portCount, 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(serial.ports[static_cast<std::size_t>(i)], i + 1);
}

}  // namespace
